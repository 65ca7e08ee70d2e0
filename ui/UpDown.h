#pragma once

#include "SpinButton.h"

#include <functional>

class QLineEdit;

enum class TUpDownDirection { updNone, updUp, updDown };

// An up-down control bound to an edit: it holds a whole-number position
// within Min..Max (no wrapping) and writes it into its edit when it changes.
// Before a click changes the position, the ChangingEx hook is asked with the
// new value and the direction (updNone when the new value lies beyond the
// range); the hook may refuse the change, and then nothing happens.
class TUpDown : public TSpinButton {
    Q_OBJECT
public:
    using ChangingExHandler =
        std::function<void(bool& allowChange, int newValue, TUpDownDirection direction)>;

    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return FMin; }
    int Max() const { return FMax; }
    void SetRange(int min, int max);
    int Position() const { return FPosition; }
    // Clamps to Min..Max; the edit is rewritten only when the position changes.
    void SetPosition(int value);

    QLineEdit* Associate() const { return FAssociate; }
    void SetAssociate(QLineEdit* edit) { FAssociate = edit; }

    void SetOnChangingEx(ChangingExHandler handler) { FOnChangingEx = std::move(handler); }

signals:
    // After a click has changed the position and written it into the edit.
    void Click(TUpDownDirection direction);

private:
    void step(int delta);

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    QLineEdit* FAssociate = nullptr;
    ChangingExHandler FOnChangingEx;
};
