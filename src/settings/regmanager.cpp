#include "regmanager.h"

#include "TextDecoding.h"
#include "inifile.h"

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
    for (const TRegItem& item : m_items) {
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &item;
    }
    return nullptr;
}

void TRegFiler::setCurrentItem(const TRegItem* item) {
    m_item = item ? std::optional<TRegItem>(*item) : std::nullopt;
}

QString TRegFiler::ReadValue(const QString& section, const QString& key,
                             const QString& defaultValue) const {
    if (section.isEmpty() || key.isEmpty())
        return defaultValue;
    const auto document = m_manager.document();
    return document ? document->value(section, key).value_or(defaultValue) : defaultValue;
}

bool TRegFiler::WriteValue(const QString& section, const QString& key, const QString& value) {
    if (section.isEmpty() || key.isEmpty())
        return false;
    return m_manager.update([&](IniDocument& document) {
        document.setValue(section, key, value);
        return true;
    });
}

QString TRegFiler::readItemValue(const QString& defaultValue) const {
    return m_item ? ReadValue(m_item->Section, m_item->Ident, defaultValue) : QString();
}

QString TRegFiler::GetAsString() const {
    return m_item ? readItemValue(m_item->DefaultValue) : QString();
}

bool TRegFiler::SetAsString(const QString& value) {
    return m_item && WriteValue(m_item->Section, m_item->Ident, value);
}

qint32 TRegFiler::GetAsInteger() const {
    return m_item ? decimalOrZero(readItemValue(m_item->DefaultValue)) : 0;
}

bool TRegFiler::SetAsInteger(qint32 value) {
    return SetAsString(QString::number(value));
}

bool TRegFiler::GetAsBoolean() const {
    if (!m_item)
        return false;
    return (decimalOrZero(readItemValue(booleanDefault(m_item->DefaultValue))) & 0xFF) != 0;
}

bool TRegFiler::SetAsBoolean(bool value) {
    return SetAsString(value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TRegFiler::hasItemKey() const {
    return m_item && !m_item->Section.isEmpty() && !m_item->Ident.isEmpty();
}

std::optional<IniDocument> TRegFiler::openForItem() const {
    return hasItemKey() ? m_manager.document() : std::nullopt;
}

void TRegFiler::ReadFont(FontSettings& font) const {
    const auto document = openForItem();
    if (!document)
        return;
    const QString& section = m_item->Section;
    const QString& key = m_item->Ident;
    if (const auto name = document->value(section, key + QLatin1String("_FontName")))
        font.name = *name;
    if (const auto size = document->value(section, key + QLatin1String("_FontSize")))
        font.size = kelvos::parseStrictDecimal(*size).value_or(font.size);
    if (const auto color = document->value(section, key + QLatin1String("_FontColor")))
        font.color = kelvos::colorFromText(*color).value_or(font.color);
    if (const auto style = document->value(section, key + QLatin1String("_FontStyle")))
        font.style = static_cast<quint8>(decimalOrZero(*style) & 0x0F);
}

bool TRegFiler::WriteFont(const FontSettings& font) {
    if (!hasItemKey())
        return false;
    const QString& section = m_item->Section;
    const QString& key = m_item->Ident;
    return m_manager.update([&](IniDocument& document) {
        document.setValue(section, key + QLatin1String("_FontName"), font.name);
        document.setValue(section, key + QLatin1String("_FontSize"), QString::number(font.size));
        document.setValue(section, key + QLatin1String("_FontColor"),
                          kelvos::colorToText(font.color));
        document.setValue(section, key + QLatin1String("_FontStyle"), QString::number(font.style));
        return true;
    });
}

// Lines 0 .. count - 1, a missing line empty. Missing lines after the last stored one are
// left out, so a damaged count cannot make the list grow without bound.
QStringList TRegFiler::readNumberedLines(const NumberedKeys& keys) const {
    const auto document = openForItem();
    if (!document)
        return {};
    const QString& section = m_item->Section;
    const QString& key = m_item->Ident;
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
    const QString& section = m_item->Section;
    const QString countKey = m_item->Ident + keys.count;
    const QString lineStem = m_item->Ident + keys.line;
    return m_manager.update([&](IniDocument& document) {
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
    lines = m_item ? readNumberedLines(StringListKeys) : QStringList();
}

bool TRegFiler::WriteStrings(const QStringList& lines) {
    return m_item && writeNumberedLines(StringListKeys, lines);
}

void TRegFiler::ReadStream(QByteArray& stream) const {
    if (!m_item)
        return;
    for (const QString& line : readNumberedLines(StreamKeys))
        appendHexLine(stream, line);
}

bool TRegFiler::WriteStream(const QByteArray& stream) {
    return m_item && writeNumberedLines(StreamKeys, hexLines(stream));
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

TRegManager::TRegManager(kelvos::SettingsErrorReporter* reporter) : m_reporter(reporter) {}

TRegFiler& TRegManager::Item(const QString& name) {
    const TRegItem* item = m_items.find(name);
    if (!item)
        reportError(QStringLiteral("[' ") + name + QStringLiteral(" '] is invalid."));
    m_filer.setCurrentItem(item);
    return m_filer;
}

void TRegManager::beginBatch() {
    if (!m_batch)
        m_batch = Batch{false, std::nullopt, false};
}

bool TRegManager::endBatch() {
    const std::optional<Batch> batch = std::exchange(m_batch, std::nullopt);
    return !batch || !batch->changed || writeFile(*batch->document);
}

std::optional<IniDocument> TRegManager::document() {
    if (m_iniFileName.isEmpty()) {
        reportError(NoFileName);
        return std::nullopt;
    }
    if (!m_batch)
        return readFile();
    if (!m_batch->read) {
        m_batch->document = readFile();
        m_batch->read = true;
    }
    return m_batch->document;
}

bool TRegManager::update(const std::function<bool(IniDocument&)>& change) {
    if (!m_batch) {
        std::optional<IniDocument> fresh = document();
        return fresh && (!change(*fresh) || writeFile(*fresh));
    }
    if (!document())
        return false;
    if (change(*m_batch->document))
        m_batch->changed = true;
    return true;
}

std::optional<IniDocument> TRegManager::readFile() const {
    kelvos::LoadedIniDocument loaded = kelvos::loadIniDocument(m_iniFileName);
    if (!loaded.error.isEmpty()) {
        reportError(loaded.error);
        return std::nullopt;
    }
    return std::move(loaded.document);
}

bool TRegManager::writeFile(const IniDocument& document) const {
    const QString error = kelvos::saveIniDocument(m_iniFileName, document);
    if (error.isEmpty())
        return true;
    reportError(m_iniFileName + QStringLiteral(" に書き込めません: ") + error);
    return false;
}

void TRegManager::reportError(const QString& message) const {
    if (m_reporter)
        m_reporter->report(message);
    else
        qWarning().noquote() << message;
}
