#include "vcl/Screen.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

struct Metrics {
    bool overridden = false;
    int width = 0;
    int height = 0;
    int ppi = 0;
};

Metrics& overrideMetrics()
{
    static Metrics m;
    return m;
}

// Without a GUI application (or a screen) fall back to the design screen.
constexpr int kFallbackWidth = 800;
constexpr int kFallbackHeight = 600;
constexpr int kFallbackPpi = 96;

QScreen* primaryScreen()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    return QGuiApplication::primaryScreen();
}

} // namespace

int TScreen::Width()
{
    if (overrideMetrics().overridden)
        return overrideMetrics().width;
    QScreen* s = primaryScreen();
    return s ? s->geometry().width() : kFallbackWidth;
}

int TScreen::Height()
{
    if (overrideMetrics().overridden)
        return overrideMetrics().height;
    QScreen* s = primaryScreen();
    return s ? s->geometry().height() : kFallbackHeight;
}

int TScreen::PixelsPerInch()
{
    if (overrideMetrics().overridden)
        return overrideMetrics().ppi;
    QScreen* s = primaryScreen();
    return s ? static_cast<int>(std::lround(s->logicalDotsPerInch())) : kFallbackPpi;
}

void TScreen::SetMetrics(int width, int height, int pixelsPerInch)
{
    overrideMetrics() = Metrics{true, width, height, pixelsPerInch};
}

void TScreen::ResetMetrics()
{
    overrideMetrics() = Metrics{};
}

bool TScreen::HasOverride()
{
    return overrideMetrics().overridden;
}

float ScaleFactorForScreen()
{
    const double sx = TScreen::Width() / 800.0;
    const double sy = TScreen::Height() / 600.0;
    return static_cast<float>(std::min(sx, sy));
}

float EffectiveScreenWidth()
{
    return static_cast<float>(static_cast<double>(ScaleFactorForScreen()) * 800.0);
}
