#include "fatigue/fatigue_window.h"

#include "fatigue/fatigue_rows_model.h"

#include "app_error.h"
#include "app_identity.h"
#include "chart_view.h"
#include "file_saving.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
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


template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

FatigueWindow::FatigueWindow(QWidget* owner, FatigueWindowSeams seams)
    : QWidget(owner, Qt::Window)
    , m_seams(std::move(seams))
{
    setObjectName(QStringLiteral("frmFatigue"));
    setWindowTitle(QStringLiteral("Fatigue"));
    setAttribute(Qt::WA_QuitOnClose, false);
    createControls();
    setChoices(loadFatigueChoices(m_seams.storePath));
    connectChoices();
    connect(btExportCsv, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const QString fileName = chooseFile(QStringLiteral("CSV file (*.csv)"), QStringLiteral("csv"));
            if (!fileName.isEmpty())
                saveCsv(fileName);
        });
    });
    connect(btSavePng, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const QString fileName = chooseFile(QStringLiteral("PNG image (*.png)"), QStringLiteral("png"));
            if (!fileName.isEmpty())
                savePng(fileName);
        });
    });
    connect(btSaveSvg, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const QString fileName = chooseFile(QStringLiteral("SVG image (*.svg)"), QStringLiteral("svg"));
            if (!fileName.isEmpty())
                saveSvg(fileName);
        });
    });
    connect(btClose, &QPushButton::clicked, this, &QWidget::close);
    recompute();
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
    vwSnCurve = named(new ChartView([this](QPainter& p, const QRectF& r) { paintSnChart(p, r, m_chart); }),
                      "vwSnCurve");
    tabResults = named(new QTabWidget(this), "tabResults");
    tabResults->addTab(tvRows, QStringLiteral("Cycles"));
    tabResults->addTab(vwSnCurve, QStringLiteral("S-N plot"));

    auto* top = new QHBoxLayout;
    top->addWidget(createChoices(), 3);
    top->addWidget(createTotals(), 2);

    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](QPushButton*& target, const char* name, const QString& caption) {
        target = named(new QPushButton(caption, this), name);
        buttons->addWidget(target);
    };
    button(btExportCsv, "btExportCsv", QStringLiteral("Export CSV..."));
    button(btSavePng, "btSavePng", QStringLiteral("Save PNG..."));
    button(btSaveSvg, "btSaveSvg", QStringLiteral("Save SVG..."));
    buttons->addStretch();
    button(btClose, "btClose", QStringLiteral("Close"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabResults, 1);
    layout->addLayout(buttons);

    dlgSave = named(new QFileDialog(this), "dlgSave");
    dlgSave->setAcceptMode(QFileDialog::AcceptSave);
    resize(900, 720);
}

QWidget* FatigueWindow::createChoices()
{
    auto* box = new QGroupBox(QStringLiteral("S-N curve and material"), this);
    auto* form = new QFormLayout(box);
    cbCurve = named(new QComboBox(box), "cbCurve");
    cbCurve->addItem(QStringLiteral("Own values"), QString());
    for (const SnPreset& preset : snPresets())
        cbCurve->addItem(QString::fromStdString(preset.name + "  " + preset.description), QString::fromStdString(preset.name));
    form->addRow(QStringLiteral("S-N curve:"), cbCurve);
    edOwnCurve = named(new QLineEdit(box), "edOwnCurve");
    edOwnCurve->setToolTip(QStringLiteral("m=3,logA=12.164 or m=5,S=100,N=2e6 with knee=same|cutoff|haibach or m2=5, "
                                          "Nknee=, Ncut= (\".\" as decimal point)"));
    form->addRow(QStringLiteral("Own curve:"), edOwnCurve);
    cbMeasure = named(new QComboBox(box), "cbMeasure");
    for (const auto& measure : tessivo::measureChoices())
        cbMeasure->addItem(QString::fromLatin1(measure.label), QString::fromLatin1(measure.name));
    form->addRow(QStringLiteral("S is the:"), cbMeasure);
    cbMeanStress = named(new QComboBox(box), "cbMeanStress");
    cbMeanStress->addItem(QString::fromStdString(meanStressName(MeanStressMethod::None)),
                          QString::fromStdString(meanStressName(MeanStressMethod::None)));
    for (const auto& method : tessivo::meanStressChoices())
        cbMeanStress->addItem(QString::fromLatin1(method.label), QString::fromLatin1(method.name));
    form->addRow(QStringLiteral("Mean-stress correction:"), cbMeanStress);
    lbMaterial = named(new QLabel(QStringLiteral("Material value:"), box), "lbMaterial");
    edMaterial = named(new QLineEdit(box), "edMaterial");
    form->addRow(lbMaterial, edMaterial);
    edDel = named(new QLineEdit(box), "edDel");
    form->addRow(QStringLiteral("DEL exponents m:"), edDel);
    edNeq = named(new QLineEdit(box), "edNeq");
    form->addRow(QStringLiteral("DEL cycles N_eq:"), edNeq);
    edDuration = named(new QLineEdit(box), "edDuration");
    edDuration->setPlaceholderText(QStringLiteral("seconds; empty: life in repetitions only"));
    form->addRow(QStringLiteral("Sequence duration:"), edDuration);
    return box;
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
    for (QLineEdit* edit : {edOwnCurve, edMaterial, edDel, edNeq, edDuration})
        connect(edit, &QLineEdit::textChanged, this, changed);
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
    return c;
}

