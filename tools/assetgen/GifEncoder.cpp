#include "GifEncoder.h"

#include <QBuffer>
#include <QHash>

#include <algorithm>
#include <climits>
#include <array>
#include <gif_lib.h>
#include <vector>

namespace {

struct ColorCount {
    QRgb rgb;
    quint32 count;
};

int channel(QRgb c, int ch)
{
    switch (ch) {
    case 0: return qRed(c);
    case 1: return qGreen(c);
    default: return qBlue(c);
    }
}

struct Box {
    int begin;
    int end;
};

// The channel along which a box spreads most, and how much error splitting it
// there would remove: the population-weighted variance along that channel.
struct Spread {
    int channel;
    double error;
};

Spread spreadOf(const std::vector<ColorCount>& colors, const Box& box)
{
    std::array<double, 3> sum{}, sumSq{};
    double n = 0;
    for (int i = box.begin; i < box.end; ++i) {
        const double w = colors[i].count;
        n += w;
        for (int ch = 0; ch < 3; ++ch) {
            const double v = channel(colors[i].rgb, ch);
            sum[ch] += w * v;
            sumSq[ch] += w * v * v;
        }
    }
    Spread best{0, -1};
    for (int ch = 0; ch < 3; ++ch) {
        const double err = sumSq[ch] - sum[ch] * sum[ch] / n;
        if (err > best.error)
            best = {ch, err};
    }
    return best;
}

} // namespace

QuantizedImage quantize(const QImage& opaqueImage, int maxColors)
{
    const QImage img = opaqueImage.convertToFormat(QImage::Format_RGB32);
    QuantizedImage out;
    out.width = img.width();
    out.height = img.height();

    QHash<QRgb, quint32> histogram;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            ++histogram[line[x] | 0xFF000000u];
    }
    std::vector<ColorCount> colors;
    colors.reserve(histogram.size());
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        colors.push_back({it.key(), it.value()});
    // Hash order is not stable between runs; sorting makes everything below deterministic.
    std::sort(colors.begin(), colors.end(), [](const ColorCount& a, const ColorCount& b) { return a.rgb < b.rgb; });

    std::vector<Box> boxes;
    if (!colors.empty())
        boxes.push_back({0, int(colors.size())});
    std::vector<Spread> spreads;
    for (const Box& b : boxes)
        spreads.push_back(spreadOf(colors, b));
    while (int(boxes.size()) < maxColors) {
        // Split the box whose colours are spread most (weighted by how many pixels use them).
        int pick = -1;
        int pickChannel = 0;
        double pickError = 0;
        for (int b = 0; b < int(boxes.size()); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            if (spreads[b].error > pickError) {
                pick = b;
                pickChannel = spreads[b].channel;
                pickError = spreads[b].error;
            }
        }
        if (pick < 0)
            break;
        Box box = boxes[pick];
        std::sort(colors.begin() + box.begin, colors.begin() + box.end,
                  [pickChannel](const ColorCount& a, const ColorCount& b) {
                      const int va = channel(a.rgb, pickChannel);
                      const int vb = channel(b.rgb, pickChannel);
                      return va != vb ? va < vb : a.rgb < b.rgb;
                  });
        quint64 total = 0;
        for (int i = box.begin; i < box.end; ++i)
            total += colors[i].count;
        quint64 running = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            running += colors[i].count;
            split = i + 1;
            if (running * 2 >= total)
                break;
        }
        boxes[pick] = {box.begin, split};
        boxes.insert(boxes.begin() + pick + 1, Box{split, box.end});
        spreads[pick] = spreadOf(colors, boxes[pick]);
        spreads.insert(spreads.begin() + pick + 1, spreadOf(colors, boxes[pick + 1]));
    }

    QHash<QRgb, quint8> lookup;
    for (int b = 0; b < int(boxes.size()); ++b) {
        quint64 r = 0, g = 0, bl = 0, n = 0;
        for (int i = boxes[b].begin; i < boxes[b].end; ++i) {
            const quint64 c = colors[i].count;
            r += c * qRed(colors[i].rgb);
            g += c * qGreen(colors[i].rgb);
            bl += c * qBlue(colors[i].rgb);
            n += c;
        }
        out.palette.push_back(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((bl + n / 2) / n)));
    }
    // Each colour takes the nearest palette entry (the lowest index on a tie).
    for (const ColorCount& cc : colors) {
        int best = 0;
        int bestDistance = INT_MAX;
        for (int i = 0; i < out.palette.size(); ++i) {
            const QRgb p = out.palette[i];
            const int dr = qRed(p) - qRed(cc.rgb), dg = qGreen(p) - qGreen(cc.rgb), db = qBlue(p) - qBlue(cc.rgb);
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        lookup.insert(cc.rgb, quint8(best));
    }

    out.indices.resize(out.width * out.height);
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            out.indices[y * out.width + x] = lookup.value(line[x] | 0xFF000000u);
    }
    return out;
}

