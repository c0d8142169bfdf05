#pragma once
// Tick marks of the plots' axes: a linear axis with steps of 1, 2 or 5 times
// a power of ten, and a logarithmic axis by whole decades.

#include <QChar>
#include <QString>
#include <vector>

struct LinearAxis {
    double min = 0.0;
    double max = 1.0;
    double step = 0.1;
    std::vector<double> ticks; // min, min + step, ... up to max
};

// An axis from `from` to at least `to` whose ends are whole steps, with at
// most about maxTicks intervals. A span of zero (or less) gets the span 1.
LinearAxis linearAxis(double from, double to, int maxTicks);

// The label of a linear tick: as many decimals as the step needs, no
// grouping, the given decimal separator; "-0" is written "0".
QString linearTickLabel(double value, double step, QChar decimalSeparator);

struct LogAxis {
    int firstDecade = 0; // the axis runs from 10^firstDecade ...
    int lastDecade = 1;  // ... to 10^lastDecade, with lastDecade > firstDecade
};

// Whole decades from 10^0 to the first power of ten at or above `largest`,
// at least one decade.
LogAxis logAxis(double largest);
