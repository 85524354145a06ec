#include "CellRules.h"

#include <QStringList>
#include <cmath>
#include <limits>

namespace kelvos {

CellColorSource cellColorSource(TGridStyle style, int row, bool columnHasDefinition) {
    if (style == gsStriped)
        return row % 2 == 0 ? CellColorSource::StripeColor : CellColorSource::GridColor;
    return columnHasDefinition ? CellColorSource::ColumnColor : CellColorSource::GridColor;
}

bool isIntegerInputChar(QChar c) {
    const char16_t u = c.unicode();
    return u <= 32 || u == u'+' || u == u'-' || u == u'.' || (u >= u'0' && u <= u'9');
}

std::optional<QString> integerCellText(const QString& edited) {
    if (edited == QStringLiteral("-"))
        return QStringLiteral("-0");
    if (edited.isEmpty())
        return edited;
    // Leading blanks and one sign are accepted, as the integer conversion of the original
    // platform does; trailing characters of any kind are not.
    qsizetype i = 0;
    while (i < edited.size() && edited[i] == u' ')
        ++i;
    bool negative = false;
    if (i < edited.size() && (edited[i] == u'+' || edited[i] == u'-')) {
        negative = edited[i] == u'-';
        ++i;
    }
    if (i == edited.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < edited.size(); ++i) {
        const char16_t u = edited[i].unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (u - u'0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return QString::number(value);
}

namespace {

bool isNumericText(const QString& text) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!(u == u'+' || u == u'-' || u == u'.' || (u >= u'0' && u <= u'9')))
            return false;
    }
    return true;
}

// Splits a pattern at ";" outside quotes.
QStringList patternSections(const QString& pattern) {
    QStringList sections(1);
    QChar inQuote;
    for (QChar c : pattern) {
        if (!inQuote.isNull()) {
            if (c == inQuote)
                inQuote = QChar();
        } else if (c == u'"' || c == u'\'') {
            inQuote = c;
        } else if (c == u';') {
            sections.append(QString());
            continue;
        }
        sections.last() += c;
    }
    return sections;
}

// One pattern section taken apart: literal text runs and digit placeholders, in order.
struct PatternToken {
    enum Kind { Literal, Digit, Optional, Point } kind;
    QString text;
};

struct ParsedPattern {
    QList<PatternToken> tokens;
    bool thousands = false;
    int integerPlaceholders = 0;
    int integerMinimum = 0; // placeholders from the first "0" to the decimal point
    int fractionMinimum = 0;
    int fractionMaximum = 0;
};

ParsedPattern parsePattern(const QString& section) {
    ParsedPattern parsed;
    bool afterPoint = false;
    bool seenZero = false;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype end = section.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? section.size() : end;
            parsed.tokens.append(
                PatternToken{PatternToken::Literal, section.mid(i + 1, stop - i - 1)});
            i = stop;
        } else if (c == u'0' || c == u'#') {
            const bool zero = c == u'0';
            parsed.tokens.append(
                PatternToken{zero ? PatternToken::Digit : PatternToken::Optional, {}});
            if (afterPoint) {
                ++parsed.fractionMaximum;
                if (zero)
                    parsed.fractionMinimum = parsed.fractionMaximum;
            } else {
                ++parsed.integerPlaceholders;
                seenZero = seenZero || zero;
                if (seenZero)
                    ++parsed.integerMinimum;
            }
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
            parsed.tokens.append(PatternToken{PatternToken::Point, {}});
        } else if (c == u',' && !afterPoint) {
            parsed.thousands = true;
        } else {
            parsed.tokens.append(PatternToken{PatternToken::Literal, QString(c)});
        }
    }
    return parsed;
}

QString groupThousands(const QString& digits) {
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += u',';
        grouped += digits[i];
    }
    return grouped;
}

