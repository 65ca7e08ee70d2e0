// corvair-assetgen-preview DATABASE_DIR PICTURE_DIR OUTDIR
//
// Composes the generated pictures the way the main window stacks them and
// writes PNG sheets for looking at the artwork: the scene in both systems with
// loads, tints, arrows and pressure figures, with the window's controls drawn
// over it (or outlined), a sheet of every overlay step, the close-up pictures
// and the logo.

#include "ArrowGeometry.h"
#include "Palette.h"
#include "SceneGeometry.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImageReader>
#include <QMap>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <cstdio>

namespace {

QMap<QString, QImage> images;

struct PathPoint {
    int x, y, angle;
};
QMap<int, QVector<PathPoint>> paths;

const QPoint origins[24] = {{40, 22}, {40, 22}, {40, 22}, {33, 22}, {74, 212}, {74, 212}, {236, 212}, {236, 212},
                            {398, 212}, {398, 212}, {560, 212}, {560, 212}, {}, {}, {}, {}, {}, {}, {}, {},
                            {5, 0}, {8, 0}, {12, 0}, {15, 0}};

bool load(const QString& dbDir)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bitmaps"));
        db.setDatabaseName(dbDir + QStringLiteral("/BitmapTable.bdf"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return false;
        QSqlQuery q(QStringLiteral("SELECT Name, Data FROM BitmapTable"), db);
        while (q.next())
            images.insert(q.value(0).toString(), QImage::fromData(q.value(1).toByteArray()).convertToFormat(QImage::Format_ARGB32));
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("arrows"));
        db.setDatabaseName(dbDir + QStringLiteral("/ArrowTable_800x600.bdf"));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            return false;
        QSqlQuery q(QStringLiteral("SELECT ArrowNr, X, Y, Angle FROM ArrowTable_800x600 ORDER BY ArrowNr, rowid"), db);
        while (q.next()) {
            const int n = q.value(0).toInt();
            paths[n].push_back({q.value(1).toInt() + origins[n].x(), q.value(2).toInt() + origins[n].y(), q.value(3).toInt()});
        }
    }
    return true;
}

QImage masked(const QString& name, const QString& maskName, double strength = 1.0)
{
    QImage img = images.value(name);
    const QImage mask = images.value(maskName).scaled(img.size());
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb m = mask.pixel(x, y);
            const int a = int(((qRed(m) * 61 + qGreen(m) * 174 + qBlue(m) * 21) >> 8) * strength);
            const QRgb c = img.pixel(x, y);
            img.setPixel(x, y, qRgba(qRed(c), qGreen(c), qBlue(c), a));
        }
    return img;
}

struct RoomState {
    QString family; // "", "Hot", "Cold", "Sun"
    int level = 0;
    double temperature = 22.5;
};

void drawRoom(QPainter& p, const Scene::Room& room, const RoomState& s)
{
    const QString n = QString::fromLatin1(room.name);
    const QPoint at(room.x, Scene::RoomTop);
    p.drawImage(at, images.value(n + QStringLiteral("_Background")));
    static const char* const steps[] = {"25", "50", "75", "100"};
    if (s.family == QStringLiteral("Sun")) {
        if (s.level > 0) {
            const int strength[] = {110, 130, 150, 170};
            p.drawImage(at, masked(QStringLiteral("Yellow"),
                                   n + QStringLiteral("_Sun") + QString::fromLatin1(steps[s.level - 1]) + QStringLiteral("_Alpha"),
                                   strength[s.level - 1] / 256.0));
        }
    } else if (!s.family.isEmpty()) {
        for (int i = 0; i < s.level; ++i) {
            const QString img = n + QLatin1Char('_') + s.family + QString::fromLatin1(steps[i]);
            p.drawImage(at, masked(img, img + QStringLiteral("_Alpha")));
        }
    }
    const double t = s.temperature;
    const int alpha = t > 22.5 ? (t >= 30 ? 170 : int(std::nearbyint((t - 22.5) / (7.5 / 170))))
                               : (t > 15 ? int(std::nearbyint((22.5 - t) / (7.5 / 170))) : 170);
    p.drawImage(at, masked(t > 22.5 ? QStringLiteral("Hot") : QStringLiteral("Cold"), QStringLiteral("Hot_Alpha"),
                           alpha / 255.0));
}

