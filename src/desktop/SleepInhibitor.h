#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <variant>

namespace kelvos {

// Keeps the screen on and the machine awake while held: through the desktop portal's Inhibit
// where the session has it, else through the screen saver service. Both are asked on the
// session bus without waiting for them, so the watch never stalls on the desktop. Without a
// session bus, or when neither service answers, nothing is held and the error output says so
// once.
class SleepInhibitor : public QObject {
    Q_OBJECT
public:
    explicit SleepInhibitor(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QObject* parent = nullptr);
    ~SleepInhibitor() override;

    // Holding twice holds once; a release while the desktop has not yet answered the hold
    // ends that hold as soon as it is granted.
    void setHeld(bool held);

private:
    enum class Service { Unknown, Portal, ScreenSaver };
    struct PortalHold {
        QString request; // the object path whose Close ends the hold
    };
    struct ScreenSaverHold {
        uint cookie;
    };
    using Hold = std::variant<std::monostate, PortalHold, ScreenSaverHold>;

    void ask(Service service);
    void granted(Service service, Hold hold);
    void refused(Service service, const QString& error);
    void release();
    void tellOnce(const QString& message);

    QDBusConnection bus_;
    Service service_ = Service::Unknown;
    bool wanted_ = false;
    bool asking_ = false;
    Hold hold_;
    bool told_ = false;
};

} // namespace kelvos
