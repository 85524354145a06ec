#include "SdlClipPlayer.h"
#include "TKelvoS.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KelvoS");

    // The bell belongs to the UI thread; clips that cannot be played ask for it from anywhere.
    kelvos::SdlClipPlayer player([] {
        QMetaObject::invokeMethod(
            qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
    });

    KelvosServices services;
    services.clock = &kelvos::SystemClock::instance();
    services.player = &player;
    services.now = [] { return QDateTime::currentDateTime(); };
    services.workingDirectory = QDir::currentPath();

    TKelvoS window(std::move(services));
    window.show();
    return app.exec();
}
