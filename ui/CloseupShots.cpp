#include "CloseupShots.h"

#include "UnitZoomDif.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>

bool SaveCloseupScreenshots(const QString& outDir, QString* error)
{
    if (!QDir().mkpath(outDir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(outDir);
        return false;
    }

    TVSDFrm closeUp;
    closeUp.lblCaption->setText(QStringLiteral("Centre: Left"));
    closeUp.show();

    struct Shot {
        int opening;
        bool heating;
        const char* file;
    };
    const Shot shots[] = {
        {30, false, "closeup-30.png"},
        {60, false, "closeup-60.png"},
        {100, false, "closeup-100.png"},
        {30, true, "closeup-heat.png"},
    };
    for (const Shot& shot : shots) {
        // What the control loop does for the room the close-up follows.
        closeUp.SpinDiscOpening->setValue(shot.opening);
        closeUp.CheckHeatMode->setChecked(shot.heating);
        QCoreApplication::processEvents();
        const QString path = QDir(outDir).filePath(QString::fromLatin1(shot.file));
        if (!closeUp.grab().save(path)) {
            if (error)
                *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
    }
    return true;
}
