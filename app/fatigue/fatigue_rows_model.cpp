#include "fatigue/fatigue_rows_model.h"

#include "engine/fatigue/fatigue_number.h"

#include <cmath>

namespace {
const char* const kHeadings[] = {"Range", "Maximum", "Minimum", "Count", "S", "Allowed N", "Damage", "Share %"};
} // namespace

FatigueRowsModel::FatigueRowsModel(QChar decimalSeparator, QObject* parent)
    : QAbstractTableModel(parent)
    , m_separator(decimalSeparator)
{
}

void FatigueRowsModel::setResult(const tessivo::fatigue::FatigueResult* result)
{
    beginResetModel();
    m_result = result;
    endResetModel();
}

int FatigueRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_result ? 0 : static_cast<int>(m_result->rows.size());
}

int FatigueRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(std::size(kHeadings));
}

QString FatigueRowsModel::numberText(long double v) const
{
    if (std::isinf(v))
        return QStringLiteral("no damage");
    QString text = QString::fromStdString(tessivo::fatigue::fatigueNumberText(v, 6));
    text.replace(u'.', m_separator);
    return text;
}

QVariant FatigueRowsModel::data(const QModelIndex& index, int role) const
{
    if (!m_result || !index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const tessivo::fatigue::FatigueRow& row = m_result->rows[static_cast<std::size_t>(index.row())];
    const long double total = m_result->totals.damage;
    switch (index.column()) {
    case 0:
        return numberText(row.cycle.range);
    case 1:
        return numberText(row.cycle.upper);
    case 2:
        return numberText(row.cycle.lower);
    case 3:
        return numberText(row.cycle.count);
    case 4:
        return numberText(row.load);
    case 5:
        return numberText(row.allowed);
    case 6:
        return numberText(row.damage);
    case 7:
        return numberText(total > 0.0L ? 100.0L * row.damage / total : 0.0L);
    }
    return {};
}

QVariant FatigueRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return QString::fromLatin1(kHeadings[section]);
}
