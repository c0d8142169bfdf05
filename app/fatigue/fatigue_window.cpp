#include "fatigue/fatigue_window.h"

#include "fatigue/fatigue_rows_model.h"
#include "fatigue/lifetime_panel.h"

#include "support/app_error.h"
#include "support/wait_cursor.h"
#include "support/error_guard.h"
#include "document/count_document.h"
#include "support/app_identity.h"
#include "charts/chart_view.h"
#include "support/file_dialogs.h"
#include "support/file_saving.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/run/errors.h"
#include "engine/fatigue/sn_presets.h"
#include "engine/run/choices.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace tessivo::fatigue;

namespace {

// Numbers in exported files: to double precision, without the last digits
// of long double that only the arithmetic put there.
QByteArray csvNumber(long double v)
{
    return QByteArray::fromStdString(fatigueNumberText(v, 15));
}

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

FatigueWindow::FatigueWindow(QWidget* owner, FatigueWindowSeams seams)
    : ChartWindow(owner, ChartWindowSeams{seams.runModal, seams.reportError})
    , m_seams(std::move(seams))
{
    setObjectName(QStringLiteral("frmFatigue"));
    setWindowTitle(QStringLiteral("Fatigue"));
    createControls();
    setChoices(loadFatigueChoices(m_seams.storePath));
    connectChoices();
    connectCsvSave(btExportCsv, QStringLiteral("fatigue"), &FatigueWindow::saveCsv);
    connectCsvSave(btSaveSummary, QStringLiteral("fatigue summary"), &FatigueWindow::saveSummary);
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
    connect(tabResults, &QTabWidget::currentChanged, this, [this] { showOtherCount(); });
    connect(cbOtherCount, &QComboBox::currentIndexChanged, this, [this] { showOtherCount(); });
    recompute();
}

void FatigueWindow::connectCsvSave(QPushButton* button, const QString& what,
                                   void (FatigueWindow::*save)(const QString& fileName) const)
{
    connect(button, &QPushButton::clicked, this, [this, what, save] {
        guarded([this, &what, save] {
            const QString fileName =
                chooseFile(QStringLiteral("CSV file (*.csv)"), QStringLiteral("csv"), proposedBaseName(m_source, what));
            if (!fileName.isEmpty())
                (this->*save)(fileName);
        });
    });
}

FatigueWindow::~FatigueWindow()
{
    try {
        storeChoices();
    } catch (...) {
        // The program is closing: a store that cannot be written keeps the old choices.
    }
}

void FatigueWindow::createControls()
{
    m_rows = new FatigueRowsModel(m_seams.decimalSeparator, this);
    tvRows = named(new QTableView(this), "tvRows");
    tvRows->setModel(m_rows);
    tvRows->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tvRows->verticalHeader()->setDefaultSectionSize(20);
    tvRows->setSelectionBehavior(QAbstractItemView::SelectRows);
    connect(tvRows->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit cycleLineSelected(current.row() + 1);
            });
    vwSnCurve =
        named(new ChartView([this](QPainter& p, const QRectF& r) { paintSnChart(p, r, m_chart); }), "vwSnCurve");
    tabResults = named(new QTabWidget(this), "tabResults");
    tabResults->addTab(tvRows, QStringLiteral("Cycles"));
    tabResults->addTab(vwSnCurve, QStringLiteral("S-N plot"));
    tabResults->addTab(createOtherCounts(), QStringLiteral("Other counts"));
    tabResults->addTab(createLifetime(), QStringLiteral("Lifetime"));

    auto* top = new QHBoxLayout;
    top->addWidget(createChoices(), 3);
    top->addWidget(createDesign(), 3);
    top->addWidget(createTotals(), 3);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](QPushButton*& target, const char* name, const QString& caption) {
        target = named(new QPushButton(caption, this), name);
        buttons->addWidget(target);
    };
    button(btExportCsv, "btExportCsv", QStringLiteral("Export CSV..."));
    button(btSaveSummary, "btSaveSummary", QStringLiteral("Save summary..."));
    dlgSave = named(new QFileDialog(this), "dlgSave");
    addChartButtons(buttons, dlgSave);
    buttons->addStretch();
    button(btClose, "btClose", QStringLiteral("Close"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabResults, 1);
    layout->addLayout(buttons);

    resize(1080, 840);
}