QString formatSection(double magnitude, const ParsedPattern& parsed) {
    const QString fixed = QString::number(magnitude, 'f', parsed.fractionMaximum);
    const qsizetype point = fixed.indexOf(u'.');
    QString integerDigits = point < 0 ? fixed : fixed.left(point);
    QString fractionDigits = point < 0 ? QString() : fixed.mid(point + 1);
    if (integerDigits == u"0")
        integerDigits.clear();
    while (integerDigits.size() < parsed.integerMinimum)
        integerDigits.prepend(u'0');
    while (fractionDigits.size() > parsed.fractionMinimum && fractionDigits.endsWith(u'0'))
        fractionDigits.chop(1);
    if (parsed.thousands)
        integerDigits = groupThousands(integerDigits);

    // Integer digits fill the placeholders from the right; the first placeholder takes any
    // digits left over, so a short pattern never truncates the number.
    const qsizetype spare = integerDigits.size() - parsed.integerPlaceholders;
    qsizetype nextInteger = 0;
    int placeholder = 0;
    qsizetype nextFraction = 0;
    bool inFraction = false;
    QString out;
    for (const PatternToken& token : parsed.tokens) {
        switch (token.kind) {
        case PatternToken::Literal:
            out += token.text;
            break;
        case PatternToken::Point:
            inFraction = true;
            if (!fractionDigits.isEmpty())
                out += u'.';
            break;
        case PatternToken::Digit:
        case PatternToken::Optional:
            if (inFraction) {
                if (nextFraction < fractionDigits.size())
                    out += fractionDigits[nextFraction++];
            } else {
                const qsizetype end = placeholder + 1 + spare;
                if (end > nextInteger) {
                    out += integerDigits.mid(nextInteger, end - nextInteger);
                    nextInteger = end;
                }
                ++placeholder;
            }
            break;
        }
    }
    return out;
}

bool isMaskPlaceholder(QChar c) {
    return QStringView(u"LlAaCc09#").contains(c);
}

} // namespace

QString formatNumberPattern(double value, const QString& pattern) {
    const QStringList sections = patternSections(pattern);
    QString section = sections.value(0);
    bool minus = value < 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        section = sections[1];
        minus = false;
    } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        section = sections[2];
    }
    const QString body = formatSection(std::fabs(value), parsePattern(section));
    return minus ? u'-' + body : body;
}

QString formatEditMask(const QString& text, const QString& mask) {
    // "mask;save-literals;blank": with save-literals "0" the text holds only the characters
    // typed into the placeholders, otherwise it holds the literals at their places as well.
    const QStringList fields = mask.split(u';');
    const QString layout = fields.value(0);
    const bool textHoldsLiterals = fields.size() < 2 || fields[1] != u"0";
    const QChar blank = fields.size() > 2 && !fields[2].isEmpty() ? fields[2][0] : QChar(u' ');
    QString out;
    qsizetype next = 0;
    enum { Keep, Upper, Lower } casing = Keep;
    for (qsizetype i = 0; i < layout.size(); ++i) {
        const QChar c = layout[i];
        if (c == u'>' || c == u'<') {
            const bool reset = i + 1 < layout.size() && c == u'<' && layout[i + 1] == u'>';
            casing = reset ? Keep : (c == u'>' ? Upper : Lower);
            i += reset ? 1 : 0;
            continue;
        }
        if (c == u'!')
            continue;
        const bool escaped = c == u'\\' && i + 1 < layout.size();
        const QChar literal = escaped ? layout[++i] : c;
        if (escaped || !isMaskPlaceholder(c)) {
            out += literal;
            next += textHoldsLiterals ? 1 : 0;
            continue;
        }
        QChar typed = next < text.size() ? text[next] : blank;
        ++next;
        if (casing == Upper)
            typed = typed.toUpper();
        else if (casing == Lower)
            typed = typed.toLower();
        out += typed;
    }
    return out;
}

QString formatDisplayMask(const QString& text, const QString& mask) {
    if (isNumericText(text)) {
        bool ok = false;
        const double value = text.toDouble(&ok);
        if (ok)
            return formatNumberPattern(value, mask);
    }
    return formatEditMask(text, mask);
}

} // namespace kelvos
