#include "CommandChannel.h"
#include "CommandLine.h"
#include "FileDialogs.h"
#include "HistoryMenu.h"
#include "HistoryRecorder.h"
#include "HistoryStore.h"
#include "IniFile.h"
#include "InstalledFiles.h"
#include "JournalLock.h"
#include "KGlobalAccelHotkeyBackend.h"
#include "KelvosApplication.h"
#include "LiveServer.h"
#include "LiveSettings.h"
#include "MqttLink.h"
#include "PortalHotkeyBackend.h"
#include "RemoteDesk.h"
#include "RunRecorder.h"
#include "SdlClipPlayer.h"
#include "SleepInhibitor.h"
#include "TKelvoS.h"
#include "TerminationWatcher.h"
#include "WindowActivation.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSysInfo>
#include <cstdio>

using namespace kelvos;

namespace {

// Arguments other than the live results' port are only answered (help, version, a command for
// the running watch), so none of them needs a display.
int answerArguments(int argc, char* argv[], const CommandLine& line) {
    QCoreApplication app(argc, argv);
    switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
        std::fputs(qPrintable(line.text), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fputs(qPrintable(line.text), stderr);
        return 2;
    case CommandLine::Action::Send:
    case CommandLine::Action::Run:
        break;
    }
    const DesktopCommand command = line.command.value_or(DesktopCommand::Raise);
    const CommandSocketPlace socket = senderSocketPlace();
    if (socket.path.isEmpty()) {
        std::fprintf(stderr, "kelvos: no KelvoS can be reached: %s\n", qPrintable(socket.problem));
        return 1;
    }
    QString answer;
    const SendReport report =
        reportOf(sendCommand(socket.path, command, 5000, &answer), command, answer);
    if (!report.message.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(report.message));
    else if (!answer.isEmpty())
        std::printf("%s\n", qUtf8Printable(answer));
    return report.exitCode;
}

// A second start brings the running watch to the front instead of opening another one on the
// same files.
int raiseRunningWatch(const QString& socket) {
    const SendResult result = sendCommand(socket, DesktopCommand::Raise);
    if (result == SendResult::Done) {
        std::fputs("kelvos: KelvoS is already running; its window is brought to the front\n",
                   stderr);
        return 0;
    }
    std::fprintf(stderr, "%s\n", qPrintable(reportOf(result, DesktopCommand::Raise).message));
    return 1;
}

// A second watch in a folder would empty and mix the journal of the one that times there: it
// says so and does not start.
int refuseFolderInUse(const QString& folder) {
    const QString message = QString("Another KelvoS is already timing in the folder %1. One "
                                    "folder holds the runs of one watch: start KelvoS in another "
                                    "folder, or use the one that runs.")
                                .arg(QDir::toNativeSeparators(folder));
    std::fprintf(stderr, "kelvos: %s\n", qUtf8Printable(message));
    QMessageBox::critical(nullptr, "KelvoS", message);
    return 1;
}

// On a Wayland desktop no program may grab keys: KDE's global shortcut service binds them
// where it runs (Plasma 5's portal binds none), else the desktop portal's global shortcuts
// where offered; elsewhere the X11 grabs serve (also for XWayland's programs).
std::unique_ptr<HotkeyBackend> desktopHotkeys() {
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == "wayland" ||
                         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (!wayland)
        return nullptr;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (KGlobalAccelHotkeyBackend::offered(bus))
        return std::make_unique<KGlobalAccelHotkeyBackend>(bus);
    if (PortalHotkeyBackend::offered(bus))
        return std::make_unique<PortalHotkeyBackend>(bus);
    return nullptr;
}

// Viewers on this computer (or the network, when shared) follow the run from the window's
// first event on, a restored run's included.
void startLiveResults(LiveServer& live, const QString& settingsFile,
                      std::optional<quint16> portArgument, RunController& run) {
    const LiveServer::Options options =
        liveOptions(loadIniDocument(settingsFile).document, portArgument);
    if (options.port == 0)
        return;
    if (!live.start(options)) {
        qWarning("kelvos: no live results: no free port from %u on", options.port);
        return;
    }
    live.subscribe(run);
    for (const QUrl& address : live.addresses())
        std::fprintf(stderr, "kelvos: live results at %s\n", qPrintable(address.toString()));
}

// Remote timekeepers' laps go through the same gate as laps from the command line, timed at
// the press-clock reading chosen for them; the pairing link is asked for and replaced by
// `kelvos --send`.
void acceptRemoteTimekeepers(LiveServer& live, CommandServer& commands, PressTiming& timing,
                             const CommandServer::Handler& carryOut) {
    live.acceptRemotePresses(
        timing.clock(), [carryOut](RemoteAction action, int competitor, quint32 reading) {
            constexpr DesktopCommand kLaps[] = {DesktopCommand::Lap1, DesktopCommand::Lap2,
                                                DesktopCommand::Lap3};
            switch (action) {
            case RemoteAction::Start:
                return carryOut(DesktopCommand::Start, reading);
            case RemoteAction::Stop:
                return carryOut(DesktopCommand::Stop, reading);
            case RemoteAction::Lap:
                break;
            }
            return carryOut(kLaps[competitor - 1], reading);
        });
    commands.setAsker([&live](DesktopCommand question) -> CommandAnswer {
        if (live.port() == 0)
            return {false, "live results are off, so remote timekeepers cannot be reached"};
        if (!live.remoteAllowed())
            return {false, "remote timekeepers are not allowed; tick \"Allow remote "
                           "timekeepers\" in the Live results window"};
        if (question == DesktopCommand::RemoteNewLink)
            live.newRemoteLink();
        const QUrl link = live.remoteLink();
        if (link.isEmpty())
            return {false, "the live results have no network address to share on"};
        return {true, link.toString()};
    });
}

void bringToFront(QWidget& window) {
    window.showNormal();
    window.raise();
    activateOnUserRequest(window);
}

// [History] Database= of the settings file: the club's database the runs also go to.
QString clubHistoryAddress(const QString& settingsFile) {
    return loadIniDocument(settingsFile)
        .document.value(u"History", u"Database")
        .value_or(QString());
}

// The run shared through the broker the settings file names, if any. The link carries out the
// broker's commands as the command socket does, and brings every station's run to the live
// server's board.
std::unique_ptr<MqttLink> brokerLink(const QString& settingsFile, TKelvoS& window,
                                     PressTiming& timing, CommandServer::Handler carryOut,
                                     LiveServer& live) {
    const MqttSettingsRead read =
        mqttSettingsFrom(loadIniDocument(settingsFile).document, QSysInfo::machineHostName());
    if (!read.problem.isEmpty()) {
        std::fprintf(stderr, "kelvos: %s\n", qUtf8Printable(read.problem));
        window.reportProblem(read.problem);
    }
    if (!read.settings)
        return nullptr;
    auto link = std::make_unique<MqttLink>(
        *read.settings,
        MqttLinkHooks{[&timing] { return timing.live().now(); }, std::move(carryOut),
                      [&window](const QString& message) { window.reportProblem(message); },
                      [&live](const QString& station, const QByteArray& run) {
                          live.takeBoardRun(station, run);
                      }});
    live.feedBoard();
    link->follow(window.runModel());
    link->start();
    return link;
}

} // namespace

