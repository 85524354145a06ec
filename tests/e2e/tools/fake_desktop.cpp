// A stand-in for the desktop's services, for end-to-end tests on a private session bus: the
// desktop portal's Inhibit and GlobalShortcuts, and the screen saver's Inhibit. Every call is
// written to the standard output, one line each, with what it was given.
//
// Usage: fake_desktop [inhibit] [shortcuts] [refuse=<id>,...] [screensaver] [slow]
// "inhibit" and "shortcuts" put those interfaces on the portal; the shortcuts named by
// "refuse" are left out of every bind's answer; with "slow" the screen saver answers an Inhibit
// 1.5 s late. A test presses a bound shortcut with
//   dbus-send --session --dest=org.freedesktop.portal.Desktop /fake org.kelvos.Fake.Press
//   string:<id>
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <cstdio>

namespace {
void note(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QDBusConnection bus() {
    return QDBusConnection::sessionBus();
}

const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// The path of a portal request as the portal makes it: the caller's name and its token.
QString requestPath(const QDBusMessage& call, const QString& token) {
    QString sender = call.service().mid(1);
    sender.replace('.', '_');
    return kPortalPath + "/request/" + sender + "/" + token;
}

// The answer of a request, after its call has returned.
void respond(const QString& request, const QVariantMap& results) {
    QTimer::singleShot(0, [request, results] {
        QDBusMessage response =
            QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        response << 0u << results;
        bus().send(response);
    });
}

} // namespace

// One entry of the portal's shortcut lists; outside any unnamed namespace, since the bus finds
// the adaptors' methods by their types' names.
struct Shortcut {
    QString id;
    QVariantMap properties;
};
QDBusArgument& operator<<(QDBusArgument& argument, const Shortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}
const QDBusArgument& operator>>(const QDBusArgument& argument, Shortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

Q_DECLARE_METATYPE(Shortcut)

namespace {
// The portal's object: a call's message is known to the object that carries the adaptors.
class Portal : public QObject, protected QDBusContext {
    Q_OBJECT
public:
    using QObject::QObject;
    QDBusMessage call() const { return message(); }
};

class PortalRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    explicit PortalRequest(QString path, QObject* parent) : QObject(parent), path_(path) {}
public slots:
    void Close() {
        note("portal Close " + path_);
        bus().unregisterObject(path_);
        deleteLater();
    }

private:
    QString path_;
};

class InhibitAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    explicit InhibitAdaptor(QObject* portal) : QDBusAbstractAdaptor(portal) {}
public slots:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
        const QString path = QString("/org/freedesktop/portal/desktop/request/%1").arg(++last_);
        bus().registerObject(path, new PortalRequest(path, this), QDBusConnection::ExportAllSlots);
        note(QString("portal Inhibit window='%1' flags=%2 reason='%3' -> %4")
                 .arg(window)
                 .arg(flags)
                 .arg(options.value("reason").toString(), path));
        return QDBusObjectPath(path);
    }

private:
    int last_ = 0;
};

class GlobalShortcutsAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    GlobalShortcutsAdaptor(Portal* portal, QStringList refused)
        : QDBusAbstractAdaptor(portal), portal_(portal), refused_(std::move(refused)) {}
    uint version() const { return 1; }

    void press(const QString& id) {
        note("shortcuts Activated " + id);
        emit Activated(QDBusObjectPath(session_), id, 1234, {});
    }

