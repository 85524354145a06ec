#include "AppFixture.h"

#include "TestFiles.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <sys/stat.h>

AppFixture::AppFixture(const Files& files, std::unique_ptr<kelvos::FakeHotkeyBackend> fake)
    : hotkeys(*fake) {
    if (!files.settings.isNull())
        testfiles::writeContents(settingsFile(), files.settings);
    if (!files.journal.isNull())
        testfiles::writeContents(journalFile(), files.journal);
    if (files.coursesAsPipe &&
        mkfifo(QFile::encodeName(workingDirectory.filePath("course.txt")).constData(), 0600) != 0)
        qFatal("no named pipe could be made");
    if (!files.courses.isNull())
        testfiles::writeContents(workingDirectory.filePath("course.txt"), files.courses);
    if (files.prepare)
        files.prepare(workingDirectory.path());
    KelvosServices services;
    services.timing = &timing;
    services.player = &player;
    services.sleeper = &sleeper;
    services.hotkeys = std::move(fake);
    services.now = [this] { return wallClock; };
    services.workingDirectory = workingDirectory.path();
    services.settingsFile = settingsFile();
    services.live = files.live;
    services.chooseFile = [this](const QString& caption, const QString& filter, bool save,
                                 FileAnswer answer) {
        if (holdDialogs) {
            heldDialog = caption;
            heldAnswer = std::move(answer);
            return;
        }
        answer(chooseFile ? chooseFile(caption, filter, save) : QString());
    };
    window = std::make_unique<TKelvoS>(std::move(services));
    window->show();
    if (!files.awaitShown)
        return;
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the main window was not shown");
    if (!QTest::qWaitFor([this] { return !window->isRestoring(); }, 60000))
        qFatal("the unfinished run was not restored");
}

AppFixture::~AppFixture() = default;

void AppFixture::answerDialog(const QString& path) {
    if (!heldAnswer)
        qFatal("no dialog waits for an answer");
    heldDialog.clear();
    std::exchange(heldAnswer, nullptr)(path);
}

QByteArray AppFixture::settingsText() const {
    return testfiles::contents(settingsFile());
}

QString AppFixture::text(const char* labelName) const {
    return control<QLabel>(labelName)->text();
}

void AppFixture::click(const char* buttonName) {
    QAbstractButton* button = control<QAbstractButton>(buttonName);
    if (!button->isEnabled())
        qFatal("%s is disabled", buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

QMenu* AppFixture::openMenu() {
    QTest::mousePress(control("CuteButton44"), Qt::LeftButton);
    auto* menu = control<QMenu>("PopupMenu2");
    if (!QTest::qWaitForWindowExposed(menu))
        qFatal("the menu did not open");
    return menu;
}

void AppFixture::chooseFromMenu(const char* item) {
    QMenu* menu = openMenu();
    QAction* action = menu->findChild<QAction*>(QString::fromLatin1(item));
    if (!action)
        qFatal("no menu item named %s", item);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    if (!QTest::qWaitFor([menu] { return !menu->isVisible(); }))
        qFatal("the menu did not close after %s", item);
}

std::set<int> AppFixture::registeredHotkeys() const {
    std::set<int> live;
    for (int i = 1; i <= 7; ++i)
        if (hotkeys.isRegistered(i))
            live.insert(i);
    return live;
}

QStringList AppFixture::heard() {
    window->waitForSignals();
    const QStringList sounds = player.heard();
    player.clear();
    return sounds;
}

void AppFixture::advance(quint32 ms) {
    clock.advance(ms);
    window->Timer1Timer();
}

void AppFixture::play(const QString& presses) {
    const char* const laps[] = {"LAP", "LAP2", "LAP3"};
    for (QChar press : presses) {
        advance(1000);
        if (press.isDigit())
            click(laps[press.digitValue() - 1]);
        else if (press == 'N')
            click("start");
        else if (press == 'S')
            click("stop");
        else if (press == 'R')
            click("CuteButton1");
        else if (press == 'C')
            click("CuteButton2");
        else if (press == 'P')
            chooseFromMenu("Plus1Lap1");
    }
}
