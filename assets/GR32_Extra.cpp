#include "GR32_Extra.h"

#include "table/EasyTable.h"
#include "vcl/Messages.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>

namespace {

// Decoding never allocates more than this; a larger declared picture is
// refused before any pixel is read.
constexpr int kAllocationLimitMB = 128;
constexpr int kMaxSide = 32767;

// What the loader needs from a BMP header: the bit depth (a 32-bit BMP keeps
// its stored alpha) and where the pixels lie (Qt drops the fourth byte of
// plain 32-bit BMPs, so it is taken back from the file).
struct BmpHeader {
    bool valid = false;
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    quint32 offBits = 0;
    quint32 colourMasks = 0;  // red | green | blue bit fields
    quint32 alphaMask = 0;
};

quint32 u32(const QByteArray& d, qsizetype at)
{
    return qFromLittleEndian<quint32>(d.constData() + at);
}

quint16 u16(const QByteArray& d, qsizetype at)
{
    return qFromLittleEndian<quint16>(d.constData() + at);
}

BmpHeader parseBmpHeader(const QByteArray& d)
{
    BmpHeader h;
    if (d.size() < 26 || d[0] != 'B' || d[1] != 'M')
        return h;
    h.offBits = u32(d, 10);
    const quint32 headerSize = u32(d, 14);
    if (headerSize == 12) {
        h.width = u16(d, 18);
        h.height = u16(d, 20);
        h.bitCount = u16(d, 24);
        h.valid = true;
        return h;
    }
    if (headerSize < 40 || d.size() < 54)
        return h;
    h.width = qint32(u32(d, 18));
    h.height = qint32(u32(d, 22));
    h.bitCount = u16(d, 28);
    h.compression = u32(d, 30);
    // Bit fields sit inside the larger headers or right after the 40-byte one.
    const bool hasMasks = headerSize >= 52 || h.compression == 3 || h.compression == 6;
    if (hasMasks && d.size() >= 14 + 40 + 12)
        h.colourMasks = u32(d, 54) | u32(d, 58) | u32(d, 62);
    const bool hasAlphaMask = headerSize >= 56 || (headerSize == 40 && h.compression == 6);
    if (hasAlphaMask && d.size() >= 14 + 40 + 16)
        h.alphaMask = u32(d, 66);
    h.valid = true;
    return h;
}

// Puts the stored fourth byte of each pixel of an uncompressed 32-bit BMP,
// whose colours leave the top byte free, into image's alpha. False when the
// file is not of that kind (image unchanged).
bool copyStoredAlpha(const QByteArray& d, const BmpHeader& h, QImage& image)
{
    const bool plain = h.compression == 0
        || (h.compression == 3 && h.alphaMask == 0 && (h.colourMasks & 0xFF000000u) == 0);
    if (!h.valid || h.bitCount != 32 || !plain)
        return false;
    const qint64 w = h.width;
    const qint64 rows = h.height < 0 ? -h.height : h.height;
    if (w != image.width() || rows != image.height())
        return false;
    const qint64 stride = w * 4;
    if (qint64(h.offBits) + stride * rows > d.size())
        return false;
    const bool topDown = h.height < 0;
    for (qint64 y = 0; y < rows; ++y) {
        const qint64 fileRow = topDown ? y : rows - 1 - y;
        const uchar* src =
            reinterpret_cast<const uchar*>(d.constData()) + h.offBits + fileRow * stride;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint64 x = 0; x < w; ++x)
            dst[x] = (dst[x] & 0x00FFFFFFu) | (QRgb(src[x * 4 + 3]) << 24);
    }
    return true;
}

// For uncompressed BMPs: does the file hold every pixel row it declares?
bool bmpPixelsComplete(const QByteArray& d, const BmpHeader& h)
{
    if (!h.valid || (h.compression != 0 && h.compression != 3 && h.compression != 6))
        return true;
    const qint64 rows = h.height < 0 ? -h.height : h.height;
    const qint64 stride = ((h.width * h.bitCount + 31) / 32) * 4;
    return qint64(h.offBits) + stride * rows <= d.size();
}

