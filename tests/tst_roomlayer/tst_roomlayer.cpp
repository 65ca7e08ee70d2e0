// Room and duct layers built from a small image table made here: load
// overlays, temperature tint, diffuser spot and fan frames.
#include "UnitRoomLayer.h"

#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include "../common/AssetFixture.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

constexpr int kW = 8;  // every fixture picture is 8 x 4 pixels
constexpr int kH = 4;

QByteArray bmp(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return bytes;
}

QImage solid(QRgb colour, int w = kW, int h = kH)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// White in the first `columns` columns, black elsewhere.
QImage columnsMask(int columns, int w = kW, int h = kH)
{
    QImage image = solid(qRgb(0, 0, 0), w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < columns; ++x)
            image.setPixel(x, y, qRgb(255, 255, 255));
    return image;
}

// A BitmapTable with every picture a room or duct loads. Each picture has a
// colour of its own, so a test can tell which one a layer shows.
class RoomTable {
public:
    RoomTable()
    {
        const QString levels[] = {"25", "50", "75", "100"};
        for (const QString room : {"Left", "Mid1", "Mid2", "Right", "LowPres"}) {
            if (room != "LowPres")  // a room of that name loads no background
                picture(room + "_Background");
            for (int k = 0; k < 4; ++k) {
                for (const QString family : {"_Hot", "_Cold"}) {
                    picture(room + family + levels[k]);
                    mask(room + family + levels[k] + "_Alpha", columnsMask(kW));
                }
                // The sun masks differ in width: level k lights 2k columns.
                mask(room + "_Sun" + levels[k] + "_Alpha", columnsMask(2 * (k + 1)));
            }
        }
        for (const QString name : {"Yellow", "Hot", "Cold"})
            picture(name);
        mask("Hot_Alpha", columnsMask(kW));
        for (const QString duct : {"LowPres", "HighPres"}) {
            picture(duct + "_Background", 12, 6);
            mask(duct + "_Alpha", columnsMask(6, 12, 6));  // left half solid
        }
        picture("Fan1", 4, 4);
        picture("Fan2", 4, 4);
        mask("Fan1_Alpha", columnsMask(kW));
        mask("Fan2_Alpha", columnsMask(kW));

        fixture::writeImageTable(dir.path(), "BitmapTable", rows);
        database.SetDirectory(dir.path());
        table = std::make_unique<TEasyTable>(&database, "BitmapTable");
    }

    QRgb colour(const QString& name) const { return colours.at(name) & 0xFFFFFF; }

    QTemporaryDir dir;
    TEasyDatabase database;
    std::unique_ptr<TEasyTable> table;

private:
    void picture(const QString& name, int w = kW, int h = kH)
    {
        const int i = int(colours.size());
        const QRgb c = qRgb((i * 5) % 256, 250 - i * 3, 100 + i);
        colours[name] = c;
        rows.push_back({name, bmp(solid(c, w, h)), 1});
    }
    void mask(const QString& name, const QImage& image) { rows.push_back({name, bmp(image), 1}); }

    std::vector<fixture::ImageRow> rows;
    std::map<QString, QRgb> colours;
};

QRgb rgbOf(const TBitmapLayer* layer, int x = 0, int y = 0)
{
    return layer->Bitmap().Pixel(x, y) & 0xFFFFFF;
}

int alphaOf(const TBitmapLayer* layer, int x = 0, int y = 0)
{
    return AlphaComponent(layer->Bitmap().Pixel(x, y));
}

int visibleCount(const std::vector<TMultiBitmapLayer*>& family)
{
    return int(std::count_if(family.begin(), family.end(), [](auto* l) { return l->Visible(); }));
}

// Overlays 0 .. count - 1 visible, the rest hidden.
bool showsFirst(const std::vector<TMultiBitmapLayer*>& family, int count)
{
    for (size_t i = 0; i < family.size(); ++i)
        if (family[i]->Visible() != (int(i) < count))
            return false;
    return true;
}

}  // namespace

