#include "IniDocument.h"

#include "TextDecoding.h"

namespace kelvos {
namespace {

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QStringView name;
    QStringView value;
};

bool isComment(QStringView trimmed) {
    return trimmed.startsWith(u';') || trimmed.startsWith(u'#');
}

ParsedLine parseLine(QStringView line) {
    const QStringView trimmed = line.trimmed();
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.lastIndexOf(u']');
        if (close > 0)
            return {LineKind::Section, trimmed.sliced(1, close - 1).trimmed(), {}};
        return {};
    }
    if (isComment(trimmed))
        return {};
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0)
        return {};
    return {LineKind::Key, trimmed.first(equals).trimmed(), trimmed.sliced(equals + 1).trimmed()};
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isEnclosedInQuotes(QStringView text) {
    return text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
           text.back() == text.front();
}

// Cuts at the read limit without splitting a surrogate pair.
QString limitedValue(QStringView value) {
    if (value.size() <= IniDocument::MaxValueLength)
        return value.toString();
    qsizetype length = IniDocument::MaxValueLength;
    if (value.at(length - 1).isHighSurrogate())
        --length;
    return value.first(length).toString();
}

QString readValue(QStringView stored) {
    return limitedValue(isEnclosedInQuotes(stored) ? stored.sliced(1, stored.size() - 2) : stored);
}

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QString storedValue(const QString& value) {
    const QString flat = oneLine(value);
    if (flat.trimmed() != flat || isEnclosedInQuotes(flat))
        return u'"' + flat + u'"';
    return flat;
}

// The index of "stem123", or nothing when the key is not stem followed by a canonical
// decimal number (the form the numbered keys are written in).
std::optional<qint64> numberedKeyIndex(QStringView key, QStringView stem) {
    if (key.size() <= stem.size() || !sameName(key.first(stem.size()), stem))
        return std::nullopt;
    const QStringView digits = key.sliced(stem.size());
    if (digits.size() > 1 && digits.front() == u'0')
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint64 index = digits.toLongLong(&ok);
    return ok ? std::optional<qint64>(index) : std::nullopt;
}

bool isBlank(const QString& line) {
    return line.trimmed().isEmpty();
}

// A file that is UTF-8 throughout is decoded at once; any other is decoded line by line, so that
// one value in the legacy code page leaves the UTF-8 text of every other line as it is. (An LF
// byte is never part of a Windows-31J character.)
QString decodeIniText(QByteArrayView bytes) {
    if (std::optional<QString> text = decodeUtf8(bytes))
        return *std::move(text);
    QString text;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lineFeed = bytes.indexOf('\n', start);
        const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed + 1;
        text += decodeUtf8OrWindows31J(bytes.sliced(start, end - start));
        start = end;
    }
    return text;
}

} // namespace

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument document;
    if (bytes.isEmpty())
        return document;
    const QString text = decodeIniText(bytes);
    const qsizetype firstBreak = text.indexOf(u'\n');
    if (firstBreak > 0 && text.at(firstBreak - 1) == u'\r')
        document.lineEnd_ = QStringLiteral("\r\n");
    document.lines_ = text.split(u'\n');
    if (document.lines_.back().isEmpty())
        document.lines_.removeLast();
    for (QString& line : document.lines_) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    document.sectionHeaders(); // built once here, so that copies of the document share it
    return document;
}

QByteArray IniDocument::toBytes() const {
    QString text;
    for (const QString& line : lines_)
        text += line + lineEnd_;
    return text.toUtf8();
}

const QHash<QString, qsizetype>& IniDocument::sectionHeaders() const {
    if (!sectionHeaders_) {
        sectionHeaders_.emplace();
        for (qsizetype i = 0; i < lines_.size(); ++i) {
            const ParsedLine header = parseLine(lines_.at(i));
            if (header.kind != LineKind::Section)
                continue;
            const QString name = header.name.toString().toCaseFolded();
            if (!sectionHeaders_->contains(name))
                sectionHeaders_->insert(name, i);
        }
    }
    return *sectionHeaders_;
}

