#include "document/report_header.h"

#include "float_text.h"
#include "engine/run/record.h"

namespace {

QString yesNo(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QString loadBins(const ReportHeader& h)
{
    const QString classes = QStringLiteral("%1 x %1 classes").arg(h.binCount);
    if (h.useLoadBins)
        return QStringLiteral("yes, ") + classes;
    if (h.switchedToBins) {
        return QStringLiteral("yes, ") + classes
               + QStringLiteral(" (switched on: %1 values, load bins from %2 values on)")
                     .arg(h.sequenceLength)
                     .arg(tessivo::MatrixThreshold);
    }
    return h.unlimited ? QStringLiteral("no, exact loads at any length") : QStringLiteral("no");
}

QString residueText(const ReportHeader& h)
{
    if (h.decomposition)
        return QStringLiteral("Decomposition into cycles");
    return h.halfCycles ? QStringLiteral("Count half cycles as 0.5")
                        : QStringLiteral("Use upward half cycles as complete cycles");
}

} // namespace

QString filterSizeText(long double filterSize, QChar decimalSeparator)
{
    return morvane::formatFixedAtLeast(filterSize, 8, 2, decimalSeparator);
}

QStringList reportHeaderLines(const ReportHeader& h, const QDateTime& date, QChar decimalSeparator)
{
    QStringList lines{QStringLiteral("Tessivo rainflow counting report"),
                      QStringLiteral("Sequence file:\t") + h.sequenceFile,
                      QStringLiteral("Date:\t") + date.toString(QStringLiteral("yyyy-MM-dd HH:mm"))};
    if (!h.loadUnit.isEmpty())
        lines << QStringLiteral("Load unit:\t") + h.loadUnit;
    if (!h.counted) {
        lines << QStringLiteral("Counting parameters:\tnot counted yet");
        return lines;
    }
    lines << QStringLiteral("Filter size:\t") + filterSizeText(h.filterSize, decimalSeparator)
          << QStringLiteral("Normalize Spectrum:\t") + yesNo(h.normalize)
          << QStringLiteral("Load bins:\t") + loadBins(h) << QStringLiteral("Residue handling:\t") + residueText(h);
    return lines;
}

QString reportSummary(const ReportHeader& h, QChar decimalSeparator)
{
    QString bins = QStringLiteral("exact loads");
    if (h.useLoadBins || h.switchedToBins)
        bins = QStringLiteral("%1 x %1 load bins").arg(h.binCount);
    if (h.switchedToBins)
        bins += QStringLiteral(" (%1 values)").arg(h.sequenceLength);
    const int slash = static_cast<int>(h.sequenceFile.lastIndexOf(u'/'));
    return h.sequenceFile.mid(slash + 1) + QStringLiteral(" - filter size ")
           + filterSizeText(h.filterSize, decimalSeparator)
           + (h.normalize ? QStringLiteral(", normalized, ") : QStringLiteral(", not normalized, ")) + bins
           + (h.decomposition ? QStringLiteral(", decomposition into cycles")
              : h.halfCycles  ? QStringLiteral(", half cycles counted as 0.5")
                              : QStringLiteral(", upward half cycles as complete cycles"));
}
