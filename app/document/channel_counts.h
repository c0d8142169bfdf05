#pragma once
// Every column of loads of a table counted at once, as the command line's
// --all-columns counts them: the channels the engine finds in the file
// (a first column that is time left out), each counted through the one
// counting door with the same request, with the damage and the
// damage-equivalent loads of the same fatigue part when one is asked for.
// No widgets: the channel list window shows the rows.

#include "engine/run/count.h"
#include "engine/run/outputs/output_request.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct ChannelFigures {
    QString name;
    QString unit;
    tessivo::TableColumnRef ref; // the column, to open it as the sequence
    // Empty when counted; otherwise why not (one value throughout).
    QString passedOver;
    std::int32_t length = 0;
    long double highest = 0.0L;
    long double lowest = 0.0L;
    std::int32_t lines = 0;  // lines of the report's table
    std::int64_t cycles = 0; // all cycles counted, in halves when halfCycles
    bool halfCycles = false;
    tessivo::RunResult result = tessivo::RunResult::Normal;
    std::optional<long double> damage;           // with a curve
    std::vector<tessivo::fatigue::DelValue> del; // with DEL exponents
};

// How far the counting has come, in thousandths of the whole; false cancels
// it with RunCancelled. Called on the thread that counts.
using ChannelProgress = std::function<bool(int permille)>;

// What stops a channel from being counted is thrown, as for the command
// line: CountRefused (naming the channel), TableFormatError, IoError,
// fatigue::FatigueError (naming the channel), and RunCancelled. Touches
// nothing but the file: it may run on any thread.
std::vector<ChannelFigures> countChannels(const QString& fileName, const tessivo::CountRequest& request,
                                          const tessivo::FatigueRequest& fatigue, const ChannelProgress& progress = {});

// The texts of a row as the report shows them: channel, unit, values,
// highest peak, lowest trough, cycles, then the damage and one DEL per
// exponent when asked for (empty where not counted).
QStringList channelRowTexts(const ChannelFigures& figures, const tessivo::FatigueRequest& fatigue,
                            const std::string& decimalSeparator = ".");

// The headings of those columns.
QStringList channelHeadings(const tessivo::FatigueRequest& fatigue);
