// 32-bit bitmaps, layers and the layered image control.
// API ready
//
// A TImage32 shows a background bitmap with a collection of layers drawn over
// it in creation order. Layers are created with `new TSomeLayer(collection, ...)`:
// the collection takes ownership and frees them with itself. Positions are in
// the image's pixels (the control always shows its bitmap 1:1 from the
// top-left corner, so layer coordinates and widget coordinates coincide).
#pragma once

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

using TColor32 = quint32;  // 0xAARRGGBB, not premultiplied

constexpr TColor32 Color32(int r, int g, int b, int a = 255)
{
    return (TColor32(a & 0xFF) << 24) | (TColor32(r & 0xFF) << 16) | (TColor32(g & 0xFF) << 8)
        | TColor32(b & 0xFF);
}
constexpr int AlphaComponent(TColor32 c) { return int(c >> 24); }
constexpr int RedComponent(TColor32 c) { return int((c >> 16) & 0xFF); }
constexpr int GreenComponent(TColor32 c) { return int((c >> 8) & 0xFF); }
constexpr int BlueComponent(TColor32 c) { return int(c & 0xFF); }

enum class TDrawMode { dmOpaque, dmBlend };

struct TFloatRect {
    float Left = 0, Top = 0, Right = 0, Bottom = 0;
    QRectF toQRectF() const { return QRectF(QPointF(Left, Top), QPointF(Right, Bottom)); }
    bool operator==(const TFloatRect&) const = default;
};

// A 32-bit ARGB bitmap. Pixels are not premultiplied, so an alpha mask can
// replace the alpha channel without touching the colour. Copying copies the
// pixels and the settings (master alpha, draw mode, resampler), never the
// change listener.
class TBitmap32 {
public:
    TBitmap32() = default;
    TBitmap32(const TBitmap32& other);
    TBitmap32& operator=(const TBitmap32& other);
    ~TBitmap32() = default;

    // Copies src; a null src gives an empty bitmap (settings unchanged).
    void Assign(const TBitmap32* src);

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    bool Empty() const { return m_image.isNull() || m_image.width() == 0 || m_image.height() == 0; }
    // New size, every pixel 0 (all four channels).
    void SetSize(int width, int height);
    // Takes a QImage (converted to ARGB32) as the pixels; settings unchanged.
    void SetImage(const QImage& image);

    // Format_ARGB32 for ordinary bitmaps; composition buffers use
    // Format_ARGB32_Premultiplied (see TImage32). Call Changed() after
    // writing pixels directly.
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }
    TColor32* ScanLine(int y) { return reinterpret_cast<TColor32*>(m_image.scanLine(y)); }
    const TColor32* ScanLine(int y) const { return reinterpret_cast<const TColor32*>(m_image.constScanLine(y)); }
    TColor32 Pixel(int x, int y) const { return ScanLine(y)[x]; }
    void SetPixel(int x, int y, TColor32 c) { ScanLine(y)[x] = c; }

    // Master alpha as stored; values beyond 0..255 draw clamped.
    int MasterAlpha() const { return m_masterAlpha; }
    int EffectiveMasterAlpha() const { return m_masterAlpha < 0 ? 0 : (m_masterAlpha > 255 ? 255 : m_masterAlpha); }
    void SetMasterAlpha(int value);
    TDrawMode DrawMode() const { return m_drawMode; }
    void SetDrawMode(TDrawMode mode);
    // false: nearest-neighbour stretching (the default); true: smooth.
    bool SmoothResampler() const { return m_smooth; }
    void SetSmoothResampler(bool smooth);

    // Signals that pixels or settings changed, so whoever shows the bitmap repaints.
    void Changed();
    quint64 Generation() const { return m_generation; }
    void SetOnChange(std::function<void()> handler) { m_onChange = std::move(handler); }

    // Drawing that the scenes need. Pixels are replaced, not blended, and
    // clipped to ClipRect() (the whole bitmap unless set).
    QRect ClipRect() const;
    void SetClipRect(const QRect& r) { m_clip = r; }
    void ResetClipRect() { m_clip = QRect(); }
    void Clear(TColor32 color);
    void FillRectS(int x1, int y1, int x2, int y2, TColor32 color);  // right/bottom exclusive
    void FrameRectS(int x1, int y1, int x2, int y2, TColor32 color);  // 1-pixel outline
    // A 1-pixel line from (x1, y1) towards (x2, y2); the end pixel is left
    // out so a polyline does not draw its joints twice.
    void LineS(int x1, int y1, int x2, int y2, TColor32 color);
    // Text with its top-left corner at (x, y), blended in the colour's alpha.
    // antialias false: the glyphs' coverage is thresholded, no soft edges.
    void RenderText(int x, int y, const QString& text, const QFont& font, TColor32 color,
                    bool antialias = false);

