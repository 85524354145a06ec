#include "TCuteButton.h"
#include "TForm4.h"
#include "TNValLabel.h"

#include <QLabel>
#include <QScreen>
#include <QTest>

namespace {
DisplayFigures figures(qint32 lapCount, qint32 lapDiff, bool miles = false) {
    return {lapCount,
            "00:02:05:007",
            "00:01:01:500",
            lapDiff,
            61500,
            "23.414",
            62503,
            "23.038",
            miles,
            QColor(254, 239, 131),
            QColor(175, 225, 241)};
}

// What the screen shows of a label: the window's backing store, as partial repaints left it.
QImage onScreen(TForm4* form, QWidget* label) {
    const QRect r = label->geometry();
    return form->screen()->grabWindow(form->winId(), r.x(), r.y(), r.width(), r.height()).toImage();
}

void destroyCurrent() {
    delete TForm4::current();
}
} // namespace

class TestForm4 : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { destroyCurrent(); }

    void fillShowsTheFigures_data() {
        QTest::addColumn<qint32>("lapDiff");
        QTest::addColumn<bool>("miles");
        QTest::addColumn<QColor>("diffColor");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("slower, km/h")
            << 1500 << false << QColor(254, 239, 131)
            << QStringList{"12",     "00:02:05:007", "00:01:01:500", "+1:500",   "61500",
                           "23.414", "62503",        "23.038",       "Lap Km/h", "Ave Km/h"};
        QTest::newRow("faster, M/h")
            << -45 << true << QColor(175, 225, 241)
            << QStringList{"12",     "00:02:05:007", "00:01:01:500", "-0.045",  "61500",
                           "23.414", "62503",        "23.038",       "Lap M/h", "Ave M/h"};
    }
    void fillShowsTheFigures() {
        QFETCH(qint32, lapDiff);
        QFETCH(bool, miles);
        QFETCH(QColor, diffColor);
        QFETCH(QStringList, shown);
        TForm4* f = TForm4::fill(figures(12, lapDiff, miles));
        QVERIFY(f->isVisible());
        QCOMPARE((QStringList{f->NValLabel1->caption(), f->NValLabel2->caption(),
                              f->NValLabel3->caption(), f->Label1->text(), f->NValLabel6->caption(),
                              f->Label7->text(), f->NValLabel8->caption(), f->Label9->text(),
                              f->Label16->text(), f->Label18->text()}),
                 shown);
        QCOMPARE(f->Label1->palette().color(QPalette::WindowText), diffColor);
        QVERIFY(!f->NValLabel5->caption().isEmpty());
    }

    void okAndBackgroundHide_data() {
        QTest::addColumn<bool>("onOk");
        QTest::newRow("OK") << true;
        QTest::newRow("background") << false;
    }
    void okAndBackgroundHide() {
        QFETCH(bool, onOk);
        TForm4* form = TForm4::fill(figures(1, 0));
        QVERIFY(QTest::qWaitForWindowExposed(form));
        if (onOk)
            QTest::mouseClick(form->Ok1, Qt::LeftButton);
        else
            QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(540, 20));
        QVERIFY(!form->isVisible());
        QCOMPARE(TForm4::current(), form); // hidden, not destroyed
    }

    void closeDestroysAndTheNextFillMakesANewOne() {
        QPointer<TForm4> first = TForm4::fill(figures(1, 0));
        first->close(); // the close box
        QTRY_VERIFY(first.isNull());
        QVERIFY(TForm4::current() == nullptr);
        TForm4::closeIfVisible(); // the hold timer finds no window: nothing happens
        TForm4* second = TForm4::fill(figures(2, 0));
        QVERIFY(second && second->isVisible());
        QCOMPARE(second->NValLabel1->caption(), "2");
    }

    // Two fills in quick succession: every field shows the newer text only.
    void secondFillLeavesNoRemnants() {
        DisplayFigures wide = figures(888888, 0);
        wide.totalText = "88:88:88:888";
        TForm4* form = TForm4::fill(wide);
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCoreApplication::processEvents();
        const DisplayFigures narrow = figures(1, 0);
        TForm4::fill(narrow);
        QCoreApplication::processEvents();
        const QImage refilled = onScreen(form, form->NValLabel2);
        const QImage count = onScreen(form, form->NValLabel1);

        destroyCurrent();
        TForm4* fresh = TForm4::fill(narrow);
        QVERIFY(QTest::qWaitForWindowExposed(fresh));
        QCOMPARE(refilled, onScreen(fresh, fresh->NValLabel2));
        QCOMPARE(count, onScreen(fresh, fresh->NValLabel1));
    }
};

QTEST_MAIN(TestForm4)
#include "tst_form4.moc"
