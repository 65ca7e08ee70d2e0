#include "AssetSink.h"

#include <QPainter>

QImage alphaToMask(const QImage& drawing)
{
    const QImage src = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage mask(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(mask.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const int a = qAlpha(in[x]);
            out[x] = qRgb(a, a, a);
        }
    }
    return mask;
}

QImage flattenOver(const QImage& drawing, QRgb matte)
{
    QImage out(drawing.size(), QImage::Format_RGB32);
    out.fill(matte);
    QPainter p(&out);
    p.drawImage(0, 0, drawing);
    return out;
}

QImage flattenOver(const QImage& drawing, const QImage& below)
{
    QImage out = below.convertToFormat(QImage::Format_RGB32);
    QPainter p(&out);
    p.drawImage(0, 0, drawing);
    return out;
}

void addMaskedBitmap(AssetSink& sink, const QString& name, const QImage& drawing,
                     ImageFormat format, QRgb matte)
{
    sink.addBitmap(name, flattenOver(drawing, matte), format);
    sink.addBitmap(name + QStringLiteral("_Alpha"), alphaToMask(drawing), ImageFormat::Gif);
}
