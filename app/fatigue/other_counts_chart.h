#pragma once
// The counts beside rainflow over the counted sequence, as horizontal bars of
// load against amount: level crossings (crossings of each class edge,
// upwards at or above the mean of the values, downwards below it), range
// pairs (cycles by class of range) and time at level (seconds, or values
// without a duration, per class of load).

#include <QChar>
#include <QRectF>
#include <QString>
#include <vector>

class QPainter;

enum class OtherCount { LevelCrossings, RangePairs, TimeAtLevel };

struct OtherCountBar {
    double low = 0.0; // the class (or, for a level, the level itself at low == high)
    double high = 0.0;
    double amount = 0.0;
};

struct OtherCountData {
    OtherCount kind = OtherCount::LevelCrossings;
    std::vector<OtherCountBar> bars; // ascending load
    double reference = 0.0;          // level crossings: the reference level
    bool seconds = false;            // time at level in seconds, else in values
    QString loadUnit;                // empty when unknown
};

// The classes: `classes` equal parts of the values' span (of the ranges'
// for range pairs). `interval`: seconds each value stands for, none for
// amounts in values. Throws tessivo::fatigue::FatigueError as the counts do.
OtherCountData otherCountOf(OtherCount kind, const std::vector<long double>& values, int classes,
                            double interval = 0.0);

// The title of each kind, for the chart and the choice.
QString otherCountTitle(OtherCount kind);

void paintOtherCount(QPainter& painter, const QRectF& bounds, const OtherCountData& data, QChar decimalSeparator);