class TestRoomLayer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void outerRoomBuildsOverlaysInDrawingOrder();
    void innerRoomHasOnlyHotOverlays();
    void diffuserSpotCatchesClicks();
    void pressureNamedRoomHasNoBackground();
    void tableLeftAsFound();
    void missingPicturesAreReportedAndConstructionGoesOn();

    void temperatureTint_data();
    void temperatureTint();
    void tintCopiedOnlyWhenCrossingNeutral();
    void tintDrawsOverLoads();

    void sunLoadUsesLevelMask();
    void innerRoomLoads();
    void loadKindSwitching();

    void ductBuiltBlendedWithHiddenFans();
    void fanFramesAlternateAndStop();

private:
    std::unique_ptr<RoomTable> m_table;
};

void TestRoomLayer::initTestCase()
{
    m_table = std::make_unique<RoomTable>();
    QVERIFY(m_table->dir.isValid());
}

void TestRoomLayer::init() { TScreen::SetMetrics(800, 600, 96); }

void TestRoomLayer::cleanupTestCase()
{
    m_table.reset();
    TScreen::ResetMetrics();
}

void TestRoomLayer::outerRoomBuildsOverlaysInDrawingOrder()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 74, 212, "Left", 1.28f, true, m_table->table.get());
    QCOMPARE(messages.messages(), QStringList());

    // Background: opaque, at the design place times the scale.
    QCOMPARE(rgbOf(room), m_table->colour("Left_Background"));
    QCOMPARE(room->Bitmap().DrawMode(), TDrawMode::dmOpaque);
    const double s = 1.28f;  // design pixels times the Single scale
    QCOMPARE(room->Location(), (TFloatRect{float(74 * s), float(212 * s), float((74 + kW) * s),
                                           float((212 + kH) * s)}));

    QCOMPARE(room->ChildCount(), 10);
    QVERIFY(room->OuterRoom());
    QVERIFY(!room->HotMode());
    QVERIFY(!room->ColdMode());
    QCOMPARE(room->Temperature(), 22.5f);
    QCOMPARE(room->GetLoad(), 0);
    QCOMPARE(room->LeftFlow, nullptr);
    QCOMPARE(room->RightFlow, nullptr);

    // Cold 25..100, hot 25..100, sun, tint: each later one drawn over the ones before.
    const QString levels[] = {"25", "50", "75", "100"};
    std::vector<TMultiBitmapLayer*> order;
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(rgbOf(room->ColdOverlays()[size_t(k)]), m_table->colour("Left_Cold" + levels[k]));
        order.push_back(room->ColdOverlays()[size_t(k)]);
    }
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(rgbOf(room->HotOverlays()[size_t(k)]), m_table->colour("Left_Hot" + levels[k]));
        order.push_back(room->HotOverlays()[size_t(k)]);
    }
    order.push_back(room->SunLayer());
    order.push_back(room->TempLayer());
    QVERIFY(room->Index() < room->DiffuserSpot()->Index());
    int previous = room->DiffuserSpot()->Index();
    for (size_t i = 0; i < order.size(); ++i) {
        QCOMPARE(room->Children(int(i)), order[i]);
        QVERIFY(order[i]->Index() > previous);
        previous = order[i]->Index();
        QCOMPARE(order[i]->Location().Left, float(74 * s));
        QCOMPARE(order[i]->Location().Top, float(212 * s));
        QVERIFY(!order[i]->MouseEvents());
    }

    // Everything hidden except the tint, which shows nothing at master alpha 0.
    for (size_t i = 0; i + 1 < order.size(); ++i)
        QVERIFY(!order[i]->Visible());
    QVERIFY(room->TempLayer()->Visible());
    QCOMPARE(room->TempLayer()->Bitmap().MasterAlpha(), 0);
    QCOMPARE(room->TempLayer()->ImageIndex(), 0);
    QCOMPARE(rgbOf(room->TempLayer()), m_table->colour("Hot"));
    QCOMPARE(rgbOf(room->SunLayer()), m_table->colour("Yellow"));
    QCOMPARE(room->SunLayer()->MaskCount(), 4);
}

