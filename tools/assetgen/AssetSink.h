#pragma once

// What a picture family hands to the generator. Families only draw; how the
// pictures are encoded and where they are written is the sink's business.

#include <QByteArray>
#include <QImage>
#include <QString>

enum class ImageFormat {
    Gif = 0, // the ImageType stored in the image tables
    Bmp = 1,
};

class AssetSink {
public:
    virtual ~AssetSink() = default;

    // A named picture of BitmapTable.
    virtual void addBitmap(const QString& name, const QImage& image, ImageFormat format) = 0;
    // A named picture of MovieTable (the intro). The table is written only when it has frames.
    virtual void addMovieFrame(const QString& name, const QImage& image, ImageFormat format) = 0;
    // One point of an arrow path, in path order.
    virtual void addArrowPoint(int arrowNr, int x, int y, int angle, const QString& pathName) = 0;
    // A file outside the database (pictures compiled into the program), path relative
    // to the picture folder, e.g. "closeup/Image0.gif".
    virtual void addFile(const QString& relativePath, const QByteArray& bytes) = 0;
};

// Stores an overlay drawn on a transparent canvas as two records: Name (the colours,
// composed over matte so soft edges blend into what lies below) and Name_Alpha (the
// coverage as a grey mask, white where opaque).
void addMaskedBitmap(AssetSink& sink, const QString& name, const QImage& drawing,
                     ImageFormat format, QRgb matte);
// The grey mask of a drawing's coverage.
QImage alphaToMask(const QImage& drawing);
// The drawing composed over a solid colour, without alpha.
QImage flattenOver(const QImage& drawing, QRgb matte);
// The same, composed over a picture of the same size.
QImage flattenOver(const QImage& drawing, const QImage& below);
