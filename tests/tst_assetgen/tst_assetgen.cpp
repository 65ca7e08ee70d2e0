// Runs corvair-assetgen into a temporary folder and checks what the simulator
// relies on: the table layout, every picture the scene loads (present once,
// decodable, the right size and kind), pictures that line up with the window's
// controls, the arrow paths, the close-up pictures and the logo, and that two
// runs give the same bytes.

#include "AssetWriter.h"
#include "GifEncoder.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

constexpr int SceneW = 724, SceneH = 380;

struct RoomPlace {
    const char* name;
    int x;
    bool outer;
};
constexpr RoomPlace rooms[] = {{"Left", 74, true}, {"Mid1", 236, false}, {"Mid2", 398, false}, {"Right", 560, true}};
constexpr int RoomY = 212;

QPoint pathOrigin(int n)
{
    if (n <= 2)
        return {40, 22};
    if (n == 3)
        return {33, 22};
    if (n <= 11)
        return {rooms[(n - 4) / 2].x, RoomY};
    static const int hx[] = {5, 8, 12, 15};
    return {hx[n - 20], 0};
}

// The window's controls over the scene (window position minus the image's 5, 4).
struct ControlRect {
    const char* name;
    QRect rect;
};
QRect sceneRect(int l, int t, int w, int h) { return QRect(l - 5, t - 4, w, h); }
const QVector<ControlRect>& controlRects()
{
    static const QVector<ControlRect> list{
        {"RichEdit1", sceneRect(192, 40, 126, 17)},       {"EditTempUnit", sceneRect(277, 56, 41, 17)},
        {"EditSupplyTemperature", sceneRect(320, 40, 41, 24)}, {"RichEdit3", sceneRect(248, 79, 70, 17)},
        {"EditFanSpeedUnit", sceneRect(269, 95, 49, 17)}, {"EditFanSpeed", sceneRect(320, 80, 49, 24)},
        {"RichEdit2", sceneRect(376, 40, 126, 17)},       {"EditEnergyUnit", sceneRect(461, 56, 41, 17)},
        {"EditEnergyConsumption", sceneRect(505, 41, 56, 24)}, {"RichEdit4", sceneRect(416, 79, 86, 17)},
        {"EditPressureUnit", sceneRect(448, 95, 54, 17)}, {"EditDuctPressure", sceneRect(505, 80, 56, 24)},
        {"GroupBox1", sceneRect(601, 8, 113, 80)},        {"Edit5", sceneRect(606, 93, 104, 16)},
        {"TrackBarAniSpd", sceneRect(601, 110, 113, 32)}, {"Edit1", sceneRect(32, 190, 137, 18)},
        {"EditTempSetpoint1", sceneRect(207, 183, 40, 24)}, {"UpDownTempSetpoint1", sceneRect(247, 183, 19, 24)},
        {"EditTempSetpoint2", sceneRect(341, 183, 40, 24)}, {"UpDownTempSetpoint2", sceneRect(381, 183, 19, 24)},
        {"EditTempSetpoint3", sceneRect(490, 183, 40, 24)}, {"UpDownTempSetpoint3", sceneRect(530, 183, 19, 24)},
        {"EditTempSetpoint4", sceneRect(639, 183, 40, 24)}, {"UpDownTempSetpoint4", sceneRect(679, 183, 19, 24)},
    };
    return list;
}

int intensity(QRgb c) { return (qRed(c) * 61 + qGreen(c) * 174 + qBlue(c) * 21) >> 8; }

struct Record {
    QByteArray data;
    int type = -1;
    int count = 0;
};

struct PathPoint {
    int x, y, angle;
};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestAssetGen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void tableLayout();
    void databaseFolderHoldsOnlyTheTables();

    void sceneImages_data();
    void sceneImages();
    void everyRecordMatchesItsType();
    void masksCoverPartOfTheirPicture();

    void ductsLeaveTheControlsClear_data();
    void ductsLeaveTheControlsClear();
    void diffusersLieInTheirClickSpots();
    void pressureFiguresSitOnDarkPlates_data();
    void pressureFiguresSitOnDarkPlates();

    void arrowPathSet();
    void arrowPointsStayInTheScene();
    void headingsFollowTheTravel();
    void roomPathsFallIntoTheirRoom();

    void closeupPictures_data();
    void closeupPictures();
    void logo();

    void gifKeepsFewColoursExactly();
    void gifReducesManyColoursClosely();
    void gifTransparentPixels();
    void failedWriteKeepsTheOldTables();
    void staleIntroTableIsRemoved();

    void twoRunsGiveTheSameBytes();
    void refusesAMissingOutputFolderArgument();

