#include "document/count_document.h"

#include "engine/fatigue/table_cycles.h"
#include "engine/run/count.h"
#include "engine/run/loading.h"
#include "engine/run/parameter_checks.h"
#include "engine/run/report_builder.h"
#include "engine/run/run_control.h"
#include "engine/tables/table_column_format.h"
#include "engine/tables/time_column.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

std::string pathOf(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

// "(kN)", "[kN]" and "kN" all name kN.
QString bareUnit(const std::string& written)
{
    QString unit = QString::fromStdString(written).trimmed();
    if (unit.size() >= 2
        && ((unit.front() == u'(' && unit.back() == u')') || (unit.front() == u'[' && unit.back() == u']')))
        unit = unit.mid(1, unit.size() - 2).trimmed();
    return unit;
}

} // namespace

CountDocument::CountDocument(QObject* parent)
    : QObject(parent)
    , m_run(std::make_unique<tessivo::TRainflowRun>())
    , m_table(std::make_unique<tessivo::TCycleTable>())
{
}

CountDocument::~CountDocument() = default;

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
    QDir().mkpath(m_workDir);
    tessivo::TableColumnRef ref;
    ref.path = pathOf(fileName);
    ref.layout = layout;
    ref.column = static_cast<std::size_t>(column);
    if (tessivo::openTableColumn(*m_run, ref, pathOf(m_workDir)) != tessivo::OpenOutcome::Ok)
        return false;
    m_loadUnit = bareUnit(layout.columns.at(ref.column).unit);
    m_timeUnit.clear();
    m_times.reset();
    // A first column of rising numbers is time, row for row.
    if (ref.column != 0) {
        if (auto times = tessivo::readTimeColumn(ref.path, layout);
            times && static_cast<std::int64_t>(times->size()) == m_run->Sequences[1].Points) {
            m_times = std::make_shared<const std::vector<long double>>(std::move(*times));
            m_timeUnit = bareUnit(layout.columns.front().unit);
        }
    }
    sequenceOpened(fileName,
                   fileName + QStringLiteral(" : ") + QString::fromStdString(tessivo::columnLabel(layout, ref.column)));
    return true;
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
    tessivo::CountRequest request = tessivo::requestOf(*m_run);
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
    const tessivo::TCycle& line = (*m_table)[row];
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
    return inputs;
}
