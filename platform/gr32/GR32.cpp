#include "gr32/GR32.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Layer rectangles may lie anywhere (a broken arrow table can put an arrow
// at the 32-bit limits); pixel coordinates are kept well inside int.
int clampToPixel(double v)
{
    constexpr double kLimit = double(1 << 30);
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, -kLimit, kLimit));
}

int roundCoord(double v) { return clampToPixel(std::floor(v + 0.5)); }

QRect pixelRect(const QRectF& r)
{
    const int x1 = roundCoord(r.left());
    const int y1 = roundCoord(r.top());
    const int x2 = roundCoord(r.right());
    const int y2 = roundCoord(r.bottom());
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

// The area a change must repaint: the rectangle widened to whole pixels.
QRect dirtyRect(const QRectF& r)
{
    if (r.isEmpty())
        return {};
    return QRect(QPoint(clampToPixel(std::floor(r.left())), clampToPixel(std::floor(r.top()))),
                 QPoint(clampToPixel(std::ceil(r.right())) - 1, clampToPixel(std::ceil(r.bottom())) - 1));
}

// A view of a composition buffer as the screen shows it: alpha ignored.
QImage screenView(const QImage& b)
{
    return QImage(b.constBits(), b.width(), b.height(), b.bytesPerLine(), QImage::Format_RGB32);
}

}  // namespace

// ---------------------------------------------------------------- TBitmap32

TBitmap32::TBitmap32(const TBitmap32& other)
    : m_image(other.m_image),
      m_masterAlpha(other.m_masterAlpha),
      m_drawMode(other.m_drawMode),
      m_smooth(other.m_smooth)
{
}

TBitmap32& TBitmap32::operator=(const TBitmap32& other)
{
    if (this != &other)
        Assign(&other);
    return *this;
}

void TBitmap32::Assign(const TBitmap32* src)
{
    if (!src) {
        m_image = QImage();
    } else {
        m_image = src->m_image;
        m_masterAlpha = src->m_masterAlpha;
        m_drawMode = src->m_drawMode;
        m_smooth = src->m_smooth;
    }
    Changed();
}

void TBitmap32::SetSize(int width, int height)
{
    if (width <= 0 || height <= 0) {
        m_image = QImage();
    } else {
        m_image = QImage(width, height, QImage::Format_ARGB32);
        m_image.fill(0);
    }
    Changed();
}

void TBitmap32::SetImage(const QImage& image)
{
    m_image = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    Changed();
}

void TBitmap32::SetMasterAlpha(int value)
{
    if (value == m_masterAlpha)
        return;
    m_masterAlpha = value;
    Changed();
}

void TBitmap32::SetDrawMode(TDrawMode mode)
{
    if (mode == m_drawMode)
        return;
    m_drawMode = mode;
    Changed();
}

void TBitmap32::SetSmoothResampler(bool smooth)
{
    if (smooth == m_smooth)
        return;
    m_smooth = smooth;
    Changed();
}

void TBitmap32::Changed()
{
    ++m_generation;
    if (m_onChange)
        m_onChange();
}

QRect TBitmap32::ClipRect() const
{
    const QRect all(0, 0, Width(), Height());
    return m_clip.isNull() ? all : m_clip.intersected(all);
}

void TBitmap32::Clear(TColor32 color)
{
    if (!Empty())
        m_image.fill(color);
}

void TBitmap32::FillRectS(int x1, int y1, int x2, int y2, TColor32 color)
{
    const QRect r = QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).intersected(ClipRect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::fill(ScanLine(y) + r.left(), ScanLine(y) + r.right() + 1, color);
}

void TBitmap32::FrameRectS(int x1, int y1, int x2, int y2, TColor32 color)
{
    if (x2 <= x1 || y2 <= y1)
        return;
    FillRectS(x1, y1, x2, y1 + 1, color);
    FillRectS(x1, y2 - 1, x2, y2, color);
    FillRectS(x1, y1, x1 + 1, y2, color);
    FillRectS(x2 - 1, y1, x2, y2, color);
}

