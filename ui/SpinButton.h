#pragma once

#include <QWidget>

class QToolButton;

// A pair of small arrow buttons stacked on top of each other: the up arrow
// in the upper half, the down arrow in the lower half. Holding a button
// down repeats its click.
class TSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TSpinButton(QWidget* parent = nullptr);

    QToolButton* UpButton() const { return FUpButton; }
    QToolButton* DownButton() const { return FDownButton; }

signals:
    void UpClick();
    void DownClick();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* FUpButton;
    QToolButton* FDownButton;
};
