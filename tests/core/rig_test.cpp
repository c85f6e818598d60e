// Rig control: the band and mode tables, the rig settings, and the link
// against the rig library's dummy radio, in process and behind rigctld.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "contest/bands.h"
#include "entry/riglink.h"
#include "entry/rigmap.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/settingsfile.h"
#include "rigctld_process.h"

namespace fs = std::filesystem;
using namespace entry;
using namespace std::chrono_literals;

namespace {

// Generous: only a broken link waits this long.
constexpr auto kWait = 20s;

bool onPath(const char* program) {
  return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

bool calledOn(std::thread::id id) {
  const auto t = RigLibraryThreads();
  return std::find(t.begin(), t.end(), id) != t.end();
}

// Records the threads the callback ran on and the statuses it saw.
struct Seen {
  std::mutex m;
  std::set<std::thread::id> threads;
  std::vector<RigStatus> statuses;
  RigLink::OnChange callback() {
    return [this](const RigStatus& s) {
      std::lock_guard<std::mutex> lock(m);
      threads.insert(std::this_thread::get_id());
      statuses.push_back(s);
    };
  }
};

auto on(const char* band, const char* mode) {
  return [band = std::string(band), mode = std::string(mode)](const RigStatus& s) {
    return s.state == RigState::Answering && s.band == band && s.mode == mode;
  };
}

}  // namespace

// ------------------------------------------------------------ tables

TEST(RigMap, ModesOfTheRadio) {
  struct Case {
    const char* rig;
    const char* digi;
    const char* box;
  };
  const Case cases[] = {
      {"USB", "", "SSB"},         {"LSB", "", "SSB"},          {"CW", "", "CW"},
      {"CWR", "", "CW"},          {"FM", "", "FM"},            {"FMN", "", "FM"},
      {"AM", "", "AM"},           {"RTTY", "", "RTTY"},        {"RTTYR", "", "RTTY"},
      {"PKTUSB", "WSJT", "WSJT"}, {"PKTLSB", "PSK31", "PSK31"}, {"PKTUSB", "", ""},
      {"WFM", "WSJT", ""},        {"PKTFM", "WSJT", ""},       {"usb", "", ""},
      {"", "WSJT", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RigModeText(c.rig, c.digi), c.box) << c.rig << " / " << c.digi;
}

TEST(RigMap, ModesForTheRadio) {
  struct Case {
    const char* box;
    std::uint64_t hz;
    const char* digi;
    const char* rig;
  };
  const Case cases[] = {
      {"SSB", 7'060'000, "", "LSB"},     {"SSB", 9'999'999, "", "LSB"},
      {"SSB", 10'000'000, "", "USB"},    {"SSB", 14'200'000, "", "USB"},
      {"CW", 7'010'000, "", "CW"},       {"FM", 145'000'000, "", "FM"},
      {"AM", 50'600'000, "", "AM"},      {"RTTY", 14'080'000, "", "RTTY"},
      {"WSJT", 14'074'000, "WSJT", "PKTUSB"}, {"WSJT", 14'074'000, "", ""},
      {"PSK31", 14'070'000, "WSJT", ""}, {"DV", 430'000'000, "", ""},
      {"", 7'000'000, "", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RigModeFor(c.box, c.hz, c.digi), c.rig) << c.box << " at " << c.hz;
  // What the link sets it reads back as the same mode box text.
  for (std::string_view box : bands::kModeTexts) {
    const std::string_view rig = RigModeFor(box, 7'000'000, "WSJT");
    if (!rig.empty()) {
      EXPECT_EQ(RigModeText(rig, "WSJT"), box);
    }
  }
}

TEST(RigMap, BandEdges) {
  const auto plan = RigBandPlan();
  ASSERT_EQ(plan.size(), static_cast<std::size_t>(bands::kBandCount));
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const RigBandEdges& b = plan[i];
    EXPECT_EQ(b.index, static_cast<int>(i));
    const std::string_view text = bands::kBandTexts[i];
    EXPECT_EQ(RigBandText(b.lowHz), text);
    EXPECT_EQ(RigBandText(b.highHz), text);
    EXPECT_EQ(RigBandIndex(b.lowHz - 1), -1) << text;
    EXPECT_EQ(RigBandIndex(b.highHz + 1), -1) << text;
    // The band's usual frequencies lie inside it for every mode.
    for (std::string_view mode : bands::kModeTexts)
      EXPECT_EQ(RigBandIndex(RigDefaultFrequency(text, mode)), b.index) << text << " " << mode;
  }
  // Between the bands, and the gap inside 1.8 that still counts as the band.
  for (std::uint64_t hz : {0ull, 1'800'000ull, 7'250'000ull, 27'000'000ull, 146'000'001ull})
    EXPECT_EQ(RigBandIndex(hz), -1) << hz;
  EXPECT_EQ(RigBandText(1'850'000), "1.8");
  EXPECT_EQ(RigDefaultFrequency("7", "SSB"), 7'060'000u);
  EXPECT_EQ(RigDefaultFrequency("430K", "CW"), 0u);
  EXPECT_EQ(RigFrequencyText(7'012'500), "7.0125");
  EXPECT_EQ(RigFrequencyText(10'240'000'000), "10240.0000");
}

// ------------------------------------------------------------ settings

TEST(RigSettings, KeysAfterTheOlderOnesAndNoRigWithout) {
  const std::vector<std::string> rigKeys = {"RigOn",    "RigModel",       "RigPort",
                                            "RigSpeed", "RigctldAddress", "RigDigiMode"};
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < IniKeyCount(); ++i) keys.emplace_back(IniKeyAt(i));
  const auto zlog = std::find(keys.begin(), keys.end(), "ZlogFolder");
  ASSERT_NE(zlog, keys.end());
  EXPECT_EQ(std::vector<std::string>(zlog + 1, zlog + 1 + 6), rigKeys);

  // An older file (no rig keys) reads as no rig.
  Settings old;
  IniParse(cp932::encode("JarlCallSign=JA1ZZZ\r\nZlogFolder=/z\r\n"), old);
  EXPECT_EQ(old.RigOn, 0);
  EXPECT_FALSE(RigConfig::fromSettings(old));

  Settings s;
  s.RigOn = 1;
  s.RigModel = 1035;
  s.RigPort = "/dev/ttyUSB0";
  s.RigSpeed = 38400;
  s.RigctldAddress = "127.0.0.1:4532";
  s.RigDigiMode = "WSJT";
  const std::string text = cp932::decode(IniFormat(s));
  EXPECT_NE(text.find("ZlogFolder=\r\nRigOn=1\r\nRigModel=1035\r\nRigPort=/dev/ttyUSB0\r\n"
                      "RigSpeed=38400\r\nRigctldAddress=127.0.0.1:4532\r\nRigDigiMode=WSJT\r\n"),
            std::string::npos);
  Settings back;
  IniParse(IniFormat(s), back);
  auto c = RigConfig::fromSettings(back);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->model, 1035);
  EXPECT_EQ(c->port, "/dev/ttyUSB0");
  EXPECT_EQ(c->speed, 38400);
  EXPECT_EQ(c->digiMode, "WSJT");

  back.RigModel = RigConfig::kRigctldModel;
  c = RigConfig::fromSettings(back);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->port, "127.0.0.1:4532");
  EXPECT_EQ(c->speed, 0);
  back.RigOn = 2;
  EXPECT_FALSE(RigConfig::fromSettings(back));
  back.RigOn = 1;
  back.RigModel = 0;
  EXPECT_FALSE(RigConfig::fromSettings(back));
}

// ------------------------------------------------------------ the link

TEST(RigLink, ModelListFromTheLibrary) {
  const auto& models = RigModels();
  ASSERT_GT(models.size(), 100u);
  auto has = [&](int n, const char* name) {
    return std::any_of(models.begin(), models.end(),
                       [&](const RigModelInfo& m) { return m.model == n && m.name == name; });
  };
  EXPECT_TRUE(has(1, "Dummy"));
  EXPECT_TRUE(has(2, "NET rigctl"));
  EXPECT_TRUE(std::is_sorted(models.begin(), models.end(), [](const auto& a, const auto& b) {
    return std::tie(a.maker, a.name) < std::tie(b.maker, b.name);
  }));
  EXPECT_FALSE(calledOn(std::this_thread::get_id()));
}

TEST(RigLink, DummyRadioInProcessFollowsAndIsSet) {
  Seen seen;
  RigConfig c;
  c.model = 1;
  c.digiMode = "WSJT";
  {
    RigLink link(c, seen.callback());
    // The dummy radio starts on 145 MHz FM.
    RigStatus s = link.waitUntil(on("144", "FM"), kWait);
    ASSERT_EQ(s.state, RigState::Answering) << s.error;
    EXPECT_EQ(s.frequency, 145'000'000u);
    EXPECT_TRUE(s.note.empty());

    link.setFrequency(7'012'500);
    link.setMode("CW");
    s = link.waitUntil(on("7", "CW"), kWait);
    EXPECT_EQ(s.frequency, 7'012'500u);
    EXPECT_EQ(s.rigMode, "CW");

    // A band picked in phone: its usual phone frequency, the sideband by it.
    EXPECT_EQ(link.frequencyFor("14", "SSB"), 14'200'000u);
    link.setBand("14", "SSB");
    s = link.waitUntil(on("14", "SSB"), kWait);
    EXPECT_EQ(s.frequency, 14'200'000u);
    EXPECT_EQ(s.rigMode, "USB");
    link.setMode("WSJT");
    s = link.waitUntil(on("14", "WSJT"), kWait);
    EXPECT_EQ(s.rigMode, "PKTUSB");

    // Back to 7 MHz CW: the frequency last used there.
    EXPECT_EQ(link.frequencyFor("7", "CW"), 7'012'500u);
    link.setBand("7", "CW");
    s = link.waitUntil(on("7", "CW"), kWait);
    EXPECT_EQ(s.frequency, 7'012'500u);

    // Out of band: no band, a note; the mode still follows.
    link.setFrequency(7'250'000);
    s = link.waitUntil([](const RigStatus& x) { return x.frequency == 7'250'000; }, kWait);
    EXPECT_EQ(s.band, "");
    EXPECT_EQ(s.mode, "CW");
    EXPECT_NE(s.note.find("7.2500"), std::string::npos);
    EXPECT_EQ(s.state, RigState::Answering);

    // A band text that is none changes nothing.
    EXPECT_EQ(link.frequencyFor("430K", "CW"), 0u);
  }
  std::lock_guard<std::mutex> lock(seen.m);
  ASSERT_FALSE(seen.statuses.empty());
  EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);
  // Each call carries a change.
  for (std::size_t i = 1; i < seen.statuses.size(); ++i)
    EXPECT_GT(seen.statuses[i].serial, seen.statuses[i - 1].serial);
  EXPECT_FALSE(calledOn(std::this_thread::get_id()));
}

