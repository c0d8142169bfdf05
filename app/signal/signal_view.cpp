#include "signal/signal_view.h"

#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kMinSpan = 8.0; // values on show at the deepest zoom
}

SignalView::SignalView(QChar decimalSeparator, QWidget* parent)
    : ChartView(
        [this, decimalSeparator](QPainter& p, const QRectF& r) {
            paintSignal(p, r, m_data, m_window, m_selected, decimalSeparator);
        },
        parent)
{
    setMouseTracking(false);
    setToolTip(QStringLiteral("Wheel or drag a band to zoom, drag with the right button to pan, "
                              "double-click to see all or to zoom onto a marked cycle"));
}

void SignalView::setData(SignalData data)
{
    m_data = std::move(data);
    m_selected = -1;
    showAll();
}

void SignalView::setMarks(std::vector<CycleMark> marks)
{
    m_data.setMarks(std::move(marks));
    m_selected = -1;
    // A cycle marked outside the zoom would show as a count alone: the
    // window moves to the first one at the zoom the user chose, selected.
    const auto& shown = m_data.marks();
    const bool visible = std::any_of(shown.begin(), shown.end(), [this](const CycleMark& m) {
        return static_cast<double>(std::max(m.start, m.end)) >= m_window.first
               && static_cast<double>(std::min(m.start, m.end)) < m_window.end;
    });
    if (!shown.empty()) {
        m_selected = 0;
        if (!visible) {
            const CycleMark& m = shown.front();
            const double mid = (static_cast<double>(m.start) + static_cast<double>(m.end)) / 2.0;
            const double span = std::max(m_window.span(), std::abs(static_cast<double>(m.end - m.start)) * 1.5 + 1.0);
            setWindow({mid - span / 2.0, mid + span / 2.0});
        }
    }
    update();
}

void SignalView::setWindow(SignalWindow window)
{
    const double length = std::max<double>(1.0, static_cast<double>(m_data.pyramid().size()));
    const double span = std::clamp(window.span(), std::min(kMinSpan, length), length);
    const double mid = (window.first + window.end) / 2.0;
    double first = std::clamp(mid - span / 2.0, 0.0, length - span);
    m_window = {first, first + span};
    update();
}

void SignalView::showAll()
{
    setWindow({0.0, static_cast<double>(std::max<std::int64_t>(1, m_data.pyramid().size()))});
}

void SignalView::zoomToMark(int index)
{
    const auto& marks = m_data.marks();
    if (index < 0 || index >= static_cast<int>(marks.size()))
        return;
    m_selected = index;
    const double a = static_cast<double>(std::min(marks[index].start, marks[index].end));
    const double b = static_cast<double>(std::max(marks[index].start, marks[index].end)) + 1.0;
    const double margin = std::max(4.0, (b - a) * 0.6);
    setWindow({a - margin, b + margin});
}

int SignalView::markAt(QPointF point) const
{
    const QRectF plot = plotArea();
    const double slack = 6.0 / plot.width() * m_window.span(); // six pixels either side
    const double at = signalPositionAt(plot, m_window, point.x());
    const auto& marks = m_data.marks();
    int best = -1;
    double bestSpan = 0.0;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const double a = static_cast<double>(std::min(marks[i].start, marks[i].end));
        const double b = static_cast<double>(std::max(marks[i].start, marks[i].end));
        if (at >= a - slack && at <= b + slack && (best < 0 || b - a < bestSpan)) {
            best = static_cast<int>(i); // the narrowest one under the pointer
            bestSpan = b - a;
        }
    }
    return best;
}

void SignalView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0.0 || m_data.empty())
        return;
    const QRectF plot = plotArea();
    const double at = std::clamp(signalPositionAt(plot, m_window, event->position().x()), m_window.first, m_window.end);
    const double factor = std::pow(0.8, steps);
    const double first = at - (at - m_window.first) * factor;
    setWindow({first, first + m_window.span() * factor});
    event->accept();
}

void SignalView::mousePressEvent(QMouseEvent* event)
{
    m_pressAt = event->position().toPoint();
    m_pressWindow = m_window;
    m_dragging = event->button();
    if (m_dragging == Qt::LeftButton) {
        if (!m_band)
            m_band = new QRubberBand(QRubberBand::Rectangle, this);
        m_band->setGeometry(QRect(m_pressAt, QSize()));
        m_band->show();
    }
}

void SignalView::mouseMoveEvent(QMouseEvent* event)
{
    const QRectF plot = plotArea();
    const QPoint at = event->position().toPoint();
    if (m_dragging == Qt::LeftButton && m_band) {
        m_band->setGeometry(
            QRect(QPoint(m_pressAt.x(), static_cast<int>(plot.top())), QPoint(at.x(), static_cast<int>(plot.bottom())))
                .normalized());
    } else if (m_dragging == Qt::RightButton || m_dragging == Qt::MiddleButton) {
        const double shift = (at.x() - m_pressAt.x()) / plot.width() * m_pressWindow.span();
        setWindow({m_pressWindow.first - shift, m_pressWindow.end - shift});
    }
}

void SignalView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging == Qt::LeftButton && m_band) {
        m_band->hide();
        const int x0 = std::min(m_pressAt.x(), event->position().toPoint().x());
        const int x1 = std::max(m_pressAt.x(), event->position().toPoint().x());
        if (x1 - x0 >= 4) {
            const QRectF plot = plotArea();
            setWindow({signalPositionAt(plot, m_window, x0) + 0.5, signalPositionAt(plot, m_window, x1) + 0.5});
        }
    }
    m_dragging = Qt::NoButton;
}

void SignalView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int mark = markAt(event->position());
    if (mark >= 0)
        zoomToMark(mark);
    else
        showAll();
}
