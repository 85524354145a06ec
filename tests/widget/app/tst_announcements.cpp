#include "AppFixture.h"
#include "TForm4.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTimer>

namespace {
void lapOf(AppFixture& app, quint32 ms) {
    app.advance(ms);
    app.click("LAP");
    app.window->waitForSignals(); // every read-out started has ended
}

// The Display window's hold, ticking at once rather than every second.
QTimer* fastHold(AppFixture& app) {
    auto* hold = app.window->findChild<QTimer*>("Timer3");
    hold->setInterval(1);
    return hold;
}
} // namespace

// The announcements a lap of competitor 1 brings, as the operator chose them.
class TestAnnouncements : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // A read-out thread touching a window object would show up as such a warning.
        QTest::failOnWarning(
            QRegularExpression("thread", QRegularExpression::CaseInsensitiveOption));
    }

    void lapIsReadAloudAfterItIsRecorded_data() {
        QTest::addColumn<bool>("repeat");
        QTest::newRow("once") << false;
        QTest::newRow("twice with Re") << true;
    }
    void lapIsReadAloudAfterItIsRecorded() {
        QFETCH(bool, repeat);
        AppFixture app;
        app.control<QCheckBox>("CheckBox9")->setChecked(repeat);
        app.click("start");
        QVERIFY(!app.heard().contains("lap.wav")); // nothing to read before a lap
        lapOf(app, 61040);
        const QList<int> pauses = app.player.pauses();
        const QStringList heard = app.heard();
        const qsizetype lap = heard.indexOf("lap.wav");
        QVERIFY2(lap >= 0 && heard.indexOf("laptime.wav", lap) > lap, qPrintable(heard.join(' ')));
        QCOMPARE(heard.count("lap.wav"), repeat ? 2 : 1);
        QCOMPARE(heard.contains("pi.wav") && heard.contains("pa.wav"), repeat);
        QCOMPARE(pauses, repeat ? QList<int>({500, 500}) : QList<int>());
    }

    void lapGoesOnTheClipboardAsASentence_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("ClipE") << "CheckBox7"
                               << "lap 1=01Minute, 01Second, 040 total =00Hour, 01Minute, "
                                  "01Second, 040";
        QTest::newRow("J") << "CheckBox10"
                           << "ラップ1=01分01秒040 トータル =00時間01分01秒040";
    }
    void lapGoesOnTheClipboardAsASentence() {
        QFETCH(QString, box);
        AppFixture app;
        app.control<QCheckBox>(qPrintable(box))->setChecked(true);
        app.click("start");
        lapOf(app, 61040);
        QFETCH(QString, sentence);
        QTRY_COMPARE(QGuiApplication::clipboard()->text(), sentence);
        QVERIFY(!app.heard().contains("lap.wav")); // "Voice" went off with the clipboard box
    }

    // "D" shows the lap and the window closes itself after its hold: 10 ticks, or 20 when the
    // clipboard's "Re" puts the sentence twice, however often the hold is renewed meanwhile.
    void displayHoldEndsAFixedNumberOfTicksAfterItsStart_data() {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("ticks");
        QTest::newRow("no read-out") << QStringList{} << 10;
        QTest::newRow("ClipE with Re") << QStringList{"CheckBox7", "CheckBox11"} << 20;
    }
    void displayHoldEndsAFixedNumberOfTicksAfterItsStart() {
        QFETCH(QStringList, boxes);
        AppFixture app;
        app.control<QCheckBox>("CheckBox6")->setChecked(false); // no "Voice"
        for (const QString& box : boxes)
            app.control<QCheckBox>(qPrintable(box))->setChecked(true);
        app.control<QCheckBox>("DCheck1")->setChecked(true);
        QTimer* hold = fastHold(app);
        int ticks = 0;
        connect(hold, &QTimer::timeout, [&ticks] { ++ticks; });
        app.click("start");
        lapOf(app, 1000);
        QTRY_VERIFY(TForm4::current() && TForm4::current()->isVisible());
        QTRY_VERIFY(ticks >= 3);
        lapOf(app, 1000); // renewed while it runs
        QTRY_VERIFY(!TForm4::current() || !TForm4::current()->isVisible());
        QTEST(ticks, "ticks");
        QVERIFY(!hold->isActive());
    }
};

QTEST_MAIN(TestAnnouncements)
#include "tst_announcements.moc"
