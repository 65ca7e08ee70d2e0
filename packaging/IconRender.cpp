// corvair-iconrender SVG OUTDIR SIZE...: renders the application icon into
// OUTDIR/<SIZE>x<SIZE>/apps/corvair.png, the layout of an icon theme, so the
// PNG sizes always come from the one drawing.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString& what)
{
    std::fprintf(stderr, "corvair-iconrender: %s\n", qPrintable(what));
    return 1;
}

// A drawing that renders to nothing visible is a broken icon, not a small one.
bool hasVisiblePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 0)
                return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3)
        return fail(QStringLiteral("usage: corvair-iconrender SVG OUTDIR SIZE..."));

    QSvgRenderer renderer(args.at(0));
    if (!renderer.isValid())
        return fail(QStringLiteral("%1: not a readable SVG drawing").arg(args.at(0)));

    const QDir outDir(args.at(1));
    for (const QString& sizeText : args.mid(2)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size < 1 || size > 4096)
            return fail(QStringLiteral("bad size '%1'").arg(sizeText));

        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        if (!hasVisiblePixels(image))
            return fail(QStringLiteral("%1 renders empty at %2 pixels").arg(args.at(0)).arg(size));

        const QString dir = QStringLiteral("%1x%1/apps").arg(size);
        if (!outDir.mkpath(dir))
            return fail(QStringLiteral("cannot create %1").arg(outDir.filePath(dir)));
        const QString file = outDir.filePath(dir + QStringLiteral("/corvair.png"));
        if (!image.convertToFormat(QImage::Format_ARGB32).save(file, "PNG"))
            return fail(QStringLiteral("cannot write %1").arg(file));
    }
    return 0;
}