public slots:
    QDBusObjectPath CreateSession(const QVariantMap& options) {
        const QString request = requestPath(message(), options.value("handle_token").toString());
        QString sender = message().service().mid(1);
        sender.replace('.', '_');
        session_ = kPortalPath + "/session/" + sender + "/" +
                   options.value("session_handle_token").toString();
        note("shortcuts CreateSession -> " + session_);
        respond(request, {{"session_handle", session_}});
        return QDBusObjectPath(request);
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath& session, const QList<Shortcut>& asked,
                                  const QString&, const QVariantMap& options) {
        const QString request = requestPath(message(), options.value("handle_token").toString());
        QStringList seen;
        QList<Shortcut> granted;
        for (const Shortcut& shortcut : asked) {
            const QString trigger = shortcut.properties.value("preferred_trigger").toString();
            seen << shortcut.id + "=" + trigger;
            if (!refused_.contains(shortcut.id))
                granted.append({shortcut.id, {{"trigger_description", trigger}}});
        }
        note(QString("shortcuts Bind %1 %2")
                 .arg(session.path() == session_ ? "session" : "stranger", seen.join(' ')));
        respond(request, {{"shortcuts", QVariant::fromValue(granted)}});
        return QDBusObjectPath(request);
    }

signals:
    void Activated(const QDBusObjectPath& session_handle, const QString& shortcut_id,
                   qulonglong timestamp, const QVariantMap& options);

private:
    QDBusMessage message() const { return portal_->call(); }

    Portal* portal_;
    QStringList refused_;
    QString session_;
};

class Fake : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kelvos.Fake")
public:
    explicit Fake(GlobalShortcutsAdaptor* shortcuts) : shortcuts_(shortcuts) {}
public slots:
    void Press(const QString& id) {
        if (shortcuts_)
            shortcuts_->press(id);
    }

private:
    GlobalShortcutsAdaptor* shortcuts_;
};

// With `answerAfterMs`, an Inhibit is answered that much later, as a busy desktop does.
class ScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit ScreenSaver(int answerAfterMs) : answerAfterMs_(answerAfterMs) {}
public slots:
    uint Inhibit(const QString& application, const QString& reason) {
        note(QString("screensaver Inhibit application='%1' reason='%2' -> %3")
                 .arg(application, reason)
                 .arg(++last_));
        if (answerAfterMs_ > 0) {
            setDelayedReply(true);
            QTimer::singleShot(answerAfterMs_, [reply = message().createReply(last_)] {
                note("screensaver answered");
                bus().send(reply);
            });
        }
        return last_;
    }
    void UnInhibit(uint cookie) { note(QString("screensaver UnInhibit %1").arg(cookie)); }

private:
    int answerAfterMs_;
    uint last_ = 40;
};

bool offer(const QString& service, const QString& path, QObject* object,
           QDBusConnection::RegisterOptions options) {
    return bus().registerObject(path, object, options) && bus().registerService(service);
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    // The adaptors' methods are looked up by their types' names.
    qRegisterMetaType<QDBusObjectPath>();
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<QList<Shortcut>>();
    const QStringList wanted = app.arguments().mid(1);
    QStringList refused;
    for (const QString& argument : wanted)
        if (argument.startsWith("refuse="))
            refused = argument.mid(7).split(',');

    bool offered = true;
    if (wanted.contains("inhibit") || wanted.contains("shortcuts")) {
        auto* portal = new Portal(&app);
        if (wanted.contains("inhibit"))
            new InhibitAdaptor(portal);
        GlobalShortcutsAdaptor* shortcuts =
            wanted.contains("shortcuts") ? new GlobalShortcutsAdaptor(portal, refused) : nullptr;
        offered =
            offer("org.freedesktop.portal.Desktop", kPortalPath, portal,
                  QDBusConnection::ExportAdaptors) &&
            bus().registerObject("/fake", new Fake(shortcuts), QDBusConnection::ExportAllSlots);
    }
    if (wanted.contains("screensaver"))
        offered = offered && offer("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                                   new ScreenSaver(wanted.contains("slow") ? 1500 : 0),
                                   QDBusConnection::ExportAllSlots);
    if (!offered) {
        std::fprintf(stderr, "fake_desktop: cannot offer %s on the session bus\n",
                     qPrintable(wanted.join(' ')));
        return 1;
    }
    note("ready");
    return app.exec();
}

#include "fake_desktop.moc"
