#pragma once
// The fatigue window's table: one row per counted cycle with its loads,
// count, S, allowed cycles, damage and share of the total damage in percent.

#include "engine/fatigue/fatigue_analysis.h"

#include <QAbstractTableModel>
#include <QChar>

class FatigueRowsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit FatigueRowsModel(QChar decimalSeparator, QObject* parent = nullptr);

    // Shows these rows (none when result is null); totalDamage gives the shares.
    void setResult(const tessivo::fatigue::FatigueResult* result);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of a number in the table: 6 significant digits, the window's
    // decimal separator, "no damage" for an unlimited number of cycles.
    QString numberText(long double v) const;

private:
    QChar m_separator;
    const tessivo::fatigue::FatigueResult* m_result = nullptr;
};
