// One pass of the program's loop with nothing to do: no event pending, F5
// not pressed. Its 50 ms pause is recorded by the in-memory desktop, not
// slept, so this is the processor time a pass costs besides the pause.
#include <benchmark/benchmark.h>

#include <limits>

#include "app/program.h"
#include "tests/bench/bench_support.h"

namespace vantrix::bench {
namespace {

// Idle passes are scripted ahead in batches, outside the timed part, so that
// scripting the in-memory user is not measured as the program's work.
constexpr int kScriptedAhead = 10000;

void BM_IdlePass_Memory(benchmark::State& state) {
  MemoryDesktop desktop;
  // The in-memory desktop closes the window after a set number of polls, to
  // end runaway tests; a benchmark polls far more often.
  desktop.LimitPolls(std::numeric_limits<int>::max());
  const std::string path = MemorySavedGame(desktop, 100 * 1024);
  const auto app = StartedState(desktop, kMemoryFolder, path);
  int scripted = 0;
  for (auto _ : state) {
    if (scripted == 0) {
      state.PauseTiming();
      for (int pass = 0; pass < kScriptedAhead; ++pass) desktop.Idle();
      scripted = kScriptedAhead;
      state.ResumeTiming();
    }
    --scripted;
    Require(RunPass(*app), "an idle pass ended the loop");
  }
  Require(desktop.Messages().empty() && desktop.UnscriptedCloses() == 0,
          "an idle pass did something");
}

BENCHMARK(BM_IdlePass_Memory)->Unit(benchmark::kNanosecond)->UseRealTime();

}  // namespace
}  // namespace vantrix::bench
