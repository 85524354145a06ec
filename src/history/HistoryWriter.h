#pragma once

#include "HistoryRun.h"
#include "HistoryStore.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

namespace kelvos {

// What an import did.
struct ImportReport {
    int added = 0;
    int alreadyKept = 0;
    QStringList problems; // one line for each file that could not be taken
};

// Writes runs into the history from a thread of its own, through a connection of that thread.
// Lives on that thread: every call comes queued.
class HistoryWriter : public QObject {
    Q_OBJECT
public:
    // `problem` is called on the writer's thread with a text for the operator.
    HistoryWriter(QString path, std::function<void(const QString&)> problem);
    ~HistoryWriter() override;

    void write(const HistoryRun& run);
    // Mix files, or folders of them (the .csv files directly in them).
    ImportReport importFiles(const QStringList& paths);

private:
    // Opens the database when it is not open yet; a database that failed is tried again at the
    // next run, so that one freed meanwhile takes it.
    bool ready();
    void addImported(const QString& file, ImportReport& report);

    QString path_;
    std::function<void(const QString&)> problem_;
    std::unique_ptr<HistoryStore> store_;
};

} // namespace kelvos