void FatigueWindow::setChoices(const FatigueChoices& c)
{
    m_settingChoices = true;
    const int curve = cbCurve->findData(c.preset);
    cbCurve->setCurrentIndex(curve >= 0 ? curve : 0);
    edOwnCurve->setText(c.ownCurve);
    cbMeasure->setCurrentIndex(c.amplitude ? 1 : 0);
    const int method = cbMeanStress->findData(c.meanStress);
    cbMeanStress->setCurrentIndex(method >= 0 ? method : 0);
    edMaterial->setText(c.material);
    edDel->setText(c.delExponents);
    edNeq->setText(c.equivalentCycles);
    edDuration->setText(c.duration);
    m_settingChoices = false;
    recompute();
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
    const QString valueName = materialValueName(meanStressFromName(c.meanStress.toStdString()).value_or(MeanStressMethod::None));
    lbMaterial->setText(valueName.isEmpty() ? QStringLiteral("Material value:") : valueName + u':');
    edMaterial->setEnabled(!valueName.isEmpty());
    lbLoads->setText(m_classEdges ? QStringLiteral("Loads: the class edges of the load bins, as read and scaled "
                                                   "(never normalised).")
                                  : QStringLiteral("Loads: as read and scaled (never normalised)."));
    m_rows->setResult(nullptr);
    m_result.reset();
    m_chart = SnChartData{};
    m_chart.amplitude = c.amplitude;
    try {
        m_settings = fatigueSettingsOf(c);
        m_chart.curve = SnCurve(*m_settings->curve);
        m_result = analyseFatigue(m_cycles, *m_settings);
        for (const FatigueRow& row : m_result->rows)
            m_chart.steps.push_back({row.load, static_cast<long double>(row.cycle.count)});
        lbStatus->clear();
    } catch (const FatigueError& e) {
        m_result.reset();
        lbStatus->setText(withFullStop(QString::fromUtf8(e.what())));
    }
    m_rows->setResult(m_result ? &*m_result : nullptr);
    showTotals();
    vwSnCurve->update();
}

QString FatigueWindow::numberText(long double v) const
{
    return m_rows->numberText(v);
}

void FatigueWindow::showTotals()
{
    twDel->setRowCount(0);
    if (!m_result) {
        lbTotals->clear();
        return;
    }
    const FatigueTotals& t = m_result->totals;
    QString text = QStringLiteral("Damage D = ") + numberText(t.damage) + QStringLiteral("\nLife = ")
        + (std::isfinite(t.life) ? numberText(t.life) + QStringLiteral(" repetitions of the counted sequence")
                                 : QStringLiteral("unlimited (no damage)"));
    if (t.lifeHours && std::isfinite(*t.lifeHours))
        text += QStringLiteral("\nLife = ") + numberText(*t.lifeHours) + QStringLiteral(" hours");
    text += QStringLiteral("\nCycles counted: ") + numberText(t.cycles);
    lbTotals->setText(text);
    for (const DelValue& del : t.del) {
        const int row = twDel->rowCount();
        twDel->insertRow(row);
        twDel->setItem(row, 0, new QTableWidgetItem(numberText(del.m)));
        twDel->setItem(row, 1, new QTableWidgetItem(numberText(del.value)));
    }
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
            csv += QByteArray::fromStdString(fatigueNumberText(v));
            csv += ',';
        }
        csv.back() = '\n';
    }
    return csv;
}

void FatigueWindow::saveCsv(const QString& fileName) const
{
    saveFileContent(fileName, rowsCsv());
}

void FatigueWindow::savePng(const QString& fileName) const
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!renderChart(vwSnCurve->chart()).save(&buffer, "PNG"))
        throw AppError(QStringLiteral("Failed to Save Stream"));
    saveFileContent(fileName, png);
}

void FatigueWindow::saveSvg(const QString& fileName) const
{
    saveFileContent(fileName, renderChartSvg(vwSnCurve->chart(), QStringLiteral("S-N curve and counted spectrum")));
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

QString FatigueWindow::chooseFile(const QString& filter, const QString& suffix)
{
    dlgSave->setNameFilter(filter);
    dlgSave->setDefaultSuffix(suffix);
    const bool accepted = m_seams.runModal ? m_seams.runModal(*dlgSave) : dlgSave->exec() == QDialog::Accepted;
    return accepted ? dlgSave->selectedFiles().value(0) : QString();
}

void FatigueWindow::guarded(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& error) {
        const QString text = withFullStop(QString::fromUtf8(error.what()));
        if (m_seams.reportError)
            m_seams.reportError(text);
        else
            QMessageBox::critical(this, kApplicationTitle, text);
    }
}
