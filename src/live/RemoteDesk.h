#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QMetaType>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWebSocket;

namespace kelvos {

class WatchReading;

// What a remote timekeeper pressed: a lap, or the watch's start or stop where the operator
// allows those.
enum class RemoteAction { Lap, Start, Stop };

// A press on a remote timekeeper's device, as it arrived.
struct RemotePress {
    quint64 device = 0; // the device it came from, for the answer
    double id = 0;      // the page's own number of the press, sent back with the answer
    RemoteAction action = RemoteAction::Lap;
    int competitor = 1;             // of a lap
    std::optional<quint32> touched; // the touch on the press clock, as the device reckons it
    quint32 arrived = 0;            // the press clock when the message arrived
    QString deviceName;
};

// The remote timekeepers' devices connected to /remote-events, on the live server's thread.
// A device is let in only with the pairing token; it names itself, keeps its clock in step with
// the press clock, and sends laps. See docs/live.md.
class RemoteDesk : public QObject {
    Q_OBJECT

public:
    static constexpr int kMostDevices = 32;
    static constexpr qsizetype kLongestName = 40;
    // Pages ask for the clock every fraction of a second: one silent this long has gone.
    static constexpr qint64 kSilentDeviceMs = 15000;
    static constexpr quint64 kMaxDeviceMessage = 1024;

    RemoteDesk(std::shared_ptr<const WatchReading> watch, QObject* parent);
    ~RemoteDesk() override;

    // Empty: no remote timekeepers. Any change lets every device go.
    void setToken(QByteArray token);
    bool open() const { return !token_.isEmpty(); }
    // Whether devices may start and stop the watch; every device is told at once.
    void setStartStop(bool allowed);
    // Takes over a socket upgraded on /remote-events; one without the token is closed unheard.
    void admit(QWebSocket* socket);
    // Devices of other computers, paired while the server was shared, go when it is not.
    void letOutsideGo();
    // Tells the device whether its press was taken, and whether at its touch or its arrival.
    void answer(quint64 device, double id, bool done, bool atArrival);

signals:
    void pressed(const kelvos::RemotePress& press);
    void devicesChanged(const QStringList& names);

private:
    struct Device {
        QWebSocket* socket = nullptr;
        quint64 id = 0;
        QString name;
        QElapsedTimer heard;
    };

    void take(Device& device, const QByteArray& message);
    void send(Device& device, const QJsonObject& message);
    void drop(QWebSocket* socket);
    void dropAll();
    void dropSilent();
    void dropWhere(const std::function<bool(const Device&)>& condition);
    Device* deviceOf(QWebSocket* socket);
    void tellDevices();

    std::shared_ptr<const WatchReading> watch_;
    QByteArray token_;
    std::vector<Device> devices_;
    quint64 lastDevice_ = 0;
    bool startStop_ = false;
    QTimer silence_;
};

} // namespace kelvos

Q_DECLARE_METATYPE(kelvos::RemotePress)
