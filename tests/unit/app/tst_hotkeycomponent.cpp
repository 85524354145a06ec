#include "HotkeyComponent.h"

#include <QTest>

using kelvos::StreamedComponent;
using kelvos::StreamSet;
using kelvos::StreamValue;

namespace {
// A hotkey editor as the Windows program streams it: only what differs from the defaults.
StreamedComponent windowsEditor(std::optional<qint64> hotKey,
                                std::optional<QStringList> modifiers) {
    StreamedComponent component;
    component.className = "THotKey";
    component.name = "HotKey1";
    component.setProperty("Left", StreamValue{qint64(40)});
    if (hotKey)
        component.setProperty("HotKey", StreamValue{*hotKey});
    if (modifiers)
        component.setProperty("Modifiers", StreamValue{StreamSet{*modifiers}});
    return component;
}
} // namespace

class TestHotkeyComponent : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("word");
        QTest::newRow("Up") << 0x26;
        QTest::newRow("Num 1") << 0x61;
        QTest::newRow("Ctrl+Alt+A") << (0x4000 | 0x8000 | 0x41);
        QTest::newRow("Shift+F9") << (0x2000 | 0x78);
        QTest::newRow("none") << 0;
    }
    void roundTrip() {
        QFETCH(int, word);
        const StreamedComponent component =
            kelvos::hotkeyEditorComponent("HotKey3", quint16(word), QRect(1, 2, 60, 26));
        const auto stream = kelvos::writeComponentStream(component);
        const auto read = kelvos::readComponentStream(stream);
        QVERIFY(read);
        QCOMPARE(kelvos::shortcutOfHotkeyComponent(*read), std::optional<quint16>(quint16(word)));
    }

    // Properties at their defaults are absent from the Windows program's stream.
    void windowsDefaults_data() {
        QTest::addColumn<std::optional<qint64>>("hotKey");
        QTest::addColumn<std::optional<QStringList>>("modifiers");
        QTest::addColumn<int>("word");
        QTest::newRow("both at defaults: Alt+A")
            << std::optional<qint64>() << std::optional<QStringList>() << 0x8041;
        QTest::newRow("arrow without modifiers")
            << std::optional<qint64>(38) << std::optional<QStringList>(QStringList{}) << 0x26;
        QTest::newRow("Alt+B: modifiers at default")
            << std::optional<qint64>(0x8042) << std::optional<QStringList>() << 0x8042;
        QTest::newRow("Ctrl+Shift+C")
            << std::optional<qint64>(0x6043) << std::optional<QStringList>({"hkShift", "hkCtrl"})
            << 0x6043;
    }
    void windowsDefaults() {
        QFETCH(std::optional<qint64>, hotKey);
        QFETCH(std::optional<QStringList>, modifiers);
        QFETCH(int, word);
        QCOMPARE(kelvos::shortcutOfHotkeyComponent(windowsEditor(hotKey, modifiers)),
                 std::optional<quint16>(quint16(word)));
    }

    void otherComponentsAreNotHotkeys() {
        StreamedComponent edit = windowsEditor(38, QStringList{});
        edit.className = "TEdit";
        QCOMPARE(kelvos::shortcutOfHotkeyComponent(edit), std::nullopt);
    }
};

QTEST_APPLESS_MAIN(TestHotkeyComponent)
#include "tst_hotkeycomponent.moc"