private:
    QImage m_image;
    int m_masterAlpha = 255;
    TDrawMode m_drawMode = TDrawMode::dmOpaque;
    bool m_smooth = false;
    QRect m_clip;
    quint64 m_generation = 0;
    std::function<void()> m_onChange;
};

class TImage32;
class TLayerCollection;

class TCustomLayer {
public:
    explicit TCustomLayer(TLayerCollection* collection);
    virtual ~TCustomLayer();
    TCustomLayer(const TCustomLayer&) = delete;
    TCustomLayer& operator=(const TCustomLayer&) = delete;

    TLayerCollection* LayerCollection() const { return m_collection; }
    int Index() const;

    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    bool MouseEvents() const { return m_mouseEvents; }
    void SetMouseEvents(bool value);
    Qt::CursorShape Cursor() const { return m_cursor; }
    void SetCursor(Qt::CursorShape c) { m_cursor = c; }

    // Does the layer take a mouse event at p (image pixels)? Visibility is not asked.
    virtual bool HitTest(QPointF p) const;
    // The area the layer draws into, in image pixels; a change repaints it.
    virtual QRectF PaintBounds() const { return {}; }
    // Draws the layer into buffer, within buffer.ClipRect().
    virtual void Paint(TBitmap32& buffer);

    // Repaints the layer's area.
    void Changed();
    void Changed(const QRectF& area);

private:
    friend class TLayerCollection;
    TLayerCollection* m_collection;
    bool m_visible = true;
    bool m_mouseEvents = false;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
};

// A layer with a location rectangle; draws through its paint event.
class TPositionedLayer : public TCustomLayer {
public:
    using PaintHandler = std::function<void(TPositionedLayer* sender, TBitmap32& buffer)>;

    // Location (0, 0, 64, 64), visible, taking mouse events.
    explicit TPositionedLayer(TLayerCollection* collection);
    ~TPositionedLayer() override;

    const TFloatRect& Location() const { return m_location; }
    void SetLocation(const TFloatRect& r);
    // Location follows the image's zoom and offset. The control shows its
    // bitmap 1:1 from the top-left, so this only records the setting.
    bool Scaled() const { return m_scaled; }
    void SetScaled(bool value) { m_scaled = value; }

    void SetOnPaint(PaintHandler handler) { m_onPaint = std::move(handler); }

    bool HitTest(QPointF p) const override;
    QRectF PaintBounds() const override { return m_location.toQRectF(); }
    void Paint(TBitmap32& buffer) override;

private:
    TFloatRect m_location{0, 0, 64, 64};
    bool m_scaled = false;
    PaintHandler m_onPaint;
};

// A positioned layer that owns a bitmap and draws it stretched into its
// location with the bitmap's draw mode and master alpha. Hit wherever its
// location is, whatever the alpha of its pixels.
class TBitmapLayer : public TPositionedLayer {
public:
    explicit TBitmapLayer(TLayerCollection* collection);

    TBitmap32& Bitmap() { return m_bitmap; }
    const TBitmap32& Bitmap() const { return m_bitmap; }

