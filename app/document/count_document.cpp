#include "document/count_document.h"

#include "engine/fatigue/table_cycles.h"
#include "engine/run/count.h"
#include "engine/run/loading.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/report_builder.h"
#include "engine/run/run_control.h"
#include "engine/run/sequence_values.h"
#include "engine/tables/table_column_format.h"
#include "engine/tables/time_column.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <stdexcept>

namespace {

std::string pathOf(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QString columnLabelOf(const QString& fileName, const tessivo::TableLayout& layout, int column)
{
    return fileName + QStringLiteral(" : ")
           + QString::fromStdString(tessivo::columnLabel(layout, static_cast<std::size_t>(column)));
}

// The combined sequence's work file holds the values in the work notation,
// which the sequence reader reads back exactly.
std::vector<long double> valuesOf(const SignalSource& source)
{
    std::vector<long double> values = tessivo::readSequenceValues(source.sequenceFile).values;
    values.resize(std::min(values.size(), static_cast<std::size_t>(source.length)));
    return values;
}

} // namespace

// What the reading thread and the document share.
struct CountDocument::ImportJob {
    QString fileName;
    QString label;
    std::atomic<bool> cancel{false};
    LoadedColumn loaded;
    std::exception_ptr error;
    bool result = false;
    QThread* thread = nullptr;
};

CountDocument::CountDocument(QObject* parent)
    : QObject(parent)
    , m_run(std::make_unique<tessivo::TRainflowRun>())
    , m_table(std::make_unique<tessivo::TCycleTable>())
{
}

CountDocument::~CountDocument()
{
    if (m_import) {
        m_import->cancel = true;
        m_import->thread->wait();
        delete m_import->thread;
    }
}

void CountDocument::resetRun()
{
    tessivo::InitRainflowRun(*m_run);
}

bool CountDocument::openSequence(const QString& fileName, const std::function<void()>& processMessages)
{
    QDir().mkpath(m_workDir);
    if (tessivo::openSequence(*m_run, pathOf(fileName), pathOf(m_workDir), processMessages) != tessivo::OpenOutcome::Ok)
        return false;
    m_loadUnit.clear();
    m_timeUnit.clear();
    m_times.reset();
    sequenceOpened(fileName, fileName);
    return true;
}

bool CountDocument::importColumn(const QString& fileName, const tessivo::TableLayout& layout, int column)
{
    LoadedColumn loaded = readTableColumn(fileName, layout, column, m_workDir);
    if (!loaded.loaded)
        return false;
    takeColumn(std::move(loaded), fileName, columnLabelOf(fileName, layout, column));
    return true;
}

void CountDocument::takeColumn(LoadedColumn loaded, const QString& fileName, const QString& label)
{
    takeLoadedSlot(*loaded.run, *m_run);
    m_loadUnit = loaded.loadUnit;
    m_timeUnit = loaded.timeUnit;
    m_times = std::move(loaded.times);
    sequenceOpened(fileName, label);
}

void CountDocument::startImport(const QString& fileName, const tessivo::TableLayout& layout, int column)
{
    if (m_import)
        throw std::logic_error("a table is being read already");
    auto job = std::make_shared<ImportJob>();
    job->fileName = fileName;
    job->label = columnLabelOf(fileName, layout, column);
    const QString workDir = m_workDir;
    // At most a thousand steps reach the interface thread, however large the table.
    auto progress = [this, job, lastStep = std::int64_t{-1}](std::int64_t done, std::int64_t total) mutable {
        if (job->cancel)
            throw tessivo::RunCancelled();
        const std::int64_t step = total > 0 ? done * 1000 / total : 0;
        if (step == lastStep)
            return;
        lastStep = step;
        QMetaObject::invokeMethod(
            this,
            [this, job, done, total] {
                if (m_import == job)
                    emit importProgress(done, total);
            },
            Qt::QueuedConnection);
    };
    job->thread = QThread::create([job, fileName, layout, column, workDir, progress]() mutable {
        try {
            job->loaded = readTableColumn(fileName, layout, column, workDir, progress);
        } catch (...) {
            job->error = std::current_exception();
        }
    });
    m_import = job;
    connect(job->thread, &QThread::finished, this, &CountDocument::importStopped, Qt::QueuedConnection);
    job->thread->start();
}

void CountDocument::cancelImport()
{
    if (m_import)
        m_import->cancel = true;
}

void CountDocument::importStopped()
{
    std::shared_ptr<ImportJob> job = std::move(m_import);
    if (!job)
        return;
    job->thread->wait();
    delete job->thread;
    job->thread = nullptr;
    // A cancel that came after the last block is too late: the work file
    // holds the new column, so the record must describe it.
    m_imported = job;
    if (!job->error && job->loaded.loaded) {
        job->result = true;
        takeColumn(std::move(job->loaded), job->fileName, job->label);
    }
    emit importFinished();
}

bool CountDocument::importResult()
{
    if (!m_imported)
        throw std::logic_error("no table was read");
    const std::shared_ptr<ImportJob> job = std::move(m_imported);
    if (job->error)
        std::rethrow_exception(job->error);
    return job->result;
}

void CountDocument::sequenceOpened(const QString& fileName, const QString& label)
{
    m_fileName = fileName;
    m_label = label;
    m_header = ReportHeader{};
    m_header.sequenceFile = label;
    m_header.loadUnit = m_loadUnit;
    emit opened();
}

tessivo::CountRequest CountDocument::countRequest() const
{
    tessivo::CountRequest request = tessivo::requestOf(*m_run);
    request.unlimited = m_unlimited;
    return request;
}

std::optional<std::string> CountDocument::checkParameters() const
{
    return tessivo::checkParameters(*m_run);
}

tessivo::CountOutcome CountDocument::count(const CountHooks& hooks)
{
    tessivo::CountHooks engineHooks;
    engineHooks.notice = hooks.notice;
    engineHooks.processMessages = hooks.processMessages;
    engineHooks.progress = hooks.progress;
    QDir().mkpath(m_workDir);
    // The controls' parameters in the run record, counted from the loaded slots' work files.
    tessivo::CountRequest request = countRequest();
    request.workDir = pathOf(m_workDir);
    tessivo::CountResult result = tessivo::count(request, tessivo::CountInputs::loadedSlots(*m_run), engineHooks);
    const tessivo::CountOutcome outcome{result.result(), result.cycleCount()};
    m_table = result.takeTable();
    m_cycleCount = outcome.cycleCount;
    const bool switched = outcome.result == tessivo::RunResult::MatrixApplied;
    const bool usedLoadBins = m_run->UseLoadBins || switched;
    m_header.counted = true;
    m_header.filterSize = m_run->FilterSize;
    m_header.normalize = m_run->Normalize;
    m_header.useLoadBins = m_run->UseLoadBins;
    m_header.switchedToBins = switched;
    m_header.binCount = m_run->BinCount;
    m_header.decomposition = m_run->Decomposition;
    m_header.halfCycles = m_run->HalfCycles;
    m_header.unlimited = m_unlimited;
    m_header.sequenceLength = m_run->SeqLength;
    m_header.loadUnit = m_loadUnit;
    m_plotData = buildSpectrumPlotData(*m_run, *m_table, m_cycleCount, usedLoadBins);
    m_plotData.loadUnit = m_loadUnit;
    m_signalSource = signalSourceOf(*m_run, pathOf(m_workDir), usedLoadBins);
    if (m_times && static_cast<std::int64_t>(m_times->size()) == m_run->SeqLength) {
        m_signalSource.times = m_times;
        m_signalSource.timeUnit = m_timeUnit.toStdString();
    }
    m_signalSource.loadUnit = m_loadUnit.toStdString();
    m_markCache = std::make_unique<CycleMarkCache>(m_signalSource);
    emit counted();
    return outcome;
}

void CountDocument::writeCharacteristics(tessivo::ReportWriter& report, const std::string& decimalSeparator) const
{
    tessivo::WriteSpectrumCharacteristics(report, *m_run, decimalSeparator);
}

void CountDocument::writeReport(tessivo::ReportWriter& report, const std::string& decimalSeparator) const
{
    tessivo::WriteCountReport(report, *m_run, *m_table, m_cycleCount, decimalSeparator);
}

QString CountDocument::sourceName() const
{
    return QFileInfo(m_label).fileName();
}

QString CountDocument::sequenceFolder() const
{
    return m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absolutePath();
}

std::vector<CycleMark> CountDocument::marksOfRow(std::int32_t row)
{
    if (!m_markCache || row < 1 || row > m_cycleCount)
        return {};
    tessivo::TCycle line;
    if (!m_table->spilled()) {
        line = (*m_table)[row];
    } else {
        // Exact loads at any length keep most lines in files: read up to the row.
        tessivo::CycleReader reader(*m_table, row);
        while (reader.next(line)) {
        }
    }
    return m_markCache->marks(line.Upper, line.Lower);
}

std::vector<tessivo::fatigue::FatigueCycle> CountDocument::countedCycles() const
{
    const long double factor = m_plotData.normalized ? m_run->HighestPeak : 1.0L;
    return tessivo::fatigue::tableCycles(*m_table, m_cycleCount, factor);
}

FatigueInputs CountDocument::fatigueInputs() const
{
    FatigueInputs inputs;
    inputs.cycles = countedCycles();
    inputs.classEdges = m_plotData.hasMatrix();
    inputs.source = sourceName();
    inputs.loadUnit = m_loadUnit;
    const bool seconds = m_timeUnit.isEmpty() || m_timeUnit == u's' || m_timeUnit == QStringLiteral("sec");
    if (seconds && m_signalSource.times && m_signalSource.times->size() >= 2)
        inputs.duration = static_cast<double>(m_signalSource.times->back() - m_signalSource.times->front());
    if (hasCount())
        inputs.values = [source = m_signalSource] { return valuesOf(source); };
    return inputs;
}

std::vector<long double> CountDocument::countedValues() const
{
    return hasCount() ? valuesOf(m_signalSource) : std::vector<long double>{};
}
