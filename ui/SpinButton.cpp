#include "SpinButton.h"

#include <QResizeEvent>
#include <QToolButton>

namespace {

QToolButton* makeArrowButton(QWidget* parent, Qt::ArrowType arrow)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    // The arrows are tiny; let the button shrink to half the pair's height.
    b->setMinimumSize(1, 1);
    b->setIconSize(QSize(6, 6));
    return b;
}

} // namespace

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent)
    , FUpButton(makeArrowButton(this, Qt::UpArrow))
    , FDownButton(makeArrowButton(this, Qt::DownArrow))
{
    connect(FUpButton, &QToolButton::clicked, this, &TSpinButton::UpClick);
    connect(FDownButton, &QToolButton::clicked, this, &TSpinButton::DownClick);
}

void TSpinButton::resizeEvent(QResizeEvent* event)
{
    const int w = event->size().width();
    const int h = event->size().height();
    const int upper = h / 2;
    FUpButton->setGeometry(0, 0, w, upper);
    FDownButton->setGeometry(0, upper, w, h - upper);
    QWidget::resizeEvent(event);
}
