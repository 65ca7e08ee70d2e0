#pragma once

#include <QObject>
#include <QVariant>

class QLineEdit;
class QPushButton;
class TUpDown;

// The window controls of one room, in the order the control loop and the
// input handlers use them. Refers to the controls; the window owns them.
struct TRoomData {
    QLineEdit* EditScratch = nullptr;      // hidden; receives the heat rate
    QLineEdit* EditTemp = nullptr;         // room temperature readout
    QLineEdit* EditDiscOpening = nullptr;  // disc (or VAV box) opening readout
    QLineEdit* EditLoad = nullptr;         // load in percent
    QLineEdit* EditTempSetpoint = nullptr; // setpoint in the current units
    TUpDown* UpDownTempSetpoint = nullptr; // setpoint in whole degrees Celsius
    QPushButton* BtnHotCold = nullptr;     // hot/cold toggle; outer rooms only
};

// Each room control carries its room index (0 left .. 3 right), which the
// handlers use to address the room in both models.
inline void SetTag(QObject* control, int tag)
{
    if (control)
        control->setProperty("Tag", tag);
}

inline int Tag(const QObject* control)
{
    return control ? control->property("Tag").toInt() : 0;
}
