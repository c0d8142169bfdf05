#include "document/channel_counts.h"

#include "engine/fatigue/fatigue_error.h"
#include "engine/fatigue/fatigue_number.h"
#include "engine/run/errors.h"
#include "engine/run/number_text.h"
#include "engine/run/outputs/fatigue_output.h"
#include "engine/run/table_channels.h"

#include <QFile>
#include <algorithm>

namespace {

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

// The report writes numbers with '.', the window with the user's separator.
QString withSeparator(const std::string& s, const std::string& decimalSeparator)
{
    QString t = text(s);
    if (decimalSeparator != ".")
        t.replace(u'.', text(decimalSeparator));
    return t;
}

ChannelFigures countOne(const tessivo::TableChannel& channel, const tessivo::CountRequest& request,
                        const tessivo::FatigueRequest& fatigue, const tessivo::CountHooks& hooks)
{
    ChannelFigures f;
    f.name = text(channel.name);
    f.unit = text(channel.unit);
    f.ref = channel.columns.front().ref;
    if (const std::optional<long double> value = channel.constantValue()) {
        f.passedOver = text(tessivo::constantChannelText(*value));
        return f;
    }
    tessivo::CountResult result = tessivo::count(request, channel.inputs(), hooks);
    f.length = result.sequenceLength();
    f.highest = result.highestPeak();
    f.lowest = result.lowestTrough();
    f.lines = result.cycleCount();
    f.halfCycles = result.halfCycles();
    f.result = result.result();
    const tessivo::CycleColumns columns = result.columns();
    f.cycles = columns.cumulative.empty() ? 0 : columns.cumulative.back();
    if (fatigue.evaluates()) {
        // Fatigue takes the loads as counted, as the command line's report does.
        const tessivo::FatigueContext context{fatigue, result.table(), result.cycleCount(), result.binned()};
        try {
            const tessivo::fatigue::FatigueTotals totals = tessivo::fatigueTotals(context);
            if (fatigue.settings.curve)
                f.damage = totals.damage;
            f.del = totals.del;
        } catch (const tessivo::fatigue::FatigueError& e) {
            throw tessivo::fatigue::FatigueError(channel.name + ": " + e.what());
        }
    }
    return f;
}

} // namespace

std::vector<ChannelFigures> countChannels(const QString& fileName, const tessivo::CountRequest& request,
                                          const tessivo::FatigueRequest& fatigue, const ChannelProgress& progress)
{
    tessivo::ColumnChoice choice;
    choice.allColumns = true;
    const std::vector<tessivo::TableChannel> channels =
        tessivo::readTableChannels({tessivo::SequenceFileInput{QFile::encodeName(fileName).toStdString()}}, choice);
    // Every check before the first count, as the command line makes them.
    bool any = false;
    for (const tessivo::TableChannel& channel : channels) {
        if (channel.constantValue())
            continue;
        tessivo::CountInputs inputs = channel.inputs();
        try {
            tessivo::checkCount(request, inputs);
        } catch (const tessivo::CountRefused& e) {
            throw tessivo::CountRefused(channel.name + ": " + e.what());
        }
        any = true;
    }
    if (!any && !channels.empty())
        throw tessivo::CountRefused(tessivo::kNoColumnOfLoads, channels.front().columns.front().ref.path);
    std::vector<ChannelFigures> rows;
    const auto n = static_cast<std::int64_t>(channels.size());
    for (const tessivo::TableChannel& channel : channels) {
        const auto k = static_cast<std::int64_t>(rows.size());
        tessivo::CountHooks hooks;
        if (progress) {
            hooks.progress = [&progress, k, n](std::int64_t done, std::int64_t total) {
                return progress(static_cast<int>((k * total + done) * 1000 / (n * std::max<std::int64_t>(total, 1))));
            };
        }
        rows.push_back(countOne(channel, request, fatigue, hooks));
        if (progress && !progress(static_cast<int>((k + 1) * 1000 / n)))
            throw tessivo::RunCancelled();
    }
    return rows;
}

QStringList channelHeadings(const tessivo::FatigueRequest& fatigue)
{
    QStringList headings{QStringLiteral("Channel"),      QStringLiteral("Unit"),          QStringLiteral("Values"),
                         QStringLiteral("Highest Peak"), QStringLiteral("Lowest Trough"), QStringLiteral("Cycles")};
    if (fatigue.settings.curve)
        headings << QStringLiteral("Damage (Miner)");
    for (const long double m : fatigue.settings.delExponents)
        headings << QStringLiteral("DEL m = %1").arg(text(tessivo::fatigue::fatigueNumberText(m)));
    return headings;
}

QStringList channelRowTexts(const ChannelFigures& f, const tessivo::FatigueRequest& fatigue,
                            const std::string& decimalSeparator)
{
    QStringList cells{f.name, f.unit};
    if (!f.passedOver.isEmpty()) {
        while (cells.size() < channelHeadings(fatigue).size())
            cells << QString();
        return cells;
    }
    cells << text(tessivo::formatWholeNumber(f.length)) << text(tessivo::formatLoad(f.highest, decimalSeparator))
          << text(tessivo::formatLoad(f.lowest, decimalSeparator))
          << (f.halfCycles ? text(tessivo::formatHalfCount(f.cycles, decimalSeparator))
                           : text(tessivo::formatWholeNumber(f.cycles)));
    if (fatigue.settings.curve)
        cells << (f.damage ? withSeparator(tessivo::fatigue::fatigueNumberText(*f.damage, 6), decimalSeparator)
                           : QString());
    for (std::size_t k = 0; k < fatigue.settings.delExponents.size(); ++k)
        cells << (k < f.del.size()
                      ? withSeparator(tessivo::fatigue::fatigueNumberText(f.del[k].value, 6), decimalSeparator)
                      : QString());
    return cells;
}
