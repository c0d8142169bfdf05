#include "spectrum/spectrum_plot_window.h"

#include "support/app_error.h"
#include "support/error_guard.h"
#include "document/count_document.h"
#include "support/app_identity.h"
#include "charts/chart_painting.h"
#include "charts/chart_view.h"
#include "support/file_dialogs.h"
#include "support/file_saving.h"
#include "spectrum/from_to_matrix_chart.h"
#include "spectrum/exceedance_chart.h"
#include "spectrum/matrix_text.h"
#include "signal/signal_view.h"
#include "support/wait_cursor.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMimeData>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kSpectrumTab = QStringLiteral("Load spectrum");
const QString kMatrixTab = QStringLiteral("From-to matrix");
const QString kSignalTab = QStringLiteral("Load history");
const QString kRainflowMatrixTab = QStringLiteral("Rainflow matrix");
} // namespace

SpectrumPlotWindow::SpectrumPlotWindow(QWidget* owner, PlotWindowSeams seams)
    : ChartWindow(owner, ChartWindowSeams{seams.runModal, seams.reportError})
    , m_seams(std::move(seams))
{
    setObjectName(QStringLiteral("frmSpectrumPlot"));
    setWindowTitle(QStringLiteral("Spectrum plot"));
    createControls();
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
}

