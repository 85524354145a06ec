#include "TRegManager.h"

#include "IniFile.h"
#include "TextDecoding.h"

#include <QDebug>
#include <utility>

using kelvos::FontSettings;
using kelvos::IniDocument;
using kelvos::StreamedComponent;

namespace {

constexpr qsizetype HexDigitsPerLine = 64;

qint32 decimalOrZero(const QString& text) {
    return kelvos::parseStrictDecimal(text).value_or(0);
}

const QString NoFileName = QStringLiteral("can not create Inifile object.");

// The stored boolean default: "1" for "1", "TRUE" or "YES" in any letter case, else "0".
QString booleanDefault(const QString& defaultValue) {
    const QString upper = defaultValue.toUpper();
    const bool isTrue = upper == u"1" || upper == u"TRUE" || upper == u"YES";
    return isTrue ? QStringLiteral("1") : QStringLiteral("0");
}

int hexDigitValue(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    return -1;
}

char hexPairByte(QChar high, QChar low) {
    const int h = hexDigitValue(high);
    const int l = hexDigitValue(low);
    return h < 0 || l < 0 ? '\0' : static_cast<char>(h * 16 + l);
}

void appendHexLine(QByteArray& stream, const QString& line) {
    for (qsizetype i = 0; i + 1 < line.size(); i += 2)
        stream.append(hexPairByte(line.at(i), line.at(i + 1)));
}

QStringList hexLines(const QByteArray& stream) {
    const QString hex = QString::fromLatin1(stream.toHex().toUpper());
    QStringList lines;
    for (qsizetype i = 0; i < hex.size(); i += HexDigitsPerLine)
        lines.append(hex.mid(i, HexDigitsPerLine));
    return lines;
}

} // namespace

