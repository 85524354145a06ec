#include "HistoryListModel.h"

#include "TimeText.h"

#include <QDateTime>

namespace kelvos {

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
    const QVariant value = QSqlQueryModel::data(index, role);
    if (role != Qt::DisplayRole)
        return value;
    if (index.column() == Started) {
        QDateTime started = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        started.setTimeSpec(Qt::UTC);
        return started.toLocalTime().toString("yyyy-MM-dd hh:mm");
    }
    if (index.column() >= Best1) {
        const qint32 ms = value.toInt();
        return ms > 0 ? formatFullTime(ms) : QString();
    }
    return value;
}

QVariant HistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QSqlQueryModel::headerData(section, orientation, role);
    static const char* const titles[] = {"Id",     "Date",   "Course", "Name 1",
                                         "Name 2", "Name 3", "Laps 1", "Laps 2",
                                         "Laps 3", "Best 1", "Best 2", "Best 3"};
    return section >= 0 && section < int(std::size(titles)) ? QString(titles[section]) : QVariant();
}

QString HistoryListModel::runId(int row) const {
    return QSqlQueryModel::data(index(row, Id)).toString();
}

} // namespace kelvos
