#include "HistoryStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>

namespace kelvos {

namespace {

constexpr int kBusyTimeoutMs = 2000;
constexpr int kConnectTimeoutSeconds = 3;

// Each entry brings the tables from the version before it to its own; a database is never
// taken back. The statements are plain SQL that SQLite and PostgreSQL both take.
const QList<QStringList>& migrations() {
    static const QList<QStringList> steps = {
        {
            "CREATE TABLE runs (id TEXT PRIMARY KEY, digest TEXT NOT NULL UNIQUE, "
            "started TEXT NOT NULL, stopped TEXT NOT NULL, course TEXT NOT NULL, "
            "unit TEXT NOT NULL, name1 TEXT NOT NULL, name2 TEXT NOT NULL, name3 TEXT NOT NULL, "
            "laps1 INTEGER NOT NULL, laps2 INTEGER NOT NULL, laps3 INTEGER NOT NULL, "
            "best1 INTEGER NOT NULL, best2 INTEGER NOT NULL, best3 INTEGER NOT NULL, "
            "replaces TEXT NOT NULL)",
            "CREATE INDEX runs_started ON runs (started)",
            "CREATE INDEX runs_course ON runs (course, started)",
            "CREATE TABLE laps (run_id TEXT NOT NULL REFERENCES runs (id), seq INTEGER NOT NULL, "
            "competitor INTEGER NOT NULL, total_ms INTEGER NOT NULL, lap_ms INTEGER NOT NULL, "
            "lap_no TEXT NOT NULL, name TEXT NOT NULL, total TEXT NOT NULL, "
            "lap_time TEXT NOT NULL, difference TEXT NOT NULL, realtime TEXT NOT NULL, "
            "lap_ms_text TEXT NOT NULL, lap_speed TEXT NOT NULL, average_ms TEXT NOT NULL, "
            "average_speed TEXT NOT NULL, PRIMARY KEY (run_id, seq))",
            "CREATE INDEX laps_name ON laps (name)",
        },
        {
            // The runs of a station's own history that are also in the club's.
            "CREATE TABLE uploaded_runs (run_id TEXT PRIMARY KEY)",
        },
    };
    return steps;
}

constexpr int kRowColumns = 10; // lap_no … average_speed, the Mix row's cells

// Times are kept as UTC in ISO form, so that text order is time order.
QString storedTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime timeFromStore(const QString& text) {
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    time.setTimeSpec(Qt::UTC);
    return time.toLocalTime();
}

// A text never goes in as NULL: an empty cell is an empty text.
QString stored(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

HistoryStore::HistoryStore(QString connectionName) : connectionName_(std::move(connectionName)) {}

HistoryStore::~HistoryStore() {
    close();
}

QString HistoryStore::defaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath("kelvos/history.sqlite");
}

QSqlDatabase HistoryStore::database() const {
    return QSqlDatabase::database(connectionName_, false);
}

bool HistoryStore::isOpen() const {
    return QSqlDatabase::contains(connectionName_) && database().isOpen();
}

bool HistoryStore::fail(const QString& what, const QString& error) {
    lastError_ = what + ": " + error;
    return false;
}

QString HistoryStore::openFile(const QString& path) {
    lastError_.clear();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return lastError_ = "the folder " + QFileInfo(path).absolutePath() + " cannot be made";
    close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connectionName_);
        db.setDatabaseName(path);
        db.setConnectOptions(QString("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    }
    return openDatabase();
}

QString HistoryStore::openAddress(const QString& address) {
    lastError_.clear();
    const QUrl url(address);
    if (!url.isValid() || (url.scheme() != "postgresql" && url.scheme() != "postgres"))
        return lastError_ = "not a postgresql:// address: " + address;
    close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", connectionName_);
        const QString hostQuery = QUrlQuery(url).queryItemValue("host", QUrl::FullyDecoded);
        db.setHostName(hostQuery.isEmpty() ? url.host(QUrl::FullyDecoded) : hostQuery);
        db.setPort(url.port(5432));
        db.setUserName(url.userName(QUrl::FullyDecoded));
        db.setPassword(url.password(QUrl::FullyDecoded));
        db.setDatabaseName(url.path(QUrl::FullyDecoded).mid(1));
        // The server's notices ("already exists, skipping") are not for the operator.
        db.setConnectOptions(QString("connect_timeout=%1;options='-c client_min_messages=warning'")
                                 .arg(kConnectTimeoutSeconds));
    }
    return openDatabase();
}

void HistoryStore::close() {
    if (!QSqlDatabase::contains(connectionName_))
        return;
    database().close();
    QSqlDatabase::removeDatabase(connectionName_);
}

QString HistoryStore::openDatabase() {
    const QString error = [this]() -> QString {
        QSqlDatabase db = database();
        if (!db.open())
            return db.lastError().text();
        if (db.driverName() == "QSQLITE") {
            // Readers (the history window) go on while a run is written.
            QSqlQuery wal(db);
            if (!wal.exec("PRAGMA journal_mode=WAL"))
                return wal.lastError().text();
        }
        return migrate();
    }();
    if (!error.isEmpty()) {
        close(); // every handle of the connection is gone by now
        lastError_ = error;
    }
    return error;
}

QString HistoryStore::migrate() {
    QSqlDatabase db = database();
    QSqlQuery query(db);
    if (!query.exec("CREATE TABLE IF NOT EXISTS kelvos_schema (version INTEGER NOT NULL)"))
        return query.lastError().text();
    if (!query.exec("SELECT version FROM kelvos_schema"))
        return query.lastError().text();
    const bool hasRow = query.next();
    const int version = hasRow ? query.value(0).toInt() : 0;
    query.finish();
    if (version > migrations().size())
        return QString("the history was written by a newer KelvoS (version %1)").arg(version);
    for (int step = version; step < migrations().size(); ++step) {
        if (!db.transaction())
            return db.lastError().text();
        for (const QString& statement : migrations()[step]) {
            if (!query.exec(statement)) {
                const QString error = query.lastError().text();
                db.rollback();
                return error;
            }
        }
        const QString mark = step == 0 && !hasRow ? "INSERT INTO kelvos_schema VALUES (%1)"
                                                  : "UPDATE kelvos_schema SET version = %1";
        if (!query.exec(mark.arg(step + 1))) {
            const QString error = query.lastError().text();
            db.rollback();
            return error;
        }
        query.finish();
        if (!db.commit()) {
            const QString error = db.lastError().text();
            db.rollback();
            return error;
        }
    }
    return {};
}

HistoryStore::Added HistoryStore::add(const HistoryRun& run) {
    lastError_.clear();
    QSqlDatabase db = database();
    if (!db.isOpen()) {
        fail("the history is not open", db.lastError().text());
        return Added::Failed;
    }
    if (!db.transaction()) {
        fail("a run cannot be written", db.lastError().text());
        return Added::Failed;
    }
    const auto rollback = [&](const QSqlQuery& query) {
        fail("a run cannot be written", query.lastError().text());
        db.rollback();
        return Added::Failed;
    };
    if (!run.replaces.isEmpty()) {
        QSqlQuery remove(db);
        for (const char* sql :
             {"DELETE FROM laps WHERE run_id = ?", "DELETE FROM runs WHERE id = ?"}) {
            remove.prepare(sql);
            remove.addBindValue(run.replaces);
            if (!remove.exec())
                return rollback(remove);
        }
    }
    QSqlQuery insert(db);
    insert.prepare("INSERT INTO runs VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                   "ON CONFLICT DO NOTHING");
    insert.addBindValue(run.id);
    insert.addBindValue(QString::fromLatin1(run.digest()));
    insert.addBindValue(storedTime(run.started));
    insert.addBindValue(storedTime(run.stopped));
    insert.addBindValue(stored(run.course));
    insert.addBindValue(stored(run.unit));
    for (const QString& name : run.names)
        insert.addBindValue(stored(name));
    for (int competitor = 1; competitor <= 3; ++competitor)
        insert.addBindValue(run.lapCount(competitor));
    for (int competitor = 1; competitor <= 3; ++competitor)
        insert.addBindValue(run.bestLap(competitor));
    insert.addBindValue(stored(run.replaces));
    if (!insert.exec())
        return rollback(insert);
    if (insert.numRowsAffected() == 0) {
        insert.finish();
        db.rollback();
        return Added::AlreadyKept;
    }
    QSqlQuery lap(db);
    lap.prepare("INSERT INTO laps VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int seq = 0; seq < run.laps.size(); ++seq) {
        const HistoryLap& facts = run.laps[seq];
        lap.addBindValue(run.id);
        lap.addBindValue(seq + 1);
        lap.addBindValue(facts.competitor);
        lap.addBindValue(facts.total);
        lap.addBindValue(facts.lap);
        for (int column = 0; column < kRowColumns; ++column)
            lap.addBindValue(stored(facts.row.value(column)));
        if (!lap.exec())
            return rollback(lap);
    }
    lap.finish();
    if (!db.commit()) {
        fail("a run cannot be written", db.lastError().text());
        db.rollback();
        return Added::Failed;
    }
    return Added::Added;
}

std::optional<HistoryRun> HistoryStore::run(const QString& id) {
    QSqlQuery query(database());
    query.prepare("SELECT started, stopped, course, unit, name1, name2, name3, replaces FROM runs "
                  "WHERE id = ?");
    query.addBindValue(id);
    if (!query.exec() || !query.next())
        return std::nullopt;
    HistoryRun run;
    run.id = id;
    run.started = timeFromStore(query.value(0).toString());
    run.stopped = timeFromStore(query.value(1).toString());
    run.course = query.value(2).toString();
    run.unit = query.value(3).toString();
    for (int i = 0; i < 3; ++i)
        run.names[i] = query.value(4 + i).toString();
    run.replaces = query.value(7).toString();
    query.prepare("SELECT competitor, total_ms, lap_ms, lap_no, name, total, lap_time, "
                  "difference, realtime, lap_ms_text, lap_speed, average_ms, average_speed "
                  "FROM laps WHERE run_id = ? ORDER BY seq");
    query.addBindValue(id);
    if (!query.exec())
        return std::nullopt;
    while (query.next()) {
        HistoryLap lap;
        lap.competitor = query.value(0).toInt();
        lap.total = query.value(1).toInt();
        lap.lap = query.value(2).toInt();
        for (int column = 0; column < kRowColumns; ++column)
            lap.row << query.value(3 + column).toString();
        run.laps << lap;
    }
    return run;
}

QStringList HistoryStore::runsNotUploaded() {
    QSqlQuery query(database());
    QStringList ids;
    if (!query.exec("SELECT id FROM runs WHERE id NOT IN (SELECT run_id FROM uploaded_runs) "
                    "ORDER BY started"))
        return ids;
    while (query.next())
        ids << query.value(0).toString();
    return ids;
}

bool HistoryStore::markUploaded(const QString& id) {
    QSqlQuery query(database());
    query.prepare("INSERT INTO uploaded_runs VALUES (?) ON CONFLICT DO NOTHING");
    query.addBindValue(id);
    return query.exec() || fail("a run cannot be marked as uploaded", query.lastError().text());
}

qint64 HistoryStore::runCount() {
    QSqlQuery query(database());
    return query.exec("SELECT COUNT(*) FROM runs") && query.next() ? query.value(0).toLongLong()
                                                                   : 0;
}

QSqlQuery HistoryStore::listQuery(const HistoryFilter& filter) {
    QStringList conditions;
    QVariantList values;
    if (!filter.name.isEmpty()) {
        conditions << "(name1 LIKE ? OR name2 LIKE ? OR name3 LIKE ?)";
        const QString pattern = '%' + filter.name + '%';
        values << pattern << pattern << pattern;
    }
    if (!filter.course.isEmpty()) {
        conditions << "course LIKE ?";
        values << '%' + filter.course + '%';
    }
    if (filter.from.isValid()) {
        conditions << "started >= ?";
        values << storedTime(filter.from.startOfDay());
    }
    if (filter.to.isValid()) {
        conditions << "started < ?";
        values << storedTime(filter.to.addDays(1).startOfDay());
    }
    QString sql = "SELECT id, started, course, name1, name2, name3, laps1, laps2, laps3, best1, "
                  "best2, best3 FROM runs";
    if (!conditions.isEmpty())
        sql += " WHERE " + conditions.join(" AND ");
    sql += " ORDER BY started DESC";
    QSqlQuery query(database());
    query.setForwardOnly(false);
    query.prepare(sql);
    for (const QVariant& value : values)
        query.addBindValue(value);
    query.exec();
    return query;
}

QList<ProgressPoint> HistoryStore::progress(const QString& name, const QString& course) {
    QSqlQuery query(database());
    query.prepare("SELECT r.started, MIN(l.lap_ms), AVG(l.lap_ms) FROM runs r JOIN laps l ON "
                  "l.run_id = r.id WHERE r.course = ? AND l.name = ? AND l.lap_ms > 0 "
                  "GROUP BY r.id, r.started ORDER BY r.started");
    query.addBindValue(course);
    query.addBindValue(name);
    QList<ProgressPoint> points;
    if (!query.exec())
        return points;
    while (query.next())
        points << ProgressPoint{timeFromStore(query.value(0).toString()), query.value(1).toInt(),
                                qint32(query.value(2).toDouble())};
    return points;
}

} // namespace kelvos