void TestRoomLayer::innerRoomHasOnlyHotOverlays()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 236, 212, "Mid1", 1.0f, false, m_table->table.get());
    QCOMPARE(messages.messages(), QStringList());
    QCOMPARE(room->ChildCount(), 5);
    QVERIFY(room->ColdOverlays().empty());
    QCOMPARE(room->SunLayer(), nullptr);
    QCOMPARE(room->HotOverlays().size(), size_t(4));
    QCOMPARE(room->Children(4), room->TempLayer());
    QVERIFY(room->HotMode());
    QCOMPARE(rgbOf(room->HotOverlays()[3]), m_table->colour("Mid1_Hot100"));
}

void TestRoomLayer::diffuserSpotCatchesClicks()
{
    TMessageRecorder messages;
    TImage32 image;
    image.resize(1024, 768);
    auto* room = new TRoomLayer(&image.Layers(), 74, 212, "Left", 1.28f, true, m_table->table.get());
    TPositionedLayer* spot = room->DiffuserSpot();
    const double s = 1.28f;
    QCOMPARE(spot->Location(),
             (TFloatRect{float(99 * s), float(202 * s), float(214 * s), float(237 * s)}));
    QVERIFY(spot->Visible());
    QVERIFY(spot->MouseEvents());
    QVERIFY(!spot->Scaled());
    // The overlays over it take no clicks, so a click on the diffuser finds the spot.
    room->SetHotMode(true);
    room->SetLoad(4);
    QCOMPARE(image.LayerAt(QPointF(200, 300)), spot);
    QCOMPARE(image.LayerAt(QPointF(100, 300)), nullptr);
}

void TestRoomLayer::pressureNamedRoomHasNoBackground()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 45, 26, "LowPres", 2.0f, false, m_table->table.get());
    QCOMPARE(messages.messages(), QStringList());
    QVERIFY(room->Bitmap().Empty());
    QCOMPARE(room->Location(), (TFloatRect{90, 52, 90, 52}));
    room->SetLoad(1);
    TMultiBitmapLayer* overlay = room->HotOverlays()[0];
    QVERIFY(overlay->Visible());
    QCOMPARE(overlay->Location(), (TFloatRect{90, 52, 90 + 2 * kW, 52 + 2 * kH}));
    QCOMPARE(rgbOf(overlay), m_table->colour("LowPres_Hot25"));
}

void TestRoomLayer::tableLeftAsFound()
{
    TMessageRecorder messages;
    TImage32 image;
    TEasyTable* table = m_table->table.get();
    QVERIFY(!table->Active());
    new TRoomLayer(&image.Layers(), 0, 0, "Right", 1.0f, true, table);
    new TDuctLayer(&image.Layers(), 0, 0, "LowPres", 1.0f, table, 5, 5);
    QVERIFY(!table->Active());

    table->Open();
    new TRoomLayer(&image.Layers(), 0, 0, "Mid2", 1.0f, false, table);
    QVERIFY(table->Active());
    QVERIFY(!table->Filtered());
    table->Close();
    QCOMPARE(messages.messages(), QStringList());
}

void TestRoomLayer::missingPicturesAreReportedAndConstructionGoesOn()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 10, 20, "Attic", 1.0f, true, m_table->table.get());
    QVERIFY(!messages.messages().isEmpty());
    QCOMPARE(messages.messages().first(), QString("Bitmap Attic_Background not in BitmapTable"));
    QVERIFY(messages.messages().contains("Bitmap Attic_Hot100_Alpha not in BitmapTable"));
    QVERIFY(messages.messages().contains("Bitmap Attic_Sun75_Alpha not in BitmapTable"));
    QCOMPARE(room->ChildCount(), 10);
    QVERIFY(room->Location().Left == room->Location().Right);
    // A missing overlay is empty; the shared pictures still work.
    QVERIFY(room->HotOverlays()[0]->Bitmap().Empty());
    room->SetHotMode(true);
    room->SetLoad(4);
    room->SetTemperature(28);
    QCOMPARE(room->TempLayer()->Bitmap().MasterAlpha(), 125);
    QCOMPARE(rgbOf(room->TempLayer()), m_table->colour("Hot"));
    image.resize(100, 100);
    image.Snapshot();  // empty overlays draw nothing, without trouble
}

