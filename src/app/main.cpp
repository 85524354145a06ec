#include "CommandChannel.h"
#include "CommandLine.h"
#include "InstalledFiles.h"
#include "KelvosApplication.h"
#include "SdlClipPlayer.h"
#include "SleepInhibitor.h"
#include "TKelvoS.h"
#include "TerminationWatcher.h"
#include "WindowActivation.h"
#include "portalhotkeybackend.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <cstdio>

using namespace kelvos;

namespace {

// With arguments the program only answers them (help, version, a command for the running
// watch), so none of them needs a display.
int answerArguments(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const CommandLine line = parseCommandLine(QCoreApplication::arguments(), KELVOS_VERSION);
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
    const SendReport report = reportOf(sendCommand(commandSocketPath(), command), command);
    if (!report.message.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(report.message));
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

// On a Wayland desktop no program may grab keys: where the desktop portal offers global
// shortcuts, it binds them; elsewhere the X11 grabs serve (also for XWayland's programs).
std::unique_ptr<HotkeyBackend> desktopHotkeys() {
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == "wayland" ||
                         qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (!wayland || !PortalHotkeyBackend::offered(QDBusConnection::sessionBus()))
        return nullptr;
    return std::make_unique<PortalHotkeyBackend>(QDBusConnection::sessionBus());
}

void bringToFront(QWidget& window) {
    window.showNormal();
    window.raise();
    activateOnUserRequest(window);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc > 1)
        return answerArguments(argc, argv);

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
    CommandServer commands([&timing] { return timing.live().now(); },
                           [&window](DesktopCommand command, quint32 receivedAt) {
                               if (!window || !window->isVisible())
                                   return false; // still being set up, or closed
                               if (command != DesktopCommand::Raise)
                                   return window->takeCommand(command, receivedAt);
                               bringToFront(*window);
                               return true;
                           });
    const QString socket = commandSocketPath();
    switch (commands.listen(socket)) {
    case CommandServer::Outcome::OtherInstance:
        return raiseRunningWatch(socket);
    case CommandServer::Outcome::Failed:
        qWarning("kelvos: 'kelvos --send' cannot reach this watch: %s",
                 qUtf8Printable(commands.errorString()));
        break;
    case CommandServer::Outcome::Listening:
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
    services.chooseFile = [](const QString& caption, const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(nullptr, caption, QDir::currentPath(), filter)
                    : QFileDialog::getOpenFileName(nullptr, caption, QDir::currentPath(), filter);
    };

    TKelvoS mainWindow(std::move(services));
    window = &mainWindow;
    mainWindow.show();
    TerminationWatcher termination;
    // A termination request ends the program even when a message waits for the operator.
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &mainWindow,
                     [&mainWindow] {
                         mainWindow.close();
                         QCoreApplication::quit();
                     });
    return app.exec();
}
