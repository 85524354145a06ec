#pragma once

#include "ClipPlayer.h"
#include "FakeHotkeyBackend.h"
#include "MillisecondClock.h"
#include "PressTiming.h"
#include "Sleeper.h"
#include "TKelvoS.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <set>

// The clipboard announcements' wait, returning at once.
class InstantSleeper final : public kelvos::Sleeper {
public:
    void sleepFor(std::chrono::milliseconds, std::stop_token) override {}
};

// The real main window on a fake clock, a sound recorder and in-memory hotkeys, shown on the
// offscreen platform.
struct AppFixture {
    // Files in the working directory before the window is created.
    struct Files {
        QByteArray settings = {};   // kelvos.ini
        QByteArray courses = {};    // course.txt
        QByteArray journal = {};    // the run journal a previous session left
        bool coursesAsPipe = false; // course.txt a named pipe nobody writes to
        // Prepares the working directory (given) further before the window is created.
        std::function<void(const QString&)> prepare = {};
        // Whether the constructor waits for the window to be exposed and a run from the journal
        // to be restored; otherwise it returns right after showing the window.
        bool awaitShown = true;
        kelvos::LiveServer* live = nullptr; // the live results' server the window offers
    };
    AppFixture() : AppFixture(Files{}) {}
    explicit AppFixture(const Files& files, std::unique_ptr<kelvos::FakeHotkeyBackend> fake =
                                                std::make_unique<kelvos::FakeHotkeyBackend>());
    QString settingsFile() const { return workingDirectory.filePath("kelvos.ini"); }
    QString journalFile() const { return workingDirectory.filePath("kelvos-run.journal"); }
    QByteArray settingsText() const;
    ~AppFixture();

    template <typename T = QWidget> T* control(const char* name) const {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control named %s", name);
        return found;
    }
    QString text(const char* labelName) const;
    void click(const char* buttonName);
    // Opens the menu under "S D" with a press, as the operator does.
    QMenu* openMenu();
    // Opens the menu and clicks the item; returns once the menu has closed.
    void chooseFromMenu(const char* item);
    bool enabled(const char* name) const { return control(name)->isEnabled(); }
    std::set<int> registeredHotkeys() const;
    // What was heard since the last call, after every queued signal has sounded.
    QStringList heard();
    // Advances the fake clock and runs one display refresh.
    void advance(quint32 ms);
    // Plays presses given as letters, each a second after the last: 1 to 3 a lap of that
    // competitor, N start, S stop, R restart, C reset, P "Plus1Lap" from the menu.
    void play(const QString& presses);

    QTemporaryDir workingDirectory;
    kelvos::ManualClock clock{1000};
    kelvos::PressTiming timing{clock};
    kelvos::RecordingClipPlayer player;
    InstantSleeper sleeper;
    kelvos::FakeHotkeyBackend& hotkeys; // owned by the window
    QDateTime wallClock{QDate(2026, 12, 8), QTime(12, 34, 56)};
    // Stands in for the file dialogs, which answer at once; none set: every dialog is cancelled.
    std::function<QString(const QString& caption, const QString& filter, bool save)> chooseFile;
    // While set, a dialog stays open: answerDialog() answers it later.
    bool holdDialogs = false;
    QString heldDialog; // the caption of the dialog that waits for its answer
    void answerDialog(const QString& path);
    FileAnswer heldAnswer;
    std::unique_ptr<TKelvoS> window;
};