void drawArrowOutline(QPainter& p, int x, int y, int heading)
{
    const auto v = ArrowGeometry::outline(heading);
    p.setPen(QPen(Qt::black, 1));
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 6; ++i)
        p.drawLine(QPoint(x, y) + v[i], QPoint(x, y) + v[(i + 1) % 6]);
}

// The window's controls over the scene, in scene coordinates.
struct Control {
    const char* text;
    int x, y, w, h;
    bool edit;
};
const Control controls[] = {
    {"Supply Temperature", 192, 40, 126, 17, false}, {"( \xb0" "F )", 277, 56, 41, 17, false},
    {"79", 320, 40, 41, 24, true},                   {"Fan Speed", 248, 79, 70, 17, false},
    {"( RPM )", 269, 95, 49, 17, false},             {"1500", 320, 80, 49, 24, true},
    {"Energy ", 376, 40, 126, 17, false},            {"( Hp )", 461, 56, 41, 17, false},
    {"200", 505, 41, 56, 24, true},                  {"Fan Pressure", 416, 79, 86, 17, false},
    {"( ins.wg )", 448, 95, 54, 17, false},          {"0.32", 505, 80, 56, 24, true},
    {"Units", 601, 8, 113, 80, false},               {"Animation Speed", 606, 93, 104, 16, false},
    {"", 601, 110, 113, 32, false},                  {"Temperature Setpoint", 32, 190, 137, 18, false},
    {"71.60", 207, 183, 40, 24, true},               {"", 247, 183, 19, 24, true},
    {"71.60", 341, 183, 40, 24, true},               {"", 381, 183, 19, 24, true},
    {"71.60", 490, 183, 40, 24, true},               {"", 530, 183, 19, 24, true},
    {"71.60", 639, 183, 40, 24, true},               {"", 679, 183, 19, 24, true},
};

