#include "CellStore.h"

#include "CommaText.h"

#include <QVarLengthArray>
#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

namespace kelvos {

namespace {

// A packed row, in bytes: its form, the number of texts and the length of each in characters
// (seven bits a byte, the top bit saying that another byte follows), then the texts end to
// end. A row whose characters all lie below 256, as a lap row's do, keeps one byte a character
// (Latin-1); any other row two (UTF-16 in the machine's order). Trailing empty texts are left
// out, so a row of empty cells holds nothing at all.
constexpr char narrowForm = 'L';
constexpr char wideForm = 'U';

qsizetype numberSize(qsizetype value) {
    qsizetype size = 1;
    for (; value >= 0x80; value >>= 7)
        ++size;
    return size;
}

char* writeNumber(char* pos, qsizetype value) {
    for (; value >= 0x80; value >>= 7)
        *pos++ = char(0x80 | (value & 0x7F));
    *pos++ = char(value);
    return pos;
}

qsizetype readNumber(const char*& pos) {
    qsizetype value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = uchar(*pos++);
        value |= qsizetype(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return value;
    }
}

// One text of a packed row, where it stands among the row's bytes.
struct PackedText {
    const char* bytes = nullptr;
    qsizetype length = 0; // characters
    bool wide = false;

    QString toString() const {
        if (!wide)
            return QString::fromLatin1(bytes, length);
        QString text(length, Qt::Uninitialized);
        std::memcpy(text.data(), bytes, std::size_t(length) * sizeof(char16_t));
        return text;
    }
};

// The texts of a packed row; a result row has ten.
using PackedTexts = QVarLengthArray<PackedText, 16>;

PackedTexts unpackRow(const QByteArray& packed) {
    PackedTexts texts;
    if (packed.isEmpty())
        return texts;
    const char* lengths = packed.constData();
    const bool wide = *lengths++ == wideForm;
    const qsizetype count = readNumber(lengths);
    const char* text = lengths;
    for (qsizetype i = 0; i < count; ++i)
        readNumber(text);
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype length = readNumber(lengths);
        texts.append({text, length, wide});
        text += wide ? 2 * length : length;
    }
    return texts;
}

// One text of a packed row as a string.
QString packedText(const QByteArray& packed, int col) {
    const PackedTexts texts = unpackRow(packed);
    return col < texts.size() ? texts[col].toString() : QString();
}

bool fitsLatin1(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// Views into the texts of one row, to be packed.
using RowTexts = QVarLengthArray<QStringView, 16>;

QByteArray packRow(const RowTexts& texts) {
    qsizetype count = texts.size();
    while (count > 0 && texts[count - 1].isEmpty())
        --count;
    if (count == 0)
        return {};
    const auto shown = std::span(texts.constData(), std::size_t(count));
    const bool wide = !std::all_of(shown.begin(), shown.end(), fitsLatin1);
    qsizetype size = 1 + numberSize(count);
    for (const QStringView text : shown)
        size += numberSize(text.size()) + (wide ? 2 : 1) * text.size();
    QByteArray packed(size, Qt::Uninitialized);
    char* pos = packed.data();
    *pos++ = wide ? wideForm : narrowForm;
    pos = writeNumber(pos, count);
    for (const QStringView text : shown)
        pos = writeNumber(pos, text.size());
    for (const QStringView text : shown) {
        if (wide) {
            std::memcpy(pos, text.utf16(), std::size_t(text.size()) * sizeof(char16_t));
            pos += 2 * text.size();
        } else {
            pos = std::transform(text.begin(), text.end(), pos,
                                 [](QChar c) { return char(c.unicode()); });
        }
    }
    return packed;
}

// The row's texts in the first `cols` columns as strings, kept alive for views into them.
QStringList unpackedStrings(const PackedTexts& texts, qsizetype cols) {
    QStringList strings(cols);
    for (qsizetype c = 0; c < cols && c < texts.size(); ++c)
        strings[c] = texts[c].toString();
    return strings;
}

} // namespace

CellStore::CellStore(int rows, int cols) {
    setColCount(cols);
    setRowCount(rows);
}

void CellStore::setRowCount(int rows) {
    rows_ = std::max(rows, 0);
    reserveRows(rows_);
}

void CellStore::setColCount(int cols) {
    cols_ = std::max(cols, 0);
}

void CellStore::reserveRows(int rows) {
    if (std::size_t(rows) > packedRows_.size())
        packedRows_.resize(std::size_t(rows));
}

bool CellStore::contains(int col, int row) const {
    return col >= 0 && col < cols_ && row >= 0 && row < rows_;
}

QString CellStore::cell(int col, int row) const {
    return contains(col, row) ? packedText(packedRows_[std::size_t(row)], col) : QString();
}

void CellStore::setCell(int col, int row, const QString& text) {
    // A text written where no cell is would be lost without a word: callers make room first.
    Q_ASSERT_X(contains(col, row), "CellStore::setCell", "cell outside the grid");
    if (!contains(col, row))
        return;
    QStringList texts = this->row(row);
    texts[col] = text;
    setRow(row, texts);
}

QStringList CellStore::row(int row) const {
    if (row < 0 || row >= rows_)
        return {};
    return unpackedStrings(unpackRow(packedRows_[std::size_t(row)]), cols_);
}

void CellStore::setRow(int row, const QStringList& texts) {
    Q_ASSERT_X(row >= 0 && row < rows_, "CellStore::setRow", "row outside the grid");
    if (row < 0 || row >= rows_)
        return;
    const std::vector<QStringView> views(texts.begin(), texts.end());
    rewriteRow(row, views);
}

// Texts of hidden columns (a row written while the grid is narrower) are kept.
void CellStore::rewriteRow(int row, std::span<const QStringView> texts) {
    QByteArray& packed = packedRows_[std::size_t(row)];
    const PackedTexts old = unpackRow(packed);
    QStringList hidden;
    for (qsizetype c = cols_; c < old.size(); ++c)
        hidden.append(old[c].toString());
    RowTexts merged;
    for (int c = 0; c < cols_; ++c)
        merged.append(std::size_t(c) < texts.size() ? texts[std::size_t(c)] : QStringView());
    for (const QString& text : hidden)
        merged.append(text);
    packed = packRow(merged);
}

QStringList CellStore::column(int col) const {
    QStringList texts;
    if (col < 0 || col >= cols_)
        return texts;
    texts.reserve(rows_);
    for (int r = 0; r < rows_; ++r)
        texts.append(cell(col, r));
    return texts;
}

void CellStore::clear() {
    std::vector<QByteArray>(std::size_t(rows_)).swap(packedRows_);
}

void CellStore::clearColumn(int col) {
    if (col < 0 || col >= cols_)
        return;
    for (int r = 0; r < rows_; ++r) {
        if (!cell(col, r).isEmpty())
            setCell(col, r, QString());
    }
}

QString CellStore::rowCommaText(int row) const {
    if (row < 0 || row >= rows_)
        return {};
    QString text;
    appendHeldRowCommaText(row, text);
    return text;
}

void CellStore::appendHeldRowCommaText(int row, QString& out, FieldGuard guard) const {
    const bool held = row >= 0 && std::size_t(row) < packedRows_.size();
    const PackedTexts texts = unpackRow(held ? packedRows_[std::size_t(row)] : QByteArray());
    if (texts.isEmpty() || !texts.front().wide) {
        QVarLengthArray<QLatin1String, 16> fields;
        for (int c = 0; c < cols_; ++c)
            fields.append(c < texts.size() ? QLatin1String(texts[c].bytes, texts[c].length)
                                           : QLatin1String());
        appendCommaText(out, std::span(fields.constData(), std::size_t(fields.size())), guard);
        return;
    }
    const QStringList strings = unpackedStrings(texts, cols_);
    const std::vector<QStringView> fields(strings.begin(), strings.end());
    appendCommaText(out, fields, guard);
}

qsizetype CellStore::heldTextSize(int first, int last) const {
    qsizetype bytes = 0;
    for (int r = std::max(first, 0); r <= last && std::size_t(r) < packedRows_.size(); ++r)
        bytes += packedRows_[std::size_t(r)].size();
    return bytes;
}

// The fields are taken as views into the text where they stand in it, so a row costs no copy
// per cell; only a field unescaped from doubled quotes is kept aside until the row is packed.
void CellStore::setRowCommaText(int row, QStringView text, FieldGuard guard) {
    Q_ASSERT_X(row >= 0 && row < rows_, "CellStore::setRowCommaText", "row outside the grid");
    if (row < 0 || row >= rows_)
        return;
    RowTexts fields;
    QStringList unescaped;
    const std::less<const QChar*> before;
    readCommaTextFields(text, [&](QStringView field) {
        if (fields.size() >= cols_)
            return;
        if (guard == FieldGuard::Spreadsheet)
            field = withoutSpreadsheetGuard(field);
        const bool inText = !before(field.data(), text.data()) &&
                            !before(text.data() + text.size(), field.data() + field.size());
        if (!inText) {
            unescaped.append(field.toString());
            field = unescaped.constLast();
        }
        fields.append(field);
    });
    rewriteRow(row, std::span(fields.constData(), std::size_t(fields.size())));
}

void CellStore::swapRows(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= rows_ || b >= rows_)
        return;
    std::swap(packedRows_[std::size_t(a)], packedRows_[std::size_t(b)]);
}

void CellStore::permuteRows(int first, std::span<const int> order) {
    Q_ASSERT(first >= 0 && first + qsizetype(order.size()) <= rows_);
    std::vector<QByteArray> moved;
    moved.reserve(order.size());
    for (const int from : order)
        moved.push_back(std::move(packedRows_[std::size_t(from)]));
    std::move(moved.begin(), moved.end(), packedRows_.begin() + first);
}

qsizetype CellStore::memoryUsage() const {
    qsizetype bytes = qsizetype(packedRows_.capacity() * sizeof(QByteArray));
    for (int r = 0; r < rows_; ++r) {
        const QByteArray& packed = packedRows_[std::size_t(r)];
        if (!packed.isNull())
            bytes += packed.capacity() + 1 + qsizetype(sizeof(QArrayData));
    }
    return bytes;
}

} // namespace kelvos
