// Saves pictures of the load history for the manual, under a real X server:
//   XDG_CONFIG_HOME=<temporary folder> xvfb-run -a -s "-screen 0 1280x1024x24"
//     ./tessivo_signal_screenshot <folder> <sequence-file> <filter> [report-line]
// signal.png: the whole sequence counted with the filter, the cycles of the
// report line (default 1, the largest range) marked; signal_zoom.png: zoomed
// onto the narrowest of them; signal_zoom.svg: its export;
// signal_fatigue.png: the cycles of the next line marked from the fatigue
// window's table; rainflow_matrix.png and rainflow_matrix_range_mean.png:
// the heat maps of the rainflow matrix tab.
#include "support/app_identity.h"
#include "edit_float.h"
#include "fatigue/fatigue_window.h"
#include "spectrum/spectrum_plot_window.h"
#include "main_window/main_window.h"
#include "screenshot_support.h"
#include "signal/signal_view.h"

#include <QApplication>
#include <QComboBox>
#include <QTableView>
#include <QEventLoop>
#include <QFileDialog>
#include <QPushButton>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 4)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString sequence = QString::fromLocal8Bit(argv[2]);
    const QString filter = QString::fromLocal8Bit(argv[3]);
    const int line = argc > 4 ? std::atoi(argv[4]) : 1;
    int status = 0;
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog))
            files->selectFile(sequence);
        return true;
    };
    TfrmMain window(seams);
    window.show();
    QTimer::singleShot(800, &app, [&] {
        window.findChild<QPushButton*>(QStringLiteral("btOpenSeqFile"))->click();
        window.findChild<morvane::TEditFloat*>(QStringLiteral("edFilter"))->setText(filter);
        window.findChild<QPushButton*>(QStringLiteral("btExecute"))->click();
        window.findChild<QPushButton*>(QStringLiteral("btSpectrumPlot"))->click();
        SpectrumPlotWindow& plot = *window.plotWindow();
        plot.resize(1100, 700);
        plot.move(40, 40);
        plot.showChart(SpectrumPlotWindow::Chart::Signal);
        auto* pane = window.findChild<QTextEdit*>(QStringLiteral("reReport"));
        QTextBlock row = pane->document()->begin();
        while (row.isValid() && row.text() != QStringLiteral("Range\tLoad\tLoad\tCycles\tNumber"))
            row = row.next();
        for (int i = 0; i < line && row.isValid(); ++i)
            row = row.next();
        if (row.isValid())
            pane->setTextCursor(QTextCursor(row));
        plot.raise();
        if (!grabContents(plot, folder + QStringLiteral("signal.png")))
            status = 1;
        SignalView& view = plot.signalView();
        int narrowest = 0; // the cycle that shows best when zoomed onto
        const auto& marks = view.data().marks();
        const auto width = [&](int i) {
            return std::abs(marks[static_cast<std::size_t>(i)].end - marks[static_cast<std::size_t>(i)].start);
        };
        for (int i = 1; i < static_cast<int>(marks.size()); ++i)
            if (width(i) < width(narrowest))
                narrowest = i;
        view.zoomToMark(narrowest);
        if (!grabContents(plot, folder + QStringLiteral("signal_zoom.png")))
            status = 1;
        plot.saveSvg(folder + QStringLiteral("signal_zoom.svg"));

        window.findChild<QPushButton*>(QStringLiteral("btFatigue"))->click();
        FatigueWindow& fatigue = *window.fatigueWindow();
        fatigue.move(700, 300);
        fatigue.tvRows->setCurrentIndex(fatigue.tvRows->model()->index(line, 0));
        view.showAll();
        plot.raise();
        if (!grabScreen(plot, folder + QStringLiteral("signal_fatigue.png")))
            status = 1;
        fatigue.close();
        plot.showChart(SpectrumPlotWindow::Chart::RainflowMatrix);
        plot.raise();
        if (!grabScreen(plot, folder + QStringLiteral("rainflow_matrix.png")))
            status = 1;
        plot.tbRainflowMatrix->cbMatrixKind->setCurrentIndex(1);
        if (!grabScreen(plot, folder + QStringLiteral("rainflow_matrix_range_mean.png")))
            status = 1;
        plot.close();
        window.close();
    });
    app.exec();
    return status;
}