QWidget* FatigueWindow::createChoices()
{
    auto* box = new QGroupBox(QStringLiteral("S-N curve and material"), this);
    auto* form = new QFormLayout(box);
    cbCurve = named(new QComboBox(box), "cbCurve");
    // The longest descriptions would take the room of the code check beside.
    cbCurve->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbCurve->setMinimumContentsLength(24);
    cbCurve->addItem(QStringLiteral("Own values"), QString());
    for (const SnPreset& preset : snPresets())
        cbCurve->addItem(QString::fromStdString(preset.name + "  " + preset.description),
                         QString::fromStdString(preset.name));
    form->addRow(QStringLiteral("S-N curve:"), cbCurve);
    edOwnCurve = named(new QLineEdit(box), "edOwnCurve");
    edOwnCurve->setToolTip(QStringLiteral("m=3,logA=12%1164 or m=5,S=100,N=2e6 with knee=same|cutoff|haibach or m2=5, "
                                          "Nknee=, Ncut=")
                               .arg(m_seams.decimalSeparator));
    form->addRow(QStringLiteral("Own curve:"), edOwnCurve);
    cbMeasure = named(new QComboBox(box), "cbMeasure");
    for (const auto& measure : tessivo::measureChoices())
        cbMeasure->addItem(QString::fromLatin1(measure.label), QString::fromLatin1(measure.name));
    form->addRow(QStringLiteral("S is the:"), cbMeasure);
    cbMeanStress = named(new QComboBox(box), "cbMeanStress");
    cbMeanStress->addItem(QString::fromStdString(meanStressLabel(MeanStressMethod::None)),
                          QString::fromStdString(meanStressName(MeanStressMethod::None)));
    for (const auto& method : tessivo::meanStressChoices())
        cbMeanStress->addItem(QString::fromUtf8(method.label), QString::fromLatin1(method.name));
    form->addRow(QStringLiteral("Mean-stress correction:"), cbMeanStress);
    lbMaterial = named(new QLabel(QStringLiteral("Material value:"), box), "lbMaterial");
    edMaterial = named(new QLineEdit(box), "edMaterial");
    form->addRow(lbMaterial, edMaterial);
    edDel = named(new QLineEdit(box), "edDel");
    form->addRow(QStringLiteral("DEL exponents m:"), edDel);
    edNeq = named(new QLineEdit(box), "edNeq");
    form->addRow(QStringLiteral("DEL cycles N_eq:"), edNeq);
    edDelFrequency = named(new QLineEdit(box), "edDelFrequency");
    edDelFrequency->setPlaceholderText(QStringLiteral("Hz; empty: N_eq as above"));
    edDelFrequency->setToolTip(QStringLiteral("--del-frequency: N_eq is this frequency times the sequence duration"));
    form->addRow(QStringLiteral("DEL frequency:"), edDelFrequency);
    edDuration = named(new QLineEdit(box), "edDuration");
    edDuration->setPlaceholderText(QStringLiteral("seconds; empty: life in repetitions only"));
    form->addRow(QStringLiteral("Sequence duration:"), edDuration);
    return box;
}

QWidget* FatigueWindow::createOtherCounts()
{
    pgOtherCounts = named(new QWidget(this), "pgOtherCounts");
    auto* layout = new QVBoxLayout(pgOtherCounts);
    cbOtherCount = named(new QComboBox(pgOtherCounts), "cbOtherCount");
    for (const OtherCount kind : {OtherCount::LevelCrossings, OtherCount::RangePairs, OtherCount::TimeAtLevel})
        cbOtherCount->addItem(otherCountTitle(kind), static_cast<int>(kind));
    vwOtherCount = named(new ChartView([this](QPainter& p, const QRectF& r) {
                             paintOtherCount(p, r, m_otherCount, m_seams.decimalSeparator);
                         }),
                         "vwOtherCount");
    layout->addWidget(cbOtherCount, 0, Qt::AlignLeft);
    layout->addWidget(vwOtherCount, 1);
    return pgOtherCounts;
}

