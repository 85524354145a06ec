#include "MqttLink.h"

#include "RunEventJson.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaObject>
#include <cstdio>
#include <mosquitto.h>
#include <mutex>

namespace kelvos {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr unsigned kReconnectFirstSeconds = 1;
constexpr unsigned kReconnectMostSeconds = 4;
constexpr auto kConnectRetry = std::chrono::seconds(kReconnectMostSeconds);
constexpr int kQos = 1;
// Events handed to libmosquitto and not yet acknowledged: what a lost connection may send twice.
constexpr std::size_t kInFlight = 64;

void initLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mosquitto_lib_init(); });
}

// libmosquitto's texts end in a full stop; ours go on after them.
QString reason(int code) {
    QString text = QString::fromUtf8(mosquitto_strerror(code));
    while (text.endsWith('.'))
        text.chop(1);
    return text;
}

QByteArray compact(const QJsonObject& json) {
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

} // namespace

MqttLink::MqttLink(MqttSettings settings, MqttLinkHooks hooks, QObject* parent)
    : QObject(parent), settings_(std::move(settings)),
      eventsTopic_(settings_.eventsTopic().toUtf8()), runTopic_(settings_.runTopic().toUtf8()),
      commandTopic_(settings_.commandTopic().toUtf8()),
      boardTopic_(settings_.boardTopic().toUtf8()), hooks_(std::move(hooks)),
      session_(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)) {
    initLibrary();
    client_ = mosquitto_new(nullptr, true, this);
    mosquitto_connect_callback_set(client_, &MqttLink::onConnect);
    mosquitto_disconnect_callback_set(client_, &MqttLink::onDisconnect);
    mosquitto_publish_callback_set(client_, &MqttLink::onPublish);
    mosquitto_message_callback_set(client_, &MqttLink::onMessage);
    mosquitto_reconnect_delay_set(client_, kReconnectFirstSeconds, kReconnectMostSeconds, true);
    // Our own window (kInFlight) limits what is in flight.
    mosquitto_max_inflight_messages_set(client_, 0);
    if (!settings_.user.isEmpty())
        mosquitto_username_pw_set(
            client_, settings_.user.toUtf8().constData(),
            settings_.password.isEmpty() ? nullptr : settings_.password.toUtf8().constData());
    // The broker's certificate is checked against the system's authorities.
    const int tls = settings_.tls ? mosquitto_tls_set(client_, nullptr, "/etc/ssl/certs", nullptr,
                                                      nullptr, nullptr)
                                  : MOSQ_ERR_SUCCESS;
    if (tls != MOSQ_ERR_SUCCESS)
        tell(QString("TLS cannot be set up for the broker %1: %2.").arg(address(), reason(tls)));
}

MqttLink::~MqttLink() {
    if (run_)
        run_->unsubscribe(listener_);
    {
        std::lock_guard lock(wakeMutex_);
        stopping_ = true;
    }
    woken_.notify_one();
    if (worker_.joinable())
        worker_.join();
    // The messages already handed over are written before the farewell; a broker that is
    // away is not waited for.
    const bool stillConnected = connected();
    mosquitto_disconnect(client_);
    mosquitto_loop_stop(client_, !stillConnected);
    mosquitto_destroy(client_);
}

void MqttLink::start() {
    const int code = mosquitto_loop_start(client_);
    if (code != MOSQ_ERR_SUCCESS) {
        tell(QString("The run cannot be shared through the broker %1: %2.")
                 .arg(address(), reason(code)));
        return;
    }
    worker_ = std::thread(&MqttLink::work, this);
}

void MqttLink::follow(RunController& run) {
    run_ = &run;
    listener_ = run.subscribe([this](const RunEvent& event) { handOver(event); });
}

// The worker takes the whole inbox at once: it needs waking only for the first event of it.
void MqttLink::handOver(const RunEvent& event) {
    bool first = false;
    {
        std::lock_guard lock(wakeMutex_);
        first = inbox_.empty();
        inbox_.push_back(event);
    }
    if (first)
        woken_.notify_one();
}

void MqttLink::wake() {
    {
        std::lock_guard lock(wakeMutex_);
        nudged_ = true;
    }
    woken_.notify_one();
}

