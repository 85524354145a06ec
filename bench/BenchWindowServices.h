#pragma once

#include "ClipPlayer.h"
#include "FakeHotkeyBackend.h"
#include "PressTiming.h"
#include "TKelvoS.h"

#include <QTemporaryDir>

// Plays nothing and keeps nothing: a recording player would count its record as the window's.
class SilentClipPlayer final : public kelvos::ClipPlayer {
public:
    void play(const QString&) override {}
    void pause(std::chrono::milliseconds) override {}
    void playSignal(const QString&) override {}
    void beep() override {}
    void stop() override {}
};

// What a benchmarked main window is given: the fake clock and silent player of the benchmark,
// in-memory hotkeys, a fixed wall clock, and the folder for its files and settings.
inline KelvosServices benchWindowServices(kelvos::PressTiming& timing, kelvos::ClipPlayer& player,
                                          const QTemporaryDir& folder) {
    KelvosServices services;
    services.timing = &timing;
    services.player = &player;
    services.hotkeys = std::make_unique<kelvos::FakeHotkeyBackend>();
    services.now = [] { return QDateTime(QDate(2026, 12, 8), QTime(12, 0)); };
    services.workingDirectory = folder.path();
    services.settingsFile = folder.filePath("kelvos.ini");
    return services;
}
