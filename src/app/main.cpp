#include "KelvosApplication.h"
#include "SdlClipPlayer.h"
#include "TKelvoS.h"
#include "TerminationWatcher.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

int main(int argc, char* argv[]) {
    kelvos::PressTiming timing;
    KelvosApplication app(argc, argv, timing);
    QApplication::setApplicationName("KelvoS");

    // The bell belongs to the UI thread; clips that cannot be played ask for it from anywhere.
    kelvos::SdlClipPlayer player([] {
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
    });

    KelvosServices services;
    services.timing = &timing;
    services.player = &player;
    services.now = [] { return QDateTime::currentDateTime(); };
    services.workingDirectory = QDir::currentPath();
    // The settings live beside the program: its own file name with ".ini".
    const QFileInfo program(QCoreApplication::applicationFilePath());
    services.settingsFile = program.dir().filePath(program.completeBaseName() + ".ini");

    services.chooseFile = [](const QString& caption, const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(nullptr, caption, QDir::currentPath(), filter)
                    : QFileDialog::getOpenFileName(nullptr, caption, QDir::currentPath(), filter);
    };

    TKelvoS window(std::move(services));
    window.show();
    TerminationWatcher termination;
    // A termination request ends the program even when a message waits for the operator.
    QObject::connect(&termination, &TerminationWatcher::terminationRequested, &window, [&window] {
        window.close();
        QCoreApplication::quit();
    });
    return app.exec();
}
