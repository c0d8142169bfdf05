#pragma once
// The main window: the Open command, the counting parameters, the Execute
// command and the report pane, in a fixed layout of 608 x 734 pixels.
//
// Start-up (FormShow, on the first show) and close (FormClose) run their
// steps in a fixed order; an error that escapes a command handler is shown in
// the application's error box and ends that handler only. A close whose
// filter text is not a number stores nothing and keeps the window open.
//
// Open and Execute let pending messages through while they work. Neither
// starts while the other (or itself) is under way: such a click is ignored.
// A close asked for meanwhile waits until the command has finished, so that
// the close never takes the parameters from under a running count.
//
// A count that takes longer than half a second shows its progress and can be
// cancelled; a cancelled or failed count leaves the last report, its table
// and its plots as they were. A file given at start or dropped onto the
// window is opened as if chosen in the Open dialog. The work folder is locked
// for the window's lifetime; when another running copy holds it, the window
// works in a folder of its own.

#include "document/count_document.h"
#include "support/notifier.h"
#include "engine/run/record.h"
#include "shell_open.h"
#include "document/spectrum_plot_data.h"
#include "engine/fatigue/fatigue_cycle.h"
#include "document/cycle_marks.h"
#include "document/signal_data.h"
#include "document/report_header.h"

#include <QDateTime>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QTextDocument;
class QDialog;
class QPrintDialog;
class QProgressDialog;
class QPrinter;
class QComboBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QAction;
class QPushButton;
class QRadioButton;
class LinkLabel;
class ReportPane;
class SpectrumPlotWindow;
class FatigueWindow;
class ChannelListWindow;
struct ChannelFigures;
namespace tessivo {
class WorkFolderLock;
}
namespace morvane {
class TEditFloat;
class TWinRestorer;
} // namespace morvane

// What tests replace: message boxes, the work folder, the decimal separator,
// the modal dialogs, the shell, the clock and the program's folder.
struct MainWindowSeams {
    Notifier* notifier = nullptr;          // default: message boxes over the window
    std::function<QString()> workDir;      // default: resolveWorkDir()
    std::optional<QChar> decimalSeparator; // default: the system locale's
    QString storePath;                     // default: the per-user store file
    // Stands for exec() of the file, print and About dialogs: true when the
    // user accepted. Tests set the dialog's answer (selectFile, the printer)
    // and return at once.
    std::function<bool(QDialog&)> runModal;
    morvane::ShellLauncher shellLauncher; // default: the desktop
    std::function<QDateTime()> clock;     // default: the local date and time
    QString programDir;                   // default: the executable's folder
    // Sees the progress dialog of a count after each step; a test cancels
    // the count through it. May be empty.
    std::function<void(QProgressDialog&)> progressObserver;
    // Milliseconds for the half second before the progress dialog shows;
    // default: the steady clock.
    std::function<std::int64_t()> progressClock;
};