void TBitmap32::LineS(int x1, int y1, int x2, int y2, TColor32 color)
{
    // Bresenham; every pixel is tested against the clip rectangle, which is
    // cheap for the short lines the scenes draw.
    const QRect clip = ClipRect();
    const int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
    const int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    int x = x1, y = y1;
    while (x != x2 || y != y2) {
        if (clip.contains(x, y))
            ScanLine(y)[x] = color;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TBitmap32::RenderText(int x, int y, const QString& text, const QFont& font, TColor32 color,
                           bool antialias)
{
    if (Empty() || text.isEmpty())
        return;
    QFont f(font);
    f.setStyleStrategy(antialias ? QFont::PreferAntialias : QFont::NoAntialias);
    QPainter p(&m_image);
    p.setClipRect(ClipRect());
    p.setFont(f);
    p.setPen(QColor::fromRgba(color));
    const QFontMetrics fm(f);
    p.drawText(QPoint(x, y + fm.ascent()), text);
}

// ---------------------------------------------------------------- layers

TCustomLayer::TCustomLayer(TLayerCollection* collection) : m_collection(collection)
{
    if (m_collection)
        m_collection->Insert(this);
}

TCustomLayer::~TCustomLayer()
{
    if (m_collection)
        m_collection->Remove(this);
}

int TCustomLayer::Index() const { return m_collection ? m_collection->IndexOf(this) : -1; }

void TCustomLayer::SetVisible(bool value)
{
    if (value == m_visible)
        return;
    m_visible = value;
    if (m_collection)
        m_collection->Invalidate(PaintBounds());
}

void TCustomLayer::SetMouseEvents(bool value) { m_mouseEvents = value; }

bool TCustomLayer::HitTest(QPointF) const { return false; }

void TCustomLayer::Paint(TBitmap32&) {}

void TCustomLayer::Changed()
{
    if (m_visible && m_collection)
        m_collection->Invalidate(PaintBounds());
}

void TCustomLayer::Changed(const QRectF& area)
{
    if (m_visible && m_collection)
        m_collection->Invalidate(area);
}

TPositionedLayer::TPositionedLayer(TLayerCollection* collection) : TCustomLayer(collection)
{
    SetMouseEvents(true);
}

void TPositionedLayer::SetLocation(const TFloatRect& r)
{
    if (r == m_location)
        return;
    Changed();
    m_location = r;
    Changed();
}

bool TPositionedLayer::HitTest(QPointF p) const
{
    return p.x() >= m_location.Left && p.x() < m_location.Right && p.y() >= m_location.Top
        && p.y() < m_location.Bottom;
}

void TPositionedLayer::Paint(TBitmap32& buffer)
{
    if (m_onPaint)
        m_onPaint(this, buffer);
}

TPositionedLayer::~TPositionedLayer() { Changed(); }

TBitmapLayer::TBitmapLayer(TLayerCollection* collection) : TPositionedLayer(collection)
{
    m_bitmap.SetOnChange([this] { Changed(); });
}

void TBitmapLayer::Paint(TBitmap32& buffer)
{
    if (m_bitmap.Empty())
        return;
    const int alpha = m_bitmap.EffectiveMasterAlpha();
    const bool opaque = m_bitmap.DrawMode() == TDrawMode::dmOpaque;
    if (!opaque && alpha == 0)
        return;
    const QRect target = pixelRect(Location().toQRectF());
    if (target.isEmpty() || !target.intersects(buffer.ClipRect()))
        return;
    if (m_cacheGeneration != m_bitmap.Generation() || m_cacheSize != target.size()) {
        const QImage& src = m_bitmap.Image();
        const QImage scaled = src.size() == target.size()
            ? src
            : src.scaled(target.size(), Qt::IgnoreAspectRatio,
                         m_bitmap.SmoothResampler() ? Qt::SmoothTransformation
                                                    : Qt::FastTransformation);
        // Opaque drawing copies the colours and ignores alpha.
        m_cache = scaled.convertToFormat(opaque ? QImage::Format_RGB32
                                                : QImage::Format_ARGB32_Premultiplied);
        m_cacheGeneration = m_bitmap.Generation();
        m_cacheSize = target.size();
    }
    QPainter p(&buffer.Image());
    p.setClipRect(buffer.ClipRect());
    if (opaque) {
        p.setCompositionMode(QPainter::CompositionMode_Source);
    } else {
        p.setOpacity(alpha / 255.0);
    }
    p.drawImage(target.topLeft(), m_cache);
}

// ---------------------------------------------------------------- collection

TLayerCollection::~TLayerCollection() { Clear(); }

void TLayerCollection::Clear()
{
    m_clearing = true;
    std::vector<TCustomLayer*> layers;
    layers.swap(m_layers);
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
        (*it)->m_collection = nullptr;
        delete *it;
    }
    m_clearing = false;
    if (m_owner)
        m_owner->ComposeAll();
}

int TLayerCollection::IndexOf(const TCustomLayer* layer) const
{
    const auto it = std::find(m_layers.begin(), m_layers.end(), layer);
    return it == m_layers.end() ? -1 : int(it - m_layers.begin());
}

void TLayerCollection::Remove(TCustomLayer* layer)
{
    const auto it = std::find(m_layers.begin(), m_layers.end(), layer);
    if (it != m_layers.end())
        m_layers.erase(it);
}

TCustomLayer* TLayerCollection::LayerAt(QPointF p) const
{
    for (auto it = m_layers.rbegin(); it != m_layers.rend(); ++it) {
        if ((*it)->MouseEvents() && (*it)->HitTest(p))
            return *it;
    }
    return nullptr;
}

void TLayerCollection::Invalidate(const QRectF& area)
{
    if (!m_clearing && m_owner)
        m_owner->Invalidate(area);
}

// ---------------------------------------------------------------- TImage32

TImage32::TImage32(QWidget* parent)
    : QWidget(parent), m_layers(new TLayerCollection(this)), m_backColor(palette().color(QPalette::Window))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

TImage32::~TImage32()
{
    // Layers may refer to the widget while they go; free them first.
    TLayerCollection* layers = m_layers;
    layers->Clear();
    m_layers = nullptr;
    delete layers;
}

void TImage32::BackgroundChanged() { ComposeAll(); }

void TImage32::SetBackColor(const QColor& c)
{
    m_backColor = c;
    ComposeAll();
}

void TImage32::Invalidate(const QRectF& area)
{
    const QRect r = dirtyRect(area).intersected(rect());
    if (r.isEmpty())
        return;
    m_dirty += r;
    update(r);
}

void TImage32::ComposeAll()
{
    if (!m_layers)
        return;
    m_dirty = QRegion(rect());
    update();
}

void TImage32::ensureBuffer()
{
    if (m_buffer.Width() != width() || m_buffer.Height() != height()) {
        m_buffer.Image() = QImage(std::max(1, width()), std::max(1, height()),
                                  QImage::Format_ARGB32_Premultiplied);
        m_dirty = QRegion(rect());
    }
}

void TImage32::compose(const QRect& r)
{
    m_buffer.SetClipRect(r);
    {
        QPainter p(&m_buffer.Image());
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.fillRect(r, m_backColor);
        if (!m_background.Empty()) {
            if (m_backgroundCacheGeneration != m_background.Generation()) {
                m_backgroundCache = m_background.Image().convertToFormat(QImage::Format_RGB32);
                m_backgroundCacheGeneration = m_background.Generation();
            }
            p.setClipRect(r);
            p.drawImage(QPoint(0, 0), m_backgroundCache);
        }
    }
    for (int i = 0; i < m_layers->Count(); ++i) {
        TCustomLayer* layer = m_layers->Items(i);
        if (!layer->Visible())
            continue;
        const QRectF bounds = layer->PaintBounds();
        if (!bounds.isEmpty() && !dirtyRect(bounds).intersects(r))
            continue;
        layer->Paint(m_buffer);
    }
    m_buffer.ResetClipRect();
}

void TImage32::ComposeNow()
{
    ensureBuffer();
    for (const QRect& r : m_dirty)
        compose(r);
    m_dirty = QRegion();
}

QImage TImage32::Snapshot()
{
    ComposeNow();
    return screenView(m_buffer.Image()).copy();
}

void TImage32::paintEvent(QPaintEvent* event)
{
    ComposeNow();
    const QImage screen = screenView(m_buffer.Image());
    QPainter p(this);
    for (const QRect& r : event->region())
        p.drawImage(r.topLeft(), screen, r);
}

void TImage32::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureBuffer();
}

