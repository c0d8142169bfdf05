#include "fatigue/lifetime_panel.h"

#include "support/app_error.h"
#include "support/background_run.h"
#include "support/error_guard.h"
#include "support/file_dialogs.h"

#include "engine/fatigue/fatigue_number.h"
#include "engine/run/errors.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>
#include <exception>

using tessivo::fatigue::fatigueNumberText;

namespace {

template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QByteArray csvNumber(long double v)
{
    return QByteArray::fromStdString(fatigueNumberText(v, 15));
}

QByteArray csvText(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

QString pathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

// What the counting thread and the panel share.
struct LifetimePanel::Job {
    LifetimeCountInput input;
    std::optional<tessivo::LifetimeResult> result;
};

LifetimePanel::LifetimePanel(QWidget* parent, LifetimePanelSeams seams) : QWidget(parent), m_seams(std::move(seams))
{
    setObjectName(QStringLiteral("pgLifetime"));
    // The inputs and totals take the room they need; the recordings the rest.
    auto* top = new QHBoxLayout;
    for (QWidget* box : {createInputs(), createResults()}) {
        box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        top->addWidget(box, 1, Qt::AlignTop);
    }
    twRecordings = named(new QTableWidget(0, 6, this), "twRecordings");
    twRecordings->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Hours per year"),
                                             QStringLiteral("Duration (s)"), QStringLiteral("Repetitions"),
                                             QStringLiteral("Cycles"), QStringLiteral("Damage")});
    twRecordings->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    twRecordings->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Interactive);
    twRecordings->verticalHeader()->setDefaultSectionSize(20);
    twRecordings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    twRecordings->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(twRecordings, 1);
    m_run = std::make_unique<BackgroundRun>(btLifetimeCount, btLifetimeCancel, pbLifetime);

    connect(btWeights, &QPushButton::clicked, this, &LifetimePanel::chooseWeights);
    connect(btLifetimeCount, &QPushButton::clicked, this, &LifetimePanel::count);
}

LifetimePanel::~LifetimePanel() = default;

bool LifetimePanel::counting() const
{
    return m_run->running();
}

// The inputs under the names tessivo-count gives them.
QWidget* LifetimePanel::createInputs()
{
    auto* box = new QGroupBox(QStringLiteral("Recordings and design life"), this);
    auto* form = new QFormLayout(box);
    const auto field = [box](QLineEdit*& target, const char* name, const QString& placeholder, const QString& tip) {
        target = named(new QLineEdit(box), name);
        target->setPlaceholderText(placeholder);
        target->setToolTip(tip);
    };
    field(edWeights, "edWeights", QStringLiteral("a CSV file: file,hours_per_year"),
          QStringLiteral("The weights table: a line of names, then file,hours_per_year for each recording; a "
                         "relative path is taken from the table's folder (--lifetime)"));
    btWeights = named(new QPushButton(QStringLiteral("Choose..."), box), "btWeights");
    auto* weights = new QHBoxLayout;
    weights->addWidget(edWeights, 1);
    weights->addWidget(btWeights);
    form->addRow(QStringLiteral("Weights table:"), weights);
    field(edDesignLife, "edDesignLife", QStringLiteral("years"),
          QStringLiteral("Each recording repeats design life x hours per year x 3600 / its duration times "
                         "(--design-life)"));
    form->addRow(QStringLiteral("Design life:"), edDesignLife);
    field(edLifetimeColumn, "edLifetimeColumn", QStringLiteral("name or number; empty: sequence files"),
          QStringLiteral("The one column counted of recordings that are tables (--column)"));
    form->addRow(QStringLiteral("Column:"), edLifetimeColumn);
    field(edRecordingDuration, "edRecordingDuration", QStringLiteral("seconds; empty: from the time column"),
          QStringLiteral("The duration of recordings without a time column (--duration)"));
    form->addRow(QStringLiteral("Recording duration:"), edRecordingDuration);

    btLifetimeCount = named(new QPushButton(QStringLiteral("Count"), box), "btLifetimeCount");
    btLifetimeCancel = named(new QPushButton(QStringLiteral("Cancel"), box), "btLifetimeCancel");
    btLifetimeCancel->hide();
    pbLifetime = named(new QProgressBar(box), "pbLifetime");
    pbLifetime->setFormat(QStringLiteral("%v of %m recordings"));
    pbLifetime->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btLifetimeCount);
    buttons->addWidget(pbLifetime, 1);
    buttons->addWidget(btLifetimeCancel);
    buttons->addStretch();
    form->addRow(buttons);

    dlgWeights = named(new QFileDialog(this), "dlgWeights");
    dlgWeights->setAcceptMode(QFileDialog::AcceptOpen);
    dlgWeights->setFileMode(QFileDialog::ExistingFile);
    dlgWeights->setNameFilters({QStringLiteral("CSV file (*.csv)"), QStringLiteral("All files (*)")});
    prepareFileDialog(*dlgWeights);
    return box;
}

