#include "AppFixture.h"
#include "DesignScale.h"
#include "MainWindowLayout.h"
#include "TForm3.h"
#include "TForm4.h"
#include "TNValLabel.h"
#include "TShineSpeedButton.h"
#include "TStringGridEx.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>

using namespace kelvos;

namespace {
const QSize kDesign(1020, 763);
const QPoint kCentred(-1, -1);
// The room a caption needs between itself and its button's edges, at the designed size.
constexpr int kCaptionMargin = 2;

QSize at(double scale) {
    return {qRound(kDesign.width() * scale), qRound(kDesign.height() * scale)};
}

// The size a control's font is drawn at, in pixels.
double fontPixels(const QWidget* control) {
    const QFont font = control->font();
    return font.pixelSize() > 0 ? font.pixelSize()
                                : font.pointSizeF() * control->logicalDpiY() / 72;
}

// Resizes the window as a drag on its border does, and waits for the new size.
void resizeWindow(AppFixture& app, QSize client) {
    app.window->resize(client);
    QTRY_COMPARE(app.window->size(), client);
}
} // namespace

class TestWindowScale : public QObject {
    Q_OBJECT
private slots:
    // The whole window scales as one: every control of the layout at its designed place times
    // the scale and inside the window, the design centred where the window is wider or
    // taller than it, the fonts and the grids' rows and columns in proportion.
    void resizeScalesTheWholeWindow_data() {
        QTest::addColumn<QSize>("client");
        QTest::addColumn<double>("scale");
        QTest::newRow("smallest") << at(kMinimumScale) << 0.6;
        QTest::newRow("designed") << kDesign << 1.0;
        QTest::newRow("a drag to 137 %") << QSize(1397, 1045) << 1397.0 / 1020;
        QTest::newRow("largest") << at(kMaximumScale) << 2.0;
        QTest::newRow("wider than the design") << QSize(1300, 763) << 1.0;
        QTest::newRow("taller than the design") << QSize(1020, 900) << 1.0;
    }
    void resizeScalesTheWholeWindow() {
        QFETCH(QSize, client);
        QFETCH(double, scale);
        AppFixture app;
        resizeWindow(app, client);
        const QPoint origin = designArea(kDesign, client).topLeft();
        for (const ControlSpec& spec : mainWindowControls()) {
            QWidget* control = app.control(spec.name);
            const QRect expected =
                scaledRect(spec.geometry, scale).translated(spec.parent ? QPoint(0, 0) : origin);
            QCOMPARE(control->geometry(), expected);
            const QRect inWindow(control->mapTo(app.window.get(), QPoint(0, 0)), control->size());
            QVERIFY2(app.window->rect().contains(inWindow), spec.name);
        }
        QVERIFY(qAbs(fontPixels(app.control("Label1")) - 34 * scale) < 0.01);
        for (const char* name : {"StringGridEx1", "StrSortGrid1"}) {
            auto* grid = app.control<TextGrid>(name);
            QCOMPARE(grid->rowHeight(0), scaledPixels(18, scale));
            QCOMPARE(grid->columnWidth(2), scaledPixels(80, scale));
            // Every column and its header shows whole.
            QVERIFY2(grid->horizontalHeader()->length() <= grid->viewport()->width(), name);
        }
    }

