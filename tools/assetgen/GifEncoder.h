#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QVector>

struct GifOptions {
    // Pixels with alpha below 128 become the transparent colour; the others are
    // composed over matte first, so soft edges do not show a dark fringe.
    bool transparent = false;
    QRgb matte = 0xFFFFFFFF;
};

// Reduces an image to at most maxColors colours by median cut. The result is the
// palette and one index per pixel (row-major). Deterministic: equal input gives
// equal output, whatever the order in which colours were found.
struct QuantizedImage {
    QVector<QRgb> palette;
    QVector<quint8> indices;
    int width = 0;
    int height = 0;
};
QuantizedImage quantize(const QImage& opaqueImage, int maxColors);

// Encodes a GIF89a file. Returns an empty array and sets *error on failure.
QByteArray encodeGif(const QImage& image, const GifOptions& options = {}, QString* error = nullptr);

// Encodes a Windows bitmap file (24 bits per pixel).
QByteArray encodeBmp(const QImage& image);
