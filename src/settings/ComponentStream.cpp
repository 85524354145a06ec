#include "ComponentStream.h"

#include "TextDecoding.h"

#include <QStringDecoder>
#include <algorithm>
#include <limits>

namespace kelvos {
namespace {

// Value type bytes of the format.
enum class ValueType : quint8 {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    Utf8String = 20,
    Double = 21,
};

constexpr char Signature[] = "TPF0";
constexpr quint8 EndOfList = 0;
constexpr quint8 PrefixMark = 0xF0;
constexpr quint8 ChildPosFlag = 2;
constexpr StreamedComponent::FilerFlags KnownFilerFlags =
    StreamedComponent::FilerFlag::Inherited | StreamedComponent::FilerFlag::Inline;
// A class name of 240 bytes or more would read as a prefix mark.
constexpr qsizetype MaxClassName = 0xEF;
constexpr int MaxNesting = 64;
constexpr qsizetype MaxShortString = 255;

qsizetype floatSize(StreamFloat::Kind kind) {
    switch (kind) {
    case StreamFloat::Kind::Extended:
        return 10;
    case StreamFloat::Kind::Single:
        return 4;
    case StreamFloat::Kind::Currency:
    case StreamFloat::Kind::Date:
    case StreamFloat::Kind::Double:
        return 8;
    }
    return 8;
}

bool isAscii(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

class StreamWriter {
public:
    QByteArray take() { return std::move(bytes_); }

    void writeComponent(const StreamedComponent& component) {
        writePrefix(component);
        writeShortString(component.className, MaxClassName);
        writeShortString(component.name);
        writeProperties(component.properties);
        for (const StreamedComponent& child : component.children)
            writeComponent(child);
        writeByte(EndOfList);
    }

    void writeSignature() { bytes_.append(Signature, 4); }
    void writeByte(quint8 byte) { bytes_.append(static_cast<char>(byte)); }

private:
    void writePrefix(const StreamedComponent& component) {
        auto flags = quint8((component.filerFlags & KnownFilerFlags).toInt());
        if (component.childPos)
            flags |= ChildPosFlag;
        // An empty class name would read as the end of a child list without the mark before it.
        if (flags == 0 && !component.className.isEmpty())
            return;
        writeByte(PrefixMark | flags);
        if (component.childPos)
            writeInteger(*component.childPos);
    }

    void writeProperties(const std::vector<StreamProperty>& properties) {
        for (const StreamProperty& property : properties) {
            writeShortString(property.name);
            writeValue(property.value);
        }
        writeByte(EndOfList);
    }

    void writeType(ValueType type) { writeByte(static_cast<quint8>(type)); }

    template <typename Int> void writeLittleEndian(Int value) {
        for (size_t i = 0; i < sizeof(Int); ++i)
            writeByte(static_cast<quint8>(static_cast<quint64>(value) >> (8 * i)));
    }

    // The smallest integer type that holds the value, as the format's writer chooses.
    void writeInteger(qint64 value) {
        if (value >= std::numeric_limits<qint8>::min() &&
            value <= std::numeric_limits<qint8>::max()) {
            writeType(ValueType::Int8);
            writeLittleEndian(static_cast<qint8>(value));
        } else if (value >= std::numeric_limits<qint16>::min() &&
                   value <= std::numeric_limits<qint16>::max()) {
            writeType(ValueType::Int16);
            writeLittleEndian(static_cast<qint16>(value));
        } else if (value >= std::numeric_limits<qint32>::min() &&
                   value <= std::numeric_limits<qint32>::max()) {
            writeType(ValueType::Int32);
            writeLittleEndian(static_cast<qint32>(value));
        } else {
            writeType(ValueType::Int64);
            writeLittleEndian(value);
        }
    }

    void writeShortString(const QString& text, qsizetype maxBytes = MaxShortString) {
        const QByteArray bytes = text.toUtf8().left(maxBytes);
        writeByte(static_cast<quint8>(bytes.size()));
        bytes_.append(bytes);
    }

    void writeLongBytes(const QByteArray& bytes) {
        writeLittleEndian(static_cast<qint32>(bytes.size()));
        bytes_.append(bytes);
    }

    void writeText(const QString& text) {
        if (!isAscii(text)) {
            writeType(ValueType::Utf8String);
            writeLongBytes(text.toUtf8());
        } else if (text.size() <= MaxShortString) {
            writeType(ValueType::String);
            writeShortString(text);
        } else {
            writeType(ValueType::LString);
            writeLongBytes(text.toLatin1());
        }
    }

    void writeValue(const StreamValue& value) {
        std::visit([this](const auto& data) { writeData(data); }, value.data);
    }

    void writeData(qint64 value) { writeInteger(value); }
    void writeData(bool value) { writeType(value ? ValueType::True : ValueType::False); }
    void writeData(const QString& text) { writeText(text); }
    void writeData(const StreamIdent& ident) {
        writeType(ValueType::Ident);
        writeShortString(ident.name);
    }
    void writeData(const StreamSet& set) {
        writeType(ValueType::Set);
        for (const QString& element : set.elements)
            writeShortString(element);
        writeByte(EndOfList);
    }
    void writeData(const StreamNil&) { writeType(ValueType::Nil); }
    void writeData(const QByteArray& binary) {
        writeType(ValueType::Binary);
        writeLongBytes(binary);
    }
    void writeData(const StreamFloat& number) {
        writeByte(static_cast<quint8>(number.kind));
        QByteArray bytes = number.bytes.left(floatSize(number.kind));
        bytes.append(floatSize(number.kind) - bytes.size(), '\0');
        bytes_.append(bytes);
    }
    void writeData(const StreamList& list) {
        writeType(ValueType::List);
        for (const StreamValue& item : list.values)
            writeValue(item);
        writeByte(EndOfList);
    }
    void writeData(const StreamCollection& collection) {
        writeType(ValueType::Collection);
        for (const StreamCollectionItem& item : collection.items) {
            if (item.order)
                writeInteger(*item.order);
            writeType(ValueType::List);
            writeProperties(item.properties);
        }
        writeByte(EndOfList);
    }

    QByteArray bytes_;
};

// Thrown inside the reader only; readComponentStream turns it into "nothing".
struct MalformedStream {};

class StreamReader {
public:
    explicit StreamReader(const QByteArray& bytes) : bytes_(bytes) {}

    void readSignature() {
        if (take(4) != QByteArrayView(Signature, 4))
            throw MalformedStream{};
    }

    StreamedComponent readComponent() {
        const NestingGuard guard(*this);
        StreamedComponent component;
        readPrefix(component);
        component.className = readShortString();
        component.name = readShortString();
        component.properties = readProperties();
        while (!atEndOfList())
            component.children.push_back(readComponent());
        return component;
    }

private:
    struct NestingGuard {
        explicit NestingGuard(StreamReader& reader) : reader(reader) {
            if (++reader.depth_ > MaxNesting)
                throw MalformedStream{};
        }
        ~NestingGuard() { --reader.depth_; }
        StreamReader& reader;
    };

    QByteArrayView take(qint64 count) {
        if (count < 0 || count > bytes_.size() - position_)
            throw MalformedStream{};
        const QByteArrayView bytes(bytes_.constData() + position_, count);
        position_ += count;
        return bytes;
    }

    quint8 peekByte() const {
        if (position_ >= bytes_.size())
            throw MalformedStream{};
        return static_cast<quint8>(bytes_.at(position_));
    }

    quint8 readByte() { return static_cast<quint8>(take(1).front()); }

    // Consumes the end-of-list marker when it comes next.
    bool atEndOfList() {
        if (peekByte() != EndOfList)
            return false;
        ++position_;
        return true;
    }

    template <typename Int> Int readLittleEndian() {
        const QByteArrayView bytes = take(sizeof(Int));
        quint64 value = 0;
        for (size_t i = 0; i < sizeof(Int); ++i)
            value |= static_cast<quint64>(static_cast<quint8>(bytes[i])) << (8 * i);
        return static_cast<Int>(value);
    }

    static bool isIntegerType(quint8 type) {
        return type == quint8(ValueType::Int8) || type == quint8(ValueType::Int16) ||
               type == quint8(ValueType::Int32) || type == quint8(ValueType::Int64);
    }

    qint64 readIntegerOfType(ValueType type) {
        switch (type) {
        case ValueType::Int8:
            return readLittleEndian<qint8>();
        case ValueType::Int16:
            return readLittleEndian<qint16>();
        case ValueType::Int32:
            return readLittleEndian<qint32>();
        case ValueType::Int64:
            return readLittleEndian<qint64>();
        default:
            throw MalformedStream{};
        }
    }

    qint64 readInteger() { return readIntegerOfType(ValueType(readByte())); }

    void readPrefix(StreamedComponent& component) {
        if ((peekByte() & 0xF0) != PrefixMark)
            return;
        const quint8 flags = readByte() & 0x0F;
        component.filerFlags = StreamedComponent::FilerFlags::fromInt(flags) & KnownFilerFlags;
        if (flags & ChildPosFlag)
            component.childPos = readInteger();
    }

    QString readShortString() { return decodeUtf8OrWindows31J(take(readByte())); }

    QByteArrayView readLongBytes(qint64 unitSize = 1) {
        return take(static_cast<qint64>(readLittleEndian<qint32>()) * unitSize);
    }

    std::vector<StreamProperty> readProperties() {
        std::vector<StreamProperty> properties;
        while (!atEndOfList()) {
            StreamProperty property;
            property.name = readShortString();
            property.value = readValue();
            properties.push_back(std::move(property));
        }
        return properties;
    }

    StreamValue readValue() {
        const NestingGuard guard(*this);
        const auto type = ValueType(readByte());
        switch (type) {
        case ValueType::Int8:
        case ValueType::Int16:
        case ValueType::Int32:
        case ValueType::Int64:
            return {readIntegerOfType(type)};
        case ValueType::False:
            return {false};
        case ValueType::True:
            return {true};
        case ValueType::String:
            return {readShortString()};
        case ValueType::LString:
            return {decodeUtf8OrWindows31J(readLongBytes())};
        case ValueType::Utf8String:
            return {QString::fromUtf8(readLongBytes())};
        case ValueType::WString:
            return {readWideString()};
        case ValueType::Ident:
            return {StreamIdent{readShortString()}};
        case ValueType::Set:
            return {readSet()};
        case ValueType::Nil:
            return {StreamNil{}};
        case ValueType::Binary:
            return {readLongBytes().toByteArray()};
        case ValueType::Extended:
        case ValueType::Single:
        case ValueType::Currency:
        case ValueType::Date:
        case ValueType::Double:
            return {readFloat(StreamFloat::Kind(type))};
        case ValueType::List:
            return {readList()};
        case ValueType::Collection:
            return {readCollection()};
        case ValueType::Null:
            break;
        }
        throw MalformedStream{};
    }

    QString readWideString() {
        const QByteArrayView bytes = readLongBytes(2);
        QStringDecoder utf16(QStringConverter::Utf16LE);
        return utf16(bytes);
    }

    StreamSet readSet() {
        StreamSet set;
        for (QString element = readShortString(); !element.isEmpty(); element = readShortString())
            set.elements.append(element);
        return set;
    }

    StreamFloat readFloat(StreamFloat::Kind kind) {
        return StreamFloat{kind, take(floatSize(kind)).toByteArray()};
    }

    StreamList readList() {
        StreamList list;
        while (!atEndOfList())
            list.values.push_back(readValue());
        return list;
    }

    StreamCollection readCollection() {
        StreamCollection collection;
        while (!atEndOfList()) {
            StreamCollectionItem item;
            if (isIntegerType(peekByte()))
                item.order = readInteger();
            if (readByte() != quint8(ValueType::List))
                throw MalformedStream{};
            item.properties = readProperties();
            collection.items.push_back(std::move(item));
        }
        return collection;
    }

    const QByteArray& bytes_;
    qsizetype position_ = 0;
    int depth_ = 0;
};

} // namespace

bool StreamList::operator==(const StreamList& other) const {
    return values == other.values;
}

bool StreamCollection::operator==(const StreamCollection& other) const {
    return items == other.items;
}

const StreamValue* StreamedComponent::property(QStringView propertyName) const {
    for (const StreamProperty& property : properties) {
        if (property.name.compare(propertyName, Qt::CaseInsensitive) == 0)
            return &property.value;
    }
    return nullptr;
}

std::optional<qint64> StreamedComponent::integerProperty(QStringView propertyName) const {
    const StreamValue* value = property(propertyName);
    if (value == nullptr)
        return std::nullopt;
    if (const qint64* integer = std::get_if<qint64>(&value->data))
        return *integer;
    return std::nullopt;
}

void StreamedComponent::setProperty(const QString& propertyName, StreamValue value) {
    for (StreamProperty& property : properties) {
        if (property.name.compare(propertyName, Qt::CaseInsensitive) == 0) {
            property.value = std::move(value);
            return;
        }
    }
    properties.push_back({propertyName, std::move(value)});
}

QByteArray writeComponentStream(const StreamedComponent& component) {
    StreamWriter writer;
    writer.writeSignature();
    writer.writeComponent(component);
    writer.writeByte(EndOfList);
    return writer.take();
}

std::optional<StreamedComponent> readComponentStream(const QByteArray& bytes) {
    try {
        StreamReader reader(bytes);
        reader.readSignature();
        return reader.readComponent();
    } catch (const MalformedStream&) {
        return std::nullopt;
    }
}

} // namespace kelvos
