#include "CourseList.h"

#include "BoundedRead.h"
#include "TextDecoding.h"

#include <QDir>
#include <algorithm>

namespace kelvos {

namespace {

const QString kCourseFileName = QStringLiteral("course.txt");

// Cuts at the limit without splitting a surrogate pair; returns whether the entry was cut.
bool cutEntry(QString& entry, qsizetype maxLength) {
    if (entry.size() <= maxLength) {
        return false;
    }
    qsizetype length = maxLength;
    if (length > 0 && entry.at(length - 1).isHighSurrogate()) {
        --length;
    }
    entry.truncate(length);
    return true;
}

QString cutsText(qsizetype droppedEntries, qsizetype cutEntries, const CourseFileLimits& limits) {
    QStringList cuts;
    if (droppedEntries > 0) {
        cuts << QStringLiteral("%1 lines beyond the first %2 were left out")
                    .arg(droppedEntries)
                    .arg(limits.maxEntries);
    }
    if (cutEntries > 0) {
        cuts << QStringLiteral("%1 lines were cut to %2 characters")
                    .arg(cutEntries)
                    .arg(limits.maxEntryLength);
    }
    return cuts.isEmpty() ? QString() : kCourseFileName + QStringLiteral(": ") + cuts.join("; ");
}

} // namespace

QStringList builtInCourseLengths() {
    return {"10",   "50",   "100",  "200",   "333",  "400",  "500",  "800",  "1000",
            "1500", "3000", "5000", "10000", "5864", "3466", "4801", "1490", "3422",
            "2492", "2045", "4563", "2804",  "3703", "2007", "3330", "1004", "4674",
            "2061", "3704", "4063", "5091",  "3405", "1700"};
}

QStringList courseLinesFromBytes(const QByteArray& bytes) {
    // Lists written on Japanese Windows systems are in the ANSI code page.
    QString text = decodeUtf8OrWindows31J(bytes);
    if (text.isEmpty()) {
        return {};
    }
    // CR LF, LF and a lone CR all end a line; a break after the last line adds no empty entry.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text.split(u'\n');
}

CourseList courseListFromBytes(const QByteArray& bytes, const CourseFileLimits& limits) {
    QStringList entries = courseLinesFromBytes(bytes);
    const qsizetype dropped = std::max<qsizetype>(entries.size() - limits.maxEntries, 0);
    entries.resize(entries.size() - dropped);
    const auto cut = std::count_if(entries.begin(), entries.end(), [&](QString& entry) {
        return cutEntry(entry, limits.maxEntryLength);
    });
    return {entries, cutsText(dropped, cut, limits)};
}

CourseList loadCourseList(const QString& directory, const CourseFileLimits& limits) {
    const FileBytes file =
        readRegularFile(QDir(directory).filePath(kCourseFileName), limits.maxBytes);
    if (file.missing) {
        return {builtInCourseLengths(), {}};
    }
    if (!file.error.isEmpty()) {
        return {builtInCourseLengths(), file.error};
    }
    return courseListFromBytes(file.bytes, limits);
}

bool isNewCourseEntry(const QString& typed, const QStringList& entries) {
    return !typed.isEmpty() && !entries.contains(typed, Qt::CaseInsensitive);
}

} // namespace kelvos
