#pragma once
// The window of the spectrum plots of the last report: the cumulative load
// spectrum and, for a count in load classes, the from-to matrix, one per
// tab, and the load history that the count read (plots/signal_view.h). The chart on show can be saved as PNG or SVG and
// copied to the clipboard as a picture, each at kChartExportSize.
//
// Errors of a command (a file that cannot be written) go to reportError with
// their full stop; the save dialog runs through runModal, so tests answer it.

#include "charts/chart_window.h"
#include "document/spectrum_plot_data.h"
#include "spectrum/rainflow_matrix_view.h"
#include "document/signal_data.h"

#include <QChar>
#include <QWidget>
#include <functional>

class ChartView;
class CountDocument;
class QDialog;
class QFileDialog;
class QPushButton;
class QTabWidget;
class SignalView;

struct PlotWindowSeams {
    std::function<bool(QDialog&)> runModal;          // default: exec()
    std::function<void(const QString&)> reportError; // default: a message box
    QChar decimalSeparator = u'.';
};

class SpectrumPlotWindow : public ChartWindow {
    Q_OBJECT

public:
    enum class Chart { LoadSpectrum, FromToMatrix, Signal, RainflowMatrix };

    // A top-level window owned by `owner` and destroyed with it; it does not
    // keep the program running once the owner has closed.
    SpectrumPlotWindow(QWidget* owner, PlotWindowSeams seams);

    // Shows the document's last count now and after each count.
    void observe(CountDocument* document);
    // Shows these data; `source` names them in the title. The matrix tab is
    // there only when the data have a matrix.
    void setData(SpectrumPlotData data, const QString& source);
    // What saved and copied pictures say above the chart: the sequence file
    // and the counting parameters. Also the SVG's title.
    void setDescription(const QString& description);
    const QString& description() const { return m_description; }
    const SpectrumPlotData& data() const { return m_data; }
    // The sequence of the same count for the Signal tab; it is read when the
    // tab is first shown (IoError then goes to reportError).
    void setSignal(const SignalSource& source);
    // The Signal tab with its data read now; throws IoError.
    SignalView& signalView();
    // The cycles of the same count for the rainflow matrix tab, in the loads
    // as counted; asked for when the tab is first shown.
    void setMatrixCycles(CycleSupplier cycles);

    bool hasChart(Chart chart) const;
    void showChart(Chart chart);
    Chart currentChart() const;

    QTabWidget* tabCharts = nullptr;
    ChartView* vwSpectrum = nullptr;
    ChartView* vwMatrix = nullptr;
    SignalView* vwSignal = nullptr;
    RainflowMatrixTab* tbRainflowMatrix = nullptr;
    QPushButton* btClose = nullptr;
    QFileDialog* dlgSavePlot = nullptr;

private:
    ChartPainter shownChart() const override;
    QString exportHeading() const override;
    QString exportBaseName() const override;
    // A matrix goes to the clipboard as its cells too (text and CSV).
    QMimeData* copiedData() const override;

    void createControls();
    const ChartView& shownView() const;
    QString chartTitle() const;

    PlotWindowSeams m_seams;
    void loadSignal();
    void showCount();

    CountDocument* m_document = nullptr;

    SpectrumPlotData m_data;
    SignalSource m_signalSource;
    bool m_signalLoaded = true;
    QString m_source; // the sequence file's name, for the proposed file names
    QString m_description;
};