void SpectrumPlotWindow::createControls()
{
    const QChar separator = m_seams.decimalSeparator;
    vwSpectrum =
        new ChartView([this, separator](QPainter& p, const QRectF& r) { paintLoadSpectrum(p, r, m_data, separator); });
    vwSpectrum->setObjectName(QStringLiteral("vwSpectrum"));
    vwMatrix =
        new ChartView([this, separator](QPainter& p, const QRectF& r) { paintFromToMatrix(p, r, m_data, separator); });
    vwMatrix->setObjectName(QStringLiteral("vwMatrix"));
    // Shown as a tab only when a count has a matrix: owned by the window
    // until then, so that a window closed before any matrix frees it.
    vwMatrix->setParent(this);
    vwMatrix->hide();
    tabCharts = new QTabWidget(this);
    tabCharts->setObjectName(QStringLiteral("tabCharts"));
    tabCharts->addTab(vwSpectrum, kSpectrumTab);
    vwSignal = new SignalView(separator);
    vwSignal->setObjectName(QStringLiteral("vwSignal"));
    tabCharts->addTab(vwSignal, kSignalTab);
    tbRainflowMatrix = new RainflowMatrixTab(separator);
    tbRainflowMatrix->setObjectName(QStringLiteral("tbRainflowMatrix"));
    tabCharts->addTab(tbRainflowMatrix, kRainflowMatrixTab);
    connect(tabCharts, &QTabWidget::currentChanged, this, [this] {
        if (tabCharts->currentWidget() == vwSignal)
            guarded([this] { loadSignal(); });
        if (tabCharts->currentWidget() == tbRainflowMatrix)
            guarded([this] { tbRainflowMatrix->refresh(); });
    });

    auto* buttons = new QHBoxLayout;
    dlgSavePlot = new QFileDialog(this);
    dlgSavePlot->setObjectName(QStringLiteral("dlgSavePlot"));
    addChartButtons(buttons, dlgSavePlot);
    buttons->addStretch();
    btClose = new QPushButton(QStringLiteral("Close"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    buttons->addWidget(btClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabCharts, 1);
    layout->addLayout(buttons);
}

void SpectrumPlotWindow::observe(CountDocument* document)
{
    m_document = document;
    connect(document, &CountDocument::counted, this, &SpectrumPlotWindow::showCount);
    showCount();
}

void SpectrumPlotWindow::showCount()
{
    if (!m_document->hasCount())
        return;
    setData(m_document->plotData(), m_document->sourceName());
    setSignal(m_document->signalSource());
    setMatrixCycles([document = m_document] { return document->countedCycles(); });
    setDescription(reportSummary(m_document->header(), m_seams.decimalSeparator));
}

void SpectrumPlotWindow::setData(SpectrumPlotData data, const QString& source)
{
    m_data = std::move(data);
    m_source = source;
    setWindowTitle(source.isEmpty() ? QStringLiteral("Spectrum plot") : QStringLiteral("Spectrum plot - ") + source);
    const int matrixTab = tabCharts->indexOf(vwMatrix);
    if (m_data.hasMatrix() && matrixTab < 0)
        tabCharts->insertTab(1, vwMatrix, kMatrixTab);
    else if (!m_data.hasMatrix() && matrixTab >= 0)
        tabCharts->removeTab(matrixTab);
    tbRainflowMatrix->setFromToOffered(!m_data.hasMatrix());
    vwSpectrum->update();
    vwMatrix->update();
}

void SpectrumPlotWindow::setSignal(const SignalSource& source)
{
    m_signalSource = source;
    m_signalLoaded = false;
    vwSignal->setData(SignalData());
    if (tabCharts->currentWidget() == vwSignal)
        guarded([this] { loadSignal(); });
}

void SpectrumPlotWindow::loadSignal()
{
    if (m_signalLoaded)
        return;
    m_signalLoaded = true; // a file that cannot be read is reported once
    if (!m_signalSource.sequenceFile.empty()) {
        // One pass over the whole sequence: seconds for tens of millions of values.
        const WaitCursor wait;
        vwSignal->setData(SignalData::load(m_signalSource));
    }
}

SignalView& SpectrumPlotWindow::signalView()
{
    loadSignal();
    return *vwSignal;
}

void SpectrumPlotWindow::setMatrixCycles(CycleSupplier cycles)
{
    tbRainflowMatrix->setCycles(std::move(cycles));
}

bool SpectrumPlotWindow::hasChart(Chart chart) const
{
    return chart != Chart::FromToMatrix || tabCharts->indexOf(vwMatrix) >= 0;
}

void SpectrumPlotWindow::showChart(Chart chart)
{
    if (!hasChart(chart))
        return;
    if (chart == Chart::Signal)
        tabCharts->setCurrentWidget(vwSignal);
    else if (chart == Chart::RainflowMatrix)
        tabCharts->setCurrentWidget(tbRainflowMatrix);
    else
        tabCharts->setCurrentWidget(chart == Chart::LoadSpectrum ? static_cast<QWidget*>(vwSpectrum) : vwMatrix);
}

SpectrumPlotWindow::Chart SpectrumPlotWindow::currentChart() const
{
    if (tabCharts->currentWidget() == vwSignal)
        return Chart::Signal;
    if (tabCharts->currentWidget() == tbRainflowMatrix)
        return Chart::RainflowMatrix;
    return tabCharts->currentWidget() == vwMatrix ? Chart::FromToMatrix : Chart::LoadSpectrum;
}

const ChartView& SpectrumPlotWindow::shownView() const
{
    if (currentChart() == Chart::Signal)
        return *vwSignal;
    if (currentChart() == Chart::RainflowMatrix)
        return *tbRainflowMatrix->vwRainflowMatrix;
    return currentChart() == Chart::FromToMatrix ? *vwMatrix : *vwSpectrum;
}

QString SpectrumPlotWindow::chartTitle() const
{
    if (currentChart() == Chart::Signal)
        return kSignalTab;
    if (currentChart() == Chart::RainflowMatrix)
        return kRainflowMatrixTab;
    return currentChart() == Chart::FromToMatrix ? kMatrixTab : kSpectrumTab;
}

void SpectrumPlotWindow::setDescription(const QString& description)
{
    m_description = description;
}

ChartPainter SpectrumPlotWindow::shownChart() const
{
    return shownView().chart();
}

QString SpectrumPlotWindow::exportHeading() const
{
    return m_description.isEmpty() ? chartTitle() : chartTitle() + QStringLiteral(" - ") + m_description;
}

QMimeData* SpectrumPlotWindow::copiedData() const
{
    QMimeData* data = ChartWindow::copiedData();
    QString text;
    QString csv;
    if (currentChart() == Chart::FromToMatrix) {
        text = fromToMatrixText(m_data, {u'\t', m_seams.decimalSeparator});
        csv = fromToMatrixText(m_data, kCsvFormat);
    } else if (currentChart() == Chart::RainflowMatrix) {
        text = rainflowMatrixText(tbRainflowMatrix->vwRainflowMatrix->matrix(), {u'\t', m_seams.decimalSeparator});
        csv = rainflowMatrixText(tbRainflowMatrix->vwRainflowMatrix->matrix(), kCsvFormat);
    }
    if (!text.isEmpty()) {
        data->setText(text);
        data->setData(QStringLiteral("text/csv"), csv.toUtf8());
    }
    return data;
}

// One name per column and chart: "loads_RootMyc1_load_spectrum.png".
QString SpectrumPlotWindow::exportBaseName() const
{
    return proposedBaseName(m_source, chartTitle());
}