QWidget* FatigueWindow::createTotals()
{
    auto* box = new QGroupBox(QStringLiteral("Results"), this);
    auto* layout = new QVBoxLayout(box);
    lbLoads = named(new QLabel(box), "lbLoads");
    lbLoads->setWordWrap(true);
    lbStatus = named(new QLabel(box), "lbStatus");
    lbStatus->setWordWrap(true);
    lbStatus->setStyleSheet(QStringLiteral("color: #b00000"));
    lbTotals = named(new QLabel(box), "lbTotals");
    lbTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    twDel = named(new QTableWidget(0, 2, box), "twDel");
    twDel->setHorizontalHeaderLabels({QStringLiteral("m"), QStringLiteral("Damage-equivalent load")});
    twDel->horizontalHeader()->setStretchLastSection(true);
    twDel->verticalHeader()->hide();
    twDel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Room kept for the longest texts, so that the table below stays put
    // while the results change.
    const int line = fontMetrics().lineSpacing();
    for (auto [label, lines] : {std::pair{lbLoads, 2}, std::pair{lbStatus, 3}, std::pair{lbTotals, 4}}) {
        label->setFixedHeight(lines * line + 2);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    layout->addWidget(lbLoads);
    layout->addWidget(lbStatus);
    layout->addWidget(lbTotals);
    layout->addWidget(twDel, 1);
    return box;
}

void FatigueWindow::connectChoices()
{
    const auto changed = [this] {
        if (!m_settingChoices)
            recompute();
    };
    connect(cbCurve, &QComboBox::currentIndexChanged, this, changed);
    connect(cbMeasure, &QComboBox::currentIndexChanged, this, changed);
    connect(cbMeanStress, &QComboBox::currentIndexChanged, this, changed);
    for (QLineEdit* edit :
         {edOwnCurve, edLoadFactor, edScf, edGammaFf, edGammaMf, edDff, edThickness, edThicknessRef,
          edThicknessExponent, edSizeFactor, edCompressiveShare, edMaterial, edDel, edNeq, edDelFrequency, edDuration})
        connect(edit, &QLineEdit::textChanged, this, changed);
    // The lifetime's own entries change no result on show but the lifetime's.
    for (QLineEdit* edit : {pgLifetime->edWeights, pgLifetime->edDesignLife, pgLifetime->edLifetimeColumn,
                            pgLifetime->edRecordingDuration})
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!m_settingChoices)
                checkLifetime(choices());
        });
}

FatigueChoices FatigueWindow::choices() const
{
    FatigueChoices c;
    c.preset = cbCurve->currentData().toString();
    c.ownCurve = edOwnCurve->text();
    c.amplitude = cbMeasure->currentIndex() == 1;
    c.meanStress = cbMeanStress->currentData().toString();
    c.material = edMaterial->text();
    c.delExponents = edDel->text();
    c.equivalentCycles = edNeq->text();
    c.duration = edDuration->text();
    c.delFrequency = edDelFrequency->text();
    c.loadFactor = edLoadFactor->text();
    c.scf = edScf->text();
    c.gammaFf = edGammaFf->text();
    c.gammaMf = edGammaMf->text();
    c.dff = edDff->text();
    c.thickness = edThickness->text();
    c.thicknessRef = edThicknessRef->text();
    c.thicknessExponent = edThicknessExponent->text();
    c.sizeFactor = edSizeFactor->text();
    c.compressiveShare = edCompressiveShare->text();
    c.lifetimeWeights = pgLifetime->edWeights->text();
    c.designLife = pgLifetime->edDesignLife->text();
    c.lifetimeColumn = pgLifetime->edLifetimeColumn->text();
    c.recordingDuration = pgLifetime->edRecordingDuration->text();
    return c;
}

void FatigueWindow::setChoices(const FatigueChoices& c)
{
    m_settingChoices = true;
    const int curve = cbCurve->findData(c.preset);
    cbCurve->setCurrentIndex(curve >= 0 ? curve : 0);
    edOwnCurve->setText(c.ownCurve);
    // A curve longer than the field reads from its start, not its end.
    edOwnCurve->setCursorPosition(0);
    cbMeasure->setCurrentIndex(c.amplitude ? 1 : 0);
    const int method = cbMeanStress->findData(c.meanStress);
    cbMeanStress->setCurrentIndex(method >= 0 ? method : 0);
    edMaterial->setText(c.material);
    edDel->setText(c.delExponents);
    edNeq->setText(c.equivalentCycles);
    edDuration->setText(c.duration);
    edDelFrequency->setText(c.delFrequency);
    edLoadFactor->setText(c.loadFactor);
    edScf->setText(c.scf);
    edGammaFf->setText(c.gammaFf);
    edGammaMf->setText(c.gammaMf);
    edDff->setText(c.dff);
    edThickness->setText(c.thickness);
    edThicknessRef->setText(c.thicknessRef);
    edThicknessExponent->setText(c.thicknessExponent);
    edSizeFactor->setText(c.sizeFactor);
    edCompressiveShare->setText(c.compressiveShare);
    pgLifetime->edWeights->setText(c.lifetimeWeights);
    pgLifetime->edDesignLife->setText(c.designLife);
    pgLifetime->edLifetimeColumn->setText(c.lifetimeColumn);
    pgLifetime->edRecordingDuration->setText(c.recordingDuration);
    m_settingChoices = false;
    recompute();
}

