#include "CsvFile.h"

#include "CommaText.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace kelvos {

namespace {

constexpr char endOfFile = 26; // Ctrl+Z
constexpr QChar carriageReturn = u'\r';
constexpr QChar lineFeed = u'\n';

QString automaticStem(const QDateTime& when) {
    return when.toString(QStringLiteral("yyMMddHHmm"));
}

QString rowLine(const CellStore& store, int row) {
    if (row < store.rowCount())
        return store.rowCommaText(row);
    return writeCommaText(QStringList(store.colCount()));
}

// Windows-31J marks an undecodable byte with SUB (26); as the file's own Ctrl+Z is already
// cut off, every SUB left stands for such a byte.
QString decodeWindows31J(QByteArrayView bytes) {
    QStringDecoder decoder("CP932");
    QString text = decoder.decode(bytes);
    text.replace(QChar(endOfFile), QChar::ReplacementCharacter);
    return text;
}

} // namespace

QString automaticMainFileName(const QDateTime& when) {
    return automaticStem(when) + QStringLiteral(".csv");
}

QString automaticMixFileName(const QDateTime& when) {
    return automaticStem(when) + QStringLiteral("M.csv");
}

QByteArray csvFileBytes(const CellStore& store, int rows) {
    QByteArray bytes;
    for (int row = 1; row <= rows; ++row) {
        bytes += rowLine(store, row).toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

QString decodeCsvBytes(QByteArrayView bytes) {
    const qsizetype end = bytes.indexOf(endOfFile);
    if (end >= 0)
        bytes = bytes.first(end);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows31J(bytes);
}

QList<QStringView> csvLines(QStringView text) {
    QList<QStringView> lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype end = text.indexOf(carriageReturn, pos);
        if (end < 0) {
            lines.append(text.sliced(pos));
            break;
        }
        lines.append(text.sliced(pos, end - pos));
        pos = end + 1;
        if (pos < text.size() && text[pos] == lineFeed)
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
        store.setRowCommaText(row, lines[row - 1]);
    return rows;
}

CsvFileText readCsvFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    const QByteArray bytes = file.readAll();
    CsvFileText result{decodeCsvBytes(bytes), {}};
    if (file.error() != QFileDevice::NoError)
        result.error = file.errorString();
    return result;
}

QString writeCsvFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace kelvos