QWidget* LifetimePanel::createResults()
{
    auto* box = new QGroupBox(QStringLiteral("Lifetime"), this);
    auto* layout = new QVBoxLayout(box);
    lbLifetime = named(new QLabel(QStringLiteral("Not counted yet."), box), "lbLifetime");
    lbLifetime->setWordWrap(true);
    lbLifetime->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbLifetime->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbLifetime->setMinimumHeight(6 * fontMetrics().lineSpacing() + 2);
    twLifetimeDel = named(new QTableWidget(0, 2, box), "twLifetimeDel");
    twLifetimeDel->setHorizontalHeaderLabels({QStringLiteral("m"), QStringLiteral("Lifetime DEL")});
    twLifetimeDel->horizontalHeader()->setStretchLastSection(true);
    twLifetimeDel->verticalHeader()->hide();
    twLifetimeDel->setEditTriggers(QAbstractItemView::NoEditTriggers);
    twLifetimeDel->verticalHeader()->setDefaultSectionSize(20);
    twLifetimeDel->setFixedHeight(twLifetimeDel->horizontalHeader()->sizeHint().height() + 4 * 20 + 4);
    layout->addWidget(lbLifetime);
    layout->addWidget(twLifetimeDel);
    return box;
}

void LifetimePanel::chooseWeights()
{
    if (!edWeights->text().trimmed().isEmpty())
        dlgWeights->selectFile(edWeights->text().trimmed());
    const bool accepted = m_seams.runModal ? m_seams.runModal(*dlgWeights) : dlgWeights->exec() == QDialog::Accepted;
    if (accepted && !dlgWeights->selectedFiles().isEmpty())
        edWeights->setText(dlgWeights->selectedFiles().front());
}

void LifetimePanel::count()
{
    const auto report = [this](const QString& message, const QString& detail) {
        m_seams.reportError(detail.isEmpty() ? message : message + u'\n' + detail);
    };
    auto job = std::make_shared<Job>();
    if (!runGuarded([&] { job->input = m_seams.setup(); }, report))
        return;
    if (m_run->running()) {
        // The count under way ends first, unseen; one more follows it.
        m_run->discard();
        m_run->whenEnded([this] { count(); });
        return;
    }
    m_run->start(
        [job, run = m_run.get()] {
            job->result =
                countLifetimeRecordings(job->input, [run](std::size_t done, std::size_t total, const std::string&) {
                    return run->progress(static_cast<int>(done), static_cast<int>(total));
                });
        },
        [this, job](std::exception_ptr error, bool forgotten) { countStopped(*job, error, forgotten); });
}

void LifetimePanel::cancel()
{
    m_run->cancel();
}

void LifetimePanel::forget(const QString& why)
{
    const bool counting = m_run->running();
    m_run->discard();
    if (!m_result && !counting)
        return;
    m_result.reset();
    showResult();
    lbLifetime->setText(why);
}

void LifetimePanel::countStopped(Job& job, std::exception_ptr error, bool forgotten)
{
    if (forgotten) {
        emit counted();
        return;
    }
    if (error) {
        QString message;
        QString detail;
        try {
            std::rethrow_exception(error);
        } catch (const tessivo::RunCancelled&) {
            // The user's choice: the results before stay.
        } catch (const tessivo::CountRefused& e) {
            message = e.path().empty() ? QString::fromUtf8(e.what())
                                       : pathText(e.path()) + QStringLiteral(": ") + QString::fromUtf8(e.what());
        } catch (...) {
            runGuarded([&error] { std::rethrow_exception(error); },
                       [&](const QString& m, const QString& d) {
                           message = m;
                           detail = d;
                       });
        }
        if (!message.isEmpty())
            m_seams.reportError(withFullStop(message) + (detail.isEmpty() ? QString() : u'\n' + detail));
    } else {
        m_result = std::move(job.result);
        m_fatigue = job.input.fatigue;
        m_weights = job.input.lifetime.weights;
        showResult();
    }
    emit counted();
}

