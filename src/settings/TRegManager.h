#pragma once

#include "ComponentStream.h"
#include "FontSettings.h"
#include "IniDocument.h"
#include "SettingsErrorReporter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class TRegManager;

// One named setting: where in the INI file its value lives and what it reads as when absent.
struct TRegItem {
    QString Name;         // found by this name, without regard to letter case
    QString Section;      // may contain backslashes, e.g. "Form\HotKey1"
    QString Ident;        // key name; the stem of the keys of multi-key values
    QString DefaultValue; // returned when the key is missing

    bool operator==(const TRegItem&) const = default;
};

// The ordered item list of a settings store.
class TRegItems {
public:
    void add(const TRegItem& item) { items_.push_back(item); }
    qsizetype count() const { return static_cast<qsizetype>(items_.size()); }
    const TRegItem& at(qsizetype index) const { return items_.at(static_cast<size_t>(index)); }
    // The first item whose Name equals name ignoring letter case; nullptr when there is none.
    const TRegItem* find(QStringView name) const;

private:
    std::vector<TRegItem> items_;
};

// Reads and writes the value of the manager's current item in typed forms. Outside a batch of
// the manager every file access opens the INI file, does its work and closes it again; a value
// kept under several keys (font, string list, byte stream, component) is written in one
// replacement of the file. A file that exists but cannot be read (not a regular file, too
// large) is reported, reads give their defaults and writes are refused, so it is never replaced.
// Without a current item every operation does nothing: reads give "", 0, false or nothing,
// writes return false. Writes return true only when the value is stored; every failure to
// store is reported (except an empty section or key, which the store ignores by design).
class TRegFiler {
public:
    explicit TRegFiler(TRegManager& manager) : manager_(manager) {}

    const TRegItem* currentItem() const { return item_ ? &*item_ : nullptr; }
    void setCurrentItem(const TRegItem* item);

    QString GetAsString() const;
    bool SetAsString(const QString& value);
    qint32 GetAsInteger() const;
    bool SetAsInteger(qint32 value);
    bool GetAsBoolean() const;
    bool SetAsBoolean(bool value);

    // Raw access to any key; the default when section or key is empty, the file name is not
    // set (reported) or the key is missing.
    QString ReadValue(const QString& section, const QString& key,
                      const QString& defaultValue) const;
    bool WriteValue(const QString& section, const QString& key, const QString& value);

    // Keys Ident + "_FontName", "_FontSize", "_FontColor", "_FontStyle"; reading starts from
    // the given font's values and keeps the size when not a number, the colour when not a colour
    // and gives style 0 when not a number.
    void ReadFont(kelvos::FontSettings& font) const;
    bool WriteFont(const kelvos::FontSettings& font);

    // Keys Ident + "_ItemCount" and Ident + "_Item0", "_Item1", ...; reading replaces the list.
    void ReadStrings(QStringList& lines) const;
    bool WriteStrings(const QStringList& lines);

    // Keys Ident + "_c" (line count) and Ident + "_d0", "_d1", ...: uppercase hexadecimal, 32 bytes
    // a line. Reading appends to stream; a pair that is not hexadecimal gives a zero byte.
    void ReadStream(QByteArray& stream) const;
    bool WriteStream(const QByteArray& stream);

    // A component in the binary "TPF0" form, kept as a byte stream. Nothing when no bytes are
    // stored or they cannot be read (not reported: the caller keeps its control unchanged).
    std::optional<kelvos::StreamedComponent> ReadComponent() const;
    bool WriteComponent(const kelvos::StreamedComponent& component);

private:
    // A value kept as a count key and numbered line keys: Ident + count, Ident + line + index.
    struct NumberedKeys {
        QLatin1String count;
        QLatin1String line;
    };
    static const NumberedKeys StringListKeys;
    static const NumberedKeys StreamKeys;
    bool hasItemKey() const;
    std::optional<kelvos::IniDocument> openForItem() const;
    QString readItemValue(const QString& defaultValue) const;
    QStringList readNumberedLines(const NumberedKeys& keys) const;
    bool writeNumberedLines(const NumberedKeys& keys, const QStringList& lines);

    TRegManager& manager_;
    std::optional<TRegItem> item_;
};

// The settings store: an INI file and the list of named items kept in it.
class TRegManager {
public:
    explicit TRegManager(kelvos::SettingsErrorReporter* reporter = nullptr);
    TRegManager(const TRegManager&) = delete;
    TRegManager& operator=(const TRegManager&) = delete;

    const QString& IniFileName() const { return iniFileName_; }
    void setIniFileName(const QString& path) { iniFileName_ = path; }

    TRegItems& RegItems() { return items_; }
    const TRegItems& RegItems() const { return items_; }

    // Makes the item of that name the filer's current item and returns the filer (the same
    // object every time: valid until the next lookup). An unknown name is reported as
    // "[' name '] is invalid." and leaves the filer without an item.
    TRegFiler& Item(const QString& name);

    // A batch of operations, such as the loading or the saving of all settings: from
    // beginBatch() to endBatch() the file is read at most once, by the first operation that
    // needs it; reads use that document, writes change only it, and endBatch() writes all
    // changes in one replacement of the file. A second beginBatch() in a batch does nothing.
    void beginBatch();
    // Ends the batch. Returns false, after reporting it, when the changes could not be written;
    // true when they were written or there were none.
    bool endBatch();

    // Without a reporter, messages go to the warning log.
    void setErrorReporter(kelvos::SettingsErrorReporter* reporter) { reporter_ = reporter; }
    void reportError(const QString& message) const;

private:
    friend class TRegFiler;
    struct Batch {
        bool read = false;
        std::optional<kelvos::IniDocument> document; // nothing when the file cannot be read
        bool changed = false;
    };
    // The document of the file: the batch's, or read anew outside a batch. Nothing when there
    // is no file name or the file cannot be read, both reported.
    std::optional<kelvos::IniDocument> document();
    // Applies change to the document and stores it, unless change returns false (nothing to
    // store). Returns whether the document could be read and, outside a batch, written.
    bool update(const std::function<bool(kelvos::IniDocument&)>& change);
    std::optional<kelvos::IniDocument> readFile() const;
    bool writeFile(const kelvos::IniDocument& document) const;

    QString iniFileName_;
    std::optional<Batch> batch_;
    TRegItems items_;
    TRegFiler filer_{*this};
    kelvos::SettingsErrorReporter* reporter_;
};
