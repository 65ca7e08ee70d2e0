#include "G32_Button.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>

namespace {

constexpr TColor32 EdgeLight = Color32(255, 255, 255, 32 * 512 / 100);  // alpha 163
constexpr TColor32 EdgeDark = Color32(0, 0, 0, 32 * 255 / 100);         // alpha 81

TColor32 blend(TColor32 fg, TColor32 bg)
{
    const int a = AlphaComponent(fg);
    if (a == 0)
        return bg;
    if (a == 255)
        return fg;
    const auto mix = [a](int f, int b) { return (f * a + b * (255 - a) + 127) / 255; };
    const int ba = AlphaComponent(bg);
    return Color32(mix(RedComponent(fg), RedComponent(bg)), mix(GreenComponent(fg), GreenComponent(bg)),
                   mix(BlueComponent(fg), BlueComponent(bg)), ba + ((255 - ba) * a + 127) / 255);
}

} // namespace

TG32_Button::TG32_Button(QWidget* parent) : TPaintBox32(parent)
{
    // Moves arrive without a button held, so the hover look can follow the pointer.
    setMouseTracking(true);
    resize(75, 25);
}

TG32_Button::~TG32_Button() = default;

// ---------------------------------------------------------------- colours

QColor TG32_Button::resolve(const std::optional<QColor>& c, int role) const
{
    return c ? *c : palette().color(QPalette::ColorRole(role));
}

QColor TG32_Button::Color() const { return resolve(FColor, QPalette::Button); }
QColor TG32_Button::FocusColor() const { return resolve(FFocusColor, QPalette::Midlight); }
QColor TG32_Button::BackColor() const { return resolve(FBackColor, QPalette::Dark); }
QColor TG32_Button::DisabledColor() const { return resolve(FDisabledColor, QPalette::Button); }
QColor TG32_Button::FontColor() const { return resolve(FFontColor, QPalette::ButtonText); }

void TG32_Button::SetColor(const QColor& value)
{
    FColor = value;
    Invalidate();
}

void TG32_Button::SetFocusColor(const QColor& value)
{
    FFocusColor = value;
    Invalidate();
}

void TG32_Button::SetBackColor(const QColor& value)
{
    FBackColor = value;
    Invalidate();
}

void TG32_Button::SetDisabledColor(const QColor& value)
{
    FDisabledColor = value;
    Invalidate();
}

void TG32_Button::SetFontColor(const QColor& value)
{
    FFontColor = value;
    Invalidate();
}

void TG32_Button::SetContrast(int value)
{
    FContrast = value;
    Invalidate();
}

void TG32_Button::SetCaption(const QString& value)
{
    FCaption = value;
    setAccessibleName(QString(value).remove(QLatin1Char('&')));
    updateShortcut();
    Invalidate();
}

TColor32 TG32_Button::Lighten(TColor32 color, int amount)
{
    const auto ch = [amount](int v) { return std::clamp(v + amount, 0, 255); };
    return Color32(ch(RedComponent(color)), ch(GreenComponent(color)), ch(BlueComponent(color)),
                   AlphaComponent(color));
}

TColor32 TG32_Button::ToColor32(const QColor& c)
{
    const QColor rgb = c.toRgb();
    return Color32(rgb.red(), rgb.green(), rgb.blue(), 255);
}

// ---------------------------------------------------------------- lines

void TG32_Button::HorzLine(TBitmap32& b, int x1, int x2, int y, TColor32 color)
{
    const QRect clip = b.ClipRect();
    if (y < clip.top() || y > clip.bottom())
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    x1 = std::max(x1, clip.left());
    x2 = std::min(x2, clip.right());
    TColor32* row = b.ScanLine(y);
    for (int x = x1; x <= x2; ++x)
        row[x] = color;
}

void TG32_Button::VertLine(TBitmap32& b, int x, int y1, int y2, TColor32 color)
{
    const QRect clip = b.ClipRect();
    if (x < clip.left() || x > clip.right())
        return;
    if (y1 > y2)
        std::swap(y1, y2);
    y1 = std::max(y1, clip.top());
    y2 = std::min(y2, clip.bottom());
    for (int y = y1; y <= y2; ++y)
        b.ScanLine(y)[x] = color;
}