    // The window opens centred on the screen at its designed size; closed, it keeps its scale
    // and place, and the next start shows it there again, where that is still on a screen.
    void placeIsKeptWithTheSettings_data() {
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<QSize>("client"); // none: the largest that fits the screen
        QTest::addColumn<QPoint>("place"); // none: centred
        QTest::newRow("none kept: designed size, centred") << QByteArray() << kDesign << kCentred;
        QTest::newRow("kept place and scale")
            << QByteArray("[Window]\nScale=80\nLeft=30\nTop=40\n") << at(0.8) << QPoint(30, 40);
        QTest::newRow("kept place off every screen: centred")
            << QByteArray("[Window]\nScale=80\nLeft=3000\nTop=40\n") << at(0.8) << kCentred;
        QTest::newRow("kept scale too large for the screen: the largest that fits")
            << QByteArray("[Window]\nScale=200\nLeft=0\nTop=0\n") << QSize() << QPoint(0, 0);
    }
    void placeIsKeptWithTheSettings() {
        QFETCH(QByteArray, kept);
        QFETCH(QSize, client);
        QFETCH(QPoint, place);
        AppFixture app(AppFixture::Files{.settings = kept});
        const QRect frame = app.window->frameGeometry();
        const QRect workArea = app.window->screen()->availableGeometry();
        QVERIFY(workArea.contains(frame));
        if (client.isValid())
            QCOMPARE(app.window->size(), client);
        else
            QVERIFY(frame.width() >= workArea.width() - 1 ||
                    frame.height() >= workArea.height() - 1);
        if (place == kCentred)
            QVERIFY((frame.center() - workArea.center()).manhattanLength() <= 2);
        else
            QCOMPARE(frame.topLeft(), place);
        resizeWindow(app, at(0.9));
        app.window->close();
        const QByteArray settings = app.settingsText();
        QVERIFY2(settings.contains("[Window]\nScale=90\nLeft=" + QByteArray::number(frame.left()) +
                                   "\nTop=" + QByteArray::number(frame.top())),
                 settings.constData());
    }

    // Every button's and label's caption fits inside its control (a button's with a margin), at
    // every scale.
    void captionsFitTheirControls_data() {
        QTest::addColumn<double>("scale");
        QTest::newRow("smallest") << kMinimumScale;
        QTest::newRow("designed") << 1.0;
        QTest::newRow("largest") << kMaximumScale;
    }
    void captionsFitTheirControls() {
        QFETCH(double, scale);
        AppFixture app;
        resizeWindow(app, at(scale));
        for (const ControlSpec& spec : mainWindowControls()) {
            QWidget* control = app.control(spec.name);
            auto* button = qobject_cast<QAbstractButton*>(control);
            auto* label = qobject_cast<QLabel*>(control);
            if (qobject_cast<QCheckBox*>(control) || (!button && !label))
                continue;
            const QString caption = QString(button ? button->text() : label->text()).remove('&');
            // A label has no edge to keep clear of: its text only has to fit.
            const int margin = button ? 2 * scaledPixels(kCaptionMargin, scale) : 0;
            const int needed = control->fontMetrics().horizontalAdvance(caption) + margin;
            QVERIFY2(needed <= control->width(), qPrintable(QString("%1 needs %2 px, has %3")
                                                                .arg(spec.name)
                                                                .arg(needed)
                                                                .arg(control->width())));
            QVERIFY2(control->fontMetrics().height() <= control->height(), spec.name);
        }
    }

    // The Display and About windows open centred on the screen at their designed size and
    // scale with the window as the main window does.
    void secondaryWindowsOpenCentredAndScale_data() {
        QTest::addColumn<QByteArray>("window");
        QTest::addColumn<QSize>("design");
        QTest::addColumn<QRect>("controlAtTwice");
        QTest::addColumn<int>("fontAtTwice");
        QTest::newRow("Display") << QByteArray("Display") << QSize(552, 505)
                                 << QRect(400, 14, 450, 100) << 74;
        QTest::newRow("About") << QByteArray("About") << QSize(385, 195) << QRect(608, 288, 104, 50)
                               << 30;
    }
    void secondaryWindowsOpenCentredAndScale() {
        QFETCH(QByteArray, window);
        QFETCH(QSize, design);
        QFETCH(QRect, controlAtTwice);
        QFETCH(int, fontAtTwice);
        QWidget* form = window == "Display" ? static_cast<QWidget*>(TForm4::ensureExists())
                                            : static_cast<QWidget*>(TForm3::ensureExists());
        QWidget* control = window == "Display"
                               ? static_cast<QWidget*>(TForm4::current()->NValLabel1)
                               : static_cast<QWidget*>(TForm3::current()->ShineSpeedButton1);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(form->size(), design);
        const QRect workArea = form->screen()->availableGeometry();
        QVERIFY((form->frameGeometry().center() - workArea.center()).manhattanLength() <= 2);
        form->resize(design * 2);
        QTRY_COMPARE(form->size(), design * 2);
        QCOMPARE(control->geometry(), controlAtTwice);
        QCOMPARE(fontPixels(control), fontAtTwice);
        form->close();
    }
};

QTEST_MAIN(TestWindowScale)
#include "tst_window_scale.moc"
