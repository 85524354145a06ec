#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kelvos {

// What is known of a journal whose unfinished run was restored and saved while the journal
// itself could not be written: which journal (the digest of its bytes) and the file its run
// went to. It keeps that run from being restored again at every start.
struct RestoreMark {
    QByteArray journalDigest;
    QString file;

    bool operator==(const RestoreMark&) const = default;
};

// The mark beside the journal at `journalPath`.
QString restoreMarkPath(const QString& journalPath);
// Writes the mark (checked); returns an error text, empty on success.
QString writeRestoreMark(const QString& journalPath, const RestoreMark& mark);
// The mark, or nullopt when there is none or it cannot be read.
std::optional<RestoreMark> readRestoreMark(const QString& journalPath);

} // namespace kelvos
