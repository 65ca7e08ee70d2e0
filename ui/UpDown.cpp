#include "UpDown.h"

#include <QLineEdit>

#include <algorithm>

TUpDown::TUpDown(QWidget* parent)
    : TSpinButton(parent)
{
    connect(this, &TSpinButton::UpClick, this, [this] { step(+1); });
    connect(this, &TSpinButton::DownClick, this, [this] { step(-1); });
}

void TUpDown::SetRange(int min, int max)
{
    FMin = min;
    FMax = std::max(min, max);
    SetPosition(FPosition);
}

void TUpDown::SetPosition(int value)
{
    const int clamped = std::clamp(value, FMin, FMax);
    if (clamped == FPosition)
        return;
    FPosition = clamped;
    if (FAssociate)
        FAssociate->setText(QString::number(FPosition));
}

void TUpDown::step(int delta)
{
    const int newValue = FPosition + delta;
    TUpDownDirection direction = delta > 0 ? TUpDownDirection::updUp : TUpDownDirection::updDown;
    if (newValue > FMax || newValue < FMin)
        direction = TUpDownDirection::updNone;
    bool allow = true;
    if (FOnChangingEx)
        FOnChangingEx(allow, newValue, direction);
    if (!allow)
        return;
    const int clamped = std::clamp(newValue, FMin, FMax);
    if (clamped != FPosition) {
        FPosition = clamped;
        if (FAssociate)
            FAssociate->setText(QString::number(FPosition));
    }
    emit Click(direction);
}
