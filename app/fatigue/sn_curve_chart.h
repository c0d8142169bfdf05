#pragma once
// The S-N curve on log-log axes (cycles N across, load S up) with the
// counted spectrum over it: the loads S of the cycles against the number of
// cycles of that load or larger, as a step curve.

#include "engine/fatigue/sn_curve.h"

#include <QRectF>
#include <optional>
#include <vector>

class QPainter;

struct SnChartData {
    std::optional<tessivo::fatigue::SnCurve> curve;
    struct Step {
        long double load = 0.0L;  // S
        long double count = 0.0L; // cycles of this load
    };
    std::vector<Step> steps; // any order
    bool amplitude = false;  // S is the amplitude
};

void paintSnChart(QPainter& painter, const QRectF& bounds, const SnChartData& data);