void TestRoomLayer::temperatureTint_data()
{
    QTest::addColumn<float>("temperature");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("alpha");
    QTest::newRow("22.5 neutral") << 22.5f << "Cold" << 0;
    QTest::newRow("22.6") << 22.6f << "Hot" << 2;
    QTest::newRow("26.25") << 26.25f << "Hot" << 85;
    QTest::newRow("18.75") << 18.75f << "Cold" << 85;
    QTest::newRow("29.9") << 29.9f << "Hot" << 168;
    QTest::newRow("30") << 30.0f << "Hot" << 170;
    QTest::newRow("35") << 35.0f << "Hot" << 170;
    QTest::newRow("15.5") << 15.5f << "Cold" << 159;
    QTest::newRow("15") << 15.0f << "Cold" << 170;
    QTest::newRow("5") << 5.0f << "Cold" << 170;
}

void TestRoomLayer::temperatureTint()
{
    QFETCH(float, temperature);
    QFETCH(QString, picture);
    QFETCH(int, alpha);
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 0, 0, "Mid2", 1.0f, false, m_table->table.get());
    room->SetTemperature(temperature);
    QCOMPARE(room->Temperature(), temperature);
    TMultiBitmapLayer* tint = room->TempLayer();
    QCOMPARE(tint->ImageIndex(), picture == "Hot" ? 0 : 1);
    QCOMPARE(rgbOf(tint), m_table->colour(picture));
    QCOMPARE(tint->Bitmap().MasterAlpha(), alpha);
    QCOMPARE(alphaOf(tint), 255);  // Hot_Alpha stays applied after a switch
    QVERIFY(tint->Visible());
}

void TestRoomLayer::tintCopiedOnlyWhenCrossingNeutral()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 0, 0, "Left", 1.0f, true, m_table->table.get());
    TBitmap32& tint = room->TempLayer()->Bitmap();
    const struct {
        float temperature;
        bool copied;
    } steps[] = {
        {25.0f, false},  // Hot is selected from creation
        {27.0f, false}, {22.5f, true}, {20.0f, false}, {10.0f, false},
        {23.0f, true},  {23.0f, false}, {40.0f, false}, {22.4f, true},
    };
    for (const auto& s : steps) {
        const quint64 before = tint.Generation();
        room->SetTemperature(s.temperature);
        // Master alpha alone changes the bitmap once; a copy with its mask more often.
        const quint64 changes = tint.Generation() - before;
        QVERIFY2((changes >= 2) == s.copied,
                 qPrintable(QString("%1: %2 changes").arg(s.temperature).arg(changes)));
    }
}

void TestRoomLayer::tintDrawsOverLoads()
{
    TMessageRecorder messages;
    TImage32 image;
    image.resize(40, 20);
    image.SetBackColor(Qt::black);
    auto* room = new TRoomLayer(&image.Layers(), 0, 0, "Mid1", 1.0f, false, m_table->table.get());
    QCOMPARE(image.Snapshot().pixel(1, 1) & 0xFFFFFF, m_table->colour("Mid1_Background"));
    room->SetLoad(2);
    QCOMPARE(image.Snapshot().pixel(1, 1) & 0xFFFFFF, m_table->colour("Mid1_Hot50"));
    room->SetTemperature(35);
    const QColor shown(image.Snapshot().pixel(1, 1));
    const QColor load(m_table->colour("Mid1_Hot50"));
    const QColor hot(m_table->colour("Hot"));
    const double a = 170 / 255.0;
    QVERIFY(std::abs(shown.green() - (hot.green() * a + load.green() * (1 - a))) <= 2);
    QVERIFY(std::abs(shown.red() - (hot.red() * a + load.red() * (1 - a))) <= 2);
}