QString MqttLink::address() const {
    return QString("%1:%2").arg(settings_.host).arg(settings_.port);
}

// The worker: turns events into messages (off the run's thread), connects when the first try
// failed, and sends what waits whenever the connection takes it.
void MqttLink::work() {
    std::unique_lock lock(wakeMutex_);
    for (;;) {
        const bool stopping = stopping_;
        const std::vector<RunEvent> events = std::exchange(inbox_, {});
        nudged_ = false;
        lock.unlock();
        prepare(events);
        connectIfDue();
        sendEvents();
        sendRunIfDue(stopping);
        lock.lock();
        if (stopping && inbox_.empty())
            return;
        waitForWork(lock);
    }
}

void MqttLink::waitForWork(std::unique_lock<std::mutex>& lock) {
    const auto ready = [this] { return stopping_ || nudged_ || !inbox_.empty(); };
    std::optional<Clock::time_point> deadline;
    if (runChanged_ && runCanGo())
        deadline = runSentAt_ + kRunInterval;
    if (!connecting_)
        deadline = std::min(deadline.value_or(nextConnect_), nextConnect_);
    if (deadline)
        woken_.wait_until(lock, *deadline, ready);
    else
        woken_.wait(lock, ready);
}

void MqttLink::prepare(const std::vector<RunEvent>& events) {
    if (events.empty())
        return;
    std::vector<QByteArray> payloads;
    payloads.reserve(events.size());
    for (const RunEvent& event : events) {
        snapshot_.apply(event);
        QJsonObject json = runEventToJson(event);
        json.insert("session", session_);
        payloads.push_back(compact(json));
    }
    runChanged_ = true;
    std::lock_guard lock(outboxMutex_);
    for (QByteArray& payload : payloads)
        outbox_.add(std::move(payload));
}

// libmosquitto's network thread reconnects by itself once a first connection was begun; a
// first try can fail before that (a host name that does not resolve), and is made again.
void MqttLink::connectIfDue() {
    if (connecting_ || Clock::now() < nextConnect_)
        return;
    const int code = mosquitto_connect_async(client_, settings_.host.toUtf8().constData(),
                                             settings_.port, kKeepAliveSeconds);
    if (code == MOSQ_ERR_SUCCESS) {
        connecting_ = true;
        return;
    }
    nextConnect_ = Clock::now() + kConnectRetry;
    tell(QString("The broker %1 cannot be reached: %2. The run goes on, and it is shared once "
                 "the broker answers.")
             .arg(address(), reason(code)));
}

bool MqttLink::publish(const QByteArray& topic, const QByteArray& payload, bool retain, int* id) {
    return mosquitto_publish(client_, id, topic.constData(), int(payload.size()),
                             payload.constData(), kQos, retain) == MOSQ_ERR_SUCCESS;
}

bool MqttLink::runCanGo() {
    std::lock_guard lock(outboxMutex_);
    return connected_ && runInFlight_ == 0;
}

bool MqttLink::connected() {
    std::lock_guard lock(outboxMutex_);
    return connected_;
}

void MqttLink::sendEvents() {
    std::lock_guard lock(outboxMutex_);
    if (!connected_)
        return;
    outbox_.sendUnsent(
        [this](const QByteArray& payload) -> std::optional<int> {
            int id = 0;
            if (!publish(eventsTopic_, payload, false, &id))
                return std::nullopt;
            return id;
        },
        kInFlight);
}

// One retained run at a time is on its way, so a long run on a slow broker does not pile up
// copies of itself; the next one waits for the acknowledgement.
void MqttLink::sendRunIfDue(bool now) {
    std::lock_guard lock(outboxMutex_);
    if (!connected_ || (runInFlight_ != 0 && !now))
        return;
    // A new connection may follow a broker that lost what it kept.
    if (std::exchange(resendRun_, false) && snapshot_.sequence() > 0)
        runChanged_ = true;
    if (!runChanged_ || (!now && Clock::now() < runSentAt_ + kRunInterval))
        return;
    QJsonObject json = snapshot_.toJson();
    json.insert("station", settings_.station);
    json.insert("session", session_);
    json.insert("totalAt", snapshot_.at().toMSecsSinceEpoch());
    if (publish(runTopic_, compact(json), true, &runInFlight_)) {
        runChanged_ = false;
        runSentAt_ = Clock::now();
    }
}