void FatigueWindow::observe(CountDocument* document)
{
    m_document = document;
    const auto show = [this, document] {
        if (document->hasCount())
            setInputs(document->fatigueInputs());
    };
    connect(document, &CountDocument::counted, this, show);
    show();
}

void FatigueWindow::setInputs(const FatigueInputs& inputs)
{
    if (inputs.source != m_source) {
        m_settingChoices = true;
        edDuration->setText(inputs.duration ? numberText(*inputs.duration) : QString());
        m_settingChoices = false;
    }
    m_source = inputs.source;
    m_loadUnit = inputs.loadUnit;
    m_countDuration = inputs.duration;
    m_values = inputs.values;
    m_valuesRead.reset();
    m_otherCountKey.reset();
    setCycles(inputs.cycles, inputs.classEdges, inputs.source);
}

void FatigueWindow::setCycles(std::vector<FatigueCycle> cycles, bool classEdges, const QString& source)
{
    m_cycles = std::move(cycles);
    m_classEdges = classEdges;
    setWindowTitle(source.isEmpty() ? QStringLiteral("Fatigue") : QStringLiteral("Fatigue - ") + source);
    recompute();
}

void FatigueWindow::recompute()
{
    const FatigueChoices c = choices();
    edOwnCurve->setEnabled(c.preset.isEmpty());
    showDesignHints(c);
    checkLifetime(c);
    const QString valueName =
        materialValueName(meanStressFromName(c.meanStress.toStdString()).value_or(MeanStressMethod::None));
    lbMaterial->setText(valueName.isEmpty() ? QStringLiteral("Material value:") : valueName + u':');
    edMaterial->setEnabled(!valueName.isEmpty());
    const QString unit = m_loadUnit.isEmpty() ? QString() : QStringLiteral(", in ") + m_loadUnit;
    lbLoads->setText(m_classEdges ? QStringLiteral("Loads: the class edges of the load bins, as read and scaled "
                                                   "(never normalised)%1.")
                                        .arg(unit)
                                  : QStringLiteral("Loads: as read and scaled (never normalised)%1.").arg(unit));
    m_rows->setResult(nullptr);
    m_result.reset();
    m_chart = SnChartData{};
    m_chart.amplitude = c.amplitude;
    edNeq->setEnabled(c.delFrequency.trimmed().isEmpty());
    const FatigueSettingsRead read = readFatigueSettings(c, m_seams.decimalSeparator);
    m_settings = read.settings;
    QStringList problems = read.problems;
    // A bad factor of the code check would leave every result off by that
    // factor: none is shown until it is mended.
    if (read.designRead) {
        try {
            if (m_settings->curve)
                m_chart.curve = SnCurve(*m_settings->curve);
            m_result = analyseFatigue(m_cycles, *m_settings);
            if (m_settings->curve) {
                for (const FatigueRow& row : m_result->rows)
                    m_chart.steps.push_back({row.load, static_cast<long double>(row.cycle.count)});
            }
        } catch (const FatigueError& e) {
            m_result.reset();
            problems << QString::fromUtf8(e.what());
        }
    }
    for (QString& problem : problems)
        problem = withFullStop(problem);
    lbStatus->setText(problems.join(u'\n'));
    m_rows->setResult(m_result ? &*m_result : nullptr);
    showTotals();
    showCheck();
    vwSnCurve->update();
    showOtherCount();
}

// The count beside rainflow is worked out when its tab is on show, over the
// values read once per count.
void FatigueWindow::showOtherCount()
{
    if (tabResults->currentWidget() != pgOtherCounts)
        return;
    const auto kind = static_cast<OtherCount>(cbOtherCount->currentData().toInt());
    guarded([this, kind] {
        if (!m_valuesRead && m_values) {
            const WaitCursor wait;
            // Read once per count: a work file that cannot be read is reported once, not at every keystroke.
            m_valuesRead.emplace();
            *m_valuesRead = m_values();
        }
        const std::vector<long double> none;
        const std::vector<long double>& values = m_valuesRead ? *m_valuesRead : none;
        // Each value stands for the sampling interval: the duration over the steps between them.
        const std::optional<long double> duration =
            m_settings && m_settings->duration ? m_settings->duration : std::optional<long double>(m_countDuration);
        const double interval = duration && values.size() >= 2
                                    ? static_cast<double>(*duration) / static_cast<double>(values.size() - 1)
                                    : 0.0;
        // Choices that do not change this count (every other keystroke) leave it as it is.
        const OtherCountKey key{kind, interval, m_valuesRead.has_value() ? &*m_valuesRead : nullptr};
        if (m_otherCountKey == key)
            return;
        m_otherCountKey.reset();
        m_otherCount = OtherCountData{};
        m_otherCount = otherCountOf(kind, values, 32, interval);
        m_otherCount.loadUnit = m_loadUnit;
        m_otherCountKey = key;
    });
    vwOtherCount->update();
}