private:
    bool runGenerator(const QString& dbDir, const QString& picDir, QString* output);
    QImage image(const QString& name) const;

    QTemporaryDir m_tmp;
    QString m_db, m_pics, m_db2, m_pics2;
    QHash<QString, Record> m_images;
    QMap<int, QVector<PathPoint>> m_paths;
    QMap<int, QStringList> m_pathNames;
};

bool TestAssetGen::runGenerator(const QString& dbDir, const QString& picDir, QString* output)
{
    QProcess gen;
    gen.setProcessChannelMode(QProcess::MergedChannels);
    gen.start(QStringLiteral(ASSETGEN_BIN), {QStringLiteral("--pictures"), picDir, dbDir});
    const bool ok = gen.waitForFinished(-1) && gen.exitStatus() == QProcess::NormalExit && gen.exitCode() == 0;
    *output = QString::fromLocal8Bit(gen.readAll());
    return ok;
}

QImage TestAssetGen::image(const QString& name) const
{
    QByteArray data = m_images.value(name).data;
    QBuffer buf(&data);
    QImageReader reader(&buf);
    return reader.read();
}

void TestAssetGen::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    m_db = m_tmp.filePath(QStringLiteral("run1/DataBase"));
    m_pics = m_tmp.filePath(QStringLiteral("run1/generated"));
    m_db2 = m_tmp.filePath(QStringLiteral("run2/DataBase"));
    m_pics2 = m_tmp.filePath(QStringLiteral("run2/generated"));
    QString out;
    QVERIFY2(runGenerator(m_db, m_pics, &out), qPrintable(out));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bitmaps"));
        db.setDatabaseName(m_db + QStringLiteral("/BitmapTable.bdf"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery q(QStringLiteral("SELECT Name, Data, ImageType FROM BitmapTable"), db);
        while (q.next()) {
            Record& r = m_images[q.value(0).toString()];
            r.data = q.value(1).toByteArray();
            r.type = q.value(2).toInt();
            ++r.count;
        }
        QVERIFY(!q.lastError().isValid());
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("arrows"));
        db.setDatabaseName(m_db + QStringLiteral("/ArrowTable_800x600.bdf"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QSqlQuery q(QStringLiteral("SELECT ArrowNr, X, Y, Angle, PathName FROM ArrowTable_800x600 ORDER BY ArrowNr, rowid"), db);
        while (q.next()) {
            const int n = q.value(0).toInt();
            m_paths[n].push_back({q.value(1).toInt(), q.value(2).toInt(), q.value(3).toInt()});
            const QString name = q.value(4).toString();
            if (!m_pathNames[n].contains(name))
                m_pathNames[n].push_back(name);
        }
        QVERIFY(!q.lastError().isValid());
    }
}

void TestAssetGen::cleanupTestCase()
{
    QSqlDatabase::removeDatabase(QStringLiteral("bitmaps"));
    QSqlDatabase::removeDatabase(QStringLiteral("arrows"));
}

void TestAssetGen::tableLayout()
{
    const QHash<QString, QStringList> expected{
        {QStringLiteral("BitmapTable"), {"Name", "Data", "ImageType"}},
        {QStringLiteral("ArrowTable_800x600"), {"ArrowNr", "X", "Y", "Angle", "PathName"}},
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("layout"));
        db.setDatabaseName(m_db + QLatin1Char('/') + it.key() + QStringLiteral(".bdf"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QVERIFY(db.open());
        QStringList columns;
        QSqlQuery q(QStringLiteral("PRAGMA table_info(%1)").arg(it.key()), db);
        while (q.next())
            columns << q.value(1).toString();
        QCOMPARE(columns, it.value());
        if (it.key() == QStringLiteral("ArrowTable_800x600")) {
            QSqlQuery idx(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'ArrowTable_800x600'"), db);
            QVERIFY(idx.next());
            QCOMPARE(idx.value(0).toString(), QStringLiteral("ArrowNr"));
        } else {
            QSqlQuery notNull(QStringLiteral("SELECT \"notnull\" FROM pragma_table_info('BitmapTable') WHERE name = 'Name'"), db);
            QVERIFY(notNull.next());
            QCOMPARE(notNull.value(0).toInt(), 1);
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("layout"));
    }
}

void TestAssetGen::databaseFolderHoldsOnlyTheTables()
{
    // MovieTable.bdf holds the intro, which the main window plays whenever the file exists.
    const QStringList files = QDir(m_db).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QCOMPARE(files, QStringList({"ArrowTable_800x600.bdf", "BitmapTable.bdf", "MovieTable.bdf"}));
}

void TestAssetGen::sceneImages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("sizeOf"); // name of the picture it must match, or empty
    QTest::addColumn<QSize>("size");     // expected size when sizeOf is empty
    const QSize room(162, 168);
    static const char* const steps[] = {"25", "50", "75", "100"};
    for (const RoomPlace& r : rooms) {
        const QString n = QString::fromLatin1(r.name);
        QTest::newRow(qPrintable(n + "_Background")) << n + "_Background" << QString() << room;
        for (const char* s : steps) {
            const QString hot = n + "_Hot" + s;
            QTest::newRow(qPrintable(hot)) << hot << QString() << room;
            QTest::newRow(qPrintable(hot + "_Alpha")) << hot + "_Alpha" << hot << QSize();
            if (!r.outer)
                continue;
            const QString cold = n + "_Cold" + s;
            QTest::newRow(qPrintable(cold)) << cold << QString() << room;
            QTest::newRow(qPrintable(cold + "_Alpha")) << cold + "_Alpha" << cold << QSize();
            const QString sun = n + "_Sun" + s + "_Alpha";
            QTest::newRow(qPrintable(sun)) << sun << QStringLiteral("Yellow") << QSize();
        }
    }
    QTest::newRow("Yellow") << "Yellow" << QString() << room;
    QTest::newRow("Hot") << "Hot" << QString() << room;
    QTest::newRow("Cold") << "Cold" << QString() << room;
    QTest::newRow("Hot_Alpha") << "Hot_Alpha" << QStringLiteral("Hot") << QSize();
    QTest::newRow("LowPres_Background") << "LowPres_Background" << QString() << QSize(SceneW - 45, 198);
    QTest::newRow("LowPres_Alpha") << "LowPres_Alpha" << QStringLiteral("LowPres_Background") << QSize();
    QTest::newRow("HighPres_Background") << "HighPres_Background" << QString() << QSize(SceneW, 224);
    QTest::newRow("HighPres_Alpha") << "HighPres_Alpha" << QStringLiteral("HighPres_Background") << QSize();
    QTest::newRow("Fan1") << "Fan1" << QString() << QSize(60, 60);
    QTest::newRow("Fan2") << "Fan2" << QStringLiteral("Fan1") << QSize();
    QTest::newRow("Fan1_Alpha") << "Fan1_Alpha" << QStringLiteral("Fan1") << QSize();
    QTest::newRow("Fan2_Alpha") << "Fan2_Alpha" << QStringLiteral("Fan2") << QSize();
}

void TestAssetGen::sceneImages()
{
    QFETCH(QString, name);
    QFETCH(QString, sizeOf);
    QFETCH(QSize, size);
    QVERIFY2(m_images.contains(name), qPrintable(name));
    QCOMPARE(m_images.value(name).count, 1);
    const QImage img = image(name);
    QVERIFY2(!img.isNull(), qPrintable(name));
    QCOMPARE(img.size(), sizeOf.isEmpty() ? size : image(sizeOf).size());
}

void TestAssetGen::everyRecordMatchesItsType()
{
    QSet<int> types;
    for (auto it = m_images.cbegin(); it != m_images.cend(); ++it) {
        const Record& r = it.value();
        types.insert(r.type);
        if (r.type == 0)
            QVERIFY2(r.data.startsWith("GIF89a"), qPrintable(it.key()));
        else if (r.type == 1)
            QVERIFY2(r.data.startsWith("BM"), qPrintable(it.key()));
        else
            QFAIL(qPrintable(QStringLiteral("%1 has type %2").arg(it.key()).arg(r.type)));
        QVERIFY2(!image(it.key()).isNull(), qPrintable(it.key()));
    }
    QCOMPARE(types, QSet<int>({0, 1}));
}

void TestAssetGen::masksCoverPartOfTheirPicture()
{
    // A blank mask hides an overlay; a white one paints over the whole room.
    QStringList masks{"Hot_Alpha", "LowPres_Alpha", "HighPres_Alpha", "Fan1_Alpha", "Fan2_Alpha"};
    static const char* const steps[] = {"25", "50", "75", "100"};
    for (const RoomPlace& r : rooms)
        for (const char* s : steps) {
            masks << QString::fromLatin1(r.name) + "_Hot" + s + "_Alpha";
            if (r.outer)
                masks << QString::fromLatin1(r.name) + "_Cold" + s + "_Alpha" << QString::fromLatin1(r.name) + "_Sun" + s + "_Alpha";
        }
    for (const QString& name : masks) {
        const QImage m = image(name);
        QVERIFY2(!m.isNull(), qPrintable(name));
        qint64 covered = 0;
        qint64 full = 0;
        for (int y = 0; y < m.height(); ++y)
            for (int x = 0; x < m.width(); ++x) {
                const int v = intensity(m.pixel(x, y));
                covered += v > 16;
                full += v > 240;
            }
        const qint64 all = qint64(m.width()) * m.height();
        QVERIFY2(covered > 0, qPrintable(name));
        QVERIFY2(full < all * 9 / 10, qPrintable(name));
    }
}

void TestAssetGen::ductsLeaveTheControlsClear_data()
{
    QTest::addColumn<QString>("duct");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("low") << QStringLiteral("LowPres") << QPoint(45, 26);
    QTest::newRow("high") << QStringLiteral("HighPres") << QPoint(0, 0);
}

void TestAssetGen::ductsLeaveTheControlsClear()
{
    QFETCH(QString, duct);
    QFETCH(QPoint, origin);
    const QImage mask = image(duct + QStringLiteral("_Alpha"));
    QVERIFY(!mask.isNull());
    for (const ControlRect& c : controlRects()) {
        // The centre-right setpoint is hidden in the high-pressure system.
        if (duct == QStringLiteral("HighPres") && QByteArray(c.name).endsWith('3'))
            continue;
        int hidden = 0;
        for (int y = c.rect.top(); y <= c.rect.bottom(); ++y)
            for (int x = c.rect.left(); x <= c.rect.right(); ++x) {
                const QPoint p = QPoint(x, y) - origin;
                if (mask.rect().contains(p) && intensity(mask.pixel(p)) > 64)
                    ++hidden;
            }
        QVERIFY2(hidden == 0, qPrintable(QStringLiteral("%1 hides %2 pixels of %3").arg(QLatin1String(c.name)).arg(hidden).arg(duct)));
    }
}

void TestAssetGen::diffusersLieInTheirClickSpots()
{
    // Below the ceiling line only the diffusers of the low-pressure duct show,
    // and each lies inside its room's click spot.
    const QImage mask = image(QStringLiteral("LowPres_Alpha"));
    const QPoint origin(45, 26);
    QVector<QRect> spots;
    for (const RoomPlace& r : rooms)
        spots.push_back(QRect(QPoint(r.x + 25, RoomY - 10), QPoint(r.x + 140, RoomY + 25)));
    QVector<int> inSpot(spots.size(), 0);
    for (int y = RoomY; y < origin.y() + mask.height(); ++y)
        for (int x = 0; x < SceneW; ++x) {
            const QPoint p = QPoint(x, y) - origin;
            if (!mask.rect().contains(p) || intensity(mask.pixel(p)) <= 64)
                continue;
            bool found = false;
            for (int s = 0; s < spots.size(); ++s)
                if (spots[s].contains(x, y)) {
                    ++inSpot[s];
                    found = true;
                }
            QVERIFY2(found, qPrintable(QStringLiteral("duct pixel at %1,%2 outside every click spot").arg(x).arg(y)));
        }
    for (int s = 0; s < spots.size(); ++s)
        QVERIFY2(inSpot[s] > 100, rooms[s].name);
}

void TestAssetGen::pressureFiguresSitOnDarkPlates_data()
{
    QTest::addColumn<QString>("duct");
    QTest::addColumn<QPoint>("origin");
    QTest::addColumn<QRect>("text"); // where the white 8-point figure is drawn, scene pixels
    const QPoint low(45, 26);
    QTest::newRow("low 200") << "LowPres" << low << QRect(200, 147, 29, 12);
    QTest::newRow("low 440") << "LowPres" << low << QRect(440, 147, 29, 12);
    QTest::newRow("low 490") << "LowPres" << low << QRect(490, 147, 29, 12);
    QTest::newRow("low 600") << "LowPres" << low << QRect(600, 147, 29, 12);
    QTest::newRow("high 365") << "HighPres" << QPoint(0, 0) << QRect(365, 159, 67, 12);
}

void TestAssetGen::pressureFiguresSitOnDarkPlates()
{
    QFETCH(QString, duct);
    QFETCH(QPoint, origin);
    QFETCH(QRect, text);
    const QImage pic = image(duct + QStringLiteral("_Background"));
    const QImage mask = image(duct + QStringLiteral("_Alpha"));
    for (int y = text.top(); y <= text.bottom(); ++y)
        for (int x = text.left(); x <= text.right(); ++x) {
            const QPoint p = QPoint(x, y) - origin;
            QVERIFY(intensity(mask.pixel(p)) > 240);
            QVERIFY2(intensity(pic.pixel(p)) < 110, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
        }
}

void TestAssetGen::arrowPathSet()
{
    QList<int> numbers = m_paths.keys();
    QList<int> expected;
    for (int n = 0; n <= 11; ++n)
        expected << n;
    for (int n = 20; n <= 23; ++n)
        expected << n;
    QCOMPARE(numbers, expected);
    const QStringList roomNames{"LeftL", "LeftR", "Mid1L", "Mid1R", "mid2L", "mid2R", "RightL", "RightR"};
    QString previous;
    for (int n : expected) {
        QCOMPARE(m_pathNames.value(n).size(), 1);
        const QString name = m_pathNames.value(n).first();
        QVERIFY(!name.isEmpty());
        // A path ends where the name changes, so neighbouring paths need different names.
        QVERIFY2(name != previous, qPrintable(name));
        previous = name;
        if (n >= 4 && n <= 11)
            QCOMPARE(name, roomNames[n - 4]);
        else
            QVERIFY2(!roomNames.contains(name), qPrintable(name));
        QVERIFY2(m_paths.value(n).size() >= 20, qPrintable(name));
    }
}

void TestAssetGen::arrowPointsStayInTheScene()
{
    for (auto it = m_paths.cbegin(); it != m_paths.cend(); ++it) {
        const QPoint o = pathOrigin(it.key());
        for (const PathPoint& p : it.value()) {
            // The arrow itself takes about the top-left 16 x 16 of its box.
            const QRect arrow(p.x + o.x(), p.y + o.y(), 16, 16);
            QVERIFY2(QRect(0, 0, SceneW, SceneH).contains(arrow),
                     qPrintable(QStringLiteral("path %1 at %2,%3").arg(it.key()).arg(arrow.x()).arg(arrow.y())));
            QVERIFY(p.angle >= -180 && p.angle <= 180);
        }
    }
}

void TestAssetGen::headingsFollowTheTravel()
{
    for (auto it = m_paths.cbegin(); it != m_paths.cend(); ++it) {
        const auto& pts = it.value();
        for (int i = 1; i < pts.size(); ++i) {
            const int dx = pts[i].x - pts[i - 1].x;
            const int dy = pts[i].y - pts[i - 1].y;
            const double step = std::hypot(dx, dy);
            if (step > 30) // the wrap from a duct's far end back to its intake
                continue;
            QVERIFY2(step >= 2, qPrintable(QStringLiteral("path %1 point %2 barely moves").arg(it.key()).arg(i)));
            const double travel = std::atan2(-dy, dx) * 180 / M_PI;
            double diff = std::fmod(std::abs(travel - pts[i].angle), 360.0);
            diff = std::min(diff, 360 - diff);
            QVERIFY2(diff <= 30, qPrintable(QStringLiteral("path %1 point %2: heading %3, travel %4")
                                               .arg(it.key()).arg(i).arg(pts[i].angle).arg(travel)));
        }
    }
}

void TestAssetGen::roomPathsFallIntoTheirRoom()
{
    for (int n = 4; n <= 11; ++n) {
        const auto& pts = m_paths.value(n);
        const bool toLeft = (n % 2) == 0;
        // Stored relative to the room; the air stays inside it.
        for (const PathPoint& p : pts)
            QVERIFY2(QRect(0, 0, 162, 168).contains(QRect(p.x, p.y, 16, 16)), qPrintable(QString::number(n)));
        // Out of the diffuser sideways, near the ceiling...
        QVERIFY(pts.first().y < 20);
        QVERIFY2(toLeft ? std::abs(pts.first().angle) >= 160 : std::abs(pts.first().angle) <= 20,
                 qPrintable(QString::number(pts.first().angle)));
        // ...towards its own side, and down towards the floor at the end.
        QVERIFY(toLeft ? pts.last().x < pts.first().x : pts.last().x > pts.first().x);
        QVERIFY(pts.last().y > 110);
        QVERIFY2(std::abs(pts.last().angle + 90) <= 20, qPrintable(QString::number(pts.last().angle)));
    }
}

void TestAssetGen::closeupPictures_data()
{
    QTest::addColumn<QString>("file");
    for (int i = 0; i < 8; ++i)
        QTest::newRow(qPrintable(QStringLiteral("Image%1").arg(i))) << QStringLiteral("Image%1.gif").arg(i);
    QTest::newRow("ImageHeat") << QStringLiteral("ImageHeat.gif");
}

void TestAssetGen::closeupPictures()
{
    QFETCH(QString, file);
    const QString path = m_pics + QStringLiteral("/closeup/") + file;
    QVERIFY(fileBytes(path).startsWith("GIF89a"));
    QImageReader reader(path);
    const QImage img = reader.read();
    QVERIFY2(!img.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(img.size(), QSize(345, 190));
    // Transparent background: the corners are clear, the diffuser in the middle is not.
    QVERIFY(img.hasAlphaChannel());
    QCOMPARE(qAlpha(img.pixel(344, 189)), 0);
    QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(img.pixel(172, 30)), 255);
}

void TestAssetGen::logo()
{
    const QByteArray bytes = fileBytes(m_pics + QStringLiteral("/logo/Logo.bmp"));
    QVERIFY(bytes.startsWith("BM"));
    QVERIFY(bytes.size() > 30);
    QCOMPARE(int(quint8(bytes[28])) | int(quint8(bytes[29])) << 8, 24); // bits per pixel
    const QImage img = QImage::fromData(bytes);
    QCOMPARE(img.size(), QSize(207, 47));
}

void TestAssetGen::gifKeepsFewColoursExactly()
{
    // Masks are grey ramps: all 256 levels must come back unchanged.
    QImage ramp(256, 3, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 3; ++y)
            ramp.setPixel(x, y, y == 1 ? qRgb(x, x, x) : qRgb(255 - x, 255 - x, 255 - x));
    const QImage back = QImage::fromData(encodeGif(ramp)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(back.size(), ramp.size());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x)
            QCOMPARE(back.pixel(x, y), ramp.pixel(x, y));
}

void TestAssetGen::gifReducesManyColoursClosely()
{
    QImage img(320, 96, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, QColor::fromHsv(x * 359 / 319, 200, 80 + y * 175 / 95).rgb());
    const QByteArray bytes = encodeGif(img);
    QCOMPARE(encodeGif(img), bytes); // same picture, same bytes
    const QImage back = QImage::fromData(bytes).convertToFormat(QImage::Format_RGB32);
    QSet<QRgb> colours;
    double total = 0;
    int worst = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb a = img.pixel(x, y), b = back.pixel(x, y);
            colours.insert(b);
            const int e = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
            worst = std::max(worst, e);
            total += e;
        }
    QVERIFY(colours.size() <= 256);
    QVERIFY2(total / (img.width() * img.height()) < 10, qPrintable(QString::number(total / (img.width() * img.height()))));
    QVERIFY2(worst <= 24, qPrintable(QString::number(worst)));
}

void TestAssetGen::gifTransparentPixels()
{
    QImage img(8, 2, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    img.setPixel(1, 0, qRgba(200, 0, 0, 255));
    img.setPixel(2, 0, qRgba(0, 0, 200, 140)); // soft edge: composed over the matte, kept
    img.setPixel(3, 0, qRgba(0, 0, 200, 100)); // mostly clear: becomes transparent
    GifOptions options;
    options.transparent = true;
    options.matte = qRgb(240, 240, 240);
    const QImage back = QImage::fromData(encodeGif(img, options)).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
    QCOMPARE(back.pixel(1, 0), qRgba(200, 0, 0, 255));
    const QRgb soft = back.pixel(2, 0);
    QCOMPARE(qAlpha(soft), 255);
    QCOMPARE(qRed(soft), (240 * 115 + 127) / 255);
    QCOMPARE(qBlue(soft), (200 * 140 + 240 * 115 + 127) / 255);
    QCOMPARE(qAlpha(back.pixel(3, 0)), 0);
    QCOMPARE(qAlpha(back.pixel(7, 1)), 0);
}

void TestAssetGen::failedWriteKeepsTheOldTables()
{
    QTemporaryDir dir;
    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(Qt::red);
    {
        AssetWriter good;
        good.addBitmap(QStringLiteral("A"), pic, ImageFormat::Bmp);
        good.addArrowPoint(0, 1, 2, 0, QStringLiteral("P"));
        QString error;
        QVERIFY2(good.write(dir.path(), dir.path(), &error), qPrintable(error));
    }
    const QByteArray before = fileBytes(dir.filePath(QStringLiteral("BitmapTable.bdf")));
    QVERIFY(!before.isEmpty());

    AssetWriter bad;
    bad.addBitmap(QStringLiteral("A"), pic, ImageFormat::Gif);
    bad.addBitmap(QStringLiteral("A"), pic, ImageFormat::Gif); // drawn twice: the run must fail
    QString error;
    QVERIFY(!bad.write(dir.path(), dir.path(), &error));
    QVERIFY2(error.contains(QStringLiteral("A")), qPrintable(error));
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("BitmapTable.bdf"))), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
             QStringList({"ArrowTable_800x600.bdf", "BitmapTable.bdf"}));

    // A file name that climbs out of the picture folder is refused as well.
    AssetWriter escaping;
    escaping.addFile(QStringLiteral("../outside.gif"), QByteArray("x"));
    QVERIFY(!escaping.write(dir.path(), dir.path(), &error));
}

