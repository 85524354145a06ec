#include "HistoryWriter.h"

#include "CellStore.h"
#include "CsvFile.h"
#include "RunEvent.h"

#include <QDir>
#include <QFileInfo>

namespace kelvos {

HistoryWriter::HistoryWriter(QString path, std::function<void(const QString&)> problem)
    : path_(std::move(path)), problem_(std::move(problem)) {}

HistoryWriter::~HistoryWriter() = default;

bool HistoryWriter::ready() {
    if (store_ && store_->isOpen())
        return true;
    // A connection's name is unique per writer: several writers may run at once.
    store_ = std::make_unique<HistoryStore>(
        QString("kelvos-history-writer-%1").arg(quintptr(this), 0, 16));
    if (const QString error = store_->openFile(path_); !error.isEmpty()) {
        problem_("The run history " + QDir::toNativeSeparators(path_) + " cannot be opened (" +
                 error + ").");
        store_.reset();
        return false;
    }
    return true;
}

void HistoryWriter::write(const HistoryRun& run) {
    if (!ready())
        return;
    if (store_->add(run) == HistoryStore::Added::Failed)
        problem_("The run history " + QDir::toNativeSeparators(path_) + " cannot be written (" +
                 store_->lastError() + ").");
}

ImportReport HistoryWriter::importFiles(const QStringList& paths) {
    ImportReport report;
    if (!ready()) {
        report.problems << "The run history " + QDir::toNativeSeparators(path_) +
                               " cannot be opened.";
        return report;
    }
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            addImported(path, report);
            continue;
        }
        const QStringList files =
            QDir(path).entryList({"*.csv", "*.CSV"}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString& file : files)
            addImported(QDir(path).filePath(file), report);
    }
    return report;
}

void HistoryWriter::addImported(const QString& file, ImportReport& report) {
    const CsvFileText contents = readCsvFile(file);
    if (!contents.error.isEmpty()) {
        report.problems << QDir::toNativeSeparators(file) + ": " + contents.error;
        return;
    }
    CellStore store(1, kLapColumnCount);
    QList<QStringList> rows;
    for (int row = 1, loaded = loadCsvRows(store, contents.text); row <= loaded; ++row)
        rows << store.row(row);
    if (rows.isEmpty()) {
        report.problems << QDir::toNativeSeparators(file) + ": no laps";
        return;
    }
    HistoryRun run = runFromMixRows(rows);
    run.stopped = QFileInfo(file).lastModified();
    run.started = run.stopped.addMSecs(-run.laps.last().total);
    switch (store_->add(run)) {
    case HistoryStore::Added::Added:
        ++report.added;
        break;
    case HistoryStore::Added::AlreadyKept:
        ++report.alreadyKept;
        break;
    case HistoryStore::Added::Failed:
        report.problems << QDir::toNativeSeparators(file) + ": " + store_->lastError();
        break;
    }
}

} // namespace kelvos
