#include "RemoteAccess.h"

#include <QTest>

using namespace kelvos;

class TestRemoteAccess : public QObject {
    Q_OBJECT

private slots:
    void tokensAreLongAndUnforeseeable();
    void tokenMatches_data();
    void tokenMatches();
    void pressTime_data();
    void pressTime();
};

void TestRemoteAccess::tokensAreLongAndUnforeseeable() {
    const QByteArray first = newRemoteToken();
    QCOMPARE(first.size(), 32); // 128 bits in hex
    QVERIFY(QByteArray::fromHex(first).toHex() == first);
    QVERIFY(newRemoteToken() != first);
}

void TestRemoteAccess::tokenMatches_data() {
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<bool>("matches");
    const QByteArray token = "0123456789abcdef0123456789abcdef";
    QTest::newRow("the token") << token << token << true;
    QTest::newRow("last digit wrong") << token << QByteArray(token).replace(31, 1, "0") << false;
    QTest::newRow("first digit wrong") << token << QByteArray(token).replace(0, 1, "f") << false;
    QTest::newRow("a prefix") << token << token.left(16) << false;
    QTest::newRow("longer") << token << token + "0" << false;
    QTest::newRow("none given") << token << QByteArray() << false;
    QTest::newRow("no pairing") << QByteArray() << QByteArray() << false;
}

void TestRemoteAccess::tokenMatches() {
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, given);
    QFETCH(bool, matches);
    QCOMPARE(kelvos::tokenMatches(expected, given), matches);
}

void TestRemoteAccess::pressTime_data() {
    QTest::addColumn<std::optional<quint32>>("touched");
    QTest::addColumn<quint32>("previous");
    QTest::addColumn<quint32>("arrived");
    QTest::addColumn<quint32>("now");
    QTest::addColumn<quint32>("reading");
    QTest::addColumn<bool>("atArrival");
    using T = std::optional<quint32>;
    QTest::newRow("touch between the previous press and now")
        << T(10'400) << 10'000u << 10'520u << 10'530u << 10'400u << false;
    QTest::newRow("touch just now")
        << T(10'530) << 10'000u << 10'520u << 10'530u << 10'530u << false;
    QTest::newRow("touch at the previous press")
        << T(10'000) << 10'000u << 10'520u << 10'530u << 10'520u << true;
    QTest::newRow("touch before the previous press")
        << T(9'990) << 10'000u << 10'520u << 10'530u << 10'520u << true;
    QTest::newRow("touch in the future")
        << T(10'531) << 10'000u << 10'520u << 10'530u << 10'520u << true;
    QTest::newRow("touch unknown") << T() << 10'000u << 10'520u << 10'530u << 10'520u << true;
    QTest::newRow("clock wrapped between the presses")
        << T(0x10) << 0xffffff00u << 0x18u << 0x20u << 0x10u << false;
}

void TestRemoteAccess::pressTime() {
    QFETCH(std::optional<quint32>, touched);
    QFETCH(quint32, previous);
    QFETCH(quint32, arrived);
    QFETCH(quint32, now);
    QFETCH(quint32, reading);
    QFETCH(bool, atArrival);
    const RemotePressTime time = remotePressTime(touched, previous, arrived, now);
    QCOMPARE(time.reading, reading);
    QCOMPARE(time.atArrival, atArrival);
}

QTEST_GUILESS_MAIN(TestRemoteAccess)
#include "tst_remoteaccess.moc"
