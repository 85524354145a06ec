// Feeds arbitrary bytes to the INI parser: the first byte splits the input into a file and a
// value. A value written into any file must read back, cut to the read limit and on one line.
#include "IniDocument.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const auto split = std::min<size_t>(data[0], size - 1);
    const QByteArray file(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(split));
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data + 1 + split),
                                            static_cast<qsizetype>(size - 1 - split));

    kelvos::IniDocument document = kelvos::IniDocument::fromBytes(file);
    document.setValue(QStringLiteral("Form\\HotKey1"), QStringLiteral("prop_d0"), value);
    document.removeNumberedKeys(u"Form\\HotKey1", u"prop_d", 1, 1000);
    const auto read = document.value(u"form\\hotkey1", u"PROP_D0");
    QString expected = value;
    expected.replace(QLatin1String("\r\n"), QLatin1String(" "));
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!read || !expected.startsWith(*read) ||
        read->size() <
            std::min<qsizetype>(expected.size(), kelvos::IniDocument::MaxValueLength - 1))
        std::abort();
    kelvos::IniDocument::fromBytes(document.toBytes());
    return 0;
}
