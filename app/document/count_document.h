#pragma once
// The desktop's one count: the sequence loaded (a plain file or a table's
// column, with its unit and times), the run record, the cycle table, and all
// that the windows show of the last count (the report header, the spectrum
// data, the load history's source and marks, the fatigue inputs). Windows
// observe it: opened() when a sequence replaced the one before, counted()
// when a count replaced the last one.
//
// Every call of the desktop into the engine's counting goes through this
// class, so the counting door can change in one place.

#include "engine/run/record.h"
#include "engine/run/errors.h" // CountOutcome, RunCancelled
#include "engine/run/count_request.h"
#include "engine/fatigue/fatigue_cycle.h"
#include "engine/run/record.h"
#include "engine/tables/table_layout.h"
#include "document/cycle_marks.h"
#include "document/signal_data.h"
#include "document/report_header.h"
#include "document/spectrum_plot_data.h"
#include "document/table_column_load.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessivo {
class ReportWriter;
}

// What the window lends a count: the notice of a switch to load bins, the
// messages let through, the progress (false cancels with RunCancelled).
struct CountHooks {
    std::function<void(const std::string&)> notice;
    std::function<void()> processMessages;
    std::function<bool(std::int64_t done, std::int64_t total)> progress;
};

// What the fatigue window evaluates.
struct FatigueInputs {
    std::vector<tessivo::fatigue::FatigueCycle> cycles; // in the loads as counted
    bool classEdges = false;                            // counted in load bins
    QString source;                                     // the file's name (and column), for the title
    QString loadUnit;                                   // the column's unit; empty when unknown
    std::optional<double> duration;                     // seconds the sequence spans, from its time column
    // Reads the values of the combined sequence counted (for the counts
    // beside rainflow); empty without a count. Throws IoError.
    std::function<std::vector<long double>()> values;
};

class CountDocument : public QObject {
    Q_OBJECT

public:
    explicit CountDocument(QObject* parent = nullptr);
    ~CountDocument() override;

    // The folder of the work files, ending in "/".
    void setWorkDir(const QString& dir) { m_workDir = dir; }
    const QString& workDir() const { return m_workDir; }
    tessivo::TRainflowRun& run() { return *m_run; }
    const tessivo::TRainflowRun& run() const { return *m_run; }
    // The run record's defaults (InitRainflowRun).
    void resetRun();

    // Opens a plain sequence file. False when the file is no sequence: the
    // sequence before, its work file and the last count stay.
    bool openSequence(const QString& fileName, const std::function<void()>& processMessages = {});
    // Opens one column of a table as the sequence; the first column is its
    // time when it rises all the way. False as openSequence; throws
    // TableFormatError with a message naming the place.
    bool importColumn(const QString& fileName, const tessivo::TableLayout& layout, int column);
    // importColumn off the interface thread: importProgress while it reads,
    // importFinished once it has stopped, then importResult(). The record,
    // the work file and the last count stay as they were until the column
    // has been read whole. Nothing else may be started on the document
    // meanwhile (a second import is refused with std::logic_error).
    void startImport(const QString& fileName, const tessivo::TableLayout& layout, int column);
    // Stops the reading at its next block; importFinished follows.
    void cancelImport();
    bool importRunning() const { return m_import != nullptr; }
    // After importFinished: true when the column is the sequence now (opened
    // was emitted), false when it held no value. Rethrows what stopped the
    // reading: RunCancelled after cancelImport, TableFormatError, IoError,
    // InputTooLarge.
    bool importResult();
    // Exact loads at any length: no switch to load bins at 40,000 values
    // and a cycle table without limit. Off by default.
    void setUnlimited(bool unlimited) { m_unlimited = unlimited; }
    bool unlimited() const { return m_unlimited; }

    // The request a count makes of the run record's parameters and the
    // opt-ins, without a work folder.
    tessivo::CountRequest countRequest() const;

    // Parameter checks before a count: the message, or nothing.
    std::optional<std::string> checkParameters() const;
    // Counts the loaded sequence into a table of its own, which replaces the
    // last count's only when complete (throws RunCancelled, IoError).
    tessivo::CountOutcome count(const CountHooks& hooks = {});

    // The report before a count (the spectrum characteristics) and after it.
    void writeCharacteristics(tessivo::ReportWriter& report, const std::string& decimalSeparator) const;
    void writeReport(tessivo::ReportWriter& report, const std::string& decimalSeparator) const;

    bool hasSequence() const { return !m_label.isEmpty(); }
    bool hasCount() const { return m_header.counted; }
    // The file as the label shows it (a table's with " : column").
    const QString& sequenceLabel() const { return m_label; }
    // The file's name alone (with the column), for titles and file names.
    QString sourceName() const;
    // The folder of the file opened last.
    QString sequenceFolder() const;
    const QString& loadUnit() const { return m_loadUnit; }
    const QString& timeUnit() const { return m_timeUnit; }
    const std::shared_ptr<const std::vector<long double>>& times() const { return m_times; }

    const tessivo::TCycleTable& table() const { return *m_table; }
    std::int32_t cycleCount() const { return m_cycleCount; }
    const ReportHeader& header() const { return m_header; }
    const SpectrumPlotData& plotData() const { return m_plotData; }
    const SignalSource& signalSource() const { return m_signalSource; }
    // The cycles of table line `row` (1-based) in the load history; listed
    // once for all lines on the first call. Throws IoError.
    std::vector<CycleMark> marksOfRow(std::int32_t row);
    bool marksListed() const { return m_markCache && m_markCache->listed(); }
    // The last count's cycles in the loads as counted (a normalised table
    // scaled back by the peak it was divided by).
    std::vector<tessivo::fatigue::FatigueCycle> countedCycles() const;
    FatigueInputs fatigueInputs() const;
    // The values of the combined sequence that the last count read, from its
    // work file (which the next count rewrites). Throws IoError.
    std::vector<long double> countedValues() const;

signals:
    void opened();
    void counted();
    // Bytes read of all the import reads; may come in bursts, never after importFinished.
    void importProgress(qint64 done, qint64 total);
    void importFinished();

private:
    void sequenceOpened(const QString& fileName, const QString& label);
    // The column read whole becomes the sequence.
    void takeColumn(LoadedColumn loaded, const QString& fileName, const QString& label);
    void importStopped();

    struct ImportJob;

    QString m_workDir;
    std::unique_ptr<tessivo::TRainflowRun> m_run;
    std::unique_ptr<tessivo::TCycleTable> m_table;
    std::int32_t m_cycleCount = 0;
    QString m_fileName; // the path opened last
    QString m_label;
    QString m_loadUnit;
    QString m_timeUnit;
    std::shared_ptr<const std::vector<long double>> m_times; // the table's time column
    ReportHeader m_header;
    SpectrumPlotData m_plotData;
    SignalSource m_signalSource;
    std::unique_ptr<CycleMarkCache> m_markCache;
    std::shared_ptr<ImportJob> m_import;   // the reading under way
    std::shared_ptr<ImportJob> m_imported; // the reading that finished last, for importResult()
    bool m_unlimited = false;
};
