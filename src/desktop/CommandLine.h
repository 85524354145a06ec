#pragma once

#include "DesktopCommand.h"

#include <QStringList>
#include <optional>

namespace kelvos {

// What the program was asked to do by its arguments. Without arguments, or with only the live
// results' port, it opens the watch; with any other it only answers them, so none of them needs
// a display.
struct CommandLine {
    enum class Action { Run, Send, Help, Version, Error };
    Action action = Action::Run;
    std::optional<DesktopCommand> command; // the command to send
    QString text; // the help or version text for the output, or the error for the error output
    std::optional<quint16> livePort; // the live results' port asked for; 0: no server
};

// `arguments` includes the program's name first, as QCoreApplication::arguments() has it.
CommandLine parseCommandLine(const QStringList& arguments, const QString& version);

} // namespace kelvos