QString LifetimePanel::shown(long double v, int digits) const
{
    if (std::isinf(v))
        return QStringLiteral("unlimited");
    QString text = QString::fromStdString(digits > 0 ? fatigueNumberText(v, digits) : fatigueNumberText(v));
    text.replace(u'.', m_seams.decimalSeparator);
    return text;
}

void LifetimePanel::showResult()
{
    twLifetimeDel->setRowCount(0);
    twRecordings->setRowCount(0);
    if (!m_result) {
        lbLifetime->setText(QStringLiteral("Not counted yet."));
        return;
    }
    const tessivo::fatigue::LifetimeTotals& t = m_result->totals;
    QStringList lines;
    if (m_fatigue.settings.curve) {
        const tessivo::fatigue::DesignCheck& c = t.check;
        lines << QStringLiteral("Check %1").arg(c.passes ? QStringLiteral("passes") : QStringLiteral("fails"))
              << QStringLiteral("Utilisation %1 (limit 1)").arg(shown(c.utilisation))
              << QStringLiteral("Design damage D x DFF = %1").arg(shown(c.designDamage))
              << QStringLiteral("Damage D = %1").arg(shown(t.damage));
    } else {
        lines << QStringLiteral("Damage: no S-N curve");
    }
    lines << QStringLiteral("Design life %1 years, %2 seconds of the recordings")
                 .arg(shown(t.designLife, 0), shown(t.seconds))
          << QStringLiteral("DEL cycles N_eq = %1").arg(shown(t.equivalentCycles));
    lbLifetime->setText(lines.join(u'\n'));
    lbLifetime->setStyleSheet(!m_fatigue.settings.curve ? QString()
                              : t.check.passes          ? QStringLiteral("color: #106020")
                                                        : QStringLiteral("color: #b00000"));
    for (const tessivo::fatigue::DelValue& d : t.del) {
        const int row = twLifetimeDel->rowCount();
        twLifetimeDel->insertRow(row);
        twLifetimeDel->setItem(row, 0, new QTableWidgetItem(shown(d.m, 0)));
        twLifetimeDel->setItem(row, 1, new QTableWidgetItem(shown(d.value)));
    }
    for (const tessivo::LifetimeRecording& r : m_result->recordings) {
        const int row = twRecordings->rowCount();
        twRecordings->insertRow(row);
        const QString cells[] = {
            pathText(r.row.name),       shown(r.share.hoursPerYear, 0),
            shown(r.share.duration, 0), shown(tessivo::fatigue::lifetimeRepetitions(r.share, t.designLife)),
            shown(r.row.cycles, 0),     m_fatigue.settings.curve ? shown(r.share.damage) : QString()};
        for (int column = 0; column < static_cast<int>(std::size(cells)); ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            else
                item->setToolTip(cells[column]);
            twRecordings->setItem(row, column, item);
        }
    }
    twRecordings->resizeColumnToContents(0);
}

QByteArray LifetimePanel::summaryCsv() const
{
    if (!m_result)
        return {};
    const tessivo::fatigue::LifetimeTotals& t = m_result->totals;
    QByteArray csv;
    csv += "\"Weights table\"," + csvText(pathText(m_weights)) + '\n';
    csv += "design life (years)," + csvNumber(t.designLife) + '\n';
    csv += "lifetime seconds," + csvNumber(t.seconds) + '\n';
    if (m_fatigue.settings.curve) {
        csv += "lifetime damage," + csvNumber(t.damage) + '\n';
        csv += "lifetime design damage," + csvNumber(t.check.designDamage) + '\n';
        csv += "lifetime utilisation," + csvNumber(t.check.utilisation) + '\n';
        csv += QByteArray("lifetime check,") + (t.check.passes ? "passes" : "fails") + '\n';
    }
    csv += "lifetime DEL cycles N_eq," + csvNumber(t.equivalentCycles) + '\n';
    for (const tessivo::fatigue::DelValue& d : t.del)
        csv += "lifetime DEL m=" + csvNumber(d.m) + ',' + csvNumber(d.value) + '\n';
    csv += "\nfile,hours_per_year,duration,repetitions,cycles,damage\n";
    for (const tessivo::LifetimeRecording& r : m_result->recordings) {
        csv += csvText(pathText(r.row.name)) + ',' + csvNumber(r.share.hoursPerYear) + ',' + csvNumber(r.share.duration)
               + ',' + csvNumber(tessivo::fatigue::lifetimeRepetitions(r.share, t.designLife)) + ','
               + csvNumber(r.row.cycles) + ',' + (m_fatigue.settings.curve ? csvNumber(r.share.damage) : "") + '\n';
    }
    return csv;
}
