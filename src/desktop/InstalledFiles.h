#pragma once

#include <QString>
#include <QStringList>

namespace kelvos {

// The folders the voice clips are looked for in, in order: the working folder, as always, so
// a clip set put there wins; then the clip set installed with the program.
QStringList clipFolders(const QString& workingDirectory, const QString& programDirectory);
// The first of `folders` that holds the clip; the bare name when none does, which the player
// answers with the beep of a missing clip.
QString clipPath(const QString& name, const QStringList& folders);

// Where the settings are kept and, the first time they move to the user's folder, which file
// they start from.
struct SettingsPlace {
    QString file;
    QString seedFrom; // empty: nothing to copy
};
struct SettingsFacts {
    QString besideFile;        // the program's path with ".ini"
    bool besideFolderWritable; // new files can be made beside the program
    bool besideFileWritable;   // the file beside the program exists and can be written
    bool besideFileExists;
    QString userFile; // $XDG_CONFIG_HOME/kelvos/kelvos.ini
    bool userFileExists;
};
SettingsPlace settingsPlace(const SettingsFacts& facts);

// The settings file of the program at `programPath`: beside it where it can be written, else
// in the user's configuration folder, which is made, and filled from the file beside the
// program when there is one and the user has none yet.
QString settingsFileFor(const QString& programPath);

} // namespace kelvos
