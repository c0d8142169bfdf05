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

#include "cycle_table.h"
#include "notifier.h"
#include "run_record.h"
#include "shell_open.h"

#include <QDateTime>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QDialog;
class QPrintDialog;
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
namespace morvane {
class TEditFloat;
class TWinRestorer;
}

// What tests replace: message boxes, the work folder, the decimal separator,
// the modal dialogs, the shell, the clock and the program's folder.
struct MainWindowSeams {
    Notifier* notifier = nullptr;             // default: message boxes over the window
    std::function<QString()> workDir;         // default: resolveWorkDir()
    std::optional<QChar> decimalSeparator;    // default: the system locale's
    QString storePath;                        // default: the per-user store file
    // Stands for exec() of the file, print and About dialogs: true when the
    // user accepted. Tests set the dialog's answer (selectFile, the printer)
    // and return at once.
    std::function<bool(QDialog&)> runModal;
    morvane::ShellLauncher shellLauncher;     // default: the desktop
    std::function<QDateTime()> clock;         // default: the local date and time
    QString programDir;                       // default: the executable's folder
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
    tessivo::TRainflowRun& RainflowRun() { return *m_run; }
    const tessivo::TCycleTable& CycleTable() const { return *m_table; }
    std::int32_t CycleCount() const { return m_cycleCount; }
    // True while Open or Execute is under way.
    bool CommandRunning() const { return m_commandRunning; }
    Notifier& notifier() { return *m_notifier; }

    // The parameter controls into the run record: Normalize, UseLoadBins,
    // BinCount, Decomposition, then FilterSize, which throws AppError when
    // the filter text is not a number (the fields before it keep their values).
    void ControlsToRun();
    // The run record's parameters into the controls.
    void RunToControls();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Handlers, one per event.
    void FormCreate();
    void btExecuteClick();
    void btOpenSeqFileClick();
    void FormShow();
    void FormClose();
    void Print1Click();
    void Copy1Click();
    void Save1Click();
    void lbAboutClick();
    void showReportMenu(const QPoint& position);

    // Runs a handler's body; an escaping error goes to the general error box
    // with its full stop. False when the body failed.
    bool guarded(const std::function<void()>& body);
    // Runs Open or Execute: ignored while one is under way; a close asked
    // for meanwhile follows once the message loop has the window again.
    void runCommand(const std::function<void()>& body);
    bool runModal(QDialog& dialog);
    std::string reportDecimalSeparator() const;
    void saveReport(const QString& fileName);

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

    QString storePath() const;

    MainWindowSeams m_seams;
    std::unique_ptr<Notifier> m_ownNotifier;
    Notifier* m_notifier = nullptr;
    std::unique_ptr<tessivo::TRainflowRun> m_run;
    std::unique_ptr<tessivo::TCycleTable> m_table;
    std::int32_t m_cycleCount = 0;
    std::unique_ptr<QPrinter> m_printer;
    bool m_commandRunning = false;
    bool m_closeRequested = false;
    QString m_workDir;
    QString m_userDir;
    bool m_shown = false;

public:
    // Components, named as in the layout (owned by the window).
    QFrame* pnlLogo = nullptr;
    QLabel* imLogo = nullptr;
    LinkLabel* lbAbout = nullptr;
    QFrame* pnlInput = nullptr;
    QGroupBox* gbSequenceFile = nullptr;
    QPushButton* btOpenSeqFile = nullptr;
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
    QFrame* pnlExecute = nullptr;
    QGroupBox* gbExecute = nullptr;
    QPushButton* btExecute = nullptr;
    QFrame* pnlResults = nullptr;
    QGroupBox* gbResults = nullptr;
    ReportPane* reReport = nullptr;
    QMenu* pumResults = nullptr;
    QAction* Print1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Save1 = nullptr;
    QFileDialog* dlgOpenSeq = nullptr;
    QFileDialog* dlgSave = nullptr;
    QPrintDialog* dlgPrint = nullptr;
    morvane::TWinRestorer* wrMain = nullptr;
};
