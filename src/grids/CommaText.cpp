#include "CommaText.h"

namespace kelvos {

namespace {

constexpr QChar quote = u'"';
constexpr QChar comma = u',';

// Code 0 counts as a blank as well: the text may hold NUL characters (a file or the clipboard),
// and a NUL that neither ended a field nor was skipped would stall the reader.
bool isBlankOrControl(QChar c) {
    return c.unicode() <= 32;
}

bool needsQuotes(const QString& field) {
    for (QChar c : field) {
        if (isBlankOrControl(c) || c == quote || c == comma)
            return true;
    }
    return false;
}

void appendQuoted(QString& out, const QString& field) {
    out += quote;
    for (QChar c : field) {
        if (c == quote)
            out += quote;
        out += c;
    }
    out += quote;
}

class CommaTextReader {
public:
    explicit CommaTextReader(QStringView text) : text_(text) {}

    QStringList fields() {
        QStringList result;
        skipBlanks();
        while (!atEnd()) {
            result.append(peek() == quote ? quotedField() : plainField());
            skipBlanks();
            if (!atEnd() && peek() == comma) {
                ++pos_;
                skipBlanks();
            }
        }
        return result;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return text_[pos_]; }

    void skipBlanks() {
        while (!atEnd() && isBlankOrControl(peek()))
            ++pos_;
    }

    QString plainField() {
        const qsizetype start = pos_;
        while (!atEnd() && !isBlankOrControl(peek()) && peek() != comma)
            ++pos_;
        return text_.sliced(start, pos_ - start).toString();
    }

    QString quotedField() {
        QString field;
        ++pos_;
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
    if (fields.size() == 1 && fields.front().isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    qsizetype estimate = fields.size();
    for (const QString& field : fields)
        estimate += field.size() + 2;
    out.reserve(estimate);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += comma;
        if (needsQuotes(fields[i]))
            appendQuoted(out, fields[i]);
        else
            out += fields[i];
    }
    return out;
}

QStringList readCommaText(QStringView text) {
    return CommaTextReader(text).fields();
}

} // namespace kelvos