void drawControls(QPainter& p, bool outlineOnly, bool hideMid2Setpoint)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    p.setFont(f);
    for (const Control& c : controls) {
        if (hideMid2Setpoint && (c.x == 490 || c.x == 530))
            continue;
        const QRect r(c.x - 5, c.y - 4, c.w, c.h);
        if (outlineOnly) {
            p.setPen(QPen(QColor(0, 60, 255), 1));
            p.setBrush(QColor(0, 60, 255, 40));
            p.drawRect(r.adjusted(0, 0, -1, -1));
            continue;
        }
        p.setPen(c.edit ? QColor(120, 120, 120) : Qt::NoPen);
        p.setBrush(c.edit ? QColor(255, 255, 255) : QColor(0xF0, 0xF0, 0xF0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(r.adjusted(2, 0, -2, 0), (c.edit ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                   QString::fromLatin1(c.text));
    }
    p.restore();
}

void drawPressureLabels(QPainter& p, bool high)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(8);
    f.setStyleStrategy(QFont::NoAntialias);
    p.setFont(f);
    p.setPen(Qt::white);
    const QFontMetrics fm(f);
    auto put = [&](int x, int y, const QString& t) { p.drawText(QPoint(x, y + fm.ascent()), t); };
    if (high) {
        put(365, 159, QStringLiteral("10 Pa - 60 Pa"));
    } else {
        put(200, 147, QStringLiteral("80 Pa"));
        put(440, 147, QStringLiteral("60 Pa"));
        put(490, 147, QStringLiteral("70 Pa"));
        put(600, 147, QStringLiteral("0.24\""));
    }
}

// The scene's reshaping of a room path for a flow strength (weak air uses fewer
// points, squeezed towards the diffuser).
QVector<PathPoint> reshaped(const QVector<PathPoint>& base, double strength)
{
    const int full = base.size();
    const int active = strength < 0.5 ? full / 2 : std::min(full, int(std::nearbyint(full * strength)));
    QVector<PathPoint> pts = base.mid(0, active);
    const int x0 = base[0].x;
    for (auto& p : pts)
        p.x = x0 + int(std::nearbyint((p.x - x0) * strength));
    for (int i = 1; i < pts.size(); ++i) {
        const int dx = pts[i].x - pts[i - 1].x, dy = pts[i - 1].y - pts[i].y;
        pts[i].angle = dx != 0 ? int(std::nearbyint(std::atan2(dy, dx) * 180 / M_PI)) : (dy > 0 ? 90 : -90);
    }
    if (strength > 0.9) {
        if (pts.size() > 1)
            pts[0].angle = pts[1].angle;
    } else {
        const int n = int(std::nearbyint((1 - strength) * 10));
        if (n >= 0 && n < pts.size() && n + 1 < pts.size())
            for (int j = n; j >= 0; --j)
                pts[j].angle = pts[j + 1].angle;
    }
    return pts;
}

double strengths[4] = {1, 1, 1, 1};

QImage scene(bool high, const RoomState (&rooms)[4], int arrowPhase, bool outlineControls)
{
    QImage img(Scene::Width, Scene::Height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Palette::Page);
    QPainter p(&img);
    for (int r = 0; r < 4; ++r)
        drawRoom(p, Scene::Rooms[r], rooms[r]);
    if (high) {
        p.drawImage(0, 0, masked(QStringLiteral("HighPres_Background"), QStringLiteral("HighPres_Alpha")));
        p.drawImage(Scene::HighFanX, Scene::HighFanY, masked(QStringLiteral("Fan2"), QStringLiteral("Fan2_Alpha")));
    } else {
        p.drawImage(Scene::LowDuctX, Scene::LowDuctY, masked(QStringLiteral("LowPres_Background"), QStringLiteral("LowPres_Alpha")));
        p.drawImage(Scene::LowFanX, Scene::LowFanY, masked(QStringLiteral("Fan1"), QStringLiteral("Fan1_Alpha")));
    }
    // Arrows: a dot at every point's arrow centre, the arrow itself at a few points.
    for (auto it = paths.cbegin(); it != paths.cend(); ++it) {
        const int n = it.key();
        if ((high && n < 4) || (!high && n >= 20))
            continue;
        const auto pts = n >= 4 && n <= 11 ? reshaped(it.value(), strengths[(n - 4) / 2]) : it.value();
        for (int i = 0; i < pts.size(); ++i) {
            const QPointF c = QPointF(pts[i].x, pts[i].y) + ArrowGeometry::centre(pts[i].angle);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(40, 40, 40, 150));
            p.drawEllipse(c, 0.9, 0.9);
        }
        const int step = n >= 4 && n <= 11 ? 6 : pts.size();
        for (int i = arrowPhase % step; i < pts.size(); i += step)
            drawArrowOutline(p, pts[i].x, pts[i].y, pts[i].angle);
    }
    drawPressureLabels(p, high);
    drawControls(p, outlineControls, high);
    return img;
}

QImage sheet()
{
    // One row per room: background, hot 1..4 (cumulative), cold 1..4, sun 1..4.
    const int cw = Scene::RoomWidth + 6, ch = Scene::RoomHeight + 6;
    QImage img(cw * 13, ch * 4, QImage::Format_ARGB32_Premultiplied);
    img.fill(Palette::Page);
    QPainter p(&img);
    for (int r = 0; r < 4; ++r) {
        const Scene::Room& room = Scene::Rooms[r];
        auto cell = [&](int col, const RoomState& s) {
            QImage one(Scene::Width, Scene::Height, QImage::Format_ARGB32_Premultiplied);
            QPainter q(&one);
            drawRoom(q, room, s);
            q.end();
            p.drawImage(col * cw, r * ch, one.copy(room.x, Scene::RoomTop, Scene::RoomWidth, Scene::RoomHeight));
        };
        cell(0, {});
        for (int l = 1; l <= 4; ++l)
            cell(l, {QStringLiteral("Hot"), l, 22.5});
        if (!room.outer)
            continue;
        for (int l = 1; l <= 4; ++l)
            cell(4 + l, {QStringLiteral("Cold"), l, 22.5});
        for (int l = 1; l <= 4; ++l)
            cell(8 + l, {QStringLiteral("Sun"), l, 22.5});
    }
    return img;
}

