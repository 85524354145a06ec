#include "DesktopCommand.h"

namespace kelvos {

namespace {
struct NamedCommand {
    const char* name;
    DesktopCommand command;
};
constexpr NamedCommand kNames[] = {
    {"start", DesktopCommand::Start},     {"stop", DesktopCommand::Stop},
    {"restart", DesktopCommand::Restart}, {"reset", DesktopCommand::Reset},
    {"lap1", DesktopCommand::Lap1},       {"lap2", DesktopCommand::Lap2},
    {"lap3", DesktopCommand::Lap3},       {"read", DesktopCommand::Read},
    {"raise", DesktopCommand::Raise},
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

QByteArray answerLine(bool done) {
    return QByteArray(done ? kDone : kRefused) + '\n';
}

std::optional<bool> answerOf(QByteArrayView line) {
    const QByteArrayView word = line.trimmed();
    if (word == kDone)
        return true;
    if (word == kRefused)
        return false;
    return std::nullopt;
}

} // namespace kelvos