// Does the GIF hold its first picture whole, up to the end of its data
// blocks? Qt's GIF reader returns a partly blank picture for a cut-off file.
bool gifFirstImageComplete(const QByteArray& d)
{
    const qsizetype size = d.size();
    const auto byteAt = [&d](qsizetype i) { return uchar(d[i]); };
    const auto skipSubBlocks = [&](qsizetype& pos) {
        for (;;) {
            if (pos >= size)
                return false;
            const int length = byteAt(pos++);
            if (length == 0)
                return true;
            pos += length;
        }
    };
    if (size < 13)
        return false;
    qsizetype pos = 13;
    if (byteAt(10) & 0x80)
        pos += 3 * (qsizetype(1) << ((byteAt(10) & 7) + 1));
    while (pos < size) {
        const uchar block = byteAt(pos);
        if (block == 0x21) {  // extension: label, then data blocks
            pos += 2;
            if (!skipSubBlocks(pos))
                return false;
        } else if (block == 0x2C) {  // image descriptor
            if (pos + 10 > size)
                return false;
            const uchar packed = byteAt(pos + 9);
            pos += 10;
            if (packed & 0x80)
                pos += 3 * (qsizetype(1) << ((packed & 7) + 1));
            pos += 1;  // LZW minimum code size
            return skipSubBlocks(pos);
        } else {
            return false;  // trailer or junk before any picture
        }
    }
    return false;
}

// Decodes data strictly as the given format, in the format the decoder
// chose; null when the bytes are not a picture of that format, are broken,
// or declare an absurd size.
QImage decodeImage(const QByteArray& data, const char* format)
{
    QImageReader::setAllocationLimit(kAllocationLimitMB);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return QImage();
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > kMaxSide
        || size.height() > kMaxSide
        || qint64(size.width()) * size.height() * 4 > qint64(kAllocationLimitMB) * 1024 * 1024)
        return QImage();
    QImage image = reader.read();
    if (image.isNull() || image.size() != size)
        return QImage();
    return image;
}

void makeOpaque(TBitmap32& bitmap)
{
    for (int y = 0; y < bitmap.Height(); ++y) {
        TColor32* line = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x)
            line[x] |= 0xFF000000u;
    }
}

// The record on which the filtered table stands, decoded.
std::unique_ptr<TBitmap32> decodeCurrentRecord(TEasyTable* table, const QString& name)
{
    if (table->Eof()) {
        ShowMessage(QStringLiteral("Bitmap ") + name + QStringLiteral(" not in ")
                    + table->TableName());
        return nullptr;
    }
    const std::unique_ptr<QIODevice> stream = table->CreateBlobStream(1);
    const QString typeText = table->AsString(2);
    return DecodeImageBlob(stream->readAll(), typeText, name, table->TableName());
}

float scaled(int designValue, float scale)
{
    return static_cast<float>(double(designValue) * double(scale));
}

} // namespace

std::unique_ptr<TBitmap32> DecodeImageBlob(const QByteArray& data, const QString& typeText,
                                           const QString& name, const QString& tableName)
{
    bool isNumber = false;
    const int type = typeText.toInt(&isNumber);
    if (!isNumber || (type != 0 && type != 1)) {
        ShowMessage(QStringLiteral("Bitmap ") + name + QStringLiteral(" has unknown image type ")
                    + typeText + QStringLiteral(" in ") + tableName);
        return nullptr;
    }

    QImage image = decodeImage(data, type == 0 ? "gif" : "bmp");
    // Qt's readers hand back a partly blank picture for a cut-off file.
    if (!image.isNull()
        && (type == 0 ? !gifFirstImageComplete(data)
                      : !bmpPixelsComplete(data, parseBmpHeader(data))))
        image = QImage();
    if (image.isNull()) {
        ShowMessage(QStringLiteral("Bitmap ") + name + QStringLiteral(" in ") + tableName
                    + QStringLiteral(" could not be decoded"));
        return nullptr;
    }

    auto result = std::make_unique<TBitmap32>();
    if (type == 0) {
        // GIF: transparent pixels keep the decoder's colour and become opaque;
        // the scenes take their transparency from masks.
        result->SetImage(image);
        makeOpaque(*result);
    } else {
        const BmpHeader header = parseBmpHeader(data);
        const bool keepAlpha = header.valid && header.bitCount == 32;
        if (keepAlpha && !image.hasAlphaChannel()) {
            image = image.convertToFormat(QImage::Format_ARGB32);
            copyStoredAlpha(data, header, image);
        }
        result->SetImage(image);
        if (!keepAlpha)
            makeOpaque(*result);
    }
    result->Changed();
    return result;
}

