#pragma once

#include <QSqlQueryModel>

namespace kelvos {

// The history list, fetched a page at a time as it is scrolled: the date in local time and the
// best laps as the grids write times.
class HistoryListModel : public QSqlQueryModel {
    Q_OBJECT
public:
    enum Column {
        Id,
        Started,
        Course,
        Name1,
        Name2,
        Name3,
        Laps1,
        Laps2,
        Laps3,
        Best1,
        Best2,
        Best3
    };

    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QString runId(int row) const;
};

} // namespace kelvos