TEST(RigLink, UnknownModelSaysNotAnswering) {
  RigConfig c;
  c.model = 999999;
  c.retryEvery = 50ms;
  RigLink link(c);
  const RigStatus s = link.waitUntil([](const RigStatus& x) { return x.rounds >= 2; }, kWait);
  EXPECT_EQ(s.state, RigState::NotAnswering);
  EXPECT_FALSE(s.note.empty());
  EXPECT_NE(s.error.find("999999"), std::string::npos);
  EXPECT_EQ(s.serial, 1u);  // the retries are quiet
}

TEST(RigLink, RigctldGoesAwayAndComesBack) {
  if (!onPath("rigctld") || !onPath("rigctl")) GTEST_SKIP() << "rigctld or rigctl missing";
  const int port = freePort();
  ASSERT_NE(port, 0);
  Rigctld server(port);
  ASSERT_TRUE(server.start());

  Seen seen;
  RigConfig c = RigConfig::rigctld(server.address(), "WSJT");
  c.retryEvery = 100ms;
  RigLink link(c, seen.callback());
  RigStatus s = link.waitUntil(on("144", "FM"), kWait);
  ASSERT_EQ(s.state, RigState::Answering) << s.error;

  ASSERT_EQ(server.set("7012000", "CW"), 0);
  s = link.waitUntil(on("7", "CW"), kWait);
  EXPECT_EQ(s.frequency, 7'012'000u);
  ASSERT_EQ(server.set("21030000", "PKTUSB"), 0);
  s = link.waitUntil(on("21", "WSJT"), kWait);
  EXPECT_EQ(s.frequency, 21'030'000u);

  server.stop();
  s = link.waitUntil([](const RigStatus& x) { return x.state == RigState::NotAnswering; }, kWait);
  ASSERT_EQ(s.state, RigState::NotAnswering);
  EXPECT_FALSE(s.note.empty());
  // The last values stay for whoever wants them.
  EXPECT_EQ(s.band, "21");
  // Requests while it is away are dropped, nothing blocks.
  link.setBand("7", "CW");
  const std::uint64_t rounds = s.rounds;
  s = link.waitUntil([&](const RigStatus& x) { return x.rounds >= rounds + 3; }, kWait);
  EXPECT_EQ(s.state, RigState::NotAnswering);

  ASSERT_TRUE(server.start());
  s = link.waitUntil([](const RigStatus& x) { return x.state == RigState::Answering; }, kWait);
  ASSERT_EQ(s.state, RigState::Answering) << s.error;
  EXPECT_TRUE(s.note.empty());
  ASSERT_EQ(server.set("3520000", "LSB"), 0);
  s = link.waitUntil(on("3.5", "SSB"), kWait);
  EXPECT_EQ(s.frequency, 3'520'000u);

  // Setting through the link reaches the server.
  link.setBand("50", "FM");
  s = link.waitUntil(on("50", "FM"), kWait);
  EXPECT_EQ(s.frequency, 51'000'000u);

  std::lock_guard<std::mutex> lock(seen.m);
  EXPECT_EQ(seen.threads.count(std::this_thread::get_id()), 0u);
  EXPECT_FALSE(calledOn(std::this_thread::get_id()));
}