    void Paint(TBitmap32& buffer) override;

private:
    TBitmap32 m_bitmap;
    // The stretched, premultiplied picture; rebuilt only when the bitmap or
    // the size of the location changes.
    QImage m_cache;
    quint64 m_cacheGeneration = ~0ull;
    QSize m_cacheSize;
};

class TLayerCollection {
public:
    explicit TLayerCollection(TImage32* owner) : m_owner(owner) {}
    ~TLayerCollection();  // frees every layer
    TLayerCollection(const TLayerCollection&) = delete;
    TLayerCollection& operator=(const TLayerCollection&) = delete;

    int Count() const { return int(m_layers.size()); }
    TCustomLayer* Items(int index) const { return m_layers[size_t(index)]; }
    int IndexOf(const TCustomLayer* layer) const;
    // Frees every layer.
    void Clear();
    TImage32* Owner() const { return m_owner; }

    // Topmost layer that takes mouse events and whose area holds p, visible or not.
    TCustomLayer* LayerAt(QPointF p) const;

    void Invalidate(const QRectF& area);

private:
    friend class TCustomLayer;
    void Insert(TCustomLayer* layer) { m_layers.push_back(layer); }
    void Remove(TCustomLayer* layer);

    TImage32* m_owner;
    std::vector<TCustomLayer*> m_layers;
    bool m_clearing = false;
};

// The layered image control: a background bitmap drawn 1:1 at the top-left,
// the layers over it, composed into one buffer that is copied to the screen.
// Only what changed is composed again.
class TImage32 : public QWidget {
    Q_OBJECT
public:
    explicit TImage32(QWidget* parent = nullptr);
    ~TImage32() override;

    TBitmap32& Bitmap() { return m_background; }
    // Call after changing the background bitmap.
    void BackgroundChanged();
    TLayerCollection& Layers() { return *m_layers; }

    // Colour shown where there is no background bitmap.
    QColor BackColor() const { return m_backColor; }
    void SetBackColor(const QColor& c);

    // Marks an area (image pixels) for composition at the next paint.
    void Invalidate(const QRectF& area);
    // Composes everything that is pending into the buffer now (tests, benches, grabs).
    void ComposeNow();
    // Composes the whole picture again.
    void ComposeAll();
    // The composition buffer (premultiplied ARGB; alpha is ignored on screen).
    const TBitmap32& Buffer() const { return m_buffer; }
    // The picture as the screen shows it (RGB32).
    QImage Snapshot();

    TCustomLayer* LayerAt(QPointF p) const { return m_layers->LayerAt(p); }

signals:
    void MouseDown(QMouseEvent* event, TCustomLayer* layer);
    void MouseMove(QMouseEvent* event, TCustomLayer* layer);
    // The layer is the one on which a left press began, if it began on a
    // layer, otherwise the layer under the pointer.
    void MouseUp(QMouseEvent* event, TCustomLayer* layer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void compose(const QRect& rect);
    void ensureBuffer();

    TBitmap32 m_background;
    QImage m_backgroundCache;  // the background as the buffer takes it
    quint64 m_backgroundCacheGeneration = ~0ull;
    TBitmap32 m_buffer;
    TLayerCollection* m_layers;
    QRegion m_dirty;
    QColor m_backColor;
    TCustomLayer* m_pressLayer = nullptr;
    bool m_pressed = false;
};

// A control with its own 32-bit buffer of the control's size. The buffer is
// redrawn by PaintBuffer() when invalid and copied to the screen (alpha ignored).
class TPaintBox32 : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox32(QWidget* parent = nullptr);

    TBitmap32& Buffer() { return m_buffer; }
    void Invalidate();
    // Redraws the buffer now if it is invalid.
    void ValidateBuffer();

protected:
    virtual void PaintBuffer(TBitmap32& buffer) = 0;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TBitmap32 m_buffer;
    bool m_invalid = true;
};