void MqttLink::tell(const QString& message) {
    {
        std::lock_guard lock(problemMutex_);
        if (message == lastProblem_)
            return;
        lastProblem_ = message;
    }
    std::fprintf(stderr, "kelvos: %s\n", qUtf8Printable(message));
    if (!told_.exchange(true) && hooks_.problem)
        QMetaObject::invokeMethod(
            this, [this, message] { hooks_.problem(message); }, Qt::QueuedConnection);
}

void MqttLink::onConnect(mosquitto* client, void* context, int code) {
    auto* link = static_cast<MqttLink*>(context);
    if (code != 0) {
        link->tell(QString("The broker %1 refused the connection: %2. The run goes on without it.")
                       .arg(link->address(), mosquitto_connack_string(code)));
        return;
    }
    {
        std::lock_guard lock(link->outboxMutex_);
        link->connected_ = true;
        link->outbox_.resendAll();
        link->resendRun_ = true;
        link->runInFlight_ = 0;
    }
    {
        std::lock_guard lock(link->problemMutex_);
        link->lastProblem_.clear();
    }
    if (link->settings_.commands)
        mosquitto_subscribe(client, nullptr, link->commandTopic_.constData(), kQos);
    if (link->hooks_.boardRun)
        mosquitto_subscribe(client, nullptr, link->boardTopic_.constData(), kQos);
    link->wake();
}

void MqttLink::onDisconnect(mosquitto*, void* context, int code) {
    auto* link = static_cast<MqttLink*>(context);
    bool wasConnected = false;
    {
        std::lock_guard lock(link->outboxMutex_);
        wasConnected = std::exchange(link->connected_, false);
    }
    if (code == MOSQ_ERR_SUCCESS)
        return; // we left
    link->tell(wasConnected ? QString("The connection to the broker %1 was lost: %2. The run's "
                                      "events wait and go out when it is back.")
                                  .arg(link->address(), reason(code))
                            : QString("The broker %1 cannot be reached: %2. The run goes on, and "
                                      "it is shared once the broker answers.")
                                  .arg(link->address(), reason(code)));
}

void MqttLink::onPublish(mosquitto*, void* context, int id) {
    auto* link = static_cast<MqttLink*>(context);
    {
        std::lock_guard lock(link->outboxMutex_);
        if (id == link->runInFlight_)
            link->runInFlight_ = 0;
        else
            link->outbox_.acknowledged(id);
    }
    link->wake(); // room in the window for the next events
}

void MqttLink::onMessage(mosquitto*, void* context, const mosquitto_message* message) {
    static_cast<MqttLink*>(context)->takeMessage(*message);
}

void MqttLink::takeMessage(const mosquitto_message& message) {
    const std::optional<QString> station =
        hooks_.boardRun ? settings_.stationOfRunTopic(QString::fromUtf8(message.topic))
                        : std::nullopt;
    if (!station)
        return takeCommand(message);
    hooks_.boardRun(*station, QByteArray(static_cast<const char*>(message.payload),
                                         qsizetype(message.payloadlen)));
}

// A command is timed when it arrives, whatever keeps the run's thread busy meanwhile.
void MqttLink::takeCommand(const mosquitto_message& message) {
    if (!settings_.commands || commandTopic_ != message.topic)
        return;
    const quint32 receivedAt = hooks_.clock();
    const QString word =
        QString::fromUtf8(static_cast<const char*>(message.payload), message.payloadlen).trimmed();
    const std::optional<DesktopCommand> command =
        sendableCommandNames().contains(word) ? commandNamed(word) : std::nullopt;
    if (!command) {
        std::fprintf(stderr, "kelvos: the broker sent an unknown command '%s'; it is ignored\n",
                     qUtf8Printable(word.left(40)));
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, command = *command, receivedAt, word] {
            if (!hooks_.command(command, receivedAt))
                std::fprintf(stderr,
                             "kelvos: the watch did not take '%s' from the broker in this "
                             "state\n",
                             qUtf8Printable(word));
        },
        Qt::QueuedConnection);
}

} // namespace kelvos