const TRegItem* TRegItems::find(QStringView name) const {
    for (const TRegItem& item : items_) {
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

void TRegFiler::setCurrentItem(const TRegItem* item) {
    item_ = item ? std::optional<TRegItem>(*item) : std::nullopt;
}

QString TRegFiler::ReadValue(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    if (section.isEmpty() || key.isEmpty())
        return defaultValue;
    const auto document = manager_.document();
    return document ? document->value(section, key).value_or(defaultValue) : defaultValue;
}

bool TRegFiler::WriteValue(const QString& section, const QString& key, const QString& value) {
    if (section.isEmpty() || key.isEmpty())
        return false;
    return manager_.update([&](IniDocument& document) {
        document.setValue(section, key, value);
        return true;
    });
}

QString TRegFiler::readItemValue(const QString& defaultValue) const {
    return item_ ? ReadValue(item_->Section, item_->Ident, defaultValue) : QString();
}

QString TRegFiler::GetAsString() const {
    return item_ ? readItemValue(item_->DefaultValue) : QString();
}

bool TRegFiler::SetAsString(const QString& value) {
    return item_ && WriteValue(item_->Section, item_->Ident, value);
}

qint32 TRegFiler::GetAsInteger() const {
    return item_ ? decimalOrZero(readItemValue(item_->DefaultValue)) : 0;
}

bool TRegFiler::SetAsInteger(qint32 value) {
    return SetAsString(QString::number(value));
}

bool TRegFiler::GetAsBoolean() const {
    if (!item_)
        return false;
    return (decimalOrZero(readItemValue(booleanDefault(item_->DefaultValue))) & 0xFF) != 0;
}

bool TRegFiler::SetAsBoolean(bool value) {
    return SetAsString(value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TRegFiler::hasItemKey() const {
    return item_ && !item_->Section.isEmpty() && !item_->Ident.isEmpty();
}

std::optional<IniDocument> TRegFiler::openForItem() const {
    return hasItemKey() ? manager_.document() : std::nullopt;
}

void TRegFiler::ReadFont(FontSettings& font) const {
    const auto document = openForItem();
    if (!document)
        return;
    const QString& section = item_->Section;
    const QString& key = item_->Ident;
    if (const auto name = document->value(section, key + QLatin1String("_FontName")))
        font.name = *name;
    if (const auto size = document->value(section, key + QLatin1String("_FontSize")))
        font.size = kelvos::parseStrictDecimal(*size).value_or(font.size);
    if (const auto color = document->value(section, key + QLatin1String("_FontColor")))
        font.color = kelvos::colorFromText(*color).value_or(font.color);
    if (const auto style = document->value(section, key + QLatin1String("_FontStyle")))
        font.style = FontSettings::Styles::fromInt(quint8(decimalOrZero(*style) & 0x0F));
}

bool TRegFiler::WriteFont(const FontSettings& font) {
    if (!hasItemKey())
        return false;
    const QString& section = item_->Section;
    const QString& key = item_->Ident;
    return manager_.update([&](IniDocument& document) {
        document.setValue(section, key + QLatin1String("_FontName"), font.name);
        document.setValue(section, key + QLatin1String("_FontSize"), QString::number(font.size));
        document.setValue(section, key + QLatin1String("_FontColor"),
                          kelvos::colorToText(font.color));
        document.setValue(section, key + QLatin1String("_FontStyle"),
                          QString::number(font.style.toInt()));
        return true;
    });
}

// Lines 0 .. count - 1, a missing line empty. Missing lines after the last stored one are
// left out, so a damaged count cannot make the list grow without bound.
QStringList TRegFiler::readNumberedLines(const NumberedKeys& keys) const {
    const auto document = openForItem();
    if (!document)
        return {};
    const QString& section = item_->Section;
    const QString& key = item_->Ident;
    const qint64 count =
        decimalOrZero(document->value(section, key + keys.count).value_or(QStringLiteral("0")));
    const QMap<qint64, QString> stored = document->numberedValues(section, key + keys.line);
    QStringList lines;
    for (auto it = stored.cbegin(); it != stored.cend() && it.key() < count; ++it) {
        while (lines.size() < it.key())
            lines.append(QString());
        lines.append(it.value());
    }
    return lines;
}

bool TRegFiler::writeNumberedLines(const NumberedKeys& keys, const QStringList& lines) {
    if (!hasItemKey())
        return false;
    const QString& section = item_->Section;
    const QString countKey = item_->Ident + keys.count;
    const QString lineStem = item_->Ident + keys.line;
    return manager_.update([&](IniDocument& document) {
        const qint64 oldCount =
            decimalOrZero(document.value(section, countKey).value_or(QStringLiteral("0")));
        const qint64 newCount = lines.size();
        if (oldCount > newCount) {
            document.removeNumberedKeys(section, lineStem, newCount, oldCount);
            if (newCount == 0)
                document.removeKey(section, countKey);
        } else if (newCount == 0) {
            return false;
        }
        if (newCount > 0) {
            document.setValue(section, countKey, QString::number(newCount));
            for (qsizetype i = 0; i < lines.size(); ++i)
                document.setValue(section, lineStem + QString::number(i), lines.at(i));
        }
        return true;
    });
}

const TRegFiler::NumberedKeys TRegFiler::StringListKeys{QLatin1String("_ItemCount"),
                                                        QLatin1String("_Item")};
const TRegFiler::NumberedKeys TRegFiler::StreamKeys{QLatin1String("_c"), QLatin1String("_d")};

void TRegFiler::ReadStrings(QStringList& lines) const {
    lines = item_ ? readNumberedLines(StringListKeys) : QStringList();
}

bool TRegFiler::WriteStrings(const QStringList& lines) {
    return item_ && writeNumberedLines(StringListKeys, lines);
}

void TRegFiler::ReadStream(QByteArray& stream) const {
    if (!item_)
        return;
    for (const QString& line : readNumberedLines(StreamKeys))
        appendHexLine(stream, line);
}

bool TRegFiler::WriteStream(const QByteArray& stream) {
    return item_ && writeNumberedLines(StreamKeys, hexLines(stream));
}

std::optional<StreamedComponent> TRegFiler::ReadComponent() const {
    QByteArray bytes;
    ReadStream(bytes);
    if (bytes.isEmpty())
        return std::nullopt;
    return kelvos::readComponentStream(bytes);
}

bool TRegFiler::WriteComponent(const StreamedComponent& component) {
    return WriteStream(kelvos::writeComponentStream(component));
}

TRegManager::TRegManager(kelvos::SettingsErrorReporter* reporter) : reporter_(reporter) {}

TRegFiler& TRegManager::Item(const QString& name) {
    const TRegItem* item = items_.find(name);
    if (!item)
        reportError(QStringLiteral("[' ") + name + QStringLiteral(" '] is invalid."));
    filer_.setCurrentItem(item);
    return filer_;
}

void TRegManager::beginBatch() {
    if (!batch_)
        batch_ = Batch{false, std::nullopt, false};
}

bool TRegManager::endBatch() {
    const std::optional<Batch> batch = std::exchange(batch_, std::nullopt);
    return !batch || !batch->changed || writeFile(*batch->document);
}

std::optional<IniDocument> TRegManager::document() {
    if (iniFileName_.isEmpty()) {
        reportError(NoFileName);
        return std::nullopt;
    }
    if (!batch_)
        return readFile();
    if (!batch_->read) {
        batch_->document = readFile();
        batch_->read = true;
    }
    return batch_->document;
}

bool TRegManager::update(const std::function<bool(IniDocument&)>& change) {
    if (!batch_) {
        std::optional<IniDocument> fresh = document();
        return fresh && (!change(*fresh) || writeFile(*fresh));
    }
    if (!document())
        return false;
    if (change(*batch_->document))
        batch_->changed = true;
    return true;
}

std::optional<IniDocument> TRegManager::readFile() const {
    kelvos::LoadedIniDocument loaded = kelvos::loadIniDocument(iniFileName_);
    if (!loaded.error.isEmpty()) {
        reportError(loaded.error);
        return std::nullopt;
    }
    return std::move(loaded.document);
}

bool TRegManager::writeFile(const IniDocument& document) const {
    const QString error = kelvos::saveIniDocument(iniFileName_, document);
    if (error.isEmpty())
        return true;
    reportError(iniFileName_ + QStringLiteral(" に書き込めません: ") + error);
    return false;
}

void TRegManager::reportError(const QString& message) const {
    if (reporter_)
        reporter_->report(message);
    else
        qWarning().noquote() << message;
}
