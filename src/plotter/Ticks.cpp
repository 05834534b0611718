#include "plotter/Ticks.h"

#include <cmath>
#include <cstdio>

namespace chart {

namespace {
    // A runaway range (huge offsets, tiny steps) must still give a short list.
    constexpr int maxTicks = 200;

    std::string fixed(double v)
    {
        char buffer[400];
        std::snprintf(buffer, sizeof buffer, "%f", v);
        return buffer;
    }
} // namespace

QString rtrim(const std::string& text)
{
    QString s = QString::fromStdString(text);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    while (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

QMap<qreal, QString> generateTicks(double min, double max, int count, bool inMetres)
{
    QMap<qreal, QString> ticks;
    if (!std::isfinite(min) || !std::isfinite(max))
        return ticks;
    if (min == max) {
        ticks.insert(min, rtrim(fixed(min)));
        return ticks;
    }
    if (max < min || count < 2)
        return ticks;

    const double range = max - min;
    const double e = std::floor(std::log10(range));
    const double f = range / std::pow(10.0, e);
    const double nice = f <= 1 ? 1 : f <= 2 ? 2 : f <= 5 ? 5 : 10;
    const double niceRange = nice * std::pow(10.0, e);
    const double d = niceRange / (count - 1);
    const double e2 = std::floor(std::log10(d));
    const double f2 = d / std::pow(10.0, e2);
    const double step = (f2 < 1.5 ? 1 : f2 < 3 ? 2 : f2 < 7 ? 5 : 10) * std::pow(10.0, e2);
    if (!std::isfinite(step) || step <= 0)
        return ticks;

    double v = step * std::floor(min / step);
    const double end = step * std::ceil(max / step) + 0.5 * step;
    for (int n = 0; v <= end && n < maxTicks; ++n) {
        const QString text = rtrim(fixed(v));
        // Only rounding residue is snapped: steps below the "%f" resolution would snap every tick to 0.
        if ((text == QLatin1String("-0") || text == QLatin1String("0")) && std::abs(v) < 0.5 * step)
            v = 0;
        ticks.insert(v, inMetres ? rtrim(fixed(v * 1000)) : rtrim(fixed(v)));
        const double next = v + step;
        if (next == v) // the step is below the spacing of doubles here
            break;
        v = next;
    }
    return ticks;
}

} // namespace chart
