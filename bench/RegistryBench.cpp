// Time per settings-store operation against a real store file:
// QueryRegValue and SetRegValue 10,000 times each, one transaction of 1,000
// writes (the shape of an item-list rebuild), and a whole rebuild of a
// 1,000- or 10,000-item list made while another connection holds the
// store's lock (kept for later: the time the window waits).
#include "core/Registry.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

const QString kKey = QStringLiteral("Software\\Tidewire\\Xbins");

struct Store {
  QTemporaryDir dir;
  tw::Registry registry{dir.filePath(QStringLiteral("machine.sqlite")), dir.filePath(QStringLiteral("user.sqlite")),
                        {}};
  Store() {
    registry.CreateRegKey(tw::Hive::LocalMachine, kKey);
    for (int i = 0; i < 100; ++i) {
      registry.SetRegValue(tw::Hive::LocalMachine, kKey, QStringLiteral("v%1").arg(i), QStringLiteral("value %1").arg(i),
                           tw::RegType::String);
    }
  }
};

void BM_QueryRegValue(benchmark::State& state) {
  Store store;
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        store.registry.QueryRegValue(tw::Hive::LocalMachine, kKey, QStringLiteral("v%1").arg(i++ % 100)));
  }
}
BENCHMARK(BM_QueryRegValue)->Iterations(10000)->Unit(benchmark::kMicrosecond);

void BM_SetRegValue(benchmark::State& state) {
  Store store;
  int i = 0;
  for (auto _ : state) {
    store.registry.SetRegValue(tw::Hive::LocalMachine, kKey, QStringLiteral("n%1").arg(i % 100), i, tw::RegType::Dword);
    ++i;
  }
}
BENCHMARK(BM_SetRegValue)->Iterations(10000)->Unit(benchmark::kMicrosecond);

void BM_TransactionOf1000Writes(benchmark::State& state) {
  Store store;
  for (auto _ : state) {
    tw::RegistryTransaction tx(store.registry, tw::Hive::LocalMachine);
    for (int i = 0; i < 1000; ++i) {
      store.registry.SetRegValue(tw::Hive::LocalMachine, kKey, QStringLiteral("t%1").arg(i),
                                 QStringLiteral("an item description of some length %1").arg(i), tw::RegType::String);
    }
    if (!tx.commit()) state.SkipWithError("commit failed");
  }
}
BENCHMARK(BM_TransactionOf1000Writes)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_RebuildKeptWhileLocked(benchmark::State& state) {
  Store store;
  const QString path = store.dir.filePath(QStringLiteral("machine.sqlite"));
  sqlite3* other = nullptr;
  sqlite3_open(path.toUtf8().constData(), &other);
  sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  const int count = static_cast<int>(state.range(0));
  const auto item = [](int i) { return kKey + QStringLiteral("\\%1").arg(i); };
  for (auto _ : state) {
    tw::RegistryTransaction tx(store.registry, tw::Hive::LocalMachine);
    for (int i = 1; i <= count; ++i) store.registry.DeleteRegKey(tw::Hive::LocalMachine, item(i));
    for (int i = 1; i <= count; ++i) {
      store.registry.CreateRegKey(tw::Hive::LocalMachine, item(i));
      for (const char* name : {"Title", "Link", "Description", "Tag"}) {
        store.registry.SetRegValue(tw::Hive::LocalMachine, item(i), QString::fromLatin1(name),
                                   QStringLiteral("%1 of item %2").arg(QString::fromLatin1(name)).arg(i),
                                   tw::RegType::String);
      }
    }
    if (!tx.commit()) state.SkipWithError("commit failed");
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
}
BENCHMARK(BM_RebuildKeptWhileLocked)->Arg(1000)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
