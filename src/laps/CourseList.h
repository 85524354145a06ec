#pragma once

#include <QString>
#include <QStringList>

namespace kelvos {

// The 33 course lengths in metres offered when there is no "course.txt".
QStringList builtInCourseLengths();

struct CourseList {
    QStringList entries;
    // Empty when the whole list came from the file or there was no file; otherwise why the file
    // could not be read (the built-in lengths are used instead), or what of it was cut.
    QString problem;
};

// Limits that keep a damaged or hostile course file from freezing the window.
struct CourseFileLimits {
    qint64 maxBytes = 1024 * 1024;
    qsizetype maxEntries = 1000;
    qsizetype maxEntryLength = 64; // UTF-16 code units; a cut never splits a surrogate pair
};

// The lines of "course.txt" in the given directory, each unchanged (CR LF or LF endings,
// UTF-8 or Shift_JIS text) within the limits, or the built-in lengths when there is no such
// file or it cannot be read.
CourseList loadCourseList(const QString& directory, const CourseFileLimits& limits = {});

// The entries of a course file's bytes, cut to the limits (problem says what was cut).
CourseList courseListFromBytes(const QByteArray& bytes, const CourseFileLimits& limits = {});

// The lines of a course file's bytes: UTF-8 (with or without BOM), else Windows-31J.
QStringList courseLinesFromBytes(const QByteArray& bytes);

// Enter in the course box adds the typed text only when it is not empty and no entry equals it
// (ignoring letter case).
bool isNewCourseEntry(const QString& typed, const QStringList& entries);

} // namespace kelvos
