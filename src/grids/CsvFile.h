#pragma once

#include "BoundedRead.h"
#include "CellStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringView>

namespace kelvos {

// CSV files of the two grids: one data row per line, as row comma text, no header line. The
// fields are kept from spreadsheets (FieldGuard::Spreadsheet) when written and taken out of
// that guard when read.

// The automatic names, from the local date and time of the save: "yymmddhhnn.csv" for the
// Main grid and "yymmddhhnnM.csv" for the Mix grid.
QString automaticMainFileName(const QDateTime& when);
QString automaticMixFileName(const QDateTime& when);

// Rows 1 to rows of the store, each as its comma text followed by CR LF, in UTF-8 without a
// byte-order mark. A row beyond the rows the store shows is written with the cells it still
// holds (empty ones where it holds none).
QByteArray csvFileBytes(const CellStore& store, int rows);

// The text of a file: everything from the first Ctrl+Z (26) on is dropped; valid UTF-8 is
// read as such (a byte-order mark skipped), anything else as Windows-31J (Shift_JIS), the
// code page of files written on Japanese Windows systems. Bytes that fit neither become
// U+FFFD, so they never act as blanks or line ends.
QString decodeCsvBytes(QByteArrayView bytes);

// The lines of a text, as views into it: a line ends at a CR, which may be followed by an LF;
// an LF alone stays in the line. In a text without any CR (as programs on Linux write it) a
// line ends at an LF. An empty text has no lines; a text ending with a line end has no empty
// last line after it.
QList<QStringView> csvLines(QStringView text);

// Loads the lines into rows 1, 2, … of the store: when there is at least one line, the row
// count becomes lines + 1 and each row is set from its line as comma text; with none the
// store is left as it is. Returns the number of rows loaded.
int loadCsvRows(CellStore& store, QStringView text);

// A file read whole, or why it was not.
struct CsvFileText {
    QString text;
    QString error; // empty when the whole file was read
};
// The largest file read; anything larger, and anything but a regular file, is refused.
inline constexpr qint64 MaxCsvFileBytes = 256 * MiB;
CsvFileText readCsvFile(const QString& path, qint64 maxBytes = MaxCsvFileBytes);

// Writes the file through a temporary file that replaces the old one only once every byte is
// written, so a failed save (a full disk) leaves the previous file as it was; in a folder that
// takes no new file the file is rewritten in place. Returns the error text, or an empty string
// on success.
QString writeCsvFile(const QString& path, const QByteArray& bytes);

} // namespace kelvos
