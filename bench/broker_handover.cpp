#include "MqttLink.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

// What a press costs the UI thread with the broker link on: handing its lap event over, while
// the link's thread turns earlier ones into messages and sends them. The same with the broker
// away, where every event waits in the link, shows the press does not wait for the network.

namespace {

// A long run of laps: the retained run, sent again as it grows, stays of a realistic size.
constexpr int kEvents = 2000;

int freePort() {
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

kelvos::RunEvent lapEvent(quint64 sequence) {
    kelvos::RunEvent event;
    event.kind = kelvos::RunEventKind::Lap;
    event.sequence = sequence;
    event.state = kelvos::RunState::Running;
    event.total = qint32(sequence) * 61000;
    event.wallClock = QDateTime::currentDateTime();
    event.details.names = {"Aida", "Bert", "Cleo"};
    event.details.course = "400";
    event.details.courseChosen = true;
    event.lap.number = qint32(sequence);
    event.lap.total = event.total;
    event.lap.lap = 61000;
    event.lap.average = 61000;
    event.lap.wallClock = "12:34:56";
    event.lap.lapSpeed = "23.61";
    event.lap.averageSpeed = "23.61";
    event.lap.name = "Aida";
    event.lap.mixRow = int(sequence);
    event.lap.mainRow = int(sequence);
    return event;
}

} // namespace

static void BM_HandOverLapEvent(benchmark::State& state) {
    const bool brokerUp = state.range(0) != 0;
    const int port = freePort();
    QTemporaryDir dir;
    QProcess broker;
    if (brokerUp) {
        QFile config(dir.filePath("mosquitto.conf"));
        config.open(QIODevice::WriteOnly);
        config.write(QString("listener %1 127.0.0.1\nallow_anonymous true\nuser %2\n")
                         .arg(port)
                         .arg(QString::fromLocal8Bit(getpwuid(getuid())->pw_name))
                         .toUtf8());
        config.close();
        broker.start("/usr/sbin/mosquitto", {"-c", config.fileName()});
        if (!broker.waitForStarted()) {
            state.SkipWithError("mosquitto did not start");
            return;
        }
    }
    kelvos::MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = port;
    settings.station = "bench";
    kelvos::MqttLink link(settings, {[] { return 0u; }, {}, {}});
    link.start();
    std::this_thread::sleep_for(std::chrono::seconds(1)); // connected, when the broker is up
    std::vector<kelvos::RunEvent> events;
    for (quint64 sequence = 1; sequence <= kEvents; ++sequence)
        events.push_back(lapEvent(sequence));
    auto next = events.begin();
    for (auto _ : state)
        link.handOver(*next++);
    state.SetItemsProcessed(state.iterations());
    if (brokerUp) {
        broker.terminate();
        broker.waitForFinished();
    }
}
BENCHMARK(BM_HandOverLapEvent)
    ->ArgName("broker")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(kEvents)
    ->UseRealTime();

BENCHMARK_MAIN();
