#include "DesktopCommand.h"

namespace kelvos {

namespace {
struct NamedCommand {
    const char* name;
    DesktopCommand command;
};
constexpr NamedCommand kNames[] = {
    {"start", DesktopCommand::Start},
    {"stop", DesktopCommand::Stop},
    {"restart", DesktopCommand::Restart},
    {"reset", DesktopCommand::Reset},
    {"lap1", DesktopCommand::Lap1},
    {"lap2", DesktopCommand::Lap2},
    {"lap3", DesktopCommand::Lap3},
    {"read", DesktopCommand::Read},
    {"raise", DesktopCommand::Raise},
    {"remote-link", DesktopCommand::RemoteLink},
    {"remote-new-link", DesktopCommand::RemoteNewLink},
};
constexpr const char* kDone = "done";
constexpr const char* kRefused = "refused";
} // namespace

QStringList sendableCommandNames() {
    QStringList names;
    for (const NamedCommand& entry : kNames)
        if (entry.command != DesktopCommand::Raise)
            names << QString::fromLatin1(entry.name);
    return names;
}

std::optional<DesktopCommand> commandNamed(QStringView name) {
    for (const NamedCommand& entry : kNames)
        if (name == QLatin1String(entry.name))
            return entry.command;
    return std::nullopt;
}

QString commandName(DesktopCommand command) {
    for (const NamedCommand& entry : kNames)
        if (entry.command == command)
            return QString::fromLatin1(entry.name);
    return {};
}

QByteArray requestLine(DesktopCommand command) {
    return commandName(command).toLatin1() + '\n';
}

bool isQuestion(DesktopCommand command) {
    return command == DesktopCommand::RemoteLink || command == DesktopCommand::RemoteNewLink;
}

QByteArray answerLine(const CommandAnswer& answer) {
    QByteArray line = answer.done ? kDone : kRefused;
    if (!answer.text.isEmpty())
        line += ' ' + answer.text.toUtf8().toPercentEncoding(":/#?=&.-_~");
    return line + '\n';
}

std::optional<CommandAnswer> answerOf(QByteArrayView line) {
    const QByteArrayView trimmed = line.trimmed();
    const qsizetype blank = trimmed.indexOf(' ');
    const QByteArrayView word = blank < 0 ? trimmed : trimmed.first(blank);
    const QString text = blank < 0 ? QString()
                                   : QString::fromUtf8(QByteArray::fromPercentEncoding(
                                         trimmed.sliced(blank + 1).toByteArray()));
    if (word == kDone)
        return CommandAnswer{true, text};
    if (word == kRefused)
        return CommandAnswer{false, text};
    return std::nullopt;
}

} // namespace kelvos
