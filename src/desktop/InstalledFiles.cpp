#include "InstalledFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kelvos {

QStringList clipFolders(const QString& workingDirectory, const QString& programDirectory) {
    return {workingDirectory,
            QDir::cleanPath(QDir(programDirectory).filePath(KELVOS_DATA_FROM_BIN "/clips"))};
}

QString clipPath(const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return name;
}

SettingsPlace settingsPlace(const SettingsFacts& facts) {
    if (facts.besideFolderWritable || facts.besideFileWritable)
        return {facts.besideFile, {}};
    if (facts.besideFileExists && !facts.userFileExists)
        return {facts.userFile, facts.besideFile};
    return {facts.userFile, {}};
}

QString settingsFileFor(const QString& programPath) {
    const QFileInfo program(programPath);
    const QString beside = program.dir().filePath(program.completeBaseName() + ".ini");
    const QFileInfo besideFile(beside);
    const QString userFolder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath("kelvos");
    const QString userFile = QDir(userFolder).filePath("kelvos.ini");
    const SettingsPlace place =
        settingsPlace({beside, QFileInfo(program.path()).isWritable(),
                       besideFile.isFile() && besideFile.isWritable(), besideFile.isFile(),
                       userFile, QFileInfo::exists(userFile)});
    if (place.file == userFile)
        QDir().mkpath(userFolder);
    // The copy keeps the permissions of a file the user may not write; this one is theirs.
    if (!place.seedFrom.isEmpty() && QFile::copy(place.seedFrom, place.file))
        QFile(place.file).setPermissions(QFile(place.file).permissions() | QFile::WriteOwner);
    return place.file;
}

} // namespace kelvos
