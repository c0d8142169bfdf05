#pragma once
// A matrix's cells as text for the clipboard, so that a spreadsheet takes
// the counts and not only their picture: one line per row, the class
// centres along the top and down the left. Tab-separated with the user's
// decimal separator (text/plain), or comma-separated with decimal points
// (text/csv).

#include "document/spectrum_plot_data.h"
#include "engine/fatigue/rainflow_matrix.h"

#include <QChar>
#include <QString>

struct MatrixTextFormat {
    QChar fieldSeparator = u'\t';
    QChar decimalSeparator = u'.';
};

inline constexpr MatrixTextFormat kCsvFormat{u',', u'.'};

// The count's from-to matrix: rows the class a transition comes from.
QString fromToMatrixText(const SpectrumPlotData& data, MatrixTextFormat format);
// A rainflow matrix: rows the maximum (from-to) or the range (range-mean).
QString rainflowMatrixText(const tessivo::fatigue::RainflowMatrix& matrix, MatrixTextFormat format);