void TestAssetGen::staleIntroTableIsRemoved()
{
    // The main window plays the intro whenever MovieTable.bdf exists, so a run
    // without intro frames must not leave an old table behind.
    QTemporaryDir dir;
    QFile stale(dir.filePath(QStringLiteral("MovieTable.bdf")));
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write("old");
    stale.close();
    AssetWriter writer;
    QImage pic(2, 2, QImage::Format_RGB32);
    pic.fill(Qt::blue);
    writer.addBitmap(QStringLiteral("B"), pic, ImageFormat::Gif);
    writer.addArrowPoint(0, 0, 0, 0, QStringLiteral("P"));
    QString error;
    QVERIFY2(writer.write(dir.path(), dir.path(), &error), qPrintable(error));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("MovieTable.bdf"))));

    // With frames it is written like the other tables.
    AssetWriter withIntro;
    withIntro.addBitmap(QStringLiteral("B"), pic, ImageFormat::Gif);
    withIntro.addMovieFrame(QStringLiteral("Frame1"), pic, ImageFormat::Bmp);
    withIntro.addArrowPoint(0, 0, 0, 0, QStringLiteral("P"));
    QVERIFY2(withIntro.write(dir.path(), dir.path(), &error), qPrintable(error));
    QVERIFY(fileBytes(dir.filePath(QStringLiteral("MovieTable.bdf"))).startsWith("SQLite format 3"));
}

void TestAssetGen::twoRunsGiveTheSameBytes()
{
    QString out;
    QVERIFY2(runGenerator(m_db2, m_pics2, &out), qPrintable(out));
    for (const auto& [a, b] : {std::pair{m_db, m_db2}, std::pair{m_pics, m_pics2}}) {
        QStringList files;
        QDirIterator it(a, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(a).relativeFilePath(it.next());
        QVERIFY(!files.isEmpty());
        for (const QString& f : files) {
            const QByteArray first = fileBytes(a + QLatin1Char('/') + f);
            const QByteArray second = fileBytes(b + QLatin1Char('/') + f);
            QVERIFY2(!first.isEmpty() && first == second, qPrintable(f));
        }
    }
}

void TestAssetGen::refusesAMissingOutputFolderArgument()
{
    QProcess gen;
    gen.start(QStringLiteral(ASSETGEN_BIN), {});
    QVERIFY(gen.waitForFinished(-1));
    QVERIFY(gen.exitCode() != 0);
}

QTEST_GUILESS_MAIN(TestAssetGen)
#include "tst_assetgen.moc"
