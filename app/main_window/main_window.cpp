#include "main_window/main_window.h"

#include "support/error_guard.h"

#include "support/app_error.h"
#include "edit_float.h"
#include "float_text.h"
#include "engine/run/choices.h"
#include "engine/run/errors.h"
#include "registry_key.h"
#include "report/report_pane.h"
#include "support/settings_store.h"
#include "spectrum/spectrum_plot_window.h"
#include "win_restorer.h"
#include "window_frame.h"
#include "main_window/work_dir.h"
#include "engine/run/work_folder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QRadioButton>

namespace {

// The load-bin box's items in order, with the bin count each stands for.
// The items of cbLoadBinSize: the engine's bin counts, in its order.
int binCountAt(int index)
{
    return tessivo::binCountChoices()[static_cast<std::size_t>(index)].value;
}
const int kBinCountItems = static_cast<int>(tessivo::binCountChoices().size());

int binCountOfItem(int index)
{
    return index >= 0 && index < kBinCountItems ? binCountAt(index) : binCountAt(0);
}

int itemOfBinCount(int binCount)
{
    for (int i = 0; i < kBinCountItems; ++i) {
        if (binCountAt(i) == binCount)
            return i;
    }
    return 0;
}

// The editable box keeps its last index while the user types a text of his
// own; only a text that names an item selects it.
int selectedItem(const QComboBox* box)
{
    return box->findText(box->currentText(), Qt::MatchExactly);
}

} // namespace

TfrmMain::TfrmMain(MainWindowSeams seams, QWidget* parent)
    : QWidget(parent)
    , m_seams(std::move(seams))
    , m_document(new CountDocument(this))
{
    m_ownNotifier = m_seams.notifier ? nullptr : std::make_unique<MessageBoxNotifier>(this);
    m_notifier = m_seams.notifier ? m_seams.notifier : m_ownNotifier.get();
    createWindow();
    createLogoPanel();
    createInputPanel();
    createParameterPanel();
    createExecutePanel();
    createResultsPanel();
    createDialogs();
    setTabOrders();
    connectEvents();
    createShortcuts();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

QString TfrmMain::storePath() const
{
    return m_seams.storePath.isEmpty() ? morvane::RegistryKey::defaultStorePath() : m_seams.storePath;
}

bool TfrmMain::guarded(const std::function<void()>& body)
{
    return runGuarded(
        body, [this](const QString& message, const QString& detail) { m_notifier->generalError(message, detail); });
}

void TfrmMain::runCommand(const std::function<void()>& body)
{
    if (m_commandRunning)
        return;
    m_commandRunning = true;
    guarded(body);
    m_commandRunning = false;
    if (m_closeRequested) {
        m_closeRequested = false;
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    }
}

bool TfrmMain::runModal(QDialog& dialog)
{
    if (m_seams.runModal)
        return m_seams.runModal(dialog);
    return dialog.exec() == QDialog::Accepted;
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    guarded([this] { FormShow(); });
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    if (m_commandRunning) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    if (guarded([this] { FormClose(); }))
        event->accept();
    else
        event->ignore();
}

void TfrmMain::FormCreate()
{
    wrMain->setRegistryPath(kApplicationKey);
    wrMain->setStorePath(m_seams.storePath);
}

void TfrmMain::FormShow()
{
    morvane::moveFrameTo(this, QPoint(100, 100));
    wrMain->Restore(this, {morvane::TWhatSave::location});
    // A stored position can lie off every screen (a monitor since removed):
    // the title bar comes back onto one, so that the window can be moved.
    morvane::keepTitleBarOnScreen(this);
    claimWorkDir();
    m_document->setWorkDir(m_workDir);
    lbSeqFile->clear();
    wrMain->Save(this);
    m_document->resetRun();
    m_userDir = LoadSettings(m_document->run(), m_workDir, storePath());
    m_document->setUnlimited(LoadUnlimited(storePath()));
    m_lastDir = LoadLastFolder(storePath());
    RunToControls();
    if (!m_userDir.isEmpty())
        dlgOpenSeq->setDirectory(m_userDir);
}

void TfrmMain::FormClose()
{
    ControlsToRun();
    wrMain->Save(this);
    StoreSettings(m_document->run(), m_userDir, storePath());
    StoreLastFolder(m_lastDir, storePath());
    StoreOptIns(m_document->run(), m_document->unlimited(), storePath());
}

void TfrmMain::ControlsToRun()
{
    tessivo::TRainflowRun& run = m_document->run();
    run.Normalize = cbNormalize->isChecked();
    run.UseLoadBins = cbMatrix->isChecked();
    run.BinCount = binCountOfItem(selectedItem(cbLoadBinSize));
    run.Decomposition = rbDecomposition->isChecked();
    run.HalfCycles = rbHalf->isChecked();
    m_document->setUnlimited(cbUnlimited->isChecked());
    run.FilterSize = filterFromText(edFilter->text(), edFilter->decimalSeparator());
}

void TfrmMain::RunToControls()
{
    const tessivo::TRainflowRun& run = m_document->run();
    edFilter->setText(filterSizeText(run.FilterSize, edFilter->decimalSeparator()));
    cbNormalize->setChecked(run.Normalize);
    cbMatrix->setChecked(run.UseLoadBins);
    cbLoadBinSize->setCurrentIndex(itemOfBinCount(run.BinCount));
    rbDecomposition->setChecked(run.Decomposition);
    rbUpward->setChecked(!run.Decomposition && !run.HalfCycles);
    rbHalf->setChecked(!run.Decomposition && run.HalfCycles);
    cbUnlimited->setChecked(m_document->unlimited());
}

void TfrmMain::showReportMenu(const QPoint& position)
{
    pumResults->popup(reReport->viewport()->mapToGlobal(position));
}