// ------------------------------------------------------------ command line

TEST(RigLink, CommandLineStatus) {
  if (!onPath("rigctld") || !onPath("rigctl")) GTEST_SKIP() << "rigctld or rigctl missing";
  const fs::path cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
  if (!fs::exists(cli)) GTEST_SKIP() << "tamarack-cli not built";
  char tmpl[] = "/tmp/tamarack_rig_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string home = tmpl;
  auto run = [&](const std::string& args) {
    const std::string cmd = "'" + cli.string() + "' --home '" + home + "' " + args + " >'" +
                            home + "/out' 2>'" + home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  };
  auto file = [&](const char* name) {
    std::string t;
    fileio::readAll(home + "/" + name, t);
    return t;
  };

  const int port = freePort();
  ASSERT_NE(port, 0);
  Rigctld server(port);
  ASSERT_TRUE(server.start());
  ASSERT_EQ(server.set("7012000", "CW"), 0);
  EXPECT_EQ(run("rig status --rigctld " + server.address()), 0) << file("err");
  EXPECT_EQ(file("out"), "7012000\t7\tCW\n");

  // Without options: the program folder's settings.
  EXPECT_EQ(run("rig status"), 1);
  EXPECT_NE(file("err").find("RigOn"), std::string::npos);
  Settings s;
  s.RigOn = 1;
  s.RigModel = RigConfig::kRigctldModel;
  s.RigctldAddress = server.address();
  s.RigDigiMode = "WSJT";
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  ASSERT_EQ(server.set("14074000", "PKTUSB"), 0);
  EXPECT_EQ(run("rig status"), 0) << file("err");
  EXPECT_EQ(file("out"), "14074000\t14\tWSJT\n");

  // Out of band: the band stays empty and stderr says why.
  ASSERT_EQ(server.set("7250000", "CW"), 0);
  EXPECT_EQ(run("rig status --rigctld " + server.address()), 0);
  EXPECT_EQ(file("out"), "7250000\t\tCW\n");
  EXPECT_NE(file("err").find("7.2500"), std::string::npos);

  EXPECT_EQ(run("rig status --model 1"), 0) << file("err");
  EXPECT_EQ(file("out"), "145000000\t144\tFM\n");

  server.stop();
  EXPECT_EQ(run("rig status --rigctld " + server.address()), 1);
  EXPECT_NE(file("err").find("does not answer"), std::string::npos);
  EXPECT_EQ(file("out"), "");
  EXPECT_EQ(run("rig status --rigctld 127.0.0.1:1 --model 1"), 1);
  EXPECT_EQ(run("rig status --port /dev/null"), 1);
  EXPECT_EQ(run("rig status --model x"), 1);
  EXPECT_EQ(run("rig"), 1);
  fs::remove_all(home);
}
