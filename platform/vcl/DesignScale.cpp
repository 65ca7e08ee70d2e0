#include "vcl/DesignScale.h"

#include "vcl/Rounding.h"

#include <QWidget>

#include <algorithm>

TDesignScale::TDesignScale(float scale)
    : m_scale(scale)
{
}

int TDesignScale::px(double designValue) const
{
    return RoundHalfEven(designValue * static_cast<double>(m_scale));
}

QRect TDesignScale::rect(int left, int top, int width, int height) const
{
    return QRect(px(left), px(top), px(width), px(height));
}

QSize TDesignScale::size(int width, int height) const
{
    return QSize(px(width), px(height));
}

void TDesignScale::place(QWidget* widget, int left, int top, int width, int height) const
{
    if (widget)
        widget->setGeometry(rect(left, top, width, height));
}

QFont TDesignScale::font(const QString& family, int designPixelSize, bool bold) const
{
    QFont f(family);
    f.setPixelSize(std::max(1, px(designPixelSize)));
    f.setBold(bold);
    return f;
}