// Keeps the section index right when lines are inserted (count > 0) or removed (count < 0)
// at a line that is not a section header.
void IniDocument::linesInserted(qsizetype at, qsizetype count) {
    if (!sectionHeaders_)
        return;
    for (qsizetype& header : *sectionHeaders_)
        if (header >= at)
            header += count;
}

std::optional<IniDocument::SectionRange> IniDocument::findSection(QStringView section) const {
    const auto found = sectionHeaders().constFind(section.toString().toCaseFolded());
    if (found == sectionHeaders().constEnd())
        return std::nullopt;
    const qsizetype i = *found;
    qsizetype end = i + 1;
    while (end < lines_.size() && parseLine(lines_.at(end)).kind != LineKind::Section)
        ++end;
    return SectionRange{i, end};
}

std::optional<qsizetype> IniDocument::findKey(const SectionRange& range, QStringView key) const {
    for (qsizetype i = range.header + 1; i < range.end; ++i) {
        const ParsedLine line = parseLine(lines_.at(i));
        if (line.kind == LineKind::Key && sameName(line.name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto line = findKey(*range, key);
    if (!line)
        return std::nullopt;
    return readValue(parseLine(lines_.at(*line)).value);
}

QMap<qint64, QString> IniDocument::numberedValues(QStringView section, QStringView stem) const {
    QMap<qint64, QString> values;
    const auto range = findSection(section);
    if (!range)
        return values;
    for (qsizetype i = range->header + 1; i < range->end; ++i) {
        const ParsedLine line = parseLine(lines_.at(i));
        if (line.kind != LineKind::Key)
            continue;
        const auto index = numberedKeyIndex(line.name, stem);
        if (index && !values.contains(*index))
            values.insert(*index, readValue(line.value));
    }
    return values;
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    const QString keyName = oneLine(key).trimmed();
    const QString stored = storedValue(value);
    const auto range = findSection(oneLine(section).trimmed());
    if (!range) {
        if (!lines_.isEmpty() && !isBlank(lines_.back()))
            lines_.append(QString());
        const QString name = oneLine(section).trimmed();
        if (sectionHeaders_)
            sectionHeaders_->insert(name.toCaseFolded(), lines_.size()); // a new name
        lines_.append(u'[' + name + u']');
        lines_.append(keyName + u'=' + stored);
        return;
    }
    if (const auto line = findKey(*range, keyName)) {
        QString& text = lines_[*line];
        text = text.first(text.indexOf(u'=') + 1) + stored;
        return;
    }
    qsizetype insertAt = range->end;
    while (insertAt > range->header + 1 && isBlank(lines_.at(insertAt - 1)))
        --insertAt;
    lines_.insert(insertAt, keyName + u'=' + stored);
    linesInserted(insertAt, 1);
}

template <typename KeyTest> void IniDocument::removeKeysWhere(QStringView section, KeyTest test) {
    const auto range = findSection(section);
    if (!range)
        return;
    qsizetype end = range->end;
    for (qsizetype i = range->header + 1; i < end;) {
        const ParsedLine line = parseLine(lines_.at(i));
        if (line.kind == LineKind::Key && test(line.name)) {
            lines_.removeAt(i);
            linesInserted(i, -1);
            --end;
        } else {
            ++i;
        }
    }
}

void IniDocument::removeKey(QStringView section, QStringView key) {
    removeKeysWhere(section, [key](QStringView name) { return sameName(name, key); });
}

void IniDocument::removeNumberedKeys(QStringView section, QStringView stem, qint64 first,
                                     qint64 end) {
    removeKeysWhere(section, [=](QStringView name) {
        const auto index = numberedKeyIndex(name, stem);
        return index && *index >= first && *index < end;
    });
}

} // namespace kelvos
