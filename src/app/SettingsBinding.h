#pragma once

#include "DesignScale.h"
#include "TRegManager.h"

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

class QTimer;
class CoursePanel;
class HotkeysPanel;
class LapsPanel;
class OptionsPanel;

// What the main window keeps between sessions, bound to the controls that show it: read partly
// while the window is created and partly when it is first shown, and written a few seconds
// after each change and when it closes, so that a killed program keeps them too. Nothing is
// written before they were all read, or the stored values would give way to the defaults.
// The settings are keyed by the controls' names, so the check boxes are found by name.
class SettingsBinding : public QObject {
    Q_OBJECT
public:
    struct Panels {
        HotkeysPanel& hotkeys;
        LapsPanel& laps;
        OptionsPanel& options;
        CoursePanel& course;
    };
    SettingsBinding(QWidget* form, const QString& iniFile, Panels panels);
    ~SettingsBinding() override;

    // Hotkeys and names are needed before the hotkeys are registered; a missing key keeps the
    // editor's own combination. Returns whether the start-up jingle is wanted. The file is read
    // once for this and restoreShownSettings() together.
    bool loadCreationSettings();
    // Where the window was when it last closed, if that was kept; read with the above.
    std::optional<kelvos::WindowPlace> windowPlace();
    // The check boxes in the order in which their rules cascade, the speed unit, the course and
    // the sound levels; from then on every change is saved after a pause.
    void restoreShownSettings();
    // Writes every setting; stops at the first one the store refuses, since the rest would fail
    // the same way. Returns whether everything was stored (true, writing nothing, while the
    // settings have not all been read).
    bool saveSettings();
    // The store's messages since the last call, to be shown together once the work is done.
    QStringList takeProblems();
    void reportProblem(const QString& message);

signals:
    // A save after a change failed; told once until a save succeeds again, not at every change.
    void autosaveFailed(const QString& problems);

private:
    class Messages;
    void saveOnChanges();
    void autosave();

    QWidget* form_;
    Panels panels_;
    std::unique_ptr<Messages> messages_;
    TRegManager RegManager1;
    QTimer* saveTimer_;
    bool restored_ = false;
    bool failureTold_ = false;
};
