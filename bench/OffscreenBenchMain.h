#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

// Runs the benchmarks of widgets inside a QApplication on the offscreen platform, so they need
// no display.
inline int runOffscreenBenchmarks(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
