#include "MosquittoBroker.h"
#include "MqttLink.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>
#include <vector>

// What a press costs the UI thread with the broker link on: handing its lap event over, while
// the link's thread turns earlier ones into messages and sends them. The same with the broker
// away, where every event waits in the link, shows the press does not wait for the network.

namespace {

// A long run of laps: the retained run, sent again as it grows, stays of a realistic size.
constexpr int kEvents = 2000;

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
    // With the broker down, its port is one nobody listens on.
    testbroker::MosquittoBroker broker;
    if (brokerUp && !broker.start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    kelvos::MqttSettings settings;
    settings.host = "127.0.0.1";
    settings.port = broker.port();
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
}
BENCHMARK(BM_HandOverLapEvent)
    ->ArgName("broker")
    ->Arg(1)
    ->Arg(0)
    ->Iterations(kEvents)
    ->UseRealTime();

BENCHMARK_MAIN();
