// The main window's 207 x 47 logo: a small diffuser mark with a cool and a warm
// air stream, and the wordmark.

#include "AssetSink.h"
#include "DrawKit.h"
#include "Families.h"
#include "GifEncoder.h"
#include "Palette.h"

#include <QFont>

void addLogo(AssetSink& sink)
{
    constexpr int W = 207, H = 47;
    QImage img(W, H, QImage::Format_RGB32);
    img.fill(Palette::LabelPlate);
    QPainter p;
    Draw::begin(p, img);
    p.setPen(QPen(Palette::outline(Palette::LabelPlate), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, W - 1, H - 1));

    // Mark: a ceiling diffuser with air leaving on both sides and falling,
    // cool on the left, warm on the right.
    const qreal cx = 24;
    p.setPen(QPen(Palette::color(Palette::Structure), 2.0));
    p.drawLine(QPointF(5, 16), QPointF(43, 16));
    Draw::box(p, QRectF(cx - 5, 3, 10, 14), Palette::DuctBody);
    QPainterPath cone;
    cone.moveTo(cx - 5, 16);
    cone.lineTo(cx + 5, 16);
    cone.lineTo(cx + 13, 21);
    cone.lineTo(cx - 13, 21);
    cone.closeSubpath();
    Draw::shape(p, cone, Palette::Diffuser);
    Draw::box(p, QRectF(cx - 7, 16.5, 14, 2.5), Palette::Disc, 1);
    for (int side : {-1, 1}) {
        QPainterPath stream;
        stream.moveTo(cx + side * 14, 22);
        stream.cubicTo(cx + side * 20, 22, cx + side * 20, 30, cx + side * 19, 37);
        const QColor color = Palette::color(side < 0 ? Palette::CoolLight : Palette::WarmLight);
        p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(stream);
        QPainterPath head;
        head.moveTo(cx + side * 19 - 4, 36);
        head.lineTo(cx + side * 19 + 4, 36);
        head.lineTo(cx + side * 19, 43);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(head);
    }

    QFont big(QStringLiteral("Liberation Sans"));
    big.setPixelSize(19);
    big.setBold(true);
    p.setFont(big);
    p.setPen(Palette::color(Palette::DuctHighlight));
    p.drawText(QPointF(48, 22), QStringLiteral("Corvane-Air"));
    QFont small(QStringLiteral("Liberation Sans"));
    small.setPixelSize(15);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 0.6);
    p.setFont(small);
    p.setPen(Palette::color(Palette::WarmLight));
    p.drawText(QPointF(49, 40), QStringLiteral("Calorift"));
    p.end();

    sink.addFile(QStringLiteral("logo/Logo.bmp"), encodeBmp(img));
}