QString FatigueWindow::numberText(long double v) const
{
    return m_rows->numberText(v);
}

void FatigueWindow::showTotals()
{
    twDel->setRowCount(0);
    // With a stress factor or SCF the equivalent loads are stresses, as tessivo-count gives them.
    const bool stresses = m_settings && (m_settings->design.stressFactor != 1.0L || m_settings->design.scf != 1.0L);
    twDel->setHorizontalHeaderLabels({QStringLiteral("m"), stresses ? QStringLiteral("Damage-equivalent stress")
                                                                    : QStringLiteral("Damage-equivalent load")});
    lbTotals->setText(totalLines().join(u'\n'));
    if (!m_result)
        return;
    for (const DelValue& del : m_result->totals.del) {
        const int row = twDel->rowCount();
        twDel->insertRow(row);
        twDel->setItem(row, 0, new QTableWidgetItem(numberText(del.m)));
        twDel->setItem(row, 1, new QTableWidgetItem(numberText(del.value)));
    }
}

QStringList FatigueWindow::totalLines() const
{
    if (!m_result)
        return {};
    const FatigueTotals& t = m_result->totals;
    QStringList lines;
    if (m_settings && m_settings->curve) {
        lines << QStringLiteral("Damage D = ") + numberText(t.damage)
              << QStringLiteral("Life = ")
                     + (std::isfinite(t.life)
                            ? numberText(t.life) + QStringLiteral(" repetitions of the counted sequence")
                            : QStringLiteral("unlimited (no damage)"));
        if (t.lifeHours && std::isfinite(*t.lifeHours))
            lines << QStringLiteral("Life = ") + numberText(*t.lifeHours) + QStringLiteral(" hours");
    } else {
        lines << QStringLiteral("Damage: no S-N curve");
    }
    lines << QStringLiteral("Cycles counted: ") + numberText(t.cycles);
    return lines;
}

QStringList FatigueWindow::checkLines() const
{
    if (!m_result || !m_result->totals.check)
        return {};
    const DesignCheck& d = *m_result->totals.check;
    return {QStringLiteral("Check:\t") + (d.passes ? QStringLiteral("passes") : QStringLiteral("fails")),
            QStringLiteral("Utilisation:\t") + numberText(d.utilisation),
            QStringLiteral("Design damage:\t") + numberText(d.designDamage)};
}

QStringList FatigueWindow::settingLines() const
{
    const FatigueChoices c = choices();
    const QString unit = m_loadUnit.isEmpty() ? QString() : QStringLiteral(" (") + m_loadUnit + u')';
    QStringList lines{QStringLiteral("S-N curve:\t")
                          + (c.preset.isEmpty() ? c.ownCurve.trimmed() : cbCurve->currentText()),
                      QStringLiteral("S is the:\t") + cbMeasure->currentText(),
                      QStringLiteral("Mean-stress correction:\t") + cbMeanStress->currentText()};
    if (edMaterial->isEnabled() && !c.material.trimmed().isEmpty())
        lines << lbMaterial->text() + u'\t' + c.material.trimmed();
    if (m_settings && m_settings->duration)
        lines << QStringLiteral("Sequence duration:\t") + numberText(*m_settings->duration) + QStringLiteral(" s");
    if (m_settings && !m_settings->delExponents.empty())
        lines << QStringLiteral("DEL cycles N_eq:\t") + numberText(m_settings->equivalentCycles);
    lines << designLines();
    if (!unit.isEmpty())
        lines << QStringLiteral("Load unit:\t") + m_loadUnit;
    return lines;
}