void TG32_Button::HorzLineBlend(TBitmap32& b, int x1, int x2, int y, TColor32 color)
{
    const QRect clip = b.ClipRect();
    if (y < clip.top() || y > clip.bottom())
        return;
    if (x1 > x2)
        std::swap(x1, x2);
    x1 = std::max(x1, clip.left());
    x2 = std::min(x2, clip.right());
    TColor32* row = b.ScanLine(y);
    for (int x = x1; x <= x2; ++x)
        row[x] = blend(color, row[x]);
}

void TG32_Button::VertLineBlend(TBitmap32& b, int x, int y1, int y2, TColor32 color)
{
    const QRect clip = b.ClipRect();
    if (x < clip.left() || x > clip.right())
        return;
    if (y1 > y2)
        std::swap(y1, y2);
    y1 = std::max(y1, clip.top());
    y2 = std::min(y2, clip.bottom());
    for (int y = y1; y <= y2; ++y)
        b.ScanLine(y)[x] = blend(color, b.ScanLine(y)[x]);
}

// ---------------------------------------------------------------- drawing

void TG32_Button::PaintBuffer(TBitmap32& buffer)
{
    const QRect r(0, 0, buffer.Width(), buffer.Height());
    buffer.ResetClipRect();
    if (FDown)
        DrawDown(buffer, r);
    else
        DrawUp(buffer, r);
    DrawCaption(buffer, r);
    buffer.Changed();
}

void TG32_Button::DrawUp(TBitmap32& buffer, const QRect& r)
{
    const int w = r.width();
    const int h = r.height();
    QColor baseColor = FMouseIn ? FocusColor() : Color();
    if (!isEnabled())
        baseColor = DisabledColor();
    const TColor32 base = ToColor32(baseColor);

    if (FContrast != 0) {
        const int mid = (0 + h) / 2;
        for (int y = 0; y < h; ++y)
            HorzLine(buffer, 0, w - 1, y, Lighten(base, ((mid - y) * FContrast) / h));
        if (FMouseIn) {
            const TColor32 black = 0;
            VertLine(buffer, 3, 3, 7, black);
            VertLine(buffer, 3, h - 8, h - 4, black);
            VertLine(buffer, w - 3, 3, 7, black);
            VertLine(buffer, w - 3, h - 8, h - 4, black);
            HorzLine(buffer, 3, 7, 3, black);
            HorzLine(buffer, w - 7, w - 3, 3, black);
            HorzLine(buffer, 3, 7, h - 4, black);
            HorzLine(buffer, w - 7, w - 3, h - 4, black);
        }
    } else {
        buffer.FillRectS(0, 0, w, h, base);
    }

    HorzLineBlend(buffer, 0, w - 1, 0, EdgeLight);
    VertLineBlend(buffer, 0, 1, h - 2, EdgeLight);
    HorzLineBlend(buffer, 0, w - 1, h - 1, EdgeDark);
    VertLineBlend(buffer, w - 1, 1, h - 2, EdgeDark);
}

void TG32_Button::DrawDown(TBitmap32& buffer, const QRect& r)
{
    const int w = r.width();
    const int h = r.height();
    const TColor32 frame = ToColor32(palette().color(QPalette::Shadow));
    HorzLine(buffer, 0, w - 1, 0, frame);
    HorzLine(buffer, 0, w - 1, h - 1, frame);
    VertLine(buffer, 0, 1, h - 2, frame);
    VertLine(buffer, w - 1, 1, h - 2, frame);

    const TColor32 back = ToColor32(BackColor());
    buffer.FillRectS(1, 1, w - 1, h - 1, back);

    const TColor32 dark = Lighten(back, -32);
    HorzLine(buffer, 1, w - 2, 1, dark);
    VertLine(buffer, 1, 2, h - 2, dark);
    // From the clamped dark colour, so a channel near 0 ends up at 64.
    const TColor32 light = Lighten(dark, 64);
    HorzLine(buffer, 1, w - 2, h - 2, light);
    VertLine(buffer, w - 2, 2, h - 2, light);
}

