#include "CommaText.h"

#include <algorithm>
#include <type_traits>

namespace kelvos {

namespace {

constexpr QChar quote = u'"';
constexpr QChar comma = u',';

// Code 0 counts as a blank as well: the text may hold NUL characters (a file or the clipboard),
// and a NUL that neither ended a field nor was skipped would stall the reader.
bool isBlankOrControl(QChar c) {
    return c.unicode() <= 32;
}

// A field's characters as UTF-16 code units, whether held as UTF-16 or as Latin-1.
char16_t unitOf(QChar c) {
    return c.unicode();
}
char16_t unitOf(char c) {
    return uchar(c);
}

constexpr QChar apostrophe = u'\'';

bool opensFormula(QChar c) {
    return c == u'=' || c == u'+' || c == u'-' || c == u'@';
}

bool isFigureCharacter(QChar c) {
    return c.isDigit() || c == u'.' || c == u':';
}

// A sign, a digit, then digits, points and colons: a difference or a signed count.
bool isSignedFigure(QStringView field) {
    return field.size() >= 2 && (field[0] == u'+' || field[0] == u'-') && field[1].isDigit() &&
           std::all_of(field.begin() + 2, field.end(), isFigureCharacter);
}

// Apostrophes, then a character that opens a formula.
bool isGuarded(QStringView field) {
    const qsizetype first =
        std::find_if(field.begin(), field.end(), [](QChar c) { return c != apostrophe; }) -
        field.begin();
    return first > 0 && first < field.size() && opensFormula(field[first]);
}

template <typename Field> bool needsGuard(Field field, FieldGuard guard) {
    if (guard == FieldGuard::None || field.isEmpty())
        return false;
    const QChar first(unitOf(field.front()));
    if (first != apostrophe && !opensFormula(first))
        return false;
    if constexpr (std::is_same_v<Field, QLatin1String>)
        return needsSpreadsheetGuard(QString(field));
    else
        return needsSpreadsheetGuard(field);
}

template <typename Field> bool needsQuotes(Field field) {
    return std::any_of(field.begin(), field.end(), [](auto c) {
        const QChar unit(unitOf(c));
        return isBlankOrControl(unit) || unit == quote || unit == comma;
    });
}

// Writes the field at `pos`, quoted and guarded where needed; returns the end of what it wrote,
// at most 2 × size + 3 characters.
template <typename Field> QChar* writeField(QChar* pos, Field field, FieldGuard guard) {
    const bool quoted = needsQuotes(field);
    if (quoted)
        *pos++ = quote;
    if (needsGuard(field, guard))
        *pos++ = apostrophe;
    for (const auto c : field) {
        const QChar unit(unitOf(c));
        if (quoted && unit == quote)
            *pos++ = quote;
        *pos++ = unit;
    }
    if (quoted)
        *pos++ = quote;
    return pos;
}

template <typename Field>
void appendFields(QString& out, std::span<const Field> fields, FieldGuard guard) {
    if (fields.size() == 1 && fields.front().isEmpty()) {
        out += QStringLiteral("\"\"");
        return;
    }
    // Room for the longest form first, then the fields written into it: a save appends a
    // hundred thousand rows this way.
    qsizetype most = qsizetype(fields.size());
    for (const Field field : fields)
        most += 2 * field.size() + 3;
    const qsizetype start = out.size();
    out.resize(start + most);
    QChar* const begin = out.data();
    QChar* pos = begin + start;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *pos++ = comma;
        pos = writeField(pos, fields[i], guard);
    }
    out.truncate(pos - begin);
}

class CommaTextReader {
public:
    explicit CommaTextReader(QStringView text) : text_(text) {}

    void fields(const std::function<void(QStringView)>& field) {
        skipBlanks();
        while (!atEnd()) {
            if (peek() == quote)
                quotedField(field);
            else
                field(plainField());
            skipBlanks();
            if (!atEnd() && peek() == comma) {
                ++pos_;
                skipBlanks();
            }
        }
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return text_[pos_]; }

    void skipBlanks() {
        while (!atEnd() && isBlankOrControl(peek()))
            ++pos_;
    }

    QStringView plainField() {
        const qsizetype start = pos_;
        while (!atEnd() && !isBlankOrControl(peek()) && peek() != comma)
            ++pos_;
        return text_.sliced(start, pos_ - start);
    }

    // A quoted field without doubled quotes is handed on as it stands in the text; only one
    // with them is copied to be unescaped.
    void quotedField(const std::function<void(QStringView)>& field) {
        ++pos_;
        const qsizetype closing = text_.indexOf(quote, pos_);
        if (closing < 0 || closing + 1 >= text_.size() || text_[closing + 1] != quote) {
            const qsizetype end = closing < 0 ? text_.size() : closing;
            field(text_.sliced(pos_, end - pos_));
            pos_ = closing < 0 ? end : closing + 1;
            return;
        }
        field(unescapedField());
    }

    QString unescapedField() {
        QString field;
        while (!atEnd()) {
            const qsizetype closing = text_.indexOf(quote, pos_);
            if (closing < 0) {
                field += text_.sliced(pos_);
                pos_ = text_.size();
                break;
            }
            field += text_.sliced(pos_, closing - pos_);
            pos_ = closing + 1;
            if (atEnd() || peek() != quote)
                break;
            field += quote;
            ++pos_;
        }
        return field;
    }

    QStringView text_;
    qsizetype pos_ = 0;
};

} // namespace

QString writeCommaText(const QStringList& fields) {
    const std::vector<QStringView> views(fields.begin(), fields.end());
    qsizetype estimate = fields.size();
    for (const QString& field : fields)
        estimate += field.size() + 2;
    QString out;
    out.reserve(estimate);
    appendCommaText(out, views);
    return out;
}

bool needsSpreadsheetGuard(QStringView field) {
    return (!field.isEmpty() && opensFormula(field.front()) && !isSignedFigure(field)) ||
           isGuarded(field);
}

QStringView withoutSpreadsheetGuard(QStringView field) {
    return isGuarded(field) ? field.sliced(1) : field;
}

void appendCommaText(QString& out, std::span<const QStringView> fields, FieldGuard guard) {
    appendFields(out, fields, guard);
}

void appendCommaText(QString& out, std::span<const QLatin1String> fields, FieldGuard guard) {
    appendFields(out, fields, guard);
}

QStringList readCommaText(QStringView text) {
    QStringList fields;
    readCommaTextFields(text, [&fields](QStringView field) { fields.append(field.toString()); });
    return fields;
}

void readCommaTextFields(QStringView text, const std::function<void(QStringView)>& field) {
    CommaTextReader(text).fields(field);
}

} // namespace kelvos
