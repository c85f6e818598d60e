// ADIF export of a full log of 32,767 QSOs, every call sign looked up in the
// public country file and the shipped DXCC table.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/core/programfolder.h"
#include "contest/cty.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/settings.h"
#include "log/ui.h"
#include "output/adif.h"

namespace {

LogData fullAdifLog() {
  const char* prefixes[] = {"JA1", "JH3", "7K4", "W1", "K6", "DL2", "VK3", "UA9", "BV2", "HL5",
                            "G4",  "F5",  "EA8", "PY2", "ZS6", "KH6", "VE3", "JD1", "BY1", "9M2"};
  const char* bands[] = {"1.8", "3.5", "7", "14", "21", "28", "50", "144", "430", "1200", "10.1G"};
  LogData log;
  for (int i = 0; i < kMaxQso; ++i) {
    QsoRecord r;
    r.Band = bands[i % 11];
    r.Mode = i % 3 ? "CW" : "SSB";
    r.QsoTime = ole::fromDateTime(2024, 4, 29, 21, 0, 0) + i / 1440.0;
    r.CallSign = std::string(prefixes[i % 20]) + "AB" + static_cast<char>('A' + i % 26);
    r.SentRst = "599";
    r.RcvdRst = "599";
    log.append(r);
  }
  return log;
}

class CountingProgress : public Progress {
 public:
  void step(int value) override { benchmark::DoNotOptimize(last_ = value); }
  void label(const char* text) override { benchmark::DoNotOptimize(text); }

 private:
  int last_ = 0;
};

class SilentUi : public Ui {
 public:
  Answer ask(std::string_view, Buttons, Icon, std::string_view) override { return Answer::Ok; }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

void BM_AdifOut(benchmark::State& state) {
  CtyTables cty;
  std::string text;
  if (!fileio::readAll(kPublicCountryFile, text) || !CtyParse(text, cty)) {
    state.SkipWithError("no public country file");
    return;
  }
  char dir[] = "/tmp/tamarack_adifbench_XXXXXX";
  if (!mkdtemp(dir)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  std::filesystem::copy_file(std::string(TAMARACK_SHIPPED_DIR) + "/AdiDxcc.dat",
                             std::string(dir) + "/AdiDxcc.dat");
  const LogData log = fullAdifLog();
  Settings s;
  s.AdiSendSw = 1;
  s.AdiCty2JaSw = 1;
  s.AdiRemark = "ALL JAコンテスト";
  const adif::AdifSource src{log, false, cty, s};
  CountingProgress progress;
  SilentUi ui;
  for (auto _ : state) {
    const adif::AdifResult r = adif::AdifOut(std::string(dir) + "/bench", src, dir, ui, progress);
    if (!r.ok) state.SkipWithError(r.error.c_str());
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AdifOut)->Unit(benchmark::kMillisecond);

// The same without the disk: the file's bytes only; argument 1 the standard
// file (modes looked up, lengths in bytes, station and exchange fields).
void BM_AdifBytes(benchmark::State& state) {
  CtyTables cty;
  std::string text, bytes;
  adif::DxccTable dxcc;
  if (!fileio::readAll(kPublicCountryFile, text) || !CtyParse(text, cty) ||
      !fileio::readAll(std::string(TAMARACK_SHIPPED_DIR) + "/AdiDxcc.dat", bytes)) {
    state.SkipWithError("no public country file or no shipped table");
    return;
  }
  dxcc.parse(bytes);
  const LogData log = fullAdifLog();
  Settings s;
  s.AdiRemark = "ALL JAコンテスト";
  s.JarlCallSign = "JA1ZZZ";
  adif::AdifOptions options;
  options.AdiStdSw = static_cast<std::int16_t>(state.range(0));
  const adif::AdifSource src{log, false, cty, s, options, 5, 45000.5};
  CountingProgress progress;
  for (auto _ : state) benchmark::DoNotOptimize(adif::AdifBytes(src, &dxcc, progress));
}
BENCHMARK(BM_AdifBytes)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