QImage closeups(const QString& dir)
{
    QImage img(2 * 8 + 3 * 345 + 16, 3 * 190 + 16, QImage::Format_RGB32);
    img.fill(Palette::CloseupMatte);
    QPainter p(&img);
    const QStringList names{"Image0", "Image1", "Image2", "Image3", "Image4", "Image5", "Image6", "Image7", "ImageHeat"};
    for (int i = 0; i < names.size(); ++i) {
        QImageReader reader(dir + QStringLiteral("/closeup/") + names[i] + QStringLiteral(".gif"));
        const QImage pic = reader.read();
        const QRect r((i % 3) * 353 + 4, (i / 3) * 195 + 4, 345, 190);
        p.setPen(QColor(190, 190, 190));
        p.drawRect(r.adjusted(-1, -1, 0, 0));
        p.drawImage(r.topLeft(), pic);
    }
    return img;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: corvair-assetgen-preview DATABASE_DIR PICTURE_DIR OUTDIR\n");
        return 2;
    }
    const QString dbDir = QString::fromLocal8Bit(argv[1]);
    const QString picDir = QString::fromLocal8Bit(argv[2]);
    const QString out = QString::fromLocal8Bit(argv[3]);
    QDir().mkpath(out);
    if (!load(dbDir)) {
        std::fprintf(stderr, "cannot open the tables in %s\n", argv[1]);
        return 1;
    }
    const RoomState low[4] = {{QStringLiteral("Sun"), 3, 25.0}, {QStringLiteral("Hot"), 2, 23.5},
                              {QStringLiteral("Hot"), 4, 27.0}, {QStringLiteral("Cold"), 3, 18.0}};
    const RoomState high[4] = {{QStringLiteral("Cold"), 4, 16.0}, {QStringLiteral("Hot"), 1, 22.0},
                               {QStringLiteral("Hot"), 3, 22.5}, {QStringLiteral("Sun"), 4, 29.0}};
    scene(false, low, 0, false).save(out + QStringLiteral("/scene-low.png"));
    scene(false, low, 3, true).save(out + QStringLiteral("/scene-low-controls.png"));
    strengths[0] = 0.3;
    strengths[1] = 0.5;
    strengths[2] = 0.75;
    strengths[3] = 1.0;
    scene(true, high, 0, false).save(out + QStringLiteral("/scene-high.png"));
    scene(true, high, 3, true).save(out + QStringLiteral("/scene-high-controls.png"));
    std::fill(std::begin(strengths), std::end(strengths), 1.0);
    const QImage s = scene(false, low, 0, false);
    s.scaled(s.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).copy(0, 0, 760, 500)
        .save(out + QStringLiteral("/zoom-left.png"));
    s.scaled(s.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).copy(700, 200, 760, 560)
        .save(out + QStringLiteral("/zoom-mid.png"));
    const QImage h = scene(true, high, 0, false);
    h.scaled(h.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).copy(540, 240, 560, 260)
        .save(out + QStringLiteral("/zoom-high-mid.png"));
    h.scaled(h.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).copy(0, 0, 560, 480)
        .save(out + QStringLiteral("/zoom-high-left.png"));
    s.scaled(s.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation).copy(796, 400, 652, 360)
        .save(out + QStringLiteral("/zoom-rooms-right.png"));
    s.scaled(qRound(s.width() * 1.28), qRound(s.height() * 1.28), Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(out + QStringLiteral("/scene-low-1024.png"));
    sheet().save(out + QStringLiteral("/overlays.png"));
    const QImage all = closeups(picDir);
    all.save(out + QStringLiteral("/closeups.png"));
    all.copy(0, 0, 353 * 2, 195).scaled(353 * 4, 390, Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .save(out + QStringLiteral("/closeup-zoom.png"));
    const QImage logo(picDir + QStringLiteral("/logo/Logo.bmp"));
    logo.scaled(logo.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(out + QStringLiteral("/logo.png"));
    const QImage fan = masked(QStringLiteral("Fan1"), QStringLiteral("Fan1_Alpha"));
    const QImage fan2 = masked(QStringLiteral("Fan2"), QStringLiteral("Fan2_Alpha"));
    QImage fans(130, 60, QImage::Format_ARGB32_Premultiplied);
    fans.fill(Palette::Page);
    QPainter fp(&fans);
    fp.drawImage(0, 0, fan);
    fp.drawImage(70, 0, fan2);
    fp.end();
    fans.scaled(fans.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(out + QStringLiteral("/fans.png"));
    return 0;
}