void TG32_Button::DrawCaption(TBitmap32& buffer, const QRect& r)
{
    if (FCaption.isEmpty())
        return;
    QFont f = font();
    // Crisp glyphs: the caption's pixels are exactly the font colour.
    f.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics fm(f);
    const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QSize size = fm.size(flags, FCaption);
    const int cx = size.width();
    const int cy = size.height();
    QRect text((r.width() - cx) / 2, (r.height() - cy) / 2, cx, cy);

    QPainter p(&buffer.Image());
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(f);
    if (isEnabled()) {
        if (FDown)
            text.translate(2, 2);
        p.setPen(FontColor());
        p.drawText(text, flags, FCaption);
    } else {
        text.translate(1, 1);
        p.setPen(palette().color(QPalette::Light));
        p.drawText(text, flags, FCaption);
        text.translate(-1, -1);
        p.setPen(palette().color(QPalette::Dark));
        p.drawText(text, flags, FCaption);
    }
}

// ---------------------------------------------------------------- input

bool TG32_Button::IsInside(int x, int y) const
{
    return x >= 0 && x < width() && y >= 0 && y < height();
}

void TG32_Button::mousePressEvent(QMouseEvent* event)
{
    TPaintBox32::mousePressEvent(event);
    // Qt keeps sending moves and the release here while a button is held.
    if (event->button() == Qt::LeftButton && isEnabled()) {
        FDown = true;
        FTracking = true;
        Invalidate();
    }
}

void TG32_Button::mouseMoveEvent(QMouseEvent* event)
{
    TPaintBox32::mouseMoveEvent(event);
    const QPoint p = event->position().toPoint();
    FMouseIn = IsInside(p.x(), p.y());
    if (FTracking)
        FDown = FMouseIn;
    Invalidate();
}

void TG32_Button::mouseReleaseEvent(QMouseEvent* event)
{
    TPaintBox32::mouseReleaseEvent(event);
    if (!FDown && !FTracking)
        return;
    FDown = false;
    if (FTracking) {
        FTracking = false;
        // Any release ends the press; only the left one over the button clicks.
        const QPoint p = event->position().toPoint();
        if (event->button() == Qt::LeftButton && IsInside(p.x(), p.y()))
            emit Click();
    }
    Invalidate();
}

void TG32_Button::leaveEvent(QEvent* event)
{
    TPaintBox32::leaveEvent(event);
    if (isEnabled() && FMouseIn) {
        FMouseIn = false;
        FDown = false;
        // FTracking stays: coming back during the same press looks pressed again.
        Invalidate();
    }
}

void TG32_Button::changeEvent(QEvent* event)
{
    TPaintBox32::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::FontChange)
        Invalidate();
}

// ---------------------------------------------------------------- accelerator

QChar TG32_Button::Accelerator() const
{
    for (qsizetype i = 0; i + 1 < FCaption.size(); ++i) {
        if (FCaption[i] != QLatin1Char('&'))
            continue;
        if (FCaption[i + 1] == QLatin1Char('&')) {
            ++i;  // "&&" is a literal ampersand
            continue;
        }
        return FCaption[i + 1];
    }
    return {};
}

bool TG32_Button::DialogChar(QChar ch)
{
    const QChar acc = Accelerator();
    if (acc.isNull() || !isEnabled() || ch.toCaseFolded() != acc.toCaseFolded())
        return false;
    emit Click();
    return true;
}

void TG32_Button::updateShortcut()
{
    if (FShortcutId != 0) {
        releaseShortcut(FShortcutId);
        FShortcutId = 0;
    }
    // Alt + the marked letter reaches the button wherever the focus is in its window.
    const QKeySequence seq = QKeySequence::mnemonic(FCaption);
    if (!seq.isEmpty())
        FShortcutId = grabShortcut(seq);
}

bool TG32_Button::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        auto* se = static_cast<QShortcutEvent*>(event);
        if (se->shortcutId() == FShortcutId) {
            DialogChar(Accelerator());
            return true;
        }
    }
    return TPaintBox32::event(event);
}