void TImage32::mousePressEvent(QMouseEvent* event)
{
    TCustomLayer* layer = LayerAt(event->position());
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_pressLayer = layer;
    }
    emit MouseDown(event, layer);
}

void TImage32::mouseMoveEvent(QMouseEvent* event)
{
    TCustomLayer* layer = LayerAt(event->position());
    setCursor(layer ? layer->Cursor() : Qt::ArrowCursor);
    emit MouseMove(event, layer);
}

void TImage32::mouseReleaseEvent(QMouseEvent* event)
{
    TCustomLayer* layer = LayerAt(event->position());
    if (event->button() == Qt::LeftButton && m_pressed) {
        if (m_pressLayer && m_layers->IndexOf(m_pressLayer) >= 0)
            layer = m_pressLayer;
        m_pressed = false;
        m_pressLayer = nullptr;
    }
    emit MouseUp(event, layer);
}

void TImage32::leaveEvent(QEvent* event)
{
    setCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

// ---------------------------------------------------------------- TPaintBox32

TPaintBox32::TPaintBox32(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox32::Invalidate()
{
    m_invalid = true;
    update();
}

void TPaintBox32::ValidateBuffer()
{
    if (m_buffer.Width() != width() || m_buffer.Height() != height()) {
        m_buffer.SetSize(std::max(1, width()), std::max(1, height()));
        m_invalid = true;
    }
    if (m_invalid) {
        m_invalid = false;
        PaintBuffer(m_buffer);
    }
}

void TPaintBox32::paintEvent(QPaintEvent*)
{
    ValidateBuffer();
    QPainter p(this);
    p.drawImage(QPoint(0, 0), screenView(m_buffer.Image()));
}

void TPaintBox32::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Invalidate();
}
