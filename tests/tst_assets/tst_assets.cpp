// Named images, alpha masks, multi-bitmap layers and bitmap layer lists.
#include "GR32_Extra.h"

#include "table/EasyTable.h"
#include "vcl/Messages.h"

#include "../common/AssetFixture.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <array>

using fixture::ImageRow;

namespace {

// ---- picture files built by hand ------------------------------------------

QByteArray bmp24(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

QImage gradient(int w, int h)
{
    QImage im(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            im.setPixel(x, y, qRgb(x * 60, y * 80, 200));
    return im;
}

void put16(QByteArray& a, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    a.append(b, 2);
}

void put32(QByteArray& a, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    a.append(b, 4);
}

// A 32-bit BMP; pixels listed top row first as 0xAARRGGBB. The plain form
// (40-byte header, no compression) leaves the fourth byte to the reader;
// the V5 form declares it as alpha.
QByteArray bmp32(int w, int h, const QList<quint32>& pixels, bool v5)
{
    const int headerSize = v5 ? 124 : 40;
    const int offset = 14 + headerSize;
    QByteArray a("BM");
    put32(a, quint32(offset + w * h * 4));
    put32(a, 0);
    put32(a, quint32(offset));
    put32(a, quint32(headerSize));
    put32(a, quint32(w));
    put32(a, quint32(h));
    put16(a, 1);
    put16(a, 32);
    put32(a, v5 ? 3 : 0);  // BI_BITFIELDS : BI_RGB
    put32(a, quint32(w * h * 4));
    put32(a, 2835);
    put32(a, 2835);
    put32(a, 0);
    put32(a, 0);
    if (v5) {
        put32(a, 0x00FF0000);
        put32(a, 0x0000FF00);
        put32(a, 0x000000FF);
        put32(a, 0xFF000000);
        put32(a, 0x73524742);  // sRGB
        a.append(QByteArray(36 + 12, '\0'));
        put32(a, 4);  // intent
        a.append(QByteArray(12, '\0'));
    }
    for (int y = h - 1; y >= 0; --y)  // bottom-up
        for (int x = 0; x < w; ++x)
            put32(a, pixels[y * w + x]);
    return a;
}

// A BMP header that declares a huge picture and carries no pixels.
QByteArray hugeBmpHeader()
{
    QByteArray a("BM");
    put32(a, 54);
    put32(a, 0);
    put32(a, 54);
    put32(a, 40);
    put32(a, 30000);
    put32(a, 30000);
    put16(a, 1);
    put16(a, 24);
    a.append(QByteArray(24, '\0'));
    return a;
}

// A GIF89a with a four-colour table and, when transparentIndex >= 0, a
// graphic control extension that makes that index transparent. A clear code
// before every pixel keeps every LZW code 3 bits wide.
QByteArray gif(int w, int h, const std::array<QRgb, 4>& palette, int transparentIndex,
               const QList<int>& indexes)
{
    QByteArray a("GIF89a");
    put16(a, quint16(w));
    put16(a, quint16(h));
    a.append(char(0x81));  // global colour table of 4 entries
    a.append('\0');
    a.append('\0');
    for (QRgb c : palette) {
        a.append(char(qRed(c)));
        a.append(char(qGreen(c)));
        a.append(char(qBlue(c)));
    }
    if (transparentIndex >= 0) {
        a.append("\x21\xF9\x04\x01\x00\x00", 6);
        a.append(char(transparentIndex));
        a.append('\0');
    }
    a.append(char(0x2C));
    put16(a, 0);
    put16(a, 0);
    put16(a, quint16(w));
    put16(a, quint16(h));
    a.append('\0');
    a.append(char(2));  // LZW minimum code size
    QByteArray packed;
    quint32 acc = 0;
    int bits = 0;
    const auto code = [&](int c) {
        acc |= quint32(c) << bits;
        bits += 3;
        while (bits >= 8) {
            packed.append(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int i : indexes) {
        code(4);
        code(i);
    }
    code(5);
    if (bits)
        packed.append(char(acc & 0xFF));
    for (qsizetype i = 0; i < packed.size(); i += 255) {
        const QByteArray chunk = packed.mid(i, 255);
        a.append(char(chunk.size()));
        a.append(chunk);
    }
    a.append('\0');
    a.append(char(0x3B));
    return a;
}

const std::array<QRgb, 4> kPalette{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255),
                                   qRgb(10, 20, 30)};
const QList<quint32> kAlphaPixels{0x80102030, 0xFF0000FF, 0x00000000, 0x40FFFFFF};

QByteArray randomBytes(int n, quint32 seed)
{
    QByteArray bytes(n, Qt::Uninitialized);
    QRandomGenerator gen(seed);
    for (char& c : bytes)
        c = char(gen.bounded(256));
    return bytes;
}

// ---- bitmaps --------------------------------------------------------------

TBitmap32 solid(int w, int h, TColor32 colour)
{
    TBitmap32 b;
    b.SetSize(w, h);
    b.Image().fill(colour);
    b.Changed();
    return b;
}

TBitmap32 blendMask(int w, int h, TColor32 colour, int strength)
{
    TBitmap32 m = solid(w, h, colour);
    m.SetDrawMode(TDrawMode::dmBlend);
    m.SetMasterAlpha(strength);
    return m;
}

// Every pixel's alpha is within tolerance of expected, colour untouched.
bool alphaEverywhere(const TBitmap32& b, int expected, int tolerance = 0)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (std::abs(AlphaComponent(b.Pixel(x, y)) - expected) > tolerance)
                return false;
    return !b.Empty();
}

QString locationText(const TFloatRect& r)
{
    return QStringLiteral("(%1, %2, %3, %4)").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

TFloatRect rectF(float l, float t, float r, float b)
{
    return TFloatRect{l, t, r, b};
}

} // namespace

class TestAssets : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    TEasyDatabase m_db;
    std::unique_ptr<TMessageRecorder> m_messages;

    QStringList messages() const { return m_messages->messages(); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db.SetDirectory(m_dir.path());
        const QByteArray redBmp = bmp24(gradient(4, 3));
        const QByteArray smallGif = gif(2, 2, kPalette, 3, {0, 1, 2, 3});
        QByteArray bigGif = gif(8, 8, kPalette, -1, QList<int>(64, 1));
        QByteArray cutBmp = bmp24(gradient(16, 16));
        cutBmp.truncate(cutBmp.size() * 3 / 5);
        QByteArray hugeGif = gif(30000, 30000, kPalette, -1, {0});
        fixture::writeImageTable(
            m_dir.path(), QStringLiteral("BitmapTable"),
            {
                {QStringLiteral("Red"), redBmp, 1},
                {QStringLiteral("O'Brien"), bmp24(QImage(2, 2, QImage::Format_RGB32)), 1},
                {QStringLiteral("Gif"), smallGif, 0},
                {QStringLiteral("Alpha32"), bmp32(2, 2, kAlphaPixels, false), 1},
                {QStringLiteral("Alpha32V5"), bmp32(2, 2, kAlphaPixels, true), 1},
                {QStringLiteral("Type2"), redBmp, 2},
                {QStringLiteral("TypeMinus1"), redBmp, -1},
                {QStringLiteral("Type7"), redBmp, 7},
                {QStringLiteral("TypeNull"), redBmp, QVariant()},
                {QStringLiteral("TypeText"), redBmp, QStringLiteral("gif")},
                {QStringLiteral("CutBmp"), cutBmp, 1},
                {QStringLiteral("CutGif"), bigGif.left(30), 0},
                {QStringLiteral("CutGifData"), bigGif.left(bigGif.size() - 20), 0},
                {QStringLiteral("Garbage"), randomBytes(300, 7), 1},
                {QStringLiteral("GarbageGif"), randomBytes(300, 8), 0},
                {QStringLiteral("BmpAsGif"), redBmp, 0},
                {QStringLiteral("GifAsBmp"), smallGif, 1},
                {QStringLiteral("HugeBmp"), hugeBmpHeader(), 1},
                {QStringLiteral("HugeGif"), hugeGif, 0},
                {QStringLiteral("NoData"), QByteArray(), 1},
            });
    }

    void init() { m_messages = std::make_unique<TMessageRecorder>(); }
    void cleanup() { m_messages.reset(); }

    // ---- LoadNamedBitmap ----------------------------------------------------

    void loadsBmpAsOpaqueBitmap()
    {
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        const std::unique_ptr<TBitmap32> b = LoadNamedBitmap(&t, QStringLiteral("Red"));
        QVERIFY(b);
        QCOMPARE(b->Width(), 4);
        QCOMPARE(b->Height(), 3);
        const QImage expected = gradient(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(b->Pixel(x, y), TColor32(expected.pixel(x, y)) | 0xFF000000u);
        QCOMPARE(b->MasterAlpha(), 255);
        QCOMPARE(b->DrawMode(), TDrawMode::dmOpaque);
        QVERIFY(!b->SmoothResampler());
        QVERIFY(messages().isEmpty());
    }

    // Whatever the outcome, the table is left open or closed as found, with
    // filtering off, and only the named fault is reported.
    void tableLeftAsFound_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("wasOpen");
        QTest::addColumn<bool>("delivered");
        QTest::addColumn<QString>("message");
        for (bool open : {false, true}) {
            const char* state = open ? "open" : "closed";
            QTest::addRow("found, %s", state) << "Red" << open << true << "";
            QTest::addRow("quote in the name, %s", state) << "O'Brien" << open << true << "";
            QTest::addRow("missing, %s", state)
                << "Fan1" << open << false << "Bitmap Fan1 not in BitmapTable";
            QTest::addRow("unknown type, %s", state)
                << "Type7" << open << false << "Bitmap Type7 has unknown image type 7 in BitmapTable";
            QTest::addRow("undecodable, %s", state)
                << "Garbage" << open << false << "Bitmap Garbage in BitmapTable could not be decoded";
        }
    }
    void tableLeftAsFound()
    {
        QFETCH(QString, name);
        QFETCH(bool, wasOpen);
        QFETCH(bool, delivered);
        QFETCH(QString, message);
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        if (wasOpen)
            t.Open();
        // Twice in a row: a closed table is opened and closed by each call.
        for (int call = 0; call < 2; ++call) {
            const std::unique_ptr<TBitmap32> b = LoadNamedBitmap(&t, name);
            QCOMPARE(bool(b), delivered);
            QCOMPARE(t.Active(), wasOpen);
            QVERIFY(!t.Filtered());
        }
        if (wasOpen)  // the whole table is visible again
            QCOMPARE(t.AsString(0), QStringLiteral("Red"));
        const QStringList expected =
            message.isEmpty() ? QStringList() : QStringList{message, message};
        QCOMPARE(messages(), expected);
    }

    void unknownTypeCodeShownAsStored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("2") << "Type2" << "2";
        QTest::newRow("-1") << "TypeMinus1" << "-1";
        QTest::newRow("7") << "Type7" << "7";
        QTest::newRow("text") << "TypeText" << "gif";
        QTest::newRow("null") << "TypeNull" << "";
    }
    void unknownTypeCodeShownAsStored()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        QVERIFY(!LoadNamedBitmap(&t, name));
        QCOMPARE(messages(), QStringList{QStringLiteral("Bitmap %1 has unknown image type %2 in BitmapTable")
                                             .arg(name, code)});
    }

