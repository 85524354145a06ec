#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace kelvos {

// What another program can ask of the running watch: the seven hotkey commands, the lap
// read-out, and coming to the front (asked by a second start of the program).
enum class DesktopCommand { Start, Stop, Restart, Reset, Lap1, Lap2, Lap3, Read, Raise };

// The names `kelvos --send` takes, in the order --help lists them.
QStringList sendableCommandNames();
std::optional<DesktopCommand> commandNamed(QStringView name);
QString commandName(DesktopCommand command);

// One request on the command socket is the command's name on a line; the answer is a line
// saying whether the watch carried it out.
QByteArray requestLine(DesktopCommand command);
QByteArray answerLine(bool done);
std::optional<bool> answerOf(QByteArrayView line);

} // namespace kelvos
