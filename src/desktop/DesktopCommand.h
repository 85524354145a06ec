#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace kelvos {

// What another program can ask of the running watch: the seven hotkey commands, the lap
// read-out, coming to the front (asked by a second start of the program), and the remote
// timekeepers' pairing link, as it is or replaced by a new one.
enum class DesktopCommand {
    Start,
    Stop,
    Restart,
    Reset,
    Lap1,
    Lap2,
    Lap3,
    Read,
    Raise,
    RemoteLink,
    RemoteNewLink
};

// Whether the watch answers the command with a text (the link) rather than only done or not.
bool isQuestion(DesktopCommand command);

// The names `kelvos --send` takes, in the order --help lists them.
QStringList sendableCommandNames();
std::optional<DesktopCommand> commandNamed(QStringView name);
QString commandName(DesktopCommand command);

// What the watch answers: whether it carried the command out, and for a question the answer,
// or for a refusal why, when it says.
struct CommandAnswer {
    bool done = false;
    QString text;

    bool operator==(const CommandAnswer&) const = default;
};

// One request on the command socket is the command's name on a line; the answer is a line
// saying whether the watch carried it out ("done" or "refused"), followed by a blank and the
// text, percent-encoded, when there is one. A sender that knows only the words reads a bare
// word as before.
QByteArray requestLine(DesktopCommand command);
QByteArray answerLine(const CommandAnswer& answer);
std::optional<CommandAnswer> answerOf(QByteArrayView line);

} // namespace kelvos