namespace {

int writeToByteArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

QByteArray encodeGif(const QImage& image, const GifOptions& options, QString* error)
{
    auto fail = [error](const QString& what) {
        if (error)
            *error = what;
        return QByteArray();
    };
    if (image.isNull())
        return fail(QStringLiteral("empty picture"));

    // Colour pixels over the matte; remember which are transparent.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QImage opaque(argb.size(), QImage::Format_RGB32);
    std::vector<bool> clear(size_t(argb.width()) * argb.height(), false);
    bool anyClear = false;
    for (int y = 0; y < argb.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(opaque.scanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = in[x];
            const int a = options.transparent ? qAlpha(p) : 255;
            if (a < 128) {
                clear[size_t(y) * argb.width() + x] = true;
                anyClear = true;
                out[x] = options.matte | 0xFF000000u;
                continue;
            }
            const QRgb m = options.matte;
            auto mix = [a](int c, int bg) { return (c * a + bg * (255 - a) + 127) / 255; };
            out[x] = qRgb(mix(qRed(p), qRed(m)), mix(qGreen(p), qGreen(m)), mix(qBlue(p), qBlue(m)));
        }
    }

    const int maxColors = anyClear ? 255 : 256;
    QuantizedImage q = quantize(opaque, maxColors);
    const int transparentIndex = anyClear ? int(q.palette.size()) : -1;
    if (anyClear)
        q.palette.push_back(options.matte | 0xFF000000u);

    int bits = 1;
    while ((1 << bits) < q.palette.size())
        ++bits;
    const int mapSize = 1 << bits;
    std::vector<GifColorType> colors(mapSize, GifColorType{0, 0, 0});
    for (int i = 0; i < q.palette.size(); ++i)
        colors[i] = GifColorType{GifByteType(qRed(q.palette[i])), GifByteType(qGreen(q.palette[i])),
                                 GifByteType(qBlue(q.palette[i]))};

    QByteArray bytes;
    int err = 0;
    GifFileType* gif = EGifOpen(&bytes, writeToByteArray, &err);
    if (!gif)
        return fail(QStringLiteral("giflib: %1").arg(GifErrorString(err)));
    EGifSetGifVersion(gif, true);

    ColorMapObject* map = GifMakeMapObject(mapSize, colors.data());
    bool ok = map && EGifPutScreenDesc(gif, q.width, q.height, bits, 0, map) == GIF_OK;
    if (ok && transparentIndex >= 0) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparentIndex;
        GifByteType ext[4];
        const size_t len = EGifGCBToExtension(&gcb, ext);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, q.width, q.height, false, nullptr) == GIF_OK;
    std::vector<GifPixelType> line(q.width);
    for (int y = 0; ok && y < q.height; ++y) {
        for (int x = 0; x < q.width; ++x) {
            const size_t i = size_t(y) * q.width + x;
            line[x] = clear[i] ? GifPixelType(transparentIndex) : q.indices[int(i)];
        }
        ok = EGifPutLine(gif, line.data(), q.width) == GIF_OK;
    }
    const int lastError = gif->Error;
    GifFreeMapObject(map);
    int closeErr = 0;
    const bool closed = EGifCloseFile(gif, &closeErr) == GIF_OK;
    if (!ok)
        return fail(QStringLiteral("giflib: %1").arg(GifErrorString(lastError)));
    if (!closed)
        return fail(QStringLiteral("giflib: %1").arg(GifErrorString(closeErr)));
    return bytes;
}

QByteArray encodeBmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}
