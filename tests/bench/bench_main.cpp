// vantrix_bench: the program's operations against the plain cost of their
// I/O. The scratch folder is named in the report's context, so a reader can
// tell which disk the files were on.
#include <benchmark/benchmark.h>

#include "tests/bench/bench_support.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::AddCustomContext("scratch_folder", vantrix::bench::ScratchFolder());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