std::unique_ptr<TBitmap32> LoadNamedBitmap(TEasyTable* table, const QString& name)
{
    if (!table)
        return nullptr;
    const bool wasOpen = table->Active();
    // Leave the table as found: open or closed, filtering off.
    const auto restore = [table, wasOpen] {
        if (!wasOpen)
            table->Close();
        table->SetFiltered(false);
    };

    QString quoted = name;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    std::unique_ptr<TBitmap32> result;
    try {
        // On a closed table the filter is set first, so opening runs one query.
        table->SetFilter(QStringLiteral("Name='") + quoted + QLatin1Char('\''));
        table->SetFiltered(true);
        if (!wasOpen)
            table->Open();
        result = decodeCurrentRecord(table, name);
    } catch (...) {
        try {
            restore();
        } catch (...) {
            // The first fault is the one worth reporting.
        }
        throw;
    }
    restore();
    return result;
}

void ApplyAlphaMask(TBitmap32* target, const TBitmap32* mask)
{
    if (!target) {
        ShowMessage(QStringLiteral("Empty BMP"));
        return;
    }
    // Fully opaque first, so a refused mask leaves a solid picture.
    makeOpaque(*target);
    if (target->Empty() || !mask || mask->Empty()) {
        target->Changed();
        ShowMessage(QStringLiteral("Empty BMP"));
        return;
    }

    const int w = target->Width();
    const int h = target->Height();
    const int mw = mask->Width();
    const int mh = mask->Height();
    // Nearest-neighbour stretch: the mask pixel under each target pixel's centre.
    std::vector<int> sourceX(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x)
        sourceX[size_t(x)] = int((qint64(2 * x + 1) * mw) / (qint64(2) * w));

    const bool blend = mask->DrawMode() == TDrawMode::dmBlend;
    const quint32 strength = quint32(mask->EffectiveMasterAlpha());
    for (int y = 0; y < h; ++y) {
        const int sy = int((qint64(2 * y + 1) * mh) / (qint64(2) * h));
        const TColor32* src = mask->ScanLine(sy);
        TColor32* dst = target->ScanLine(y);
        for (int x = 0; x < w; ++x) {
            const TColor32 m = src[sourceX[size_t(x)]];
            quint32 r = quint32(RedComponent(m));
            quint32 g = quint32(GreenComponent(m));
            quint32 b = quint32(BlueComponent(m));
            if (blend) {
                // Blended over a zero pixel; full weight copies the pixel unchanged.
                const quint32 weight = ((strength + 1) * quint32(AlphaComponent(m))) >> 8;
                r = (r * weight + 127) / 255;
                g = (g * weight + 127) / 255;
                b = (b * weight + 127) / 255;
            }
            const quint32 intensity = std::min<quint32>(255, (r * 61 + g * 174 + b * 21) >> 8);
            dst[x] = (dst[x] & 0x00FFFFFFu) | (intensity << 24);
        }
    }
    target->Changed();
}

// ---------------------------------------------------------------------------

TMultiBitmapLayer::TMultiBitmapLayer(TLayerCollection* collection)
    : TBitmapLayer(collection)
{
    SetMouseEvents(false);
}

TMultiBitmapLayer::~TMultiBitmapLayer() = default;

void TMultiBitmapLayer::AddImage(const TBitmap32* bitmap, int alpha)
{
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(bitmap);
    copy->SetMasterAlpha(alpha);
    copy->SetDrawMode(TDrawMode::dmBlend);
    FImages.push_back(std::move(copy));
    if (FImages.size() == 1)
        SelectImage(0);
}

void TMultiBitmapLayer::AddMask(const TBitmap32* bitmap, int strength)
{
    auto copy = std::make_unique<TBitmap32>();
    copy->Assign(bitmap);
    copy->SetMasterAlpha(strength);
    copy->SetDrawMode(TDrawMode::dmBlend);
    FMasks.push_back(std::move(copy));
    if (FMasks.size() == 1)
        SelectMask(0);
}

void TMultiBitmapLayer::SelectImage(int index)
{
    if (index < 0 || index >= ImageCount())
        return;
    FImageIndex = index;
    Bitmap().Assign(FImages[size_t(index)].get());
    SelectMask(FMaskIndex);
}