void TestRoomLayer::sunLoadUsesLevelMask()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 0, 0, "Right", 1.0f, true, m_table->table.get());
    TMultiBitmapLayer* sun = room->SunLayer();
    const int strengths[] = {110, 130, 150, 170};
    for (int level = 1; level <= 4; ++level) {
        room->SetLoad(level);
        QVERIFY(sun->Visible());
        QCOMPARE(sun->MaskIndex(), level - 1);
        QCOMPARE(room->GetLoad(), level);
        QVERIFY(room->HasSunLoad());
        QVERIFY(!room->HasHotLoad());
        // The level's own mask (2 x level lit columns) at its strength.
        QCOMPARE(alphaOf(sun, 2 * level - 1), strengths[level - 1]);
        if (level < 4)
            QCOMPARE(alphaOf(sun, 2 * level), 0);
        QCOMPARE(visibleCount(room->HotOverlays()), 0);
    }
    room->SetLoad(3);
    QCOMPARE(alphaOf(sun, 5), 150);
    room->SetLoad(0);
    QVERIFY(!sun->Visible());
    QCOMPARE(room->GetLoad(), 0);
    QVERIFY(!room->HasSunLoad());
}

void TestRoomLayer::innerRoomLoads()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 0, 0, "Mid2", 1.0f, false, m_table->table.get());
    room->SetLoad(2);
    QVERIFY(showsFirst(room->HotOverlays(), 2));
    QCOMPARE(room->GetLoad(), 2);
    QVERIFY(room->HasHotLoad());
    room->SetLoad(1);
    QVERIFY(showsFirst(room->HotOverlays(), 1));
    room->SetLoad(4);
    QVERIFY(showsFirst(room->HotOverlays(), 4));
    // No cooling load and no sun in an inner room.
    room->SetColdLevel(3);
    QCOMPARE(room->ColdLevel(), 0);
    room->SetSunLevel(2);
    QCOMPARE(room->SunLevel(), 0);
    QCOMPARE(room->GetLoad(), 4);
    room->SetLoad(0);
    QVERIFY(showsFirst(room->HotOverlays(), 0));
}

void TestRoomLayer::loadKindSwitching()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* room = new TRoomLayer(&image.Layers(), 0, 0, "Left", 1.0f, true, m_table->table.get());
    enum Op { Load, Cold, Hot };
    const struct {
        const char* what;
        Op op;
        int value;
        int cold, hot, sunMask;  // overlays shown; sun mask index or -1 when hidden
        int load, sunLevel;
    } steps[] = {
        {"sun 2", Load, 2, 0, 0, 1, 2, 2},
        {"cold mode clears the sun", Cold, 1, 0, 0, -1, 0, 0},
        {"cold 4", Load, 4, 4, 0, -1, 4, 0},
        {"cold 1", Load, 1, 1, 0, -1, 1, 0},
        {"leaving cold clears it", Cold, 0, 0, 0, -1, 0, 0},
        {"back to sun from 0", Load, 2, 0, 0, 1, 2, 2},
        {"hot mode clears the sun", Hot, 1, 0, 0, -1, 0, 0},
        {"hot 3", Load, 3, 0, 3, -1, 3, 0},
        {"hot mode again changes nothing", Hot, 1, 0, 3, -1, 3, 0},
        {"cold mode clears hot", Cold, 1, 0, 0, -1, 0, 0},
        {"cold 2", Load, 2, 2, 0, -1, 2, 0},
        {"back to heating, still hot", Cold, 0, 0, 0, -1, 0, 0},
        {"hot 1", Load, 1, 0, 1, -1, 1, 0},
        {"sun mode clears hot", Hot, 0, 0, 0, -1, 0, 0},
        {"sun 4", Load, 4, 0, 0, 3, 4, 4},
    };
    for (const auto& s : steps) {
        switch (s.op) {
        case Load: room->SetLoad(s.value); break;
        case Cold: room->SetColdMode(s.value != 0); break;
        case Hot: room->SetHotMode(s.value != 0); break;
        }
        const QByteArray what(s.what);
        QVERIFY2(showsFirst(room->ColdOverlays(), s.cold), what);
        QVERIFY2(showsFirst(room->HotOverlays(), s.hot), what);
        QVERIFY2(room->SunLayer()->Visible() == (s.sunMask >= 0), what);
        if (s.sunMask >= 0)
            QVERIFY2(room->SunLayer()->MaskIndex() == s.sunMask, what);
        QVERIFY2(room->GetLoad() == s.load, what);
        QVERIFY2(room->SunLevel() == s.sunLevel, what);
    }
}

