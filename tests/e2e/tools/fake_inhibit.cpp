// A stand-in for the desktop's services that keep the screen on, for end-to-end tests on a
// private session bus: the desktop portal's Inhibit and the screen saver's Inhibit. Every call
// is written to the standard output, one line each, with what it was given.
// Usage: fake_inhibit portal|screensaver...
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>
#include <cstdio>

namespace {
void note(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

class PortalRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    explicit PortalRequest(QString path, QObject* parent) : QObject(parent), path_(path) {}
public slots:
    void Close() {
        note("portal Close " + path_);
        QDBusConnection::sessionBus().unregisterObject(path_);
        deleteLater();
    }

private:
    QString path_;
};

class PortalInhibit : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public slots:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
        const QString path = QString("/org/freedesktop/portal/desktop/request/%1").arg(++last_);
        QDBusConnection::sessionBus().registerObject(path, new PortalRequest(path, this),
                                                     QDBusConnection::ExportAllSlots);
        note(QString("portal Inhibit window='%1' flags=%2 reason='%3' -> %4")
                 .arg(window)
                 .arg(flags)
                 .arg(options.value("reason").toString(), path));
        return QDBusObjectPath(path);
    }

private:
    int last_ = 0;
};

class ScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public slots:
    uint Inhibit(const QString& application, const QString& reason) {
        note(QString("screensaver Inhibit application='%1' reason='%2' -> %3")
                 .arg(application, reason)
                 .arg(++last_));
        return last_;
    }
    void UnInhibit(uint cookie) { note(QString("screensaver UnInhibit %1").arg(cookie)); }

private:
    uint last_ = 40;
};

bool offer(const QString& service, const QString& path, QObject* object) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.registerObject(path, object, QDBusConnection::ExportAllSlots) &&
           bus.registerService(service);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    for (const QString& which : app.arguments().mid(1)) {
        const bool offered = which == "portal"
                                 ? offer("org.freedesktop.portal.Desktop",
                                         "/org/freedesktop/portal/desktop", new PortalInhibit)
                                 : offer("org.freedesktop.ScreenSaver",
                                         "/org/freedesktop/ScreenSaver", new ScreenSaver);
        if (!offered) {
            std::fprintf(stderr, "fake_inhibit: cannot offer %s on the session bus\n",
                         qPrintable(which));
            return 1;
        }
    }
    note("ready");
    return app.exec();
}

#include "fake_inhibit.moc"
