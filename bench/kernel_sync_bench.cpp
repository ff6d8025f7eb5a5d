// Cost of the kernel's synchronisation calls. Every drawing call takes and
// gives back its window's page mutex, so the uncontended pair is the figure
// that matters; the others show what the slower paths cost by comparison.
#include <benchmark/benchmark.h>

#include "platform.h"

namespace {

void BM_UncontendedMutexPair(benchmark::State& state) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  for (auto _ : state) {
    benchmark::DoNotOptimize(WaitForSingleObject(mutex, 5000));
    ReleaseMutex(mutex);
  }
  state.SetItemsProcessed(state.iterations());
  CloseHandle(mutex);
}
BENCHMARK(BM_UncontendedMutexPair);

// A drawing function called while the mutex is already held (re-entry).
void BM_NestedMutexPair(benchmark::State& state) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  for (auto _ : state) {
    benchmark::DoNotOptimize(WaitForSingleObject(mutex, 5000));
    ReleaseMutex(mutex);
  }
  state.SetItemsProcessed(state.iterations());
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}
BENCHMARK(BM_NestedMutexPair);

// Events always go through the shared wait lock.
void BM_AutoResetEventSetAndWait(benchmark::State& state) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  for (auto _ : state) {
    SetEvent(event);
    benchmark::DoNotOptimize(WaitForSingleObject(event, 0));
  }
  state.SetItemsProcessed(state.iterations());
  CloseHandle(event);
}
BENCHMARK(BM_AutoResetEventSetAndWait);

// Several threads taking turns on one mutex.
void BM_ContendedMutexPair(benchmark::State& state) {
  static HANDLE mutex = nullptr;
  if (state.thread_index() == 0) mutex = CreateMutexA(nullptr, FALSE, nullptr);
  for (auto _ : state) {
    benchmark::DoNotOptimize(WaitForSingleObject(mutex, INFINITE));
    ReleaseMutex(mutex);
  }
  state.SetItemsProcessed(state.iterations());
  if (state.thread_index() == 0) CloseHandle(mutex);  // every thread has left the loop
}
BENCHMARK(BM_ContendedMutexPair)->Threads(2)->UseRealTime();

}  // namespace
