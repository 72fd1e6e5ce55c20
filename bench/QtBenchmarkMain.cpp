// The main of the benchmarks that need Qt's event machinery or widgets: one
// application object for the whole run, then Google Benchmark as usual.
#include <benchmark/benchmark.h>

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
