#pragma once

#include <QString>
#include <QStringList>

namespace kelvos {

// The 33 course lengths in metres offered when there is no "course.txt".
QStringList builtInCourseLengths();

struct CourseList {
    QStringList entries;
    // Empty when the list came from the file or there was no file; otherwise why the file
    // could not be read (the built-in lengths are used instead).
    QString problem;
};

// The lines of "course.txt" in the given directory, each unchanged (CR LF or LF endings,
// UTF-8 or Shift_JIS text), or the built-in lengths when there is no such file.
CourseList loadCourseList(const QString& directory);

// The lines of a course file's bytes: UTF-8 (with or without BOM), else Windows-31J.
QStringList courseLinesFromBytes(const QByteArray& bytes);

// Enter in the course box adds the typed text only when it is not empty and no entry equals it
// (ignoring letter case).
bool isNewCourseEntry(const QString& typed, const QStringList& entries);

} // namespace kelvos
