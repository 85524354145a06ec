#include "CommandLine.h"

#include <QCommandLineParser>

namespace kelvos {

namespace {
CommandLine error(const QString& message) {
    return {CommandLine::Action::Error, std::nullopt,
            "kelvos: " + message + "\nkelvos: see 'kelvos --help'\n", std::nullopt};
}
} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& version) {
    const QString names = sendableCommandNames().join('|');
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "KelvoS, a lap-timing stopwatch. Without options it opens the watch, or brings the "
        "running one to the front.");
    const QCommandLineOption help({"h", "help"}, "Shows this help.");
    const QCommandLineOption showVersion({"v", "version"}, "Shows the version.");
    const QCommandLineOption send(
        "send",
        "Hands <command> to the running KelvoS, which carries it out as its hotkey or "
        "button would, timed when it arrives: " +
            names +
            ". remote-link prints the remote timekeepers' pairing link; remote-new-link "
            "replaces it, so that every device paired with the old one is let go, and prints "
            "the new one.",
        "command");
    const QCommandLineOption livePort(
        "live-port", "Opens the watch with its live results served from <port> on (0: not served).",
        "port");
    parser.addOptions({help, showVersion, send, livePort});
    if (!parser.parse(arguments))
        return error(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return error("unexpected argument '" + parser.positionalArguments().first() + "'");
    if (parser.isSet(help))
        return {CommandLine::Action::Help, std::nullopt, parser.helpText(), std::nullopt};
    if (parser.isSet(showVersion))
        return {CommandLine::Action::Version, std::nullopt, "KelvoS " + version + "\n",
                std::nullopt};
    if (parser.isSet(livePort)) {
        if (parser.isSet(send))
            return error("--live-port opens the watch; it does not go with --send");
        bool number = false;
        const uint port = parser.value(livePort).toUInt(&number);
        if (!number || port > 0xffff)
            return error("the port for --live-port is a number from 0 to 65535");
        CommandLine line;
        line.livePort = quint16(port);
        return line;
    }
    if (!parser.isSet(send))
        return {};
    const QString name = parser.value(send);
    const auto command = commandNamed(name);
    if (!command || *command == DesktopCommand::Raise)
        return error("unknown command '" + name + "' for --send; one of: " + names);
    return {CommandLine::Action::Send, command, {}, std::nullopt};
}

} // namespace kelvos
