// The step list of the calibration walkthroughs: each step shows a group of
// click targets at its own place and fills the window's memo and action label.
#pragma once

#include <QString>

#include <memory>
#include <vector>

class QLabel;
class QPlainTextEdit;
class TBitmapLayerList;

// One step: the targets to show (not owned; several steps may share one
// group), where to put them, and the texts for the memo and the label.
class THotSpot {
public:
    TBitmapLayerList* Layers() const { return FLayers; }
    void SetLayers(TBitmapLayerList* value) { FLayers = value; }
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& value) { FDescription = value; }
    const QString& Action() const { return FAction; }
    void SetAction(const QString& value) { FAction = value; }
    // Final buffer pixels (already multiplied by the scene's scale factor).
    float X() const { return FX; }
    void SetX(float value) { FX = value; }
    float Y() const { return FY; }
    void SetY(float value) { FY = value; }

private:
    TBitmapLayerList* FLayers = nullptr;
    QString FDescription;  // lines separated by CR LF
    QString FAction;
    float FX = 0;
    float FY = 0;
};

// The ordered steps with a cursor on the current one. Owns its steps, but
// neither the layer groups nor the two controls.
class THotSpotGroupList {
public:
    THotSpotGroupList() = default;
    ~THotSpotGroupList();
    THotSpotGroupList(const THotSpotGroupList&) = delete;
    THotSpotGroupList& operator=(const THotSpotGroupList&) = delete;

    // Layers may be null: a step that only shows text.
    void AddHotSpot(TBitmapLayerList* Layers, const QString& Action, const QString& Description,
                    float X, float Y);

    // Hides the current step's targets and empties the texts, then shows step
    // Index (-1 .. Count - 1) at its place. The targets clicked away in an
    // earlier visit show again.
    void Select(int Index);
    // Neither wraps: Next stops at the last step, Previous at the first.
    void Next();
    void Previous();

    // The current step's group; null before the first step or for a step without one.
    TBitmapLayerList* CurrentLayers() const;
    int Current() const { return FCurrent; }
    int Count() const { return int(FItems.size()); }
    const THotSpot& Items(int index) const { return *FItems.at(size_t(index)); }
    // Frees every step; the cursor goes back to -1 without touching the layers.
    void Clear();

    // Set by the owner after the steps are added and before the first Select.
    QPlainTextEdit* Memo = nullptr;
    QLabel* ActionLabel = nullptr;

    // A description's lines: CR LF (or a lone CR or LF) ends a line.
    static QString MemoText(const QString& description);

private:
    std::vector<std::unique_ptr<THotSpot>> FItems;
    int FCurrent = -1;
};
