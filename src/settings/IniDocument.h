#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace kelvos {

// The text of an INI file with the rules of the Windows private-profile functions:
// section and key names compare without regard to letter case and may hold backslashes;
// the first section of a name is the one used, and the first key of a name within it;
// names and values are trimmed and one pair of enclosing quotes is dropped when read;
// a value read is at most 2047 characters long. Edits touch only the lines they concern,
// so comments, unrelated lines and their order survive a write.
class IniDocument {
public:
    static constexpr qsizetype MaxValueLength = 2047;

    // Accepts LF and CR LF line ends; a line that is not UTF-8 is read as Windows-31J.
    static IniDocument fromBytes(const QByteArray& bytes);
    // UTF-8 without byte order mark, in the line-end style of the text it was read from
    // (LF for a new file).
    QByteArray toBytes() const;

    std::optional<QString> value(QStringView section, QStringView key) const;
    // Values of the keys named stem + a decimal index (stem "prop_d": "prop_d0", "prop_d1", ...),
    // by index, first occurrence of each.
    QMap<qint64, QString> numberedValues(QStringView section, QStringView stem) const;

    // Creates the section and the key as needed. Line breaks in any of the texts become spaces,
    // and a value that reading would alter (outer blanks, enclosing quotes) is quoted, so that
    // what is written is what is read back.
    void setValue(const QString& section, const QString& key, const QString& value);
    void removeKey(QStringView section, QStringView key);
    // Removes the keys stem + index for first <= index < end.
    void removeNumberedKeys(QStringView section, QStringView stem, qint64 first, qint64 end);

private:
    struct SectionRange {
        qsizetype header;
        qsizetype end; // one past the last line of the section's body
    };
    std::optional<SectionRange> findSection(QStringView section) const;
    // The header line of the first section of each name (case-folded), built on first use, so
    // that a lookup in a huge file does not walk all of it.
    const QHash<QString, qsizetype>& sectionHeaders() const;
    void linesInserted(qsizetype at, qsizetype count);
    std::optional<qsizetype> findKey(const SectionRange& range, QStringView key) const;
    template <typename KeyTest> void removeKeysWhere(QStringView section, KeyTest test);

    QStringList lines_;
    mutable std::optional<QHash<QString, qsizetype>> sectionHeaders_;
    QString lineEnd_ = QStringLiteral("\n");
};

} // namespace kelvos
