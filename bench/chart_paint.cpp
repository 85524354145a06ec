// The chart's cost per lap: one append and the picture it leads to, for a short and a very
// long run, and one picture of the 3D view.
#include "OffscreenBenchMain.h"
#include "TChart.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

void fill(TChart& chart, int points) {
    for (int i = 0; i < points; ++i) {
        chart.appendPoint(0, 60000 + (i * 7919) % 5000);
        chart.appendPoint(1, 61000 + (i * 31) % 800);
    }
}

void BM_AppendAndRender(benchmark::State& state) {
    TChart chart;
    chart.resize(998, 332);
    fill(chart, int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        chart.appendPoint(0, 60000 + (++i * 7919) % 5000);
        chart.appendPoint(1, 61000);
        benchmark::DoNotOptimize(chart.bitmap());
    }
}
BENCHMARK(BM_AppendAndRender)
    ->ArgName("points")
    ->Arg(1000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond);

void BM_Render3D(benchmark::State& state) {
    TChart chart;
    chart.resize(998, 332);
    chart.setView3D(true);
    chart.setMarksVisible(true);
    fill(chart, 1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.bitmap());
}
BENCHMARK(BM_Render3D)->Unit(benchmark::kMillisecond);

void BM_Metafile(benchmark::State& state) {
    TChart chart;
    chart.resize(998, 332);
    fill(chart, 1000);
    for (auto _ : state)
        benchmark::DoNotOptimize(chart.metafile());
}
BENCHMARK(BM_Metafile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runOffscreenBenchmarks(argc, argv);
}
