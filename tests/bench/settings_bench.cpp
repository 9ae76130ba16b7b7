// The settings file: LoadSettings, and StoreSettings (an atomic replace of a
// file of three short lines), side by side with a plain read and plain
// writes of the same bytes; then both with the file held in memory.
#include <benchmark/benchmark.h>

#include "app/settings.h"
#include "tests/bench/bench_support.h"

namespace vantrix::bench {
namespace {

const std::string kSettingsText =
    "Skarvel = c:\\games\\skarvel\\\r\ngame = c:\\games\\skarvel\\saves\\cup.gam\r\n"
    "random = 30\r\n";

std::span<const std::uint8_t> SettingsBytes() {
  return std::span(reinterpret_cast<const std::uint8_t*>(kSettingsText.data()),
                   kSettingsText.size());
}

void RequireRead(const AppState& app) {
  Require(app.savePath == "c:\\games\\skarvel\\saves\\cup.gam" && app.spreadText == "30",
          "LoadSettings did not read the file");
}

void FillValues(AppState& app) {
  app.gameFolder = "c:\\games\\skarvel\\";
  app.savePath = "c:\\games\\skarvel\\saves\\cup.gam";
  app.spreadText = "30";
}

void BM_LoadSettings_RealFiles(benchmark::State& state) {
  PutRealFile(ScratchFolder() + kSettingsFile, kSettingsText);
  const std::string plain = ScratchFolder() + "plain_read.prf";
  PutRealFile(plain, kSettingsText);
  RealFilesDesktop desktop;
  AppState app(desktop);
  std::vector<std::uint8_t> buffer(4096);
  RunSideBySide(state, {{"loadsettings", [&] { LoadSettings(app); }},
                        {"plain_read", [&] {
                           Require(PlainRead(plain, buffer) == kSettingsText.size(),
                                   "the plain read fell short");
                         }}});
  RequireRead(app);
}

void BM_StoreSettings_RealFiles(benchmark::State& state) {
  RealFilesDesktop desktop;
  AppState app(desktop);
  FillValues(app);
  const std::string written = ScratchFolder() + "plain_write.prf";
  const std::string synced = ScratchFolder() + "plain_synced.prf";
  RunSideBySide(state, {{"storesettings", [&] { StoreSettings(app); }},
                        {"plain_write", [&] { PlainWrite(written, SettingsBytes(), false); }},
                        {"plain_write_fsync", [&] { PlainWrite(synced, SettingsBytes(), true); }}});
  // Read back through the program's own reader: the file must be in place.
  AppState reread(desktop);
  LoadSettings(reread);
  RequireRead(reread);
}

void BM_LoadSettings_Memory(benchmark::State& state) {
  MemoryDesktop desktop;
  desktop.PutFile(kSettingsFile, kSettingsText);
  AppState app(desktop);
  for (auto _ : state) LoadSettings(app);
  RequireRead(app);
}

void BM_StoreSettings_Memory(benchmark::State& state) {
  MemoryDesktop desktop;
  AppState app(desktop);
  FillValues(app);
  for (auto _ : state) StoreSettings(app);
  Require(desktop.FileText(kSettingsFile) == kSettingsText, "StoreSettings wrote other bytes");
}

void Settings(benchmark::internal::Benchmark* bench) {
  bench->Unit(benchmark::kMicrosecond)->UseRealTime();
}

BENCHMARK(BM_LoadSettings_RealFiles)->Apply(Settings);
BENCHMARK(BM_StoreSettings_RealFiles)->Apply(Settings);
BENCHMARK(BM_LoadSettings_Memory)->Apply(Settings);
BENCHMARK(BM_StoreSettings_Memory)->Apply(Settings);

}  // namespace
}  // namespace vantrix::bench
