#include "CsvFile.h"

#include "BoundedRead.h"
#include "CommaText.h"
#include "SafeSave.h"
#include "TextDecoding.h"

#include <algorithm>

namespace kelvos {

namespace {

constexpr char endOfFile = 26; // Ctrl+Z
constexpr QChar carriageReturn = u'\r';
constexpr QChar lineFeed = u'\n';

QString automaticStem(const QDateTime& when) {
    return when.toString(QStringLiteral("yyMMddHHmm"));
}

// Windows-31J marks an undecodable byte with SUB (26); as the file's own Ctrl+Z is already
// cut off, every SUB left stands for such a byte.
QString decodeCsvWindows31J(QByteArrayView bytes) {
    QString text = decodeWindows31J(bytes);
    text.replace(QChar(endOfFile), QChar::ReplacementCharacter);
    return text;
}

// Programs on Linux end lines with LF alone; a text without any CR is taken to be one of theirs.
QChar lineEndOf(QStringView text) {
    return text.contains(carriageReturn) ? carriageReturn : lineFeed;
}

} // namespace

QString automaticMainFileName(const QDateTime& when) {
    return automaticStem(when) + QStringLiteral(".csv");
}

QString automaticMixFileName(const QDateTime& when) {
    return automaticStem(when) + QStringLiteral("M.csv");
}

QByteArray csvFileBytes(const CellStore& store, int rows) {
    // Grown row by row, a text of many megabytes is copied to a larger buffer again and again.
    QString text;
    text.reserve(store.heldTextSize(1, rows) + 2 * qsizetype(std::max(rows, 0)));
    for (int row = 1; row <= rows; ++row) {
        store.appendHeldRowCommaText(row, text, FieldGuard::Spreadsheet);
        text += QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QString decodeCsvBytes(QByteArrayView bytes) {
    const qsizetype end = bytes.indexOf(endOfFile);
    if (end >= 0)
        bytes = bytes.first(end);
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *std::move(text);
    return decodeCsvWindows31J(bytes);
}

QList<QStringView> csvLines(QStringView text) {
    QList<QStringView> lines;
    const QChar lineEnd = lineEndOf(text);
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype end = text.indexOf(lineEnd, pos);
        if (end < 0) {
            lines.append(text.sliced(pos));
            break;
        }
        lines.append(text.sliced(pos, end - pos));
        pos = end + 1;
        if (lineEnd == carriageReturn && pos < text.size() && text[pos] == lineFeed)
            ++pos;
    }
    return lines;
}

int loadCsvRows(CellStore& store, QStringView text) {
    const QList<QStringView> lines = csvLines(text);
    if (lines.isEmpty())
        return 0;
    const int rows = int(lines.size());
    store.setRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row)
        store.setRowCommaText(row, lines[row - 1], FieldGuard::Spreadsheet);
    return rows;
}

CsvFileText readCsvFile(const QString& path, qint64 maxBytes) {
    const FileBytes file = readRegularFile(path, maxBytes);
    if (!file.error.isEmpty())
        return {{}, file.error};
    return {decodeCsvBytes(file.bytes), {}};
}

QString writeCsvFile(const QString& path, const QByteArray& bytes) {
    return saveFileSafely(path, bytes);
}

} // namespace kelvos
