#include "AppFixture.h"

#include <QAbstractButton>
#include <QLabel>

AppFixture::AppFixture(std::unique_ptr<kelvos::FakeHotkeyBackend> fake) : hotkeys(*fake) {
    KelvosServices services;
    services.clock = &clock;
    services.player = &player;
    services.hotkeys = std::move(fake);
    services.now = [this] { return wallClock; };
    services.workingDirectory = workingDirectory.path();
    services.settingsFile = workingDirectory.filePath("kelvos.ini");
    window = std::make_unique<TKelvoS>(std::move(services));
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qFatal("the main window was not shown");
    heard(); // start from silence
}

AppFixture::~AppFixture() = default;

QString AppFixture::text(const char* labelName) const {
    return control<QLabel>(labelName)->text();
}

void AppFixture::click(const char* buttonName) {
    QAbstractButton* button = control<QAbstractButton>(buttonName);
    if (!button->isEnabled())
        qFatal("%s is disabled", buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
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
