#include "channels/channel_list_window.h"

#include "support/error_guard.h"
#include "support/wait_cursor.h"

#include "engine/fatigue/sn_presets.h"
#include "engine/run/choices.h"
#include "engine/run/number_text.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <stdexcept>

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
    layout->addWidget(table);

    connect(countButton, &QPushButton::clicked, this, &ChannelListWindow::recount);
    connect(table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 0 && row < static_cast<int>(m_channels.size()) && m_channels[row].passedOver.isEmpty())
            emit channelChosen(m_channels[static_cast<std::size_t>(row)]);
    });
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
    m_fileName = fileName;
    m_request = request;
    m_request.workDir.reset(); // the document's work files stay its own
    m_fileLabel->setText(fileName);
    setWindowTitle(QStringLiteral("Channels - ") + QFileInfo(fileName).fileName());
    recount();
}

void ChannelListWindow::recount()
{
    if (m_fileName.isEmpty())
        return;
    runGuarded(
        [this] {
            const tessivo::FatigueRequest fatigue = fatigueRequest();
            const WaitCursor wait;
            m_channels = countChannels(m_fileName, m_request, fatigue);
            showRows(fatigue);
        },
        [this](const QString& message, const QString& detail) {
            m_reportError(detail.isEmpty() ? message : message + u'\n' + detail);
        });
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
