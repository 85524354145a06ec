#include "CellStore.h"

#include "CommaText.h"

#include <QVarLengthArray>
#include <algorithm>
#include <functional>
#include <utility>

namespace kelvos {

namespace {

// A packed row: the number of texts, the length of each, then the texts end to end; trailing
// empty texts are left out, so a row of empty cells is an empty string. A number below 0x8000
// takes one code unit, a larger one two, the first with its top bit set.
constexpr char16_t longNumber = 0x8000;

void appendNumber(QString& packed, qsizetype value) {
    if (value < longNumber) {
        packed += QChar(char16_t(value));
        return;
    }
    packed += QChar(char16_t(longNumber | (value >> 16)));
    packed += QChar(char16_t(value & 0xFFFF));
}

qsizetype readNumber(const QChar*& pos) {
    const char16_t first = (pos++)->unicode();
    if (!(first & longNumber))
        return first;
    return (qsizetype(first & ~longNumber) << 16) | (pos++)->unicode();
}

// Views into one row's texts; a result row has ten.
using RowTexts = QVarLengthArray<QStringView, 16>;

RowTexts unpackRow(const QString& packed, qsizetype atLeast = 0) {
    RowTexts texts;
    if (!packed.isEmpty()) {
        const QChar* lengths = packed.constData();
        const qsizetype count = readNumber(lengths);
        const QChar* text = lengths;
        for (qsizetype i = 0; i < count; ++i)
            readNumber(text);
        for (qsizetype i = 0; i < count; ++i) {
            const qsizetype length = readNumber(lengths);
            texts.append(QStringView(text, length));
            text += length;
        }
    }
    while (texts.size() < atLeast)
        texts.append(QStringView());
    return texts;
}

// One text of a packed row, found without unpacking the others.
QStringView packedText(const QString& packed, int col) {
    if (packed.isEmpty())
        return {};
    const QChar* pos = packed.constData();
    const qsizetype count = readNumber(pos);
    if (col >= count)
        return {};
    qsizetype offset = 0;
    qsizetype length = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype n = readNumber(pos);
        if (i < col)
            offset += n;
        else if (i == col)
            length = n;
    }
    return QStringView(pos + offset, length);
}

QString packRow(const RowTexts& texts) {
    qsizetype count = texts.size();
    while (count > 0 && texts[count - 1].isEmpty())
        --count;
    QString packed;
    if (count == 0)
        return packed;
    qsizetype length = 2;
    for (qsizetype i = 0; i < count; ++i)
        length += texts[i].size() + 2;
    packed.reserve(length);
    appendNumber(packed, count);
    for (qsizetype i = 0; i < count; ++i)
        appendNumber(packed, texts[i].size());
    for (qsizetype i = 0; i < count; ++i)
        packed += texts[i];
    packed.squeeze();
    return packed;
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
    return cellView(col, row).toString();
}

QStringView CellStore::cellView(int col, int row) const {
    if (!contains(col, row))
        return {};
    return packedText(packedRows_[std::size_t(row)], col);
}

void CellStore::setCell(int col, int row, const QString& text) {
    // A text written where no cell is would be lost without a word: callers make room first.
    Q_ASSERT_X(contains(col, row), "CellStore::setCell", "cell outside the grid");
    if (!contains(col, row))
        return;
    QString& packed = packedRows_[std::size_t(row)];
    RowTexts texts = unpackRow(packed, col + 1);
    texts[col] = text;
    packed = packRow(texts);
}

QStringList CellStore::row(int row) const {
    if (row < 0 || row >= rows_)
        return {};
    QStringList texts(cols_);
    const RowTexts held = unpackRow(packedRows_[std::size_t(row)]);
    for (int c = 0; c < cols_ && c < held.size(); ++c)
        texts[c] = held[c].toString();
    return texts;
}

void CellStore::setRow(int row, const QStringList& texts) {
    Q_ASSERT_X(row >= 0 && row < rows_, "CellStore::setRow", "row outside the grid");
    if (row < 0 || row >= rows_)
        return;
    const std::vector<QStringView> views(texts.begin(), texts.end());
    rewriteRow(row, views);
}

void CellStore::rewriteRow(int row, std::span<const QStringView> texts) {
    QString& packed = packedRows_[std::size_t(row)];
    RowTexts merged = unpackRow(packed, cols_);
    for (int c = 0; c < cols_; ++c)
        merged[c] = std::size_t(c) < texts.size() ? texts[std::size_t(c)] : QStringView();
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
    std::vector<QString>(std::size_t(rows_)).swap(packedRows_);
}

void CellStore::clearColumn(int col) {
    if (col < 0 || col >= cols_)
        return;
    for (int r = 0; r < rows_; ++r) {
        if (!cellView(col, r).isEmpty())
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

void CellStore::appendHeldRowCommaText(int row, QString& out) const {
    const bool held = row >= 0 && std::size_t(row) < packedRows_.size();
    const RowTexts texts = unpackRow(held ? packedRows_[std::size_t(row)] : QString(), cols_);
    appendCommaText(out, std::span(texts.constData(), std::size_t(cols_)));
}

// The fields are taken as views into the text where they stand in it, so a row costs no copy
// per cell; only a field unescaped from doubled quotes is kept aside until the row is packed.
void CellStore::setRowCommaText(int row, QStringView text) {
    Q_ASSERT_X(row >= 0 && row < rows_, "CellStore::setRowCommaText", "row outside the grid");
    if (row < 0 || row >= rows_)
        return;
    RowTexts fields;
    QStringList unescaped;
    const std::less<const QChar*> before;
    readCommaTextFields(text, [&](QStringView field) {
        if (fields.size() >= cols_)
            return;
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
    std::vector<QString> moved;
    moved.reserve(order.size());
    for (const int from : order)
        moved.push_back(std::move(packedRows_[std::size_t(from)]));
    std::move(moved.begin(), moved.end(), packedRows_.begin() + first);
}

qsizetype CellStore::memoryUsage() const {
    qsizetype bytes = qsizetype(packedRows_.capacity() * sizeof(QString));
    for (int r = 0; r < rows_; ++r) {
        const QString& packed = packedRows_[std::size_t(r)];
        if (!packed.isNull())
            bytes += qsizetype(packed.capacity() + 1) * qsizetype(sizeof(QChar)) +
                     qsizetype(sizeof(QArrayData));
    }
    return bytes;
}

} // namespace kelvos