    void gifTransparencyBecomesOpaque()
    {
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        const std::unique_ptr<TBitmap32> b = LoadNamedBitmap(&t, QStringLiteral("Gif"));
        QVERIFY(b);
        QCOMPARE(b->Width(), 2);
        QCOMPARE(b->Height(), 2);
        QCOMPARE(b->Pixel(0, 0), Color32(255, 0, 0));
        QCOMPARE(b->Pixel(1, 0), Color32(0, 255, 0));
        QCOMPARE(b->Pixel(0, 1), Color32(0, 0, 255));
        // The transparent pixel keeps the decoder's colour and turns opaque.
        QCOMPARE(AlphaComponent(b->Pixel(1, 1)), 255);
        QVERIFY(messages().isEmpty());
    }

    void thirtyTwoBitBmpKeepsItsAlpha_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain 32-bit") << "Alpha32";
        QTest::newRow("V5 with alpha mask") << "Alpha32V5";
    }
    void thirtyTwoBitBmpKeepsItsAlpha()
    {
        QFETCH(QString, name);
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        const std::unique_ptr<TBitmap32> b = LoadNamedBitmap(&t, name);
        QVERIFY(b);
        QCOMPARE(b->Pixel(0, 0), TColor32(kAlphaPixels[0]));
        QCOMPARE(b->Pixel(1, 0), TColor32(kAlphaPixels[1]));
        QCOMPARE(AlphaComponent(b->Pixel(0, 1)), 0);
        QCOMPARE(b->Pixel(1, 1), TColor32(kAlphaPixels[3]));
        QVERIFY(messages().isEmpty());
    }

    void undecodableDataGivesMessageAndNull_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("cut-off BMP") << "CutBmp";
        QTest::newRow("cut-off GIF") << "CutGif";
        QTest::newRow("GIF cut in its pixel data") << "CutGifData";
        QTest::newRow("garbage as BMP") << "Garbage";
        QTest::newRow("garbage as GIF") << "GarbageGif";
        QTest::newRow("BMP bytes typed GIF") << "BmpAsGif";
        QTest::newRow("GIF bytes typed BMP") << "GifAsBmp";
        QTest::newRow("30000x30000 BMP header") << "HugeBmp";
        QTest::newRow("30000x30000 GIF header") << "HugeGif";
        QTest::newRow("no data") << "NoData";
    }
    void undecodableDataGivesMessageAndNull()
    {
        QFETCH(QString, name);
        TEasyTable t(&m_db, QStringLiteral("BitmapTable"));
        QVERIFY(!LoadNamedBitmap(&t, name));
        QCOMPARE(messages(),
                 QStringList{QStringLiteral("Bitmap %1 in BitmapTable could not be decoded").arg(name)});
        QVERIFY(!t.Active());
        QVERIFY(!t.Filtered());
    }

    // A fault of the store itself is the caller's to handle; the table is
    // still left closed and unfiltered.
    void brokenTableReachesTheCaller()
    {
        QTemporaryDir dir;
        TEasyDatabase db;
        db.SetDirectory(dir.path());
        TEasyTable t(&db, QStringLiteral("BitmapTable"));
        QVERIFY_THROWS_EXCEPTION(TTableError, LoadNamedBitmap(&t, QStringLiteral("Red")));
        QVERIFY(!t.Active());
        QVERIFY(!t.Filtered());
        QVERIFY(messages().isEmpty());
    }

    // ---- ApplyAlphaMask -----------------------------------------------------

    void maskStrengthAndChannels_data()
    {
        QTest::addColumn<bool>("blend");
        QTest::addColumn<int>("strength");
        QTest::addColumn<quint32>("maskPixel");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("white as loaded") << false << 255 << 0xFFFFFFFFu << 255 << 0;
        QTest::newRow("opaque mode ignores strength") << false << 110 << 0xFFFFFFFFu << 255 << 0;
        QTest::newRow("black") << false << 255 << 0xFF000000u << 0 << 0;
        QTest::newRow("pure red") << false << 255 << 0xFFFF0000u << 60 << 0;
        QTest::newRow("pure green") << false << 255 << 0xFF00FF00u << 173 << 0;
        QTest::newRow("pure blue") << false << 255 << 0xFF0000FFu << 20 << 0;
        QTest::newRow("grey 100") << false << 255 << 0xFF646464u << 100 << 0;
        QTest::newRow("mask alpha does not count when opaque") << false << 255 << 0x00FFFFFFu << 255 << 0;
        QTest::newRow("stored at 255 copies") << true << 255 << 0xFFFFFFFFu << 255 << 0;
        QTest::newRow("stored at 110") << true << 110 << 0xFFFFFFFFu << 110 << 1;
        QTest::newRow("stored at 170") << true << 170 << 0xFFFFFFFFu << 170 << 1;
        QTest::newRow("stored at 0") << true << 0 << 0xFFFFFFFFu << 0 << 0;
        QTest::newRow("half-transparent mask pixel") << true << 255 << 0x80FFFFFFu << 128 << 1;
        QTest::newRow("transparent mask pixel") << true << 255 << 0x00FFFFFFu << 0 << 0;
        QTest::newRow("red stored at 110") << true << 110 << 0xFFFF0000u << 26 << 1;
    }
    void maskStrengthAndChannels()
    {
        QFETCH(bool, blend);
        QFETCH(int, strength);
        QFETCH(quint32, maskPixel);
        QFETCH(int, alpha);
        QFETCH(int, tolerance);
        TBitmap32 target = solid(3, 2, 0x00123456);
        TBitmap32 mask = solid(3, 2, maskPixel);
        mask.SetDrawMode(blend ? TDrawMode::dmBlend : TDrawMode::dmOpaque);
        mask.SetMasterAlpha(strength);
        const QImage maskBefore = mask.Image().copy();
        ApplyAlphaMask(&target, &mask);
        QVERIFY2(alphaEverywhere(target, alpha, tolerance),
                 qPrintable(QString::number(AlphaComponent(target.Pixel(0, 0)))));
        QCOMPARE(target.Pixel(2, 1) & 0x00FFFFFFu, 0x00123456u);
        QCOMPARE(mask.Image(), maskBefore);
        QVERIFY(messages().isEmpty());
    }

    void halfSizeMaskIsStretched()
    {
        TBitmap32 target = solid(4, 4, 0xFF808080);
        TBitmap32 mask;
        mask.SetSize(2, 2);
        mask.SetPixel(0, 0, Color32(0, 0, 0));
        mask.SetPixel(1, 0, Color32(85, 85, 85));
        mask.SetPixel(0, 1, Color32(170, 170, 170));
        mask.SetPixel(1, 1, Color32(255, 255, 255));
        ApplyAlphaMask(&target, &mask);
        const int expected[4][4] = {{0, 0, 85, 85}, {0, 0, 85, 85}, {170, 170, 255, 255},
                                    {170, 170, 255, 255}};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                QCOMPARE(AlphaComponent(target.Pixel(x, y)), expected[y][x]);
        QVERIFY(messages().isEmpty());
    }

    void applyKeepsTargetSettingsAndSignalsChange()
    {
        TBitmap32 target = solid(2, 2, 0x00ABCDEF);
        target.SetMasterAlpha(77);
        target.SetDrawMode(TDrawMode::dmBlend);
        target.SetSmoothResampler(true);
        const quint64 generation = target.Generation();
        const TBitmap32 mask = blendMask(5, 7, 0xFFFFFFFF, 110);
        ApplyAlphaMask(&target, &mask);
        QCOMPARE(target.Width(), 2);
        QCOMPARE(target.Height(), 2);
        QCOMPARE(target.MasterAlpha(), 77);
        QCOMPARE(target.DrawMode(), TDrawMode::dmBlend);
        QVERIFY(target.SmoothResampler());
        QVERIFY(target.Generation() > generation);
        QVERIFY(alphaEverywhere(target, 110, 1));
    }

    void emptyTargetOrMask_data()
    {
        QTest::addColumn<int>("targetSize");
        QTest::addColumn<int>("maskKind");  // 0 absent, 1 empty, 2 white 2x2
        QTest::newRow("absent mask") << 2 << 0;
        QTest::newRow("empty mask") << 2 << 1;
        QTest::newRow("empty target") << 0 << 2;
    }
    void emptyTargetOrMask()
    {
        QFETCH(int, targetSize);
        QFETCH(int, maskKind);
        TBitmap32 target = targetSize ? solid(targetSize, targetSize, 0x10203040) : TBitmap32();
        TBitmap32 emptyMask;
        const TBitmap32 white = solid(2, 2, 0xFFFFFFFF);
        const TBitmap32* mask = maskKind == 0 ? nullptr : maskKind == 1 ? &emptyMask : &white;
        ApplyAlphaMask(&target, mask);
        QCOMPARE(messages(), QStringList{QStringLiteral("Empty BMP")});
        if (targetSize) {
            QVERIFY(alphaEverywhere(target, 255));
            QCOMPARE(target.Pixel(1, 1), 0xFF203040u);
        } else {
            QVERIFY(target.Empty());
        }
    }

    void absentTargetIsReportedNotDereferenced()
    {
        const TBitmap32 white = solid(2, 2, 0xFFFFFFFF);
        ApplyAlphaMask(nullptr, &white);
        QCOMPARE(messages(), QStringList{QStringLiteral("Empty BMP")});
    }

    // ---- TMultiBitmapLayer and CreateMultiBitmapLayer ---------------------

    void createMultiBitmapLayer_data()
    {
        QTest::addColumn<bool>("withBitmap");
        QTest::addColumn<float>("scale");
        QTest::addColumn<TFloatRect>("location");
        QTest::newRow("scale 2") << true << 2.0f << rectF(6, 8, 26, 18);
        QTest::newRow("scale 1.28") << true << 1.28f << rectF(3 * 1.28f, 4 * 1.28f, 13 * 1.28f, 9 * 1.28f);
        QTest::newRow("null bitmap") << false << 2.0f << rectF(6, 8, 6, 8);
    }
    void createMultiBitmapLayer()
    {
        QFETCH(bool, withBitmap);
        QFETCH(float, scale);
        QFETCH(TFloatRect, location);
        TImage32 image;
        TLayerCollection& layers = image.Layers();
        new TBitmapLayer(&layers);
        const TBitmap32 source = solid(10, 5, 0xFF336699);
        TMultiBitmapLayer* l =
            CreateMultiBitmapLayer(&layers, 3, 4, withBitmap ? &source : nullptr, scale);
        QCOMPARE(layers.Count(), 2);
        QCOMPARE(layers.Items(1), l);
        QVERIFY2(l->Location() == location, qPrintable(locationText(l->Location())));
        QCOMPARE(l->Bitmap().Empty(), !withBitmap);
        QCOMPARE(l->Bitmap().DrawMode(), TDrawMode::dmBlend);
        QVERIFY(!l->MouseEvents());
        QVERIFY(l->Visible());
        QVERIFY(l->Scaled());
        QCOMPARE(l->ImageCount(), 0);
        QCOMPARE(l->MaskCount(), 0);
    }

    void addImageTwiceThenSelect()
    {
        TImage32 image;
        const TBitmap32 first = solid(4, 4, 0xFF112233);
        const TBitmap32 second = solid(4, 4, 0xFF445566);
        TMultiBitmapLayer* l = CreateMultiBitmapLayer(&image.Layers(), 0, 0, &first, 1.0f);
        l->AddMask(&first, 255);  // grey-ish mask: alpha from its intensity
        l->AddImage(&first, 200);
        l->AddImage(&second, 100);
        QCOMPARE(l->ImageCount(), 2);
        QCOMPARE(l->ImageIndex(), 0);
        QCOMPARE(l->Bitmap().Pixel(0, 0) & 0x00FFFFFFu, 0x00112233u);
        QCOMPARE(l->Bitmap().MasterAlpha(), 200);
        const int maskAlpha = (0x11 * 61 + 0x22 * 174 + 0x33 * 21) >> 8;
        QVERIFY(alphaEverywhere(l->Bitmap(), maskAlpha, 1));

        l->SelectImage(1);
        QCOMPARE(l->ImageIndex(), 1);
        QCOMPARE(l->Bitmap().Pixel(3, 3) & 0x00FFFFFFu, 0x00445566u);
        QCOMPARE(l->Bitmap().MasterAlpha(), 100);
        QCOMPARE(l->Bitmap().DrawMode(), TDrawMode::dmBlend);
        QVERIFY(alphaEverywhere(l->Bitmap(), maskAlpha, 1));  // the mask again
        QVERIFY(messages().isEmpty());
    }

    void addMaskTwiceThenSelect()
    {
        TImage32 image;
        const TBitmap32 picture = solid(4, 4, 0xFF808080);
        TMultiBitmapLayer* l = CreateMultiBitmapLayer(&image.Layers(), 0, 0, &picture, 1.0f);
        l->AddImage(&picture, 255);
        QVERIFY(alphaEverywhere(l->Bitmap(), 255));
        const TBitmap32 white = solid(2, 2, 0xFFFFFFFF);
        const TBitmap32 black = solid(4, 4, 0xFF000000);
        l->AddMask(&white, 110);
        QVERIFY(alphaEverywhere(l->Bitmap(), 110, 1));
        l->AddMask(&black, 255);
        QCOMPARE(l->MaskIndex(), 0);
        QVERIFY(alphaEverywhere(l->Bitmap(), 110, 1));
        l->SelectMask(1);
        QCOMPARE(l->MaskIndex(), 1);
        QVERIFY(alphaEverywhere(l->Bitmap(), 0));
        QCOMPARE(l->Bitmap().Pixel(1, 1) & 0x00FFFFFFu, 0x00808080u);
    }

    void selectionOutsideTheListsChangesNothing_data()
    {
        QTest::addColumn<bool>("image");
        QTest::addColumn<int>("index");
        QTest::newRow("image = count") << true << 2;
        QTest::newRow("image -1") << true << -1;
        QTest::newRow("mask = count") << false << 2;
        QTest::newRow("mask -1") << false << -1;
    }
    void selectionOutsideTheListsChangesNothing()
    {
        QFETCH(bool, image);
        QFETCH(int, index);
        TImage32 control;
        const TBitmap32 a = solid(2, 2, 0xFF0000FF);
        const TBitmap32 b = solid(2, 2, 0xFF00FF00);
        TMultiBitmapLayer* l = CreateMultiBitmapLayer(&control.Layers(), 0, 0, &a, 1.0f);
        l->AddImage(&a, 255);
        l->AddImage(&b, 255);
        l->AddMask(&a, 255);
        l->AddMask(&b, 255);
        l->SelectImage(1);
        l->SelectMask(1);
        const QImage before = l->Bitmap().Image().copy();
        if (image)
            l->SelectImage(index);
        else
            l->SelectMask(index);
        QCOMPARE(l->ImageIndex(), 1);
        QCOMPARE(l->MaskIndex(), 1);
        QCOMPARE(l->Bitmap().Image(), before);
    }

    void storedImagesAreCopiesAndKeepTheLocation()
    {
        TImage32 control;
        TBitmap32 a = solid(4, 4, 0xFF0000FF);
        const TBitmap32 wide = solid(8, 2, 0xFF00FF00);
        TMultiBitmapLayer* l = CreateMultiBitmapLayer(&control.Layers(), 10, 10, &a, 1.0f);
        l->AddImage(&a, 255);
        l->AddImage(&wide, 255);
        a.Image().fill(0xFFFF0000u);  // the caller's bitmap is its own
        l->SelectImage(1);
        QCOMPARE(l->Bitmap().Width(), 8);
        QVERIFY(l->Location() == rectF(10, 10, 14, 14));
        l->SelectImage(0);
        QCOMPARE(l->Bitmap().Pixel(0, 0), 0xFF0000FFu);
    }

    // ---- TBitmapLayerList ---------------------------------------------------

    void listAndChildLocations()
    {
        TImage32 control;
        const TBitmap32 background = solid(30, 40, 0xFF000000);
        const TBitmap32 b = solid(16, 8, 0xFFFFFFFF);
        auto* list = new TBitmapLayerList(&control.Layers(), 10, 20, &background, 2.0f);
        QVERIFY(list->Location() == rectF(20, 40, 80, 120));
        QCOMPARE(list->Bitmap().DrawMode(), TDrawMode::dmOpaque);
        QVERIFY(!list->MouseEvents());
        QVERIFY(list->Visible());
        QVERIFY(list->Scaled());

        QCOMPARE(list->AddChildAt(&b, 255, false, 70, 117), 0);
        TMultiBitmapLayer* at = list->Children(0);
        QVERIFY2(at->Location() == rectF(140, 234, (70 + 16) * 2, (117 + 8) * 2),
                 qPrintable(locationText(at->Location())));
        QCOMPARE(list->AddChild(&b, 255, false), 1);
        QVERIFY(list->Children(1)->Location() == rectF(20, 40, 52, 56));
        QCOMPARE(list->ChildCount(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(!list->Children(i)->Visible());
            QVERIFY(!list->Children(i)->MouseEvents());
            QVERIFY(control.Layers().IndexOf(list->Children(i)) > control.Layers().IndexOf(list));
        }
    }

    void childFromMaskOrAddedToLater()
    {
        TImage32 control;
        auto* list = new TBitmapLayerList(&control.Layers(), 0, 0, nullptr, 1.0f);
        const TBitmap32 grey = solid(4, 4, 0xFF404040);
        const TBitmap32 white = solid(4, 4, 0xFFFFFFFF);
        list->AddChild(&grey, 255, true);  // a mask child: its own intensity as alpha
        QCOMPARE(list->Children(0)->MaskCount(), 1);
        QCOMPARE(list->Children(0)->ImageCount(), 0);
        QVERIFY(alphaEverywhere(list->Children(0)->Bitmap(), 0x40));

        list->AddChild(&grey, 255, false);
        list->AddToChild(&white, 1, 110, true);
        QVERIFY(alphaEverywhere(list->Children(1)->Bitmap(), 110, 1));
        list->AddToChild(&white, 2, 255, false);  // no child 2: ignored
        list->AddToChild(&white, -1, 255, true);
        QCOMPARE(list->ChildCount(), 2);
        QCOMPARE(list->Children(1)->ImageCount(), 1);
        QCOMPARE(list->Children(1)->MaskCount(), 1);
        QVERIFY(messages().isEmpty());
    }

    void listWithoutBitmap()
    {
        TImage32 control;
        auto* list = new TBitmapLayerList(&control.Layers(), 50, 60, nullptr, 2.0f);
        QVERIFY(list->Bitmap().Empty());
        QVERIFY(list->Location() == rectF(100, 120, 100, 120));
        const TBitmap32 b = solid(10, 10, 0xFFFFFFFF);
        list->AddChild(&b, 255, false);
        list->AddChildAt(&b, 255, false, 0, 0);
        QVERIFY(list->Children(0)->Location() == rectF(100, 120, 120, 140));
        QVERIFY(list->Children(1)->Location() == rectF(0, 0, 20, 20));
        // A null bitmap makes an empty child at its position.
        list->AddChild(nullptr, 255, false);
        QVERIFY(list->Children(2)->Bitmap().Empty());
        QVERIFY(list->Children(2)->Location() == rectF(100, 120, 100, 120));
    }

    void moveToCarriesTheChildren()
    {
        TImage32 control;
        const TBitmap32 background = solid(200, 100, 0xFF000000);
        const TBitmap32 b = solid(20, 20, 0xFFFFFFFF);
        auto* list = new TBitmapLayerList(&control.Layers(), 100, 50, &background, 1.0f);
        list->AddChildAt(&b, 255, false, 120, 60);
        QVERIFY(list->Children(0)->Location() == rectF(120, 60, 140, 80));
        list->MoveTo(10, 20);
        QVERIFY2(list->Location() == rectF(10, 20, 210, 120), qPrintable(locationText(list->Location())));
        QVERIFY2(list->Children(0)->Location() == rectF(30, 30, 50, 50),
                 qPrintable(locationText(list->Children(0)->Location())));
        QCOMPARE(list->X(), 100);  // the design position stays what it was
    }

    void activeChildren()
    {
        TImage32 control;
        auto* list = new TBitmapLayerList(&control.Layers(), 0, 0, nullptr, 1.0f);
        QVERIFY(list->AllChildrenInactive());
        const TBitmap32 b = solid(4, 4, 0xFFFFFFFF);
        list->AddChild(&b, 255, false);
        list->AddChild(&b, 255, false);
        QVERIFY(list->AllChildrenInactive());
        list->Children(0)->SetVisible(true);  // visible without mouse events
        QVERIFY(!IsLayerActive(list->Children(0)));
        QVERIFY(list->AllChildrenInactive());
        SetLayerActive(list->Children(1), true);
        QVERIFY(IsLayerActive(list->Children(1)));
        QVERIFY(!list->AllChildrenInactive());
        list->SetChildrenActive(false);
        QVERIFY(list->AllChildrenInactive());
        QVERIFY(!list->Children(0)->Visible());
        list->SetChildrenActive(true);
        QVERIFY(IsLayerActive(list->Children(0)) && IsLayerActive(list->Children(1)));
    }

    void hiddenListLeavesItsChildrenOnScreen()
    {
        TImage32 control;
        control.resize(100, 100);
        control.SetBackColor(Qt::black);
        const TBitmap32 red = solid(50, 50, 0xFFFF0000);
        const TBitmap32 green = solid(10, 10, 0xFF00FF00);
        auto* list = new TBitmapLayerList(&control.Layers(), 0, 0, &red, 1.0f);
        list->AddChildAt(&green, 255, false, 20, 20);
        list->Children(0)->SetVisible(true);
        QImage shot = control.Snapshot();
        QCOMPARE(shot.pixel(5, 5) & 0xFFFFFFu, 0xFF0000u);
        QCOMPARE(shot.pixel(25, 25) & 0xFFFFFFu, 0x00FF00u);
        list->SetVisible(false);
        shot = control.Snapshot();
        QCOMPARE(shot.pixel(5, 5) & 0xFFFFFFu, 0x000000u);
        QCOMPARE(shot.pixel(25, 25) & 0xFFFFFFu, 0x00FF00u);
        QVERIFY(list->Children(0)->Visible());
    }

    void hiddenChildWithMouseEventsStillCatchesClicks()
    {
        TImage32 control;
        control.resize(100, 100);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        const TBitmap32 back = solid(50, 50, 0xFF000000);
        const TBitmap32 b = solid(10, 10, 0xFFFFFFFF);
        auto* list = new TBitmapLayerList(&control.Layers(), 0, 0, &back, 1.0f);
        list->AddChildAt(&b, 255, false, 20, 20);
        TMultiBitmapLayer* child = list->Children(0);
        TCustomLayer* pressed = list;  // anything but what a press reports
        connect(&control, &TImage32::MouseDown,
                [&pressed](QMouseEvent*, TCustomLayer* layer) { pressed = layer; });

        SetLayerActive(child, true);
        child->SetVisible(false);
        QCOMPARE(control.LayerAt(QPointF(25, 25)), child);
        QCOMPARE(control.LayerAt(QPointF(5, 5)), nullptr);  // the list takes no clicks
        QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(25, 25));
        QCOMPARE(pressed, child);

        SetLayerActive(child, false);
        QCOMPARE(control.LayerAt(QPointF(25, 25)), nullptr);
        QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(25, 25));
        QCOMPARE(pressed, nullptr);
    }
};

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
