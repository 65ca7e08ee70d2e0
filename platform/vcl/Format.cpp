#include "vcl/Format.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

struct FloatSpec {
    int width = 0;
    int precision = 6;
};

FloatSpec parseSpec(const char* fmt)
{
    const auto bad = [fmt] {
        return std::invalid_argument(std::string("FormatFloat: unsupported format \"")
                                     + (fmt ? fmt : "(null)") + "\"");
    };
    if (!fmt || fmt[0] != '%')
        throw bad();
    const char* p = fmt + 1;
    FloatSpec spec;
    const auto readNumber = [&p](int& out) {
        bool any = false;
        out = 0;
        while (*p >= '0' && *p <= '9') {
            out = out * 10 + (*p - '0');
            if (out > 99)
                return false;
            ++p;
            any = true;
        }
        return any;
    };
    if (*p >= '0' && *p <= '9' && !readNumber(spec.width))
        throw bad();
    if (*p == '.') {
        ++p;
        if (!readNumber(spec.precision))
            throw bad();
    }
    if (p[0] != 'f' || p[1] != '\0')
        throw bad();
    return spec;
}

} // namespace

QString FormatFloat(const char* fmt, double value)
{
    const FloatSpec spec = parseSpec(fmt);
    if (!std::isfinite(value))
        return QString::number(value).rightJustified(spec.width, QLatin1Char(' '));

    // to_chars gives exactly what printf gives in the "C" locale, whatever
    // the process locale is; the separator is swapped in afterwards.
    char buf[512];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed,
                                   spec.precision);
    if (res.ec != std::errc())
        throw std::invalid_argument("FormatFloat: value too long to format");
    QString text = QString::fromLatin1(buf, static_cast<qsizetype>(res.ptr - buf));
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text.replace(dot, 1, QLocale().decimalPoint());
    return text.rightJustified(spec.width, QLatin1Char(' '));
}
