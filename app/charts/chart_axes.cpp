#include "charts/chart_axes.h"

#include <algorithm>
#include <cmath>

namespace {

// The smallest of 1, 2, 5 times a power of ten that is at least `rough`.
double niceStep(double rough)
{
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= rough * (1.0 - 1e-12))
            return factor * power;
    }
    return 10.0 * power;
}

} // namespace

LinearAxis linearAxis(double from, double to, int maxTicks)
{
    if (!(to > from) || !std::isfinite(to - from))
        to = from + 1.0;
    LinearAxis axis;
    axis.step = niceStep((to - from) / std::max(maxTicks, 1));
    axis.min = std::floor(from / axis.step + 1e-9) * axis.step;
    axis.max = std::ceil(to / axis.step - 1e-9) * axis.step;
    const auto intervals = static_cast<int>(std::lround((axis.max - axis.min) / axis.step));
    for (int i = 0; i <= intervals; ++i)
        axis.ticks.push_back(axis.min + i * axis.step);
    return axis;
}

QString linearTickLabel(double value, double step, QChar decimalSeparator)
{
    const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 12);
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.count(u'0') == text.size() - 1 - (decimals > 0 ? 1 : 0))
        text.remove(0, 1);
    return decimalSeparator == u'.' ? text : text.replace(u'.', decimalSeparator);
}

LogAxis logAxis(double largest)
{
    LogAxis axis;
    if (largest > 1.0 && std::isfinite(largest))
        axis.lastDecade = std::max(1, static_cast<int>(std::ceil(std::log10(largest) - 1e-12)));
    return axis;
}