class TfrmMain : public QWidget {
    Q_OBJECT

public:
    explicit TfrmMain(MainWindowSeams seams = {}, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The folder of the work files, ending in "/"; set by FormShow.
    const QString& WorkDir() const { return m_workDir; }
    // The Open dialog's starting folder as loaded from the settings.
    const QString& UserDir() const { return m_userDir; }
    tessivo::TRainflowRun& RainflowRun() { return m_document->run(); }
    const tessivo::TCycleTable& CycleTable() const { return m_document->table(); }
    std::int32_t CycleCount() const { return m_document->cycleCount(); }
    // What is loaded and counted; the plot and fatigue windows observe it.
    CountDocument& document() { return *m_document; }
    // True while Open or Execute is under way.
    bool CommandRunning() const { return m_commandRunning; }
    Notifier& notifier() { return *m_notifier; }

    // The parameter controls into the run record: Normalize, UseLoadBins,
    // BinCount, Decomposition, then FilterSize, which throws AppError when
    // the filter text is not a number (the fields before it keep their values).
    void ControlsToRun();
    // The run record's parameters into the controls.
    void RunToControls();

    // The Open command on this file, without the dialog: ignored while a
    // command is under way, otherwise with the dialog's messages.
    void openFile(const QString& fileName);
    // openFile once the message loop has the window again.
    void queueOpenFile(const QString& fileName);
    // What the spectrum plots show: the last report's table and matrix.
    const SpectrumPlotData& PlotData() const { return m_document->plotData(); }
    // The plot window, once Spectrum plot has opened it.
    SpectrumPlotWindow* plotWindow() const { return m_plotWindow; }
    // The fatigue window, once Fatigue... has opened it.
    FatigueWindow* fatigueWindow() const { return m_fatigueWindow; }
    // The channel list, once Channels... has opened it.
    ChannelListWindow* channelWindow() const { return m_channelWindow; }
    // The sequence of the last report as the load history reads it.
    const SignalSource& signalSource() const { return m_document->signalSource(); }
    // The line of the report's table of load cycles at the cursor (1 for the
    // first cycle), or 0 when the cursor is elsewhere.
    std::int32_t reportRowAtCursor() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    // Files dropped onto a control that takes text drops open as well.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Handlers, one per event.
    void FormCreate();
    void btExecuteClick();
    void btOpenSeqFileClick();
    void btImportTableClick(); // in main_window_import.cpp
    void FormShow();
    void FormClose();
    void Print1Click();
    void Copy1Click();
    void Save1Click();
    void lbAboutClick();
    void btSpectrumPlotClick();
    void btFatigueClick();
    void btChannelsClick(); // in main_window_import.cpp
    void openChannel(const ChannelFigures& channel);
    // Execute's body once a command is under way: the parameters, their
    // checks, the count with its progress and the report.
    void countWithControls();
    void showReportMenu(const QPoint& position);
    void executeShortcut();
    // A line of the table selected while the plot window is open: its cycles
    // are marked in the load history (main_window_signal.cpp).
    void reReportCursorMoved();
    // Marks the cycles of table line `row` (1-based) in the load history,
    // opening the plot window when it is closed.
    void markTableRow(std::int32_t row);
    // Table line `row` of the report shown as the one marked (0: none).
    void highlightReportLine(std::int32_t row);

    // Runs a handler's body; an escaping error goes to the general error box
    // with its full stop. False when the body failed.
    bool guarded(const std::function<void()>& body);
    // Runs Open or Execute: ignored while one is under way; a close asked
    // for meanwhile follows once the message loop has the window again.
    void runCommand(const std::function<void()>& body);
    bool runModal(QDialog& dialog);
    std::string reportDecimalSeparator() const;
    void saveReport(const QString& fileName);
    // The report with its header (file, date, parameters), for paper and RTF.
    std::unique_ptr<QTextDocument> reportWithHeader() const;
    QDateTime now() const;
    // The bodies of Open after the dialog and of Execute after the checks.
    // The Open dialog with nameFilter, started in the folder of the last file
    // opened: the file chosen, or an empty text when none was.
    QString chooseFileToOpen(const QString& nameFilter);
    void openSequenceFile(const QString& fileName);
    void importTableFile(const QString& fileName);
    // The document's reading of a table column, with the progress of a count
    // (in main_window_import.cpp): as CountDocument::importResult.
    bool readColumnWaiting(const QString& fileName, const tessivo::TableLayout& layout, int column);
    // After a successful Open or Import: Execute on, the report anew, the label.
    void showOpenedSequence();
    // After a count: the report, the plot and fatigue commands.
    void showCount();
    void countAndReport();
    void claimWorkDir();
    // The opened file in the label (shortened to fit, in full as its
    // tooltip) and by name in the window title.
    void showSequenceFile(const QString& fileName);
    // Accepts a drag that carries a file when no command is under way.
    bool acceptFileDrag(QDropEvent* event) const;

    // Construction, in main_window_layout.cpp.
    void createWindow();
    void createLogoPanel();
    void createInputPanel();
    void createParameterPanel();
    void createExecutePanel();
    void createResultsPanel();
    void createDialogs();
    void setTabOrders();
    void connectEvents();
    void createShortcuts();

    QString storePath() const;

    MainWindowSeams m_seams;
    std::unique_ptr<Notifier> m_ownNotifier;
    Notifier* m_notifier = nullptr;
    CountDocument* m_document = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    bool m_commandRunning = false;
    bool m_closeRequested = false;
    QString m_workDir;
    std::unique_ptr<tessivo::WorkFolderLock> m_workDirLock;
    QString m_userDir;
    QString m_lastDir; // the folder of the last sequence opened, where the next Open starts
    bool m_shown = false;
    std::int32_t m_markedRow = 0; // the table line whose cycles are marked
    SpectrumPlotWindow* m_plotWindow = nullptr;
    FatigueWindow* m_fatigueWindow = nullptr;
    ChannelListWindow* m_channelWindow = nullptr;

public:
    // Components, named as in the layout (owned by the window).
    QFrame* pnlLogo = nullptr;
    QLabel* imLogo = nullptr;
    LinkLabel* lbAbout = nullptr;
    QFrame* pnlInput = nullptr;
    QGroupBox* gbSequenceFile = nullptr;
    QPushButton* btOpenSeqFile = nullptr;
    QPushButton* btImportTable = nullptr; // Import...: a column of a table
    QLabel* lbSeqFile = nullptr;
    QFrame* pnlParameters = nullptr;
    QGroupBox* gbRFCParamaters = nullptr;
    QLabel* Label1 = nullptr;
    morvane::TEditFloat* edFilter = nullptr;
    QCheckBox* cbNormalize = nullptr;
    QCheckBox* cbMatrix = nullptr;
    QComboBox* cbLoadBinSize = nullptr;
    QLabel* lbDecomposition = nullptr;
    QRadioButton* rbDecomposition = nullptr;
    QRadioButton* rbUpward = nullptr;
    QRadioButton* rbHalf = nullptr;   // the residue's half cycles counted as 0.5
    QCheckBox* cbUnlimited = nullptr; // exact loads at any length; off by default
    QFrame* pnlExecute = nullptr;
    QGroupBox* gbExecute = nullptr;
    QPushButton* btExecute = nullptr;
    QPushButton* btSpectrumPlot = nullptr;
    QPushButton* btFatigue = nullptr;
    QPushButton* btChannels = nullptr; // every column of a table counted at once
    QFrame* pnlResults = nullptr;
    QGroupBox* gbResults = nullptr;
    ReportPane* reReport = nullptr;
    QMenu* pumResults = nullptr;
    QAction* Print1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* acOpen = nullptr;    // Ctrl+O anywhere in the window
    QAction* acImport = nullptr;  // Ctrl+I anywhere in the window
    QAction* acExecute = nullptr; // F5 or Ctrl+E, while Execute is enabled
    QFileDialog* dlgOpenSeq = nullptr;
    QFileDialog* dlgSave = nullptr;
    QPrintDialog* dlgPrint = nullptr;
    morvane::TWinRestorer* wrMain = nullptr;
};
