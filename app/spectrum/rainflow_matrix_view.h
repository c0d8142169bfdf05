#pragma once
// The rainflow matrix tab of the plot window: the kind of matrix (from-to or
// range-mean) and the number of classes per axis to choose, and the heat map
// (plots/rainflow_matrix_chart.h), whose cells tell their count and class
// edges as a tooltip. The cycles are asked for when the matrix is first
// needed, so a count whose matrix is never looked at does not pay for it.

#include "charts/chart_view.h"

#include "engine/fatigue/fatigue_cycle.h"
#include "engine/fatigue/rainflow_matrix.h"

#include <QChar>
#include <QWidget>
#include <functional>
#include <vector>

class QComboBox;
class QSpinBox;

class RainflowMatrixView : public ChartView {
    Q_OBJECT

public:
    explicit RainflowMatrixView(QChar decimalSeparator, QWidget* parent = nullptr);
    void setMatrix(tessivo::fatigue::RainflowMatrix matrix);
    const tessivo::fatigue::RainflowMatrix& matrix() const { return m_matrix; }
    // The tooltip text of the cell under `point`, empty outside the cells.
    QString cellText(QPointF point) const;

protected:
    bool event(QEvent* event) override;

private:
    QChar m_separator;
    tessivo::fatigue::RainflowMatrix m_matrix;
};

using CycleSupplier = std::function<std::vector<tessivo::fatigue::FatigueCycle>()>;

class RainflowMatrixTab : public QWidget {
    Q_OBJECT

public:
    explicit RainflowMatrixTab(QChar decimalSeparator, QWidget* parent = nullptr);

    // The cycles of the count shown (in the loads as counted); none clears.
    void setCycles(CycleSupplier cycles);
    // Computes the matrix of the current choices when it is not up to date.
    // Throws what reading the cycles throws (IoError); a change of a choice
    // shows such an error in the chart instead.
    void refresh();
    // Whether the from-to kind is offered: a count in load classes has its
    // own from-to matrix in a tab of its own, and one convention is enough.
    void setFromToOffered(bool offered);

    QComboBox* cbMatrixKind = nullptr;
    QSpinBox* sbMatrixClasses = nullptr;
    RainflowMatrixView* vwRainflowMatrix = nullptr;

private:
    CycleSupplier m_supplier;
    std::vector<tessivo::fatigue::FatigueCycle> m_cycles;
    bool m_haveCycles = false;
    bool m_upToDate = false;
};
