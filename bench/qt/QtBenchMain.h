#pragma once
// The main of a benchmark that needs a Qt application: offscreen unless told otherwise, and
// `cleanup` run while the application still exists (widgets must go before it).
#include <benchmark/benchmark.h>

#include <QApplication>

namespace quillet::bench {

template <class Cleanup>
int RunQtBenchmarks(int argc, char** argv, Cleanup cleanup) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    cleanup();
    return 0;
}

}  // namespace quillet::bench
