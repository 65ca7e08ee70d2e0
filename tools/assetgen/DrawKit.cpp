#include "DrawKit.h"

#include "Palette.h"

#include <QtMath>

namespace Draw {

QImage canvas(int width, int height)
{
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void begin(QPainter& p, QImage& image)
{
    p.begin(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
}

void shape(QPainter& p, const QPainterPath& path, QRgb fill)
{
    p.save();
    p.setPen(QPen(Palette::outline(fill), 1.0));
    p.setBrush(Palette::color(fill));
    p.drawPath(path);
    p.restore();
}

void box(QPainter& p, const QRectF& r, QRgb fill, qreal radius)
{
    QPainterPath path;
    if (radius > 0)
        path.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    else
        path.addRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    shape(p, path, fill);
}

void rectDuct(QPainter& p, const QRectF& r, qreal jointSpacing)
{
    const bool vertical = r.height() > r.width();
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawRect(r);
    // Highlight on the lit side (top, or left for a riser) and a soft shade on the other.
    p.setBrush(Palette::color(Palette::DuctHighlight));
    if (vertical)
        p.drawRect(QRectF(r.left() + 2, r.top(), 3, r.height()));
    else
        p.drawRect(QRectF(r.left(), r.top() + 2, r.width(), 3));
    p.setBrush(Palette::withAlpha(Palette::DuctJoint, 60));
    if (vertical)
        p.drawRect(QRectF(r.right() - 4, r.top(), 4, r.height()));
    else
        p.drawRect(QRectF(r.left(), r.bottom() - 4, r.width(), 4));
    // Flanged joints stand one pixel proud of the duct.
    p.setBrush(Palette::color(Palette::DuctJoint));
    if (jointSpacing > 0) {
        if (vertical) {
            for (qreal y = r.top() + jointSpacing; y < r.bottom() - 6; y += jointSpacing)
                p.drawRect(QRectF(r.left() - 1, y, r.width() + 2, 2));
        } else {
            for (qreal x = r.left() + jointSpacing; x < r.right() - 6; x += jointSpacing)
                p.drawRect(QRectF(x, r.top() - 1, 2, r.height() + 2));
        }
    }
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    p.restore();
}

void roundDuct(QPainter& p, const QRectF& r, qreal seamSpacing)
{
    p.save();
    const qreal radius = std::min(r.width(), r.height()) / 2.0;
    QPainterPath body;
    body.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius * 0.35, radius * 0.35);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(Palette::DuctBody));
    p.drawPath(body);
    p.setClipPath(body);
    p.setBrush(Palette::color(Palette::DuctHighlight));
    p.drawRect(QRectF(r.left(), r.top() + r.height() * 0.22, r.width(), r.height() * 0.2));
    p.setBrush(Palette::withAlpha(Palette::DuctJoint, 70));
    p.drawRect(QRectF(r.left(), r.bottom() - r.height() * 0.28, r.width(), r.height() * 0.28));
    // Spiral seams: short slanted lines.
    p.setPen(QPen(Palette::withAlpha(Palette::DuctJoint, 200), 1.0));
    if (seamSpacing > 0)
        for (qreal x = r.left() + seamSpacing / 2; x < r.right(); x += seamSpacing)
            p.drawLine(QPointF(x, r.top()), QPointF(x + r.height() * 0.35, r.bottom()));
    p.setClipping(false);
    p.setPen(QPen(Palette::color(Palette::DuctJoint), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    p.restore();
}

QPainterPath wave(QPointF a, QPointF b, qreal amplitude, qreal wavelength, qreal phase)
{
    const QPointF d = b - a;
    const qreal len = std::hypot(d.x(), d.y());
    QPainterPath path;
    if (len <= 0)
        return path;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    const int steps = std::max(4, int(len / 1.5));
    for (int i = 0; i <= steps; ++i) {
        const qreal t = len * i / steps;
        const qreal off = amplitude * std::sin(2 * M_PI * t / wavelength + phase);
        const QPointF pt = a + u * t + n * off;
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    return path;
}

void arrowHead(QPainter& p, QPointF from, QPointF tip, qreal size)
{
    const QPointF d = tip - from;
    const qreal len = std::hypot(d.x(), d.y());
    if (len <= 0)
        return;
    const QPointF u = d / len;
    const QPointF n(-u.y(), u.x());
    QPainterPath head;
    head.moveTo(tip - u * size + n * size * 0.6);
    head.lineTo(tip);
    head.lineTo(tip - u * size - n * size * 0.6);
    p.drawPath(head);
}

void hatch(QPainter& p, const QRectF& r, QRgb fill, qreal spacing)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::color(fill));
    p.drawRect(r);
    p.setClipRect(r);
    p.setPen(QPen(QColor::fromRgba(fill).darker(118), 1.0));
    for (qreal x = r.left() - r.height(); x < r.right(); x += spacing)
        p.drawLine(QPointF(x, r.bottom()), QPointF(x + r.height(), r.top()));
    p.restore();
}

} // namespace Draw
