#include "channels/channel_list_window.h"

#include "support/background_run.h"
#include "support/error_guard.h"

#include "engine/fatigue/sn_presets.h"
#include "engine/run/choices.h"
#include "engine/run/errors.h"
#include "engine/run/number_text.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <stdexcept>

// What the counting thread and the window share.
struct ChannelListWindow::CountJob {
    QString fileName;
    tessivo::CountRequest request;
    tessivo::FatigueRequest fatigue;
    std::vector<ChannelFigures> rows;
};

ChannelListWindow::ChannelListWindow(QWidget* parent, std::function<void(const QString&)> reportError,
                                     QChar decimalSeparator)
    : QWidget(parent, Qt::Window)
    , m_reportError(std::move(reportError))
    , m_decimalSeparator(decimalSeparator)
{
    setObjectName(QStringLiteral("frmChannels"));
    setWindowTitle(QStringLiteral("Channels"));
    resize(760, 420);

    m_fileLabel = new QLabel(this);
    m_fileLabel->setTextFormat(Qt::PlainText);
    curveBox = new QComboBox(this);
    curveBox->setObjectName(QStringLiteral("cbChannelCurve"));
    curveBox->addItem(QStringLiteral("(none)"));
    for (const std::string& name : tessivo::presetNames())
        curveBox->addItem(QString::fromStdString(name));
    delEdit = new QLineEdit(this);
    delEdit->setObjectName(QStringLiteral("edChannelDel"));
    delEdit->setPlaceholderText(QStringLiteral("e.g. 3; 5"));
    delEdit->setToolTip(QStringLiteral("Exponents m of the damage-equivalent loads, separated by spaces or \";\""));
    countButton = new QPushButton(QStringLiteral("Count"), this);
    countButton->setObjectName(QStringLiteral("btChannelCount"));
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("btChannelCancel"));
    cancelButton->hide();
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("pbChannels"));
    progressBar->setRange(0, 1000);
    progressBar->setTextVisible(false);
    progressBar->hide();
    table = new QTableWidget(this);
    table->setObjectName(QStringLiteral("tbChannels"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->setToolTip(QStringLiteral("Double-click a channel to open it and show its report"));

    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(QStringLiteral("S-N curve:"), this));
    choices->addWidget(curveBox);
    choices->addSpacing(12);
    choices->addWidget(new QLabel(QStringLiteral("DEL exponents m:"), this));
    choices->addWidget(delEdit);
    choices->addWidget(countButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fileLabel);
    layout->addLayout(choices);
    auto* waiting = new QHBoxLayout;
    waiting->addWidget(progressBar, 1);
    waiting->addWidget(cancelButton);
    layout->addLayout(waiting);
    layout->addWidget(table);
    m_run = std::make_unique<BackgroundRun>(countButton, cancelButton, progressBar);

    connect(countButton, &QPushButton::clicked, this, &ChannelListWindow::recount);
    connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 0 && row < static_cast<int>(m_channels.size()) && m_channels[row].passedOver.isEmpty())
            emit channelChosen(m_channels[static_cast<std::size_t>(row)]);
    });
}

ChannelListWindow::~ChannelListWindow() = default;

bool ChannelListWindow::counting() const
{
    return m_run->running();
}

tessivo::FatigueRequest ChannelListWindow::fatigueRequest() const
{
    tessivo::FatigueRequest fatigue;
    if (curveBox->currentIndex() > 0) {
        const std::string name = curveBox->currentText().toStdString();
        if (const tessivo::fatigue::SnPreset* preset = tessivo::fatigue::findSnPreset(name)) {
            fatigue.settings.curve = preset->definition;
            fatigue.curveText = "preset:" + name;
        }
    }
    // Spaces or semicolons part the exponents, so that a comma can be the decimal separator.
    static const QRegularExpression kSeparators(QStringLiteral("[\\s;]+"));
    for (const QString& item : delEdit->text().split(kSeparators, Qt::SkipEmptyParts)) {
        long double m = 0.0L;
        const std::string written = item.toStdString();
        // The user's separator, or the point that the command line takes.
        const bool read =
            tessivo::parseDecimal(written, m, m_decimalSeparator.toLatin1()) || tessivo::parseDecimal(written, m, '.');
        if (!read || !std::isfinite(m))
            throw std::invalid_argument("'" + written + "' is not an exponent m");
        fatigue.settings.delExponents.push_back(m);
    }
    return fatigue;
}

void ChannelListWindow::countFile(const QString& fileName, const tessivo::CountRequest& request)
{
    m_run->discard(); // the rows of the file before are not shown
    m_fileName = fileName;
    m_request = request;
    m_request.workDir.reset(); // the document's work files stay its own
    m_channels.clear();
    table->clear();
    table->setRowCount(0);
    m_fileLabel->setText(fileName);
    setWindowTitle(QStringLiteral("Channels - ") + QFileInfo(fileName).fileName());
    recount();
}

void ChannelListWindow::recount()
{
    if (m_fileName.isEmpty())
        return;
    if (m_run->running()) {
        // The count under way ends first; one more follows it.
        m_run->whenEnded([this] { recount(); });
        return;
    }
    auto job = std::make_shared<CountJob>();
    job->fileName = m_fileName;
    job->request = m_request;
    const bool valid = runGuarded([&] { job->fatigue = fatigueRequest(); },
                                  [this](const QString& message, const QString&) { m_reportError(message); });
    if (!valid)
        return;
    m_run->start(
        [job, run = m_run.get()] {
            job->rows = countChannels(job->fileName, job->request, job->fatigue,
                                      [run](int permille) { return run->progress(permille, 1000); });
        },
        [this, job](std::exception_ptr error, bool superseded) { countStopped(*job, error, superseded); }, 1000);
}

void ChannelListWindow::countStopped(CountJob& job, std::exception_ptr error, bool superseded)
{
    runGuarded(
        [&] {
            if (superseded)
                return;
            if (error) {
                try {
                    std::rethrow_exception(error);
                } catch (const tessivo::RunCancelled&) {
                    return; // the user's choice: the rows before stay
                }
            }
            m_channels = std::move(job.rows);
            showRows(job.fatigue);
        },
        [this](const QString& message, const QString& detail) {
            m_reportError(detail.isEmpty() ? message : message + u'\n' + detail);
        });
    emit counted();
}

void ChannelListWindow::showRows(const tessivo::FatigueRequest& fatigue)
{
    const QStringList headings = channelHeadings(fatigue);
    table->clear();
    table->setColumnCount(static_cast<int>(headings.size()));
    table->setHorizontalHeaderLabels(headings);
    table->setRowCount(static_cast<int>(m_channels.size()));
    const std::string separator = QString(m_decimalSeparator).toStdString();
    for (int row = 0; row < table->rowCount(); ++row) {
        const ChannelFigures& channel = m_channels[static_cast<std::size_t>(row)];
        const QStringList cells = channelRowTexts(channel, fatigue, separator);
        for (int column = 0; column < cells.size(); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!channel.passedOver.isEmpty())
                item->setToolTip(channel.passedOver);
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
}