void TestRoomLayer::ductBuiltBlendedWithHiddenFans()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* duct = new TDuctLayer(&image.Layers(), 45, 26, "LowPres", 1.28f, m_table->table.get(), 70, 117);
    QCOMPARE(messages.messages(), QStringList());
    QCOMPARE(rgbOf(duct), m_table->colour("LowPres_Background"));
    QCOMPARE(duct->Bitmap().DrawMode(), TDrawMode::dmBlend);
    QCOMPARE(alphaOf(duct, 2), 255);  // the mask's solid half
    QCOMPARE(alphaOf(duct, 9), 0);
    const double s = 1.28f;
    QCOMPARE(duct->Location(),
             (TFloatRect{float(45 * s), float(26 * s), float(57 * s), float(32 * s)}));
    QVERIFY(duct->Visible());
    QVERIFY(!duct->Active());
    QVERIFY(!duct->MouseEvents());

    QCOMPARE(duct->ChildCount(), 2);
    QCOMPARE(duct->Fans().size(), size_t(2));
    QCOMPARE(rgbOf(duct->Fans()[0]), m_table->colour("Fan1"));
    QCOMPARE(rgbOf(duct->Fans()[1]), m_table->colour("Fan2"));
    for (TMultiBitmapLayer* fan : duct->Fans()) {
        QVERIFY(!fan->Visible());
        QCOMPARE(alphaOf(fan), 255);
        QCOMPARE(fan->Location(),
                 (TFloatRect{float(70 * s), float(117 * s), float(74 * s), float(121 * s)}));
    }
}

void TestRoomLayer::fanFramesAlternateAndStop()
{
    TMessageRecorder messages;
    TImage32 image;
    auto* duct = new TDuctLayer(&image.Layers(), 0, 0, "HighPres", 1.0f, m_table->table.get(), 25, 91);
    TMultiBitmapLayer* fan1 = duct->Fans()[0];
    TMultiBitmapLayer* fan2 = duct->Fans()[1];
    const auto shown = [&] { return QString("%1%2").arg(fan1->Visible()).arg(fan2->Visible()); };

    duct->NextFanFrame();
    QCOMPARE(shown(), QString("01"));  // Fan2 first
    duct->NextFanFrame();
    QCOMPARE(shown(), QString("10"));
    duct->NextFanFrame();
    QCOMPARE(shown(), QString("01"));

    duct->SetActive(false);
    QVERIFY(!duct->Visible());
    QVERIFY(!duct->Active());
    QCOMPARE(shown(), QString("00"));
    duct->NextFanFrame();
    duct->NextFanFrame();
    QCOMPARE(shown(), QString("00"));

    duct->SetActive(true);
    QVERIFY(duct->Visible());
    QVERIFY(duct->Active());
    QCOMPARE(shown(), QString("00"));
    duct->NextFanFrame();
    QCOMPARE(shown(), QString("10"));  // the frame opposite to the last one shown
    duct->NextFanFrame();
    QCOMPARE(shown(), QString("01"));
}

QTEST_MAIN(TestRoomLayer)
#include "tst_roomlayer.moc"
