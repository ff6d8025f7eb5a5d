// Time of each call of the hostile-arguments sweep (tests/support/
// hostile_sweep.h): the whole sweep is one run, and the calls that took
// longer than 50 ms are printed, slowest first, with the arguments that
// made them slow.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "hostile_sweep.h"

namespace {

struct TimedCall {
  std::string call;
  double ms;
};

constexpr double kSlowMs = 50;

void print_slow(std::vector<TimedCall> calls) {
  std::sort(calls.begin(), calls.end(), [](const TimedCall& a, const TimedCall& b) { return a.ms > b.ms; });
  for (const TimedCall& timed : calls) {
    if (timed.ms <= kSlowMs) break;
    std::printf("%9.1f ms  %s\n", timed.ms, timed.call.c_str());
  }
}

void BM_HostileArgumentSweep(benchmark::State& state) {
  std::vector<TimedCall> calls;
  for (auto _ : state) {
    calls.clear();
    kel_hostile::Sweep sweep([&](const std::string& call, const std::function<void()>& body) {
      auto start = std::chrono::steady_clock::now();
      body();
      std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
      calls.push_back({call, took.count()});
    });
    kel_hostile::sweep_every_public_function(sweep);
  }
  auto slowest = std::max_element(calls.begin(), calls.end(),
                                  [](const TimedCall& a, const TimedCall& b) { return a.ms < b.ms; });
  state.counters["calls"] = double(calls.size());
  state.counters["over_50ms"] = double(std::count_if(
      calls.begin(), calls.end(), [](const TimedCall& timed) { return timed.ms > kSlowMs; }));
  state.counters["slowest_ms"] = slowest == calls.end() ? 0 : slowest->ms;
  print_slow(calls);
}
BENCHMARK(BM_HostileArgumentSweep)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
