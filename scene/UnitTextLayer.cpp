#include "UnitTextLayer.h"

#include "vcl/Rounding.h"
#include "vcl/Screen.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

int g_liveLabels = 0;

constexpr TColor32 kWhite = 0xFFFFFFFF;

float screenRatio() { return EffectiveScreenWidth() / 800.0f; }

int pixelsPerInch()
{
    const int ppi = TScreen::PixelsPerInch();
    return ppi > 0 ? ppi : 96;
}

}  // namespace

TTextlabel::TTextlabel(int x, int y, const QString& text) : X(x), Y(y), Text(text)
{
    ++g_liveLabels;
}

TTextlabel::~TTextlabel() { --g_liveLabels; }

int TTextlabel::LiveCount() { return g_liveLabels; }

TTextLayer::TTextLayer(TLayerCollection* collection, int Left, int Top, int Width, int Height)
    : TPositionedLayer(collection)
{
    SetVisible(true);
    SetMouseEvents(false);
    SetScaled(true);
    SetLocation({float(Left), float(Top), float(Left + Width), float(Top + Height)});
    SetOnPaint([this](TPositionedLayer* sender, TBitmap32& buffer) { PaintLabels(sender, buffer); });
}

TTextLayer::~TTextLayer()
{
    // Repaint where the texts were while they are still known.
    const QRectF area = PaintBounds();
    FLabels.clear();
    Changed(area);
}

void TTextLayer::AddLabel(int X, int Y, const QString& Text)
{
    FLabels.push_back(std::make_unique<TTextlabel>(X, Y, Text));
    Changed(labelBounds(*FLabels.back(), LabelFont()));
}

int TTextLayer::FontSize()
{
    const float f = screenRatio();
    return RoundHalfEven(8.0 * f * 96.0 / pixelsPerInch());
}

QFont TTextLayer::LabelFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Points to pixels at the screen's own density, as the design assumes.
    font.setPixelSize(std::max(1, RoundHalfEven(FontSize() * double(pixelsPerInch()) / 72.0)));
    return font;
}

QPoint TTextLayer::LabelPosition(int X, int Y)
{
    const float f = screenRatio();
    return QPoint(RoundHalfEven(X * double(f)), RoundHalfEven(Y * double(f)));
}

QRect TTextLayer::labelBounds(const TTextlabel& label, const QFont& font) const
{
    const QPoint at = LabelPosition(label.X, label.Y);
    const QFontMetrics fm(font);
    QRect r(at, QSize(fm.horizontalAdvance(label.Text), fm.height()));
    r |= fm.boundingRect(label.Text).translated(at.x(), at.y() + fm.ascent());
    // Glyphs may overhang their advance by a pixel.
    return r.adjusted(-1, -1, 1, 1);
}

QRectF TTextLayer::PaintBounds() const
{
    QRectF bounds = Location().toQRectF();
    if (!FLabels.empty()) {
        const QFont font = LabelFont();
        for (const auto& label : FLabels)
            bounds |= QRectF(labelBounds(*label, font));
    }
    return bounds;
}

void TTextLayer::PaintLabels(TPositionedLayer*, TBitmap32& Buffer)
{
    if (FLabels.empty())
        return;
    const QFont font = LabelFont();
    const QRect clip = Buffer.ClipRect();
    for (const auto& label : FLabels) {
        // Most repaints are small (a moving arrow); skip texts they miss.
        if (!labelBounds(*label, font).intersects(clip))
            continue;
        const QPoint at = LabelPosition(label->X, label->Y);
        Buffer.RenderText(at.x(), at.y(), label->Text, font, kWhite, false);
    }
}