void TMultiBitmapLayer::SelectMask(int index)
{
    if (index < 0 || index >= MaskCount())
        return;
    FMaskIndex = index;
    ApplyAlphaMask(&Bitmap(), FMasks[size_t(index)].get());
}

TMultiBitmapLayer* CreateMultiBitmapLayer(TLayerCollection* collection, int x, int y,
                                          const TBitmap32* bitmap, float scale)
{
    auto* layer = new TMultiBitmapLayer(collection);
    try {
        layer->Bitmap().Assign(bitmap);
        const int w = layer->Bitmap().Width();
        const int h = layer->Bitmap().Height();
        layer->SetLocation(TFloatRect{scaled(x, scale), scaled(y, scale), scaled(x + w, scale),
                                      scaled(y + h, scale)});
        layer->Bitmap().SetDrawMode(TDrawMode::dmBlend);
        layer->SetMouseEvents(false);
        layer->SetScaled(true);
    } catch (...) {
        delete layer;
        throw;
    }
    return layer;
}

bool IsLayerActive(const TCustomLayer* layer)
{
    return layer && layer->Visible() && layer->MouseEvents();
}

void SetLayerActive(TCustomLayer* layer, bool value)
{
    if (!layer)
        return;
    layer->SetVisible(value);
    layer->SetMouseEvents(value);
}

// ---------------------------------------------------------------------------

TBitmapLayerList::TBitmapLayerList(TLayerCollection* collection, int x, int y,
                                   const TBitmap32* bitmap, float scale)
    : TBitmapLayer(collection)
    , FCollection(collection)
    , FX(x)
    , FY(y)
    , FScale(scale)
{
    SetMouseEvents(false);
    if (bitmap) {
        Bitmap().Assign(bitmap);
        const int w = Bitmap().Width();
        const int h = Bitmap().Height();
        SetLocation(TFloatRect{scaled(x, scale), scaled(y, scale), scaled(x + w, scale),
                               scaled(y + h, scale)});
        Bitmap().SetDrawMode(TDrawMode::dmOpaque);
    } else {
        SetLocation(TFloatRect{scaled(x, scale), scaled(y, scale), scaled(x, scale),
                               scaled(y, scale)});
    }
    SetScaled(true);
}

// The children belong to the collection, which frees them.
TBitmapLayerList::~TBitmapLayerList() = default;

int TBitmapLayerList::AddChild(const TBitmap32* bitmap, int alpha, bool asMask)
{
    return AddChildAt(bitmap, alpha, asMask, FX, FY);
}

int TBitmapLayerList::AddChildAt(const TBitmap32* bitmap, int alpha, bool asMask, int x, int y)
{
    TMultiBitmapLayer* child = CreateMultiBitmapLayer(FCollection, x, y, bitmap, FScale);
    child->SetVisible(false);
    if (asMask)
        child->AddMask(bitmap, alpha);
    else
        child->AddImage(bitmap, alpha);
    FChildren.push_back(child);
    return ChildCount() - 1;
}

void TBitmapLayerList::AddToChild(const TBitmap32* bitmap, int index, int alpha, bool asMask)
{
    if (index < 0 || index >= ChildCount())
        return;
    if (asMask)
        FChildren[size_t(index)]->AddMask(bitmap, alpha);
    else
        FChildren[size_t(index)]->AddImage(bitmap, alpha);
}

bool TBitmapLayerList::AllChildrenInactive() const
{
    return std::none_of(FChildren.begin(), FChildren.end(),
                        [](const TMultiBitmapLayer* c) { return IsLayerActive(c); });
}

void TBitmapLayerList::MoveTo(float left, float top)
{
    const TFloatRect own = Location();
    const float dx = left - own.Left;
    const float dy = top - own.Top;
    SetLocation(TFloatRect{left, top, own.Right + dx, own.Bottom + dy});
    for (TMultiBitmapLayer* child : FChildren) {
        const TFloatRect r = child->Location();
        child->SetLocation(TFloatRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy});
    }
}

void TBitmapLayerList::SetChildrenActive(bool value)
{
    for (TMultiBitmapLayer* child : FChildren)
        SetLayerActive(child, value);
}