QStringList FatigueWindow::reportLines() const
{
    if (!m_result)
        return {};
    QStringList lines{QStringLiteral("Fatigue")};
    lines << settingLines() << checkLines() << totalLines();
    for (const DelValue& del : m_result->totals.del)
        lines << QStringLiteral("DEL m = %1:\t%2").arg(numberText(del.m), numberText(del.value));
    return lines;
}

QByteArray FatigueWindow::rowsCsv() const
{
    QByteArray csv("range,upper,lower,count,load,allowed,damage,share\n");
    if (!m_result)
        return csv;
    const long double total = m_result->totals.damage;
    for (const FatigueRow& row : m_result->rows) {
        const long double share = total > 0.0L ? 100.0L * row.damage / total : 0.0L;
        for (long double v : {row.cycle.range, row.cycle.upper, row.cycle.lower,
                              static_cast<long double>(row.cycle.count), row.load, row.allowed, row.damage, share}) {
            csv += csvNumber(v);
            csv += ',';
        }
        csv.back() = '\n';
    }
    return csv;
}

// What the results were worked out with and what they sum to, as
// "name,value" lines; numbers to double precision with a decimal point.
QByteArray FatigueWindow::summaryLines() const
{
    QByteArray csv;
    if (!m_result)
        return csv;
    const auto quoted = [](QString text) {
        text.replace(u'"', QStringLiteral("\"\""));
        return QByteArray("\"") + text.toUtf8() + '"';
    };
    for (const QString& line : settingLines())
        csv += quoted(line.section(u'\t', 0, 0).chopped(1)) + ',' + quoted(line.section(u'\t', 1)) + '\n';
    const FatigueTotals& t = m_result->totals;
    if (m_settings && m_settings->curve) {
        csv += "damage," + csvNumber(t.damage) + '\n';
        csv += "life (repetitions)," + csvNumber(t.life) + '\n';
        if (t.lifeHours)
            csv += "life (hours)," + csvNumber(*t.lifeHours) + '\n';
    }
    if (t.check) {
        csv += "design damage," + csvNumber(t.check->designDamage) + '\n';
        csv += "utilisation," + csvNumber(t.check->utilisation) + '\n';
        csv += QByteArray("check,") + (t.check->passes ? "passes" : "fails") + '\n';
    }
    csv += "cycles," + csvNumber(t.cycles) + '\n';
    for (const DelValue& del : t.del)
        csv += "DEL m=" + csvNumber(del.m) + ',' + csvNumber(del.value) + '\n';
    return csv;
}

// The table, then the summary after a blank line, so that a spreadsheet reads both.
QByteArray FatigueWindow::exportCsv() const
{
    QByteArray csv = rowsCsv();
    if (m_result)
        csv += '\n' + summaryLines();
    return csv;
}

// The summary alone, headed, with the sequence it is of.
QByteArray FatigueWindow::summaryCsv() const
{
    QString source = m_source;
    source.replace(u'"', QStringLiteral("\"\""));
    QByteArray csv = "name,value\n\"Sequence\",\"" + source.toUtf8() + "\"\n" + summaryLines();
    // The lifetime counted with these choices, its recordings after a blank line.
    if (m_lifetimeChoices)
        csv += pgLifetime->summaryCsv();
    return csv;
}

void FatigueWindow::saveSummary(const QString& fileName) const
{
    if (!m_result)
        throw AppError(QStringLiteral("There is no result to save: mend the entries that the window names first"));
    saveFileContent(fileName, summaryCsv());
}

void FatigueWindow::saveCsv(const QString& fileName) const
{
    saveFileContent(fileName, exportCsv());
}

ChartPainter FatigueWindow::shownChart() const
{
    return tabResults->currentWidget() == pgOtherCounts ? vwOtherCount->chart() : vwSnCurve->chart();
}

QString FatigueWindow::exportHeading() const
{
    const QString chart = tabResults->currentWidget() == pgOtherCounts
                              ? otherCountTitle(m_otherCount.kind)
                              : QStringLiteral("S-N curve and counted spectrum");
    return m_source.isEmpty() ? chart : chart + QStringLiteral(" - ") + m_source;
}

QString FatigueWindow::exportBaseName() const
{
    return proposedBaseName(m_source, tabResults->currentWidget() == pgOtherCounts ? otherCountTitle(m_otherCount.kind)
                                                                                   : QStringLiteral("S-N curve"));
}

void FatigueWindow::storeChoices() const
{
    storeFatigueChoices(choices(), m_seams.storePath);
}

void FatigueWindow::closeEvent(QCloseEvent* event)
{
    guarded([this] { storeChoices(); });
    event->accept();
}
