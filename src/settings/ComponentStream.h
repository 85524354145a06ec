#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>
#include <QStringList>
#include <optional>
#include <variant>
#include <vector>

namespace kelvos {

// A component in the binary component-streaming form of the Windows program's framework
// ("TPF0"), as plain data: class name, object name and the stored properties with typed
// values. Properties equal to their declared default are not stored by that framework; for
// the hotkey editor (class "THotKey") these defaults are HotKey 0x0041, Modifiers [hkAlt] and
// InvalidKeys [hcNone, hcShift].

struct StreamValue;
struct StreamProperty;
struct StreamCollectionItem;

struct StreamIdent {
    QString name; // an enumeration value or a reference, e.g. "taLeftJustify"
    bool operator==(const StreamIdent&) const = default;
};

struct StreamSet {
    QStringList elements; // e.g. {"hcNone", "hcShift"}; empty for []
    bool operator==(const StreamSet&) const = default;
};

struct StreamNil {
    bool operator==(const StreamNil&) const = default;
};

// Floating-point values are kept as their stored little-endian bytes.
struct StreamFloat {
    enum class Kind : quint8 { Extended = 5, Single = 15, Currency = 16, Date = 17, Double = 21 };
    Kind kind = Kind::Double;
    QByteArray bytes;
    bool operator==(const StreamFloat&) const = default;
};

struct StreamList {
    std::vector<StreamValue> values;
    bool operator==(const StreamList&) const;
};

struct StreamCollection {
    std::vector<StreamCollectionItem> items;
    bool operator==(const StreamCollection&) const;
};

// qint64: integers of every width; bool; QString: texts of every encoding; QByteArray: binary
// data (e.g. pictures).
struct StreamValue {
    std::variant<qint64, bool, QString, StreamIdent, StreamSet, StreamNil, QByteArray, StreamFloat,
                 StreamList, StreamCollection>
        data;
    bool operator==(const StreamValue&) const = default;
};

struct StreamProperty {
    QString name; // may be dotted, e.g. "Font.Name"
    StreamValue value;
    bool operator==(const StreamProperty&) const = default;
};

struct StreamCollectionItem {
    std::optional<qint64> order;
    std::vector<StreamProperty> properties;
    bool operator==(const StreamCollectionItem&) const = default;
};

struct StreamedComponent {
    // Prefix flags of the format; its third flag, "child position follows" (2), is stored
    // exactly when childPos is set.
    enum class FilerFlag : quint8 { Inherited = 1, Inline = 4 };
    Q_DECLARE_FLAGS(FilerFlags, FilerFlag)

    QString className;
    QString name;
    FilerFlags filerFlags;
    std::optional<qint64> childPos;
    std::vector<StreamProperty> properties;
    std::vector<StreamedComponent> children;

    bool operator==(const StreamedComponent&) const = default;

    // Property names compare without regard to letter case, as in the format's reader.
    const StreamValue* property(QStringView propertyName) const;
    std::optional<qint64> integerProperty(QStringView propertyName) const;
    // Replaces the first property of that name, or appends one.
    void setProperty(const QString& propertyName, StreamValue value);
};
Q_DECLARE_OPERATORS_FOR_FLAGS(StreamedComponent::FilerFlags)

// "TPF0", the component, then the end-of-list marker: the form in which the Windows program
// stores a component in its settings. Names, identifiers and set elements longer than the
// format's 255 bytes are cut, class names at 239 bytes (longer ones would read as a prefix).
QByteArray writeComponentStream(const StreamedComponent& component);

// Reads the first component of such a stream, with every property the stream holds (also those
// the caller does not know, which it may skip). Texts that are not UTF-8 are read as
// Windows-31J. Nothing when the stream is truncated, malformed or nested beyond reason.
std::optional<StreamedComponent> readComponentStream(const QByteArray& bytes);

} // namespace kelvos
