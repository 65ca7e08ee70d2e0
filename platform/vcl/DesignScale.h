#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// Windows are designed in pixels of an 800-pixel-wide screen. This turns a
// design value into screen pixels: value x scale, rounded half to even, each
// number on its own (so a control's size does not depend on its position).
class TDesignScale {
public:
    explicit TDesignScale(float scale);

    float scale() const { return m_scale; }

    int px(double designValue) const;
    QRect rect(int left, int top, int width, int height) const;
    QSize size(int width, int height) const;
    // Sets the widget's geometry (relative to its parent) from design pixels.
    void place(QWidget* widget, int left, int top, int width, int height) const;
    // A font whose pixel size is the scaled design pixel size (at least 1).
    QFont font(const QString& family, int designPixelSize, bool bold = false) const;

private:
    float m_scale;
};
