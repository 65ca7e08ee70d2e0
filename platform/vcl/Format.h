#pragma once

#include <QString>

// printf-style "%W.Pf" formatting ("%4.2f", "%5.2f", "%5.3f", "%3.0f", ...):
// blank-padded on the left to width W, P decimals, '-' for negatives, exact
// halves rounded to even as printf does, but with the user's decimal
// separator (QLocale().decimalPoint()) instead of '.'.
// Throws std::invalid_argument for any other format.
QString FormatFloat(const char* fmt, double value);
