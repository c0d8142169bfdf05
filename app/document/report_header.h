#pragma once
// What a printed or saved report says about itself: the sequence file, the
// date, and the parameters of the count that made it, so that a sheet of
// paper or an RTF file found later still tells how its numbers came about.
// The pane and the clipboard show the report without it.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>

struct ReportHeader {
    QString sequenceFile; // full path; empty before the first Open
    bool counted = false; // false while the report holds the characteristics only
    long double filterSize = 0;
    bool normalize = false;
    bool useLoadBins = false;    // as the user asked
    bool switchedToBins = false; // the count went to load bins for the sequence's length
    std::int32_t binCount = 32;
    bool decomposition = true;
    bool halfCycles = false; // without decomposition: the residue's half cycles count 0.5
    bool unlimited = false;  // exact loads at any length
    std::int32_t sequenceLength = 0;
    QString loadUnit; // the column's unit, empty when unknown
};

// The filter size as edFilter and every header show it: at least two
// decimals and as many more as the value needs, so that a small filter
// (0.0004) survives being shown, stored and read back.
QString filterSizeText(long double filterSize, QChar decimalSeparator);

// The header's lines, label and value separated by a tab; the first is the
// heading. Numbers use the decimal separator given.
QStringList reportHeaderLines(const ReportHeader& header, const QDateTime& date, QChar decimalSeparator);

// One line for a picture of the report's plots: the file's name and the
// parameters, e.g. "wisperx.txt - filter size 0.00, not normalized, exact
// loads, decomposition into cycles".
QString reportSummary(const ReportHeader& header, QChar decimalSeparator);
