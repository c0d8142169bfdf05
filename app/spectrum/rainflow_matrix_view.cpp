#include "spectrum/rainflow_matrix_view.h"

#include "spectrum/rainflow_matrix_chart.h"
#include "support/wait_cursor.h"

#include "engine/run/choices.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QSpinBox>
#include <QToolTip>
#include <QVBoxLayout>

using tessivo::fatigue::MatrixKind;

namespace {

constexpr int kDefaultClasses = 32;

} // namespace

RainflowMatrixView::RainflowMatrixView(QChar decimalSeparator, QWidget* parent)
    : ChartView([this](QPainter& p, const QRectF& r) { paintRainflowMatrix(p, r, m_matrix, m_separator); }, parent)
    , m_separator(decimalSeparator)
{
    setMouseTracking(true);
}

void RainflowMatrixView::setMatrix(tessivo::fatigue::RainflowMatrix matrix)
{
    m_matrix = std::move(matrix);
    update();
}

QString RainflowMatrixView::cellText(QPointF point) const
{
    const auto cell = rainflowMatrixCellAt(m_matrix, QRectF(rect()), point);
    if (!cell)
        return {};
    const auto [r, c] = *cell;
    const auto number = [this](long double v) {
        QString text = QString::number(static_cast<double>(v), 'g', 6);
        return text.replace(u'.', m_separator);
    };
    const bool fromTo = m_matrix.kind == MatrixKind::FromTo;
    const auto span = [&number](long double low, long double high) {
        return QStringLiteral("between %1 and %2").arg(number(low), number(high));
    };
    const long double count = m_matrix.count(r, c);
    return QStringLiteral("%1 %2\n%3 %4\n%5 %6")
        .arg(number(count), count == 1.0L ? QStringLiteral("cycle") : QStringLiteral("cycles"),
             fromTo ? QStringLiteral("Maximum") : QStringLiteral("Range"),
             span(m_matrix.rowEdges[r], m_matrix.rowEdges[r + 1]),
             fromTo ? QStringLiteral("Minimum") : QStringLiteral("Mean"),
             span(m_matrix.columnEdges[c], m_matrix.columnEdges[c + 1]));
}

bool RainflowMatrixView::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = cellText(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
        return true;
    }
    return ChartView::event(event);
}

RainflowMatrixTab::RainflowMatrixTab(QChar decimalSeparator, QWidget* parent) : QWidget(parent)
{
    cbMatrixKind = new QComboBox(this);
    cbMatrixKind->setObjectName(QStringLiteral("cbMatrixKind"));
    // The engine's kinds under its labels; the from-to matrix first, as the counting's own matrix.
    for (const MatrixKind kind : {MatrixKind::FromTo, MatrixKind::RangeMean}) {
        for (const auto& choice : tessivo::matrixKindChoices()) {
            if (choice.value == kind)
                cbMatrixKind->addItem(QString::fromLatin1(choice.label), static_cast<int>(kind));
        }
    }
    sbMatrixClasses = new QSpinBox(this);
    sbMatrixClasses->setObjectName(QStringLiteral("sbMatrixClasses"));
    sbMatrixClasses->setRange(1, 256);
    sbMatrixClasses->setValue(kDefaultClasses);
    vwRainflowMatrix = new RainflowMatrixView(decimalSeparator, this);
    vwRainflowMatrix->setObjectName(QStringLiteral("vwRainflowMatrix"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("Matrix:"), this));
    choices->addWidget(cbMatrixKind);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(QStringLiteral("Classes per axis:"), this));
    choices->addWidget(sbMatrixClasses);
    choices->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addLayout(choices);
    layout->addWidget(vwRainflowMatrix, 1);

    const auto changed = [this] {
        m_upToDate = false;
        try {
            refresh();
        } catch (const std::exception&) {
            // Nothing may escape a signal: the chart stays empty and the next choice tries again.
            m_upToDate = false;
            vwRainflowMatrix->setMatrix({});
        }
    };
    connect(cbMatrixKind, &QComboBox::currentIndexChanged, this, changed);
    connect(sbMatrixClasses, &QSpinBox::valueChanged, this, changed);
}

void RainflowMatrixTab::setFromToOffered(bool offered)
{
    const int fromTo = cbMatrixKind->findData(static_cast<int>(MatrixKind::FromTo));
    if (offered && fromTo < 0)
        cbMatrixKind->insertItem(0, QStringLiteral("From-to"), static_cast<int>(MatrixKind::FromTo));
    else if (!offered && fromTo >= 0)
        cbMatrixKind->removeItem(fromTo);
}

void RainflowMatrixTab::setCycles(CycleSupplier cycles)
{
    m_supplier = std::move(cycles);
    std::vector<tessivo::fatigue::FatigueCycle>().swap(m_cycles);
    m_haveCycles = false;
    m_upToDate = false;
    vwRainflowMatrix->setMatrix({});
    if (isVisible())
        refresh();
}

void RainflowMatrixTab::refresh()
{
    if (m_upToDate)
        return;
    const WaitCursor wait;
    if (!m_haveCycles && m_supplier)
        m_cycles = m_supplier();
    m_haveCycles = true;
    m_upToDate = true;
    const auto kind = static_cast<MatrixKind>(cbMatrixKind->currentData().toInt());
    vwRainflowMatrix->setMatrix(tessivo::fatigue::rainflowMatrix(m_cycles, kind, sbMatrixClasses->value()));
}
