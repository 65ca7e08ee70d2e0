// Renders the calibration walkthroughs for looking at them: one sheet per
// walkthrough with every step's picture (targets shown, step number on top),
// and the window screenshots for the documentation.
//
//   corvair-cali-shots OUTDIR [metric|imperial] [SCREENWIDTH]
//
// Run from the folder that holds DataBase/ (build/bin).
#include "CalibrationForm.h"
#include "UnitHighCali.h"
#include "UnitLowCali.h"
#include "GR32_Extra.h"
#include "gr32/GR32.h"
#include "table/EasyTable.h"
#include "vcl/Messages.h"
#include "vcl/Screen.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

namespace {

QImage StepSheet(TCalibrationForm* form, QPushButton* next, int columns)
{
    // Back to step 1.
    while (form->Steps().Current() > 0)
        form->Steps().Previous();
    const int count = form->Steps().Count();
    const QSize cell = form->MainImage->size() + QSize(8, 24);
    const int rows = (count + columns - 1) / columns;
    QImage sheet(cell.width() * columns, cell.height() * rows, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (int i = 0; i < count; ++i) {
        const QPoint at((i % columns) * cell.width() + 4, (i / columns) * cell.height() + 20);
        form->MainImage->ComposeAll();
        p.drawImage(at, form->MainImage->Snapshot());
        p.setPen(Qt::black);
        p.drawText(at + QPoint(0, -6), QStringLiteral("Step %1: %2").arg(i + 1).arg(form->Steps().Items(i).Action()));
        next->click();
    }
    return sheet;
}

// Enlarged details around each step's targets, twelve to a page.
void TargetPages(TCalibrationForm* form, QPushButton* prev, QPushButton* next, const QString& stem)
{
    while (form->Steps().Current() > 0)
        prev->click();
    const int count = form->Steps().Count();
    constexpr int Zoom = 3, Columns = 4, Rows = 3;
    const QSize crop(130, 76);
    const QSize cell(crop.width() * Zoom + 8, crop.height() * Zoom + 22);
    QImage page;
    QPainter p;
    for (int i = 0; i < count; ++i) {
        const int slot = i % (Columns * Rows);
        if (slot == 0) {
            if (p.isActive()) {
                p.end();
                page.save(stem + QStringLiteral("-%1.png").arg(i / (Columns * Rows) - 1));
            }
            page = QImage(cell.width() * Columns, cell.height() * Rows, QImage::Format_RGB32);
            page.fill(Qt::white);
            p.begin(&page);
        }
        QRectF targets;
        if (TBitmapLayerList* group = form->Steps().CurrentLayers())
            for (int c = 0; c < group->ChildCount(); ++c)
                targets |= group->Children(c)->Location().toQRectF();
        QPoint centre = targets.isNull() ? QPoint(236, 176) : targets.center().toPoint();
        // A pair far apart: show the first one, the sheet shows the other.
        QRect area(centre - QPoint(crop.width() / 2, crop.height() / 2), crop);
        if (targets.width() > crop.width())
            area.moveCenter(QPoint(int(targets.left()) + 20, centre.y()));
        form->MainImage->ComposeAll();
        const QImage detail = form->MainImage->Snapshot().copy(area).scaled(crop * Zoom);
        const QPoint at((slot % Columns) * cell.width() + 4, (slot / Columns) * cell.height() + 18);
        p.drawImage(at, detail);
        p.setPen(Qt::black);
        p.drawText(at + QPoint(0, -5), QStringLiteral("%1: %2").arg(i + 1).arg(form->Steps().Items(i).Action()));
        next->click();
    }
    p.end();
    page.save(stem + QStringLiteral("-%1.png").arg((count - 1) / (Columns * Rows)));
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvair-cali-shots OUTDIR [metric|imperial] [SCREENWIDTH]\n");
        return 2;
    }
    // --crop IN OUT X Y W H FACTOR: an enlarged detail of a picture.
    if (QString::fromLocal8Bit(argv[1]) == QLatin1String("--crop") && argc == 9) {
        const QImage in(QString::fromLocal8Bit(argv[2]));
        const QImage part = in.copy(atoi(argv[4]), atoi(argv[5]), atoi(argv[6]), atoi(argv[7]));
        const int f = atoi(argv[8]);
        return part.scaled(part.size() * f).save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const bool metric = argc > 2 && QString::fromLocal8Bit(argv[2]) == QLatin1String("metric");
    QDir().mkpath(out);
    const int screenWidth = argc > 3 ? atoi(argv[3]) : 800;
    TScreen::SetMetrics(screenWidth, screenWidth * 3 / 4, 96);

    TEasyDatabase database;
    database.SetDirectory(QDir::current().filePath(QStringLiteral("DataBase")));
    TEasyTable images(&database, QStringLiteral("BitmapTable"));

    TLowCaliFrm low(ScaleFactorForScreen(), &images);
    THighCaliFrm high(ScaleFactorForScreen(), &images);
    low.SetPressureLabels(metric);
    high.SetPressureLabels(metric);
    // Turn the fan once so the turning frame shows as in use.
    low.FanTimerTimer();
    high.FanTimerTimer();

    StepSheet(&low, low.BtnNext1, 3).save(out + QStringLiteral("/low-steps.png"));
    StepSheet(&high, high.BtnNext2, 4).save(out + QStringLiteral("/high-steps.png"));

    TargetPages(&low, low.BtnPrev1, low.BtnNext1, out + QStringLiteral("/low-targets"));
    TargetPages(&high, high.BtnPrev2, high.BtnNext2, out + QStringLiteral("/high-targets"));

    // Window screenshots: first step, a middle step, "Done".
    struct Shot {
        TCalibrationForm* form;
        QPushButton* next;
        int step;
        const char* name;
    };
    const Shot shots[] = {
        {&low, low.BtnNext1, 0, "calibration-low-first"},
        {&low, low.BtnNext1, 5, "calibration-low"},
        {&low, low.BtnNext1, 11, "calibration-low-done"},
        {&high, high.BtnNext2, 0, "calibration-high-first"},
        {&high, high.BtnNext2, 27, "calibration-high"},
        {&high, high.BtnNext2, 52, "calibration-high-done"},
    };
    for (const Shot& s : shots) {
        while (s.form->Steps().Current() > 0)
            s.form->Steps().Previous();
        // Through the buttons, so they show their states.
        s.next->click();
        s.form->findChild<QPushButton*>(s.next->objectName().replace(QLatin1String("Next"), QLatin1String("Prev")))->click();
        for (int i = 0; i < s.step; ++i)
            s.next->click();
        s.form->show();
        s.form->MainImage->ComposeAll();
        s.form->grab().save(out + QLatin1Char('/') + QLatin1String(s.name) + QStringLiteral(".png"));
        s.form->hide();
    }
    return 0;
}
