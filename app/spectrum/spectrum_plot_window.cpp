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
#include "signal/signal_view.h"
#include "support/wait_cursor.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
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
    : QWidget(owner, Qt::Window)
    , m_seams(std::move(seams))
{
    setObjectName(QStringLiteral("frmSpectrumPlot"));
    setWindowTitle(QStringLiteral("Spectrum plot"));
    // Closing the main window ends the program, even with a plot still open.
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();
    connect(btSavePng, &QPushButton::clicked, this, &SpectrumPlotWindow::btSavePngClick);
    connect(btSaveSvg, &QPushButton::clicked, this, &SpectrumPlotWindow::btSaveSvgClick);
    connect(btCopy, &QPushButton::clicked, this, &SpectrumPlotWindow::btCopyClick);
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
}

void SpectrumPlotWindow::createControls()
{
    const QChar separator = m_seams.decimalSeparator;
    vwSpectrum = new ChartView([this, separator](QPainter& p, const QRectF& r) { paintLoadSpectrum(p, r, m_data, separator); });
    vwSpectrum->setObjectName(QStringLiteral("vwSpectrum"));
    vwMatrix = new ChartView([this, separator](QPainter& p, const QRectF& r) { paintFromToMatrix(p, r, m_data, separator); });
    vwMatrix->setObjectName(QStringLiteral("vwMatrix"));
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
    const auto button = [this, buttons](QPushButton*& target, const char* name, const QString& caption) {
        target = new QPushButton(caption, this);
        target->setObjectName(QLatin1String(name));
        buttons->addWidget(target);
    };
    button(btSavePng, "btSavePng", QStringLiteral("Save PNG..."));
    button(btSaveSvg, "btSaveSvg", QStringLiteral("Save SVG..."));
    button(btCopy, "btCopy", QStringLiteral("Copy"));
    buttons->addStretch();
    button(btClose, "btClose", QStringLiteral("Close"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabCharts, 1);
    layout->addLayout(buttons);

    dlgSavePlot = new QFileDialog(this);
    dlgSavePlot->setObjectName(QStringLiteral("dlgSavePlot"));
    dlgSavePlot->setAcceptMode(QFileDialog::AcceptSave);
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

ChartPainter SpectrumPlotWindow::exportedChart() const
{
    const ChartPainter chart = shownView().chart();
    if (m_description.isEmpty())
        return chart;
    return [chart, text = m_description](QPainter& painter, const QRectF& bounds) {
        constexpr double kBand = 26.0;
        painter.fillRect(bounds, Qt::white);
        painter.save();
        painter.setPen(kChartInk);
        painter.setFont(chartFont(13));
        const QRectF band(bounds.left() + 8.0, bounds.top() + 4.0, bounds.width() - 16.0, kBand - 4.0);
        painter.drawText(band, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, text);
        painter.restore();
        chart(painter, bounds.adjusted(0.0, kBand, 0.0, 0.0));
    };
}

void SpectrumPlotWindow::savePng(const QString& fileName) const
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!renderChart(exportedChart()).save(&buffer, "PNG"))
        throw AppError(QStringLiteral("Failed to Save Stream"));
    saveFileContent(fileName, png);
}

void SpectrumPlotWindow::saveSvg(const QString& fileName) const
{
    const QString title = m_description.isEmpty() ? chartTitle() : chartTitle() + QStringLiteral(" - ") + m_description;
    saveFileContent(fileName, renderChartSvg(exportedChart(), title));
}

void SpectrumPlotWindow::copyImage() const
{
    QGuiApplication::clipboard()->setImage(renderChart(exportedChart()));
}

void SpectrumPlotWindow::guarded(const std::function<void()>& body)
{
    runGuarded(body, [this](const QString& message, const QString&) {
        if (m_seams.reportError)
            m_seams.reportError(message);
        else
            QMessageBox::critical(this, kApplicationTitle, message);
    });
}

QString SpectrumPlotWindow::chooseFile(const QString& filter, const QString& suffix)
{
    dlgSavePlot->setNameFilter(filter);
    dlgSavePlot->setDefaultSuffix(suffix);
    dlgSavePlot->selectFile(proposedFileName(m_source, suffix));
    const bool accepted = m_seams.runModal ? m_seams.runModal(*dlgSavePlot) : dlgSavePlot->exec() == QDialog::Accepted;
    return accepted ? dlgSavePlot->selectedFiles().value(0) : QString();
}

void SpectrumPlotWindow::btSavePngClick()
{
    guarded([this] {
        const QString fileName = chooseFile(QStringLiteral("PNG image (*.png)"), QStringLiteral("png"));
        if (!fileName.isEmpty())
            savePng(fileName);
    });
}

void SpectrumPlotWindow::btSaveSvgClick()
{
    guarded([this] {
        const QString fileName = chooseFile(QStringLiteral("SVG image (*.svg)"), QStringLiteral("svg"));
        if (!fileName.isEmpty())
            saveSvg(fileName);
    });
}

void SpectrumPlotWindow::btCopyClick()
{
    guarded([this] { copyImage(); });
}
