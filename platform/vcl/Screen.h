#pragma once

// The one place that knows the screen's size and pixels per inch. Everything
// else asks TScreen, so tests can pretend to run on any screen.
class TScreen {
public:
    static int Width();
    static int Height();
    static int PixelsPerInch();

    // Pretend the screen is w x h pixels at ppi pixels per inch.
    static void SetMetrics(int width, int height, int pixelsPerInch = 96);
    // Back to the primary screen's own metrics.
    static void ResetMetrics();
    static bool HasOverride();
};

// min(width / 800, height / 600): the designed 800 x 600 window scaled to fit
// the screen. On 4:3 screens this is width / 800.
float ScaleFactorForScreen();

// The screen width the scaled design actually fills: ScaleFactor x 800.
float EffectiveScreenWidth();
