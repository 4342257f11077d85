// Time per settings-store operation against a real store file:
// QueryRegValue and SetRegValue 10,000 times each, and one transaction of
// 1,000 writes (the shape of an item-list rebuild).
#include "core/Registry.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