int main(int argc, char* argv[]) {
    std::optional<quint16> livePort;
    if (argc > 1) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments.append(QString::fromLocal8Bit(argv[i]));
        const CommandLine line = parseCommandLine(arguments, KELVOS_VERSION);
        if (line.action != CommandLine::Action::Run)
            return answerArguments(argc, argv, line);
        livePort = line.livePort;
    }

    // On a Wayland desktop the window goes through XWayland, where the X11 hotkeys still serve
    // when the portal has no global shortcuts; only without XWayland does it open on Wayland.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    kelvos::PressTiming timing;
    KelvosApplication app(argc, argv, timing);
    QApplication::setApplicationName("KelvoS");
    QApplication::setApplicationVersion(KELVOS_VERSION);
    // The desktop matches the window to its menu entry and icon by this name (on Wayland).
    QGuiApplication::setDesktopFileName("io.github.kelvos.kelvos");

    TKelvoS* window = nullptr;
    const CommandServer::Handler carryOut = [&window](DesktopCommand command, quint32 receivedAt) {
        if (!window || !window->isVisible())
            return false; // still being set up, or closed
        if (command != DesktopCommand::Raise)
            return window->takeCommand(command, receivedAt);
        bringToFront(*window);
        return true;
    };
    CommandServer commands([&timing] { return timing.live().now(); }, carryOut);
    // Without a safe place for the socket the watch runs all the same, out of reach of --send.
    const CommandSocketPlace socket = commandSocketPlace();
    const auto listening =
        socket.path.isEmpty() ? CommandServer::Outcome::Failed : commands.listen(socket.path);
    if (listening == CommandServer::Outcome::OtherInstance)
        return raiseRunningWatch(socket.path);
    if (listening == CommandServer::Outcome::Failed)
        qWarning("kelvos: 'kelvos --send' cannot reach this watch: %s",
                 qUtf8Printable(socket.path.isEmpty() ? socket.problem : commands.errorString()));

    JournalLock journalLock;
    switch (journalLock.take(RunRecorder::journalPath(QDir::currentPath()))) {
    case JournalLock::Outcome::HeldElsewhere:
        return refuseFolderInUse(QDir::currentPath());
    case JournalLock::Outcome::Unavailable:
        qWarning("kelvos: %s; a second KelvoS in this folder would not be noticed",
                 qUtf8Printable(journalLock.errorString()));
        break;
    case JournalLock::Outcome::Held:
        break;
    }

    // The bell belongs to the UI thread; clips that cannot be played ask for it from anywhere.
    // Each clip comes from the first folder that holds it.
    kelvos::SdlClipPlayer player(
        [] {
            QMetaObject::invokeMethod(
                qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
        },
        [folders = clipFolders(QDir::currentPath(), QCoreApplication::applicationDirPath())](
            const QString& name) { return clipPath(name, folders); });
    SleepInhibitor inhibitor;

    KelvosServices services;
    services.timing = &timing;
    services.player = &player;
    services.now = [] { return QDateTime::currentDateTime(); };
    services.workingDirectory = QDir::currentPath();
    services.settingsFile = settingsFileFor(QCoreApplication::applicationFilePath());
    services.keepAwake = [&inhibitor](bool on) { inhibitor.setHeld(on); };
    services.hotkeys = desktopHotkeys();
    // Made before the window, which offers its addresses; it listens once the window is made.
    LiveServer live;
    services.live = &live;
    services.chooseFile = [&window](const QString& caption, const QString& filter, bool save,
                                    FileAnswer answer) {
        openFileDialog(
            window, caption, filter, save ? FileDialogMode::Save : FileDialogMode::Open,
            [answer = std::move(answer)](const QStringList& paths) { answer(paths.value(0)); });
    };

    const QString settingsFile = services.settingsFile;
    TKelvoS mainWindow(std::move(services));
    window = &mainWindow;
    startLiveResults(live, settingsFile, livePort, mainWindow.runModel());
    acceptRemoteTimekeepers(live, commands, timing, carryOut);
    // Every run stopped goes into the history as well; a history that cannot be written is told
    // like any other problem and costs nothing else.
    HistoryRecorder history(
        HistoryStore::defaultPath(), clubHistoryAddress(settingsFile),
        [&mainWindow](const QString& problem) { mainWindow.reportProblem(problem); });
    const int historyListener =
        mainWindow.runModel().subscribe([&history](const RunEvent& event) { history.take(event); });
    // The window owns the menu's wiring and the history window it shows.
    new HistoryMenu(mainWindow.findChild<QAction*>("History1"),
                    mainWindow.findChild<QAction*>("Import1"), history, HistoryStore::defaultPath(),
                    &mainWindow,
                    [&mainWindow](const QString& text) { mainWindow.reportProblem(text); });
    const std::unique_ptr<MqttLink> broker =
        brokerLink(settingsFile, mainWindow, timing, carryOut, live);
    mainWindow.show();
    TerminationWatcher termination;
    // A termination request ends the program even when a message waits for the operator.
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &mainWindow,
                     [&mainWindow] {
                         mainWindow.close();
                         QCoreApplication::quit();
                     });
    const int result = app.exec();
    commands.setAsker(nullptr); // it asks the live server, which goes first
    // The window goes after the history: what it does while it goes is no longer recorded.
    mainWindow.runModel().unsubscribe(historyListener);
    return result;
}
