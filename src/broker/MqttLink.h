#pragma once

#include "DesktopCommand.h"
#include "MqttOutbox.h"
#include "MqttSettings.h"
#include "RunController.h"
#include "RunEvent.h"
#include "RunSnapshot.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace kelvos {

// What the link needs from the program around it.
struct MqttLinkHooks {
    std::function<quint32()> clock; // the watch's clock, read when a command arrives (any thread)
    // Carries out a command, on the thread that made the link; the return tells whether it
    // was taken.
    std::function<bool(DesktopCommand command, quint32 receivedAt)> command;
    // Tells the operator about the broker, once, on the thread that made the link.
    std::function<void(const QString& message)> problem;
    // Every station's retained run under the prefix, this one's included, as the broker holds
    // it: the payload as received (untrusted), empty when the station's run was removed. Called
    // on libmosquitto's network thread; none: the runs are not asked for.
    std::function<void(const QString& station, const QByteArray& payload)> boardRun;
};

// The run shared through an MQTT broker. Every event goes with QoS 1 to
// <prefix>/<station>/events, and the run as it stands is kept (retained) at
// <prefix>/<station>/run. The thread that runs the run only hands each event over; a thread of
// the link's own turns it into its message, and libmosquitto's network thread sends it,
// reconnecting by itself. Events wait in order while the broker is away and go out when it is
// back; one sent again after a lost acknowledgement is recognised by its "seq" within its
// "session" (the sequence starts again with each start of the program).
class MqttLink : public QObject {
    Q_OBJECT
public:
    // The retained run is sent at most this often; the last one always goes.
    static constexpr std::chrono::milliseconds kRunInterval{100};

    MqttLink(MqttSettings settings, MqttLinkHooks hooks, QObject* parent = nullptr);
    // Sends what it can of what waits, then leaves the broker.
    ~MqttLink() override;

    // Connects in the background; problems go to the problem hook.
    void start();
    // Shares every event of the run from now on.
    void follow(RunController& run);
    // Called on the run's thread: only queues the event.
    void handOver(const RunEvent& event);

private:
    using Clock = std::chrono::steady_clock;

    void work();
    void waitForWork(std::unique_lock<std::mutex>& lock);
    void prepare(const std::vector<RunEvent>& events);
    void connectIfDue();
    bool connected();
    bool runCanGo();
    void sendEvents();
    void sendRunIfDue(bool now);
    bool publish(const QByteArray& topic, const QByteArray& payload, bool retain, int* id);
    void wake();
    void tell(const QString& message);
    QString address() const;
    void takeMessage(const mosquitto_message& message);
    void takeCommand(const mosquitto_message& message);

    static void onConnect(mosquitto*, void* link, int code);
    static void onDisconnect(mosquitto*, void* link, int code);
    static void onPublish(mosquitto*, void* link, int id);
    static void onMessage(mosquitto*, void* link, const mosquitto_message* message);

    const MqttSettings settings_;
    const QByteArray eventsTopic_;
    const QByteArray runTopic_;
    const QByteArray commandTopic_;
    const QByteArray boardTopic_;
    const MqttLinkHooks hooks_;
    const QString session_; // when the link was made, UTC
    mosquitto* client_ = nullptr;
    RunController* run_ = nullptr;
    int listener_ = 0;

    // Between the run's thread and the worker.
    std::mutex wakeMutex_;
    std::condition_variable woken_;
    std::vector<RunEvent> inbox_;
    bool nudged_ = false;
    bool stopping_ = false;

    // Between the worker and the network thread.
    std::mutex outboxMutex_;
    MqttOutbox outbox_;
    bool connected_ = false;
    bool resendRun_ = false;
    int runInFlight_ = 0; // the message id of the retained run on its way; 0: none

    // The worker's own.
    RunSnapshot snapshot_;
    bool runChanged_ = false;
    Clock::time_point runSentAt_;
    bool connecting_ = false;
    Clock::time_point nextConnect_;

    std::mutex problemMutex_;
    QString lastProblem_; // told on the error output once until the broker answers again
    std::atomic<bool> told_{false};
    std::thread worker_;
};

} // namespace kelvos
