// A push button that draws itself into its own 32-bit buffer: a shaded face
// with a raised edge, a hover colour with corner brackets, a sunken look
// while pressed and an embossed caption when disabled.
#pragma once

#include "gr32/GR32.h"

#include <QColor>
#include <QString>

#include <optional>

class TG32_Button : public TPaintBox32 {
    Q_OBJECT
public:
    explicit TG32_Button(QWidget* parent = nullptr);
    ~TG32_Button() override;

    // Colours left unset follow the palette (the system colours), resolved
    // each time the face is drawn.
    QColor Color() const;                   // normal face; palette Button
    void SetColor(const QColor& value);
    QColor FocusColor() const;              // while the pointer is over it; palette Midlight
    void SetFocusColor(const QColor& value);
    QColor BackColor() const;               // pressed face; palette Dark
    void SetBackColor(const QColor& value);
    QColor DisabledColor() const;           // disabled face; palette Button
    void SetDisabledColor(const QColor& value);
    QColor FontColor() const;               // caption; palette ButtonText
    void SetFontColor(const QColor& value);

    int Contrast() const { return FContrast; }
    void SetContrast(int value);

    // "&" marks the accelerator letter ("&&" is a literal ampersand).
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& value);
    // The letter after the single "&", or a null QChar.
    QChar Accelerator() const;

    // A character the window passes round to its controls (typed without a
    // focused control that wants it, or with Alt). Fires the click when it is
    // this button's accelerator and the button is enabled; returns whether
    // it was taken.
    bool DialogChar(QChar ch);

    bool Down() const { return FDown; }
    bool MouseIn() const { return FMouseIn; }
    bool Tracking() const { return FTracking; }

    // Channel-wise add, clamped to 0..255; alpha unchanged.
    static TColor32 Lighten(TColor32 color, int amount);
    static TColor32 ToColor32(const QColor& c);  // opaque

    // Both end points drawn, clipped, pixels replaced.
    static void HorzLine(TBitmap32& b, int x1, int x2, int y, TColor32 color);
    static void VertLine(TBitmap32& b, int x, int y1, int y2, TColor32 color);
    // Both end points drawn, clipped, blended in the colour's alpha.
    static void HorzLineBlend(TBitmap32& b, int x1, int x2, int y, TColor32 color);
    static void VertLineBlend(TBitmap32& b, int x, int y1, int y2, TColor32 color);

signals:
    void Click();

protected:
    void PaintBuffer(TBitmap32& buffer) override;
    void DrawUp(TBitmap32& buffer, const QRect& r);
    void DrawDown(TBitmap32& buffer, const QRect& r);
    void DrawCaption(TBitmap32& buffer, const QRect& r);
    bool IsInside(int x, int y) const;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    QColor resolve(const std::optional<QColor>& c, int role) const;
    void updateShortcut();

    std::optional<QColor> FColor;
    std::optional<QColor> FFocusColor;
    std::optional<QColor> FBackColor;
    std::optional<QColor> FDisabledColor;
    std::optional<QColor> FFontColor;
    int FContrast = 64;
    bool FDown = false;
    bool FMouseIn = false;
    bool FTracking = false;
    QString FCaption;
    int FShortcutId = 0;
};
