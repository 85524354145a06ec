#include "CommaText.h"

#include <algorithm>

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

template <typename Field> bool needsQuotes(Field field) {
    return std::any_of(field.begin(), field.end(), [](auto c) {
        const QChar unit(unitOf(c));
        return isBlankOrControl(unit) || unit == quote || unit == comma;
    });
}

// Writes the field at `pos`, quoted where needed; returns the end of what it wrote, at most
// 2 × size + 2 characters.
template <typename Field> QChar* writeField(QChar* pos, Field field) {
    const bool quoted = needsQuotes(field);
    if (quoted)
        *pos++ = quote;
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

template <typename Field> void appendFields(QString& out, std::span<const Field> fields) {
    if (fields.size() == 1 && fields.front().isEmpty()) {
        out += QStringLiteral("\"\"");
        return;
    }
    // Room for the longest form first, then the fields written into it: a save appends a
    // hundred thousand rows this way.
    qsizetype most = qsizetype(fields.size());
    for (const Field field : fields)
        most += 2 * field.size() + 2;
    const qsizetype start = out.size();
    out.resize(start + most);
    QChar* const begin = out.data();
    QChar* pos = begin + start;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            *pos++ = comma;
        pos = writeField(pos, fields[i]);
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

void appendCommaText(QString& out, std::span<const QStringView> fields) {
    appendFields(out, fields);
}

void appendCommaText(QString& out, std::span<const QLatin1String> fields) {
    appendFields(out, fields);
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
