// Local files of any size stay cheap: reloading the Event dialog on the
// largest event list the link accepts against reading that file, and listing
// the connection history, whose time must grow in step with its entries.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <string>

#include "config/ConnectionHistory.h"
#include "viewer/CEventDlg.h"
#include "viewer/EventListModel.h"

namespace {

void EventDialogReloadVersusRead(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("AlarmEvent.am"));
  {
    std::ofstream out(path.toStdString(), std::ios::binary);
    const char record[kEventRecordSize] = {3, 0x20, 9, 5, 31, 23, 59, 59, 0, 0};
    for (std::size_t i = 0; i < EventListModel::kEventFileBound / kEventRecordSize; ++i) out.write(record, sizeof record);
  }
  CEventDlg dlg(true, nullptr, path);
  dlg.show();

  using Clock = std::chrono::steady_clock;
  double reloadSeconds = 0, readSeconds = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    dlg.Reload();
    const auto t1 = Clock::now();
    {
      QFile file(path);
      file.open(QIODevice::ReadOnly);
      benchmark::DoNotOptimize(file.readAll());
    }
    const auto t2 = Clock::now();
    reloadSeconds += std::chrono::duration<double>(t1 - t0).count();
    readSeconds += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["rows"] = dlg.Model()->rowCount();
  state.counters["reload_ms"] = 1e3 * reloadSeconds / static_cast<double>(state.iterations());
  state.counters["ratio_vs_read"] = reloadSeconds / readSeconds;
}

void ConnectionHistoryListing(benchmark::State& state) {
  QTemporaryDir dir;
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  QDir().mkdir(QStringLiteral("ini"));
  {
    std::ofstream out(kHistoryFile, std::ios::binary);
    for (int i = 0; i < state.range(0); ++i) out << "[R" << i << "]\r\nIP=127.0.0." << i % 250 << "\r\nPORT=8000\r\n";
  }
  for (auto _ : state) benchmark::DoNotOptimize(ReadConnectionHistory());
  state.SetComplexityN(state.range(0));
  QDir::setCurrent(previous);
}

}  // namespace

BENCHMARK(EventDialogReloadVersusRead)->Unit(benchmark::kMillisecond);
BENCHMARK(ConnectionHistoryListing)->RangeMultiplier(4)->Range(1250, 20000)->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
