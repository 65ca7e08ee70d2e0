#pragma once

#include "gr32/GR32.h"

#include <QString>

#include <memory>
#include <vector>

class TEasyTable;

// Reads the record called `name` from an image table and decodes it into a
// new 32-bit bitmap (alpha 255 everywhere, except that a 32-bit BMP keeps
// its stored alpha). When the name is missing, the type code is unknown or
// the data does not decode, a message is shown and the result is null.
// The table is left open or closed as it was found, with filtering off.
// Faults of the table itself (TTableError) pass through to the caller.
std::unique_ptr<TBitmap32> LoadNamedBitmap(TEasyTable* table, const QString& name);

// The decoding half of LoadNamedBitmap: one record's blob and the text of its
// type field ("0" GIF, "1" BMP). Shows the loader's message and returns null
// for an unknown type or data that does not decode.
std::unique_ptr<TBitmap32> DecodeImageBlob(const QByteArray& data, const QString& typeText,
                                           const QString& name, const QString& tableName);

// Replaces target's alpha channel by the intensity (R*61 + G*174 + B*21) >> 8
// of mask drawn stretched over it, with the mask's own draw mode and master
// alpha. Colours, size and settings of target stay. An empty target or an
// absent or empty mask shows "Empty BMP" and leaves target fully opaque.
void ApplyAlphaMask(TBitmap32* target, const TBitmap32* mask);

// A bitmap layer that keeps several prepared images and alpha masks and shows
// the selected image through the selected mask.
class TMultiBitmapLayer : public TBitmapLayer {
public:
    // Takes no mouse events; no images, no masks.
    explicit TMultiBitmapLayer(TLayerCollection* collection);
    ~TMultiBitmapLayer() override;

    // Stores a copy (null: an empty bitmap) with blend draw mode and the given
    // master alpha / strength. The first image and the first mask take effect
    // at once; later ones wait to be selected.
    void AddImage(const TBitmap32* bitmap, int alpha);
    void AddMask(const TBitmap32* bitmap, int strength);
    // Indices outside the lists are ignored.
    void SelectImage(int index);
    void SelectMask(int index);

    int ImageIndex() const { return FImageIndex; }
    int MaskIndex() const { return FMaskIndex; }
    int ImageCount() const { return int(FImages.size()); }
    int MaskCount() const { return int(FMasks.size()); }

private:
    std::vector<std::unique_ptr<TBitmap32>> FMasks;
    int FMaskIndex = 0;
    std::vector<std::unique_ptr<TBitmap32>> FImages;
    int FImageIndex = 0;
};

// A new multi-bitmap layer (appended to collection, so on top) showing a copy
// of bitmap at design position (x, y): location (x, y, x + w, y + h) x scale.
// Blend draw mode, no mouse events, scaled, visible.
TMultiBitmapLayer* CreateMultiBitmapLayer(TLayerCollection* collection, int x, int y,
                                          const TBitmap32* bitmap, float scale);

// Visible and taking mouse events.
bool IsLayerActive(const TCustomLayer* layer);
// Sets both flags: visible first, then mouse events.
void SetLayerActive(TCustomLayer* layer, bool value);

// A background image at a design position with switchable overlays: child
// multi-bitmap layers of the same collection, created after it (so drawn over
// it). The collection owns the children; the list only refers to them, and
// hiding the list hides only its background.
class TBitmapLayerList : public TBitmapLayer {
public:
    // bitmap may be null: a list without background and an empty location at
    // (x, y) x scale.
    TBitmapLayerList(TLayerCollection* collection, int x, int y, const TBitmap32* bitmap,
                     float scale);
    ~TBitmapLayerList() override;

    // A new hidden child at (FX, FY) or at design position (x, y), sized by
    // bitmap, holding bitmap as its first image or mask. Returns its index.
    int AddChild(const TBitmap32* bitmap, int alpha, bool asMask);
    int AddChildAt(const TBitmap32* bitmap, int alpha, bool asMask, int x, int y);
    // Adds bitmap to child index as image or mask; other indices are ignored.
    void AddToChild(const TBitmap32* bitmap, int index, int alpha, bool asMask);

    // index must be within 0 .. ChildCount() - 1.
    TMultiBitmapLayer* Children(int index) const { return FChildren.at(size_t(index)); }
    int ChildCount() const { return int(FChildren.size()); }
    // No child is both visible and taking mouse events.
    bool AllChildrenInactive() const;
    // Moves the list to (left, top) in background-bitmap pixels, size kept;
    // the children move by the same amount.
    void MoveTo(float left, float top);
    void SetChildrenActive(bool value);

    int X() const { return FX; }
    int Y() const { return FY; }
    float Scale() const { return FScale; }
    TLayerCollection* Collection() const { return FCollection; }

protected:
    TLayerCollection* FCollection;
    int FX;
    int FY;
    float FScale;
    std::vector<TMultiBitmapLayer*> FChildren;
};
