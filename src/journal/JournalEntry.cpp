#include "JournalEntry.h"

#include <QList>
#include <array>
#include <limits>

namespace kelvos {
namespace {

constexpr std::array kindWords{"start", "stop", "restart", "reset", "lap", "saved"};
constexpr char separator = '\t';
constexpr int runCommandFields = 4; // kind, competitor, total, checksum
constexpr int lapFields = 9;        // ... name, course, selected, unit, wall clock, checksum
constexpr int savedFields = 5;      // kind, competitor, total, file, checksum
constexpr char headerPrefix[] = "KelvoS run journal ";

// Printable ASCII stays as it is, for a journal a person can read; '%' and the rest are encoded.
const QByteArray& plainCharacters() {
    static const QByteArray plain = [] {
        QByteArray bytes;
        for (char c = ' '; c < 0x7f; ++c) {
            if (c != '%')
                bytes.append(c);
        }
        return bytes;
    }();
    return plain;
}

QByteArray encodeText(const QString& text) {
    return text.toUtf8().toPercentEncoding(plainCharacters());
}

std::optional<QString> decodeText(const QByteArray& field) {
    const QByteArray bytes = QByteArray::fromPercentEncoding(field);
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes)
        return std::nullopt; // not valid UTF-8
    return text;
}

QByteArray checksumOf(const QByteArray& body) {
    return QByteArray::number(qChecksum(body), 16);
}

std::optional<JournalEntry::Kind> kindOf(const QByteArray& word) {
    for (std::size_t i = 0; i < kindWords.size(); ++i) {
        if (word == kindWords[i])
            return JournalEntry::Kind(i);
    }
    return std::nullopt;
}

int fieldCount(JournalEntry::Kind kind) {
    switch (kind) {
    case JournalEntry::Kind::Lap:
        return lapFields;
    case JournalEntry::Kind::Saved:
        return savedFields;
    default:
        return runCommandFields;
    }
}

std::optional<int> numberOf(const QByteArray& field, qint64 lowest, qint64 highest) {
    bool ok = false;
    const qint64 value = field.toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return int(value);
}

} // namespace

QByteArray journalHeaderLine() {
    return headerPrefix + QByteArray::number(journalVersion) + '\n';
}

std::optional<int> journalHeaderVersion(const QByteArray& line) {
    const QByteArray text = line.endsWith('\r') ? line.chopped(1) : line;
    if (!text.startsWith(headerPrefix))
        return std::nullopt;
    return numberOf(text.mid(journalHeaderVersionOffset()), 1, journalVersion);
}

qsizetype journalHeaderVersionOffset() {
    return qsizetype(sizeof headerPrefix) - 1;
}

QByteArray encodeJournalLine(const JournalEntry& entry) {
    QList<QByteArray> fields{kindWords[std::size_t(entry.kind)],
                             QByteArray::number(entry.competitor), QByteArray::number(entry.total)};
    if (entry.kind == JournalEntry::Kind::Lap) {
        fields << encodeText(entry.name) << encodeText(entry.courseLength)
               << (entry.courseSelected ? "1" : "0") << (entry.milesPerHour ? "mph" : "kmh")
               << encodeText(entry.wallClock);
    } else if (entry.kind == JournalEntry::Kind::Saved) {
        fields << encodeText(entry.file);
    }
    const QByteArray body = fields.join(separator);
    return body + separator + checksumOf(body) + '\n';
}

std::optional<JournalEntry> decodeJournalLine(const QByteArray& line) {
    const qsizetype lastSeparator = line.lastIndexOf(separator);
    if (lastSeparator < 0 || line.mid(lastSeparator + 1) != checksumOf(line.left(lastSeparator)))
        return std::nullopt;
    const QList<QByteArray> fields = line.split(separator);
    const std::optional<JournalEntry::Kind> kind = kindOf(fields.value(0));
    if (!kind)
        return std::nullopt;
    if (fields.size() != fieldCount(*kind))
        return std::nullopt;
    const std::optional<int> competitor = numberOf(fields[1], 1, 3);
    const std::optional<int> total = numberOf(fields[2], 0, std::numeric_limits<qint32>::max());
    if (!competitor || !total)
        return std::nullopt;
    JournalEntry entry;
    entry.kind = *kind;
    entry.competitor = *competitor;
    entry.total = *total;
    if (*kind == JournalEntry::Kind::Saved) {
        const std::optional<QString> file = decodeText(fields[3]);
        if (!file)
            return std::nullopt;
        entry.file = *file;
    }
    if (*kind != JournalEntry::Kind::Lap)
        return entry;
    const std::optional<QString> name = decodeText(fields[3]);
    const std::optional<QString> course = decodeText(fields[4]);
    const std::optional<QString> wallClock = decodeText(fields[7]);
    const bool selectedKnown = fields[5] == "0" || fields[5] == "1";
    const bool unitKnown = fields[6] == "kmh" || fields[6] == "mph";
    if (!name || !course || !wallClock || !selectedKnown || !unitKnown)
        return std::nullopt;
    entry.name = *name;
    entry.courseLength = *course;
    entry.courseSelected = fields[5] == "1";
    entry.milesPerHour = fields[6] == "mph";
    entry.wallClock = *wallClock;
    return entry;
}

} // namespace kelvos
