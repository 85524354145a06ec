#include "LiveServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWebSocket>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>
#include <vector>

// The live results server as the window meets it: what publish() costs the UI thread with no
// and with many pages connected, and how long an event takes from publish() to a page.

namespace {

constexpr quint16 kPort = 28765;

kelvos::RunEvent lapEvent(quint64 sequence) {
    kelvos::RunEvent event;
    event.kind = kelvos::RunEventKind::Lap;
    event.sequence = sequence;
    event.state = kelvos::RunState::Running;
    event.total = qint32(sequence * 61040);
    event.lap.number = qint32(sequence);
    event.lap.total = event.total;
    event.lap.lap = 61040;
    event.lap.mainRow = qint32(sequence);
    event.lap.mixRow = qint32(sequence);
    event.lap.wallClock = QStringLiteral("12:34:56");
    event.details.names = {QStringLiteral("Aiko"), QStringLiteral("Ben"), QStringLiteral("Chie")};
    return event;
}

// Pages connected to the server, counting what they receive.
struct Pages {
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    qint64 received = 0;

    Pages(int count, quint16 port) {
        for (int i = 0; i < count; ++i) {
            auto socket = std::make_unique<QWebSocket>();
            QObject::connect(socket.get(), &QWebSocket::textMessageReceived,
                             [this](const QString&) { ++received; });
            socket->open(QUrl(QString("ws://127.0.0.1:%1/events").arg(port)));
            sockets.push_back(std::move(socket));
        }
        waitFor(count); // each page's first message, the run so far
    }
    void waitFor(qint64 messages) {
        QElapsedTimer waited;
        waited.start();
        while (received < messages && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

// The UI thread's own processor time: on a busy machine the wall time of a call also holds the
// time other threads ran instead.
qint64 threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

void percentiles(benchmark::State& state, std::vector<double> samplesMs) {
    std::sort(samplesMs.begin(), samplesMs.end());
    if (samplesMs.empty())
        return;
    state.counters["median_ms"] = samplesMs[samplesMs.size() / 2];
    state.counters["p99_ms"] =
        samplesMs[std::min(samplesMs.size() - 1, samplesMs.size() * 99 / 100)];
}

} // namespace

// The UI thread's cost of one publish(), in batches of 100 laps, while `range(0)` pages follow;
// the pages take each batch in before the next.
static void publishCost(benchmark::State& state) {
    const int pageCount = int(state.range(0));
    kelvos::LiveServer server;
    server.start({kPort, false, 1000});
    Pages pages(pageCount, server.port());
    quint64 sequence = 0;
    constexpr int kBatch = 100;
    qint64 publishingNs = 0;
    qint64 publishingCpuNs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuBefore = threadCpuNs();
        for (int i = 0; i < kBatch; ++i)
            server.publish(lapEvent(++sequence));
        publishingCpuNs += threadCpuNs() - cpuBefore;
        const qint64 batchNs = timer.nsecsElapsed();
        publishingNs += batchNs;
        state.SetIterationTime(double(batchNs) / 1e9);
        pages.waitFor(pageCount + qint64(sequence) * pageCount);
    }
    state.counters["publish_us"] = double(publishingNs) / 1e3 / double(sequence);
    state.counters["publish_cpu_us"] = double(publishingCpuNs) / 1e3 / double(sequence);
}
BENCHMARK(publishCost)
    ->Arg(0)
    ->Arg(200)
    ->Iterations(30)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// From publish() on the UI thread to the message at a page, one lap at a time.
static void publishToPage(benchmark::State& state) {
    kelvos::LiveServer server;
    server.start({kPort, false, 1000});
    Pages pages(1, server.port());
    quint64 sequence = 0;
    std::vector<double> samples;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        server.publish(lapEvent(++sequence));
        pages.waitFor(1 + qint64(sequence));
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1e3);
        samples.push_back(ms);
    }
    percentiles(state, std::move(samples));
}
BENCHMARK(publishToPage)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
