// Short white texts (pressure figures) drawn over a scene. Label positions are
// design pixels of an 800-pixel-wide screen, scaled when drawn.
#pragma once

#include "gr32/GR32.h"

#include <QFont>
#include <QString>

#include <memory>
#include <vector>

class TTextlabel {
public:
    TTextlabel(int x, int y, const QString& text);
    ~TTextlabel();
    TTextlabel(const TTextlabel&) = delete;
    TTextlabel& operator=(const TTextlabel&) = delete;

    int X;
    int Y;
    QString Text;

    // Labels alive right now (lets tests see that a layer releases its labels).
    static int LiveCount();
};

class TTextLayer : public TPositionedLayer {
public:
    // Visible, no mouse events, scaled, location (Left, Top, Left + Width, Top + Height).
    TTextLayer(TLayerCollection* collection, int Left, int Top, int Width, int Height);
    ~TTextLayer() override;

    void AddLabel(int X, int Y, const QString& Text);
    int LabelCount() const { return int(FLabels.size()); }
    const TTextlabel& Label(int index) const { return *FLabels[size_t(index)]; }

    void PaintLabels(TPositionedLayer* Sender, TBitmap32& Buffer);

    // Regular "Arial", Round(8 x f x 96 / ppi) points, f = effective screen width / 800.
    static int FontSize();
    static QFont LabelFont();
    // Where a label's top-left corner lands in the buffer.
    static QPoint LabelPosition(int X, int Y);

    // The location, and every label's text wherever it reaches beyond it.
    QRectF PaintBounds() const override;

private:
    QRect labelBounds(const TTextlabel& label, const QFont& font) const;

    std::vector<std::unique_ptr<TTextlabel>> FLabels;
};
