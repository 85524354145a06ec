// Reads every kind of settings value from an arbitrary INI file, the way the program does at
// its start: hexadecimal byte streams, hotkey components, string lists, fonts and colours,
// integers and booleans. A hotkey read back from a file must survive being written again.
#include "HotkeyComponent.h"
#include "TRegManager.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

TRegManager& manager() {
    static QTemporaryDir dir;
    static TRegManager store;
    if (store.IniFileName().isEmpty()) {
        store.setIniFileName(dir.filePath("KelvoS.ini"));
        store.RegItems().add({"HotKey", "Form\\HotKey1", "prop", ""});
        store.RegItems().add({"Font", "Form\\Label1", "Font", ""});
        store.RegItems().add({"Lines", "Form\\Memo1", "Lines", ""});
        store.RegItems().add({"Checked", "Form\\CheckBox1", "Checked", "True"});
        store.RegItems().add({"Index", "Form\\ComboBox1ItemIndex", "Integer", "0"});
    }
    return store;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TRegManager& store = manager();
    writeFile(store.IniFileName(),
              QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    store.beginBatch();
    QByteArray stream;
    store.Item("HotKey").ReadStream(stream);
    const auto component = store.Item("HotKey").ReadComponent();
    const auto shortcut = component ? kelvos::shortcutOfHotkeyComponent(*component) : std::nullopt;
    kelvos::FontSettings font;
    store.Item("Font").ReadFont(font);
    kelvos::colorToText(font.color);
    QStringList lines;
    store.Item("Lines").ReadStrings(lines);
    store.Item("Checked").GetAsBoolean();
    store.Item("Index").GetAsInteger();
    if (shortcut) {
        store.Item("HotKey").WriteComponent(
            kelvos::hotkeyEditorComponent("HotKey1", *shortcut, QRect(1, 2, 3, 4)));
        const auto again = store.Item("HotKey").ReadComponent();
        if (!again || kelvos::shortcutOfHotkeyComponent(*again) != shortcut)
            std::abort();
    }
    store.endBatch();
    return 0;
}
