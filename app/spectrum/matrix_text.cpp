#include "spectrum/matrix_text.h"

#include <QStringList>

using tessivo::fatigue::MatrixKind;

namespace {

QString numberText(double v, const MatrixTextFormat& f)
{
    return QString::number(v, 'g', 10).replace(u'.', f.decimalSeparator);
}

} // namespace

QString fromToMatrixText(const SpectrumPlotData& data, MatrixTextFormat f)
{
    if (!data.hasMatrix())
        return {};
    const double width = (data.highestLoad - data.lowestLoad) / data.binCount;
    const auto centre = [&](std::int32_t k) { return numberText(data.lowestLoad + (k - 0.5) * width, f); };
    QStringList head{QStringLiteral("from \\ to")};
    for (std::int32_t to = 1; to <= data.binCount; ++to)
        head << centre(to);
    QString out = head.join(f.fieldSeparator) + u'\n';
    for (std::int32_t from = 1; from <= data.binCount; ++from) {
        QStringList row{centre(from)};
        for (std::int32_t to = 1; to <= data.binCount; ++to)
            row << QString::number(data.cell(from, to));
        out += row.join(f.fieldSeparator) + u'\n';
    }
    return out;
}

QString rainflowMatrixText(const tessivo::fatigue::RainflowMatrix& m, MatrixTextFormat f)
{
    if (m.rows() == 0 || m.columns() == 0)
        return {};
    const auto centre = [&](const auto& edges, std::size_t k) {
        return numberText(static_cast<double>((edges[k] + edges[k + 1]) / 2.0L), f);
    };
    QStringList head{m.kind == MatrixKind::FromTo ? QStringLiteral("maximum \\ minimum")
                                                  : QStringLiteral("range \\ mean")};
    for (std::size_t c = 0; c < m.columns(); ++c)
        head << centre(m.columnEdges, c);
    QString out = head.join(f.fieldSeparator) + u'\n';
    for (std::size_t r = 0; r < m.rows(); ++r) {
        QStringList row{centre(m.rowEdges, r)};
        for (std::size_t c = 0; c < m.columns(); ++c)
            row << numberText(static_cast<double>(m.count(r, c)), f);
        out += row.join(f.fieldSeparator) + u'\n';
    }
    return out;
}
