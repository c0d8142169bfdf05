#pragma once
// The signal plot on the screen: a chart view that zooms with the wheel
// (around the pointer) and with a rubber band dragged with the left button,
// pans while dragged with the right or middle button, and shows everything
// again on a double click; a double click on a marked cycle zooms to it.

#include "charts/chart_view.h"
#include "signal/signal_chart.h"

#include <QPoint>

class QRubberBand;

class SignalView : public ChartView {
    Q_OBJECT

public:
    explicit SignalView(QChar decimalSeparator, QWidget* parent = nullptr);

    void setData(SignalData data);
    const SignalData& data() const { return m_data; }
    void setMarks(std::vector<CycleMark> marks);

    const SignalWindow& window() const { return m_window; }
    // Clipped to the sequence; at least a few values wide.
    void setWindow(SignalWindow window);
    void showAll();
    // Zooms so that the cycle fills the middle of the plot, and selects it.
    void zoomToMark(int index);
    int selectedMark() const { return m_selected; }
    // The marked cycle under a point of the widget, or -1.
    int markAt(QPointF point) const;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRectF plotArea() const { return signalPlotArea(QRectF(rect())); }

    SignalData m_data;
    SignalWindow m_window;
    int m_selected = -1;
    QRubberBand* m_band = nullptr;
    QPoint m_pressAt;
    SignalWindow m_pressWindow;
    Qt::MouseButton m_dragging = Qt::NoButton;
};
