#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <span>

namespace kelvos {

// The one text form of a grid row: header lines, CSV lines and clipboard text all use it.
//
// Writing: a field holding a character with code 0 to 32, a double quote or a comma is
// enclosed in double quotes (inner quotes doubled); other fields, the empty one included, are
// written as they are; fields are joined by single commas. A list of exactly one empty string
// is written as two double quotes.
QString writeCommaText(const QStringList& fields);

// How the fields of a file are kept from spreadsheets. A spreadsheet takes a field beginning
// with "=", "+", "-" or "@" for a formula, which may run a command, so such a field is written
// with an apostrophe before it, which spreadsheets show as text. Signed figures ("-0.500",
// "+1:01:040") are no formulas and stay as they are. A field that already begins with
// apostrophes followed by one of those characters gets one more, so that reading, which takes
// one apostrophe off such a field, gives back exactly what was written.
enum class FieldGuard { None, Spreadsheet };
bool needsSpreadsheetGuard(QStringView field);
QStringView withoutSpreadsheetGuard(QStringView field);

// The comma text appended to `out`.
void appendCommaText(QString& out, std::span<const QStringView> fields,
                     FieldGuard guard = FieldGuard::None);
void appendCommaText(QString& out, std::span<const QLatin1String> fields,
                     FieldGuard guard = FieldGuard::None);

// Reading: blanks and control characters around fields are skipped; a quoted field runs to its
// closing quote ("" inside stands for one quote, a missing closing quote runs to the end); any
// other field runs to the next comma, blank or control character, so an unquoted blank ends a
// field. Every field is returned in order, empty ones included, except that an empty field
// after the last comma produces nothing.
QStringList readCommaText(QStringView text);
// The same fields, each handed to `field` as a view that is valid only during the call.
void readCommaTextFields(QStringView text, const std::function<void(QStringView)>& field);

} // namespace kelvos
