// The checks the fuzz targets make. A failed check prints what was expected
// and what came, then aborts: libFuzzer keeps the input that made it fail,
// and the replay driver stops on it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vantrix::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const std::string& what) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what.c_str());
  std::abort();
}

}  // namespace vantrix::fuzz

#define FUZZ_CHECK(condition, what)                                      \
  do {                                                                   \
    if (!(condition)) ::vantrix::fuzz::Fail(__FILE__, __LINE__, (what)); \
  } while (false)
