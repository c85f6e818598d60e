// What a start finds and mends in the program folder: shipped data kept
// current, temporary files of interrupted saves, a first start told from a
// vanished settings file; and the settings file written when the log's
// file changes, never over one that could not be read.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "app/core/programfolder.h"
#include "app/core/startenv.h"
#include "contest/session.h"
#include "log/clock.h"
#include "log/fileio.h"
#include "scripted_ui.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::string s;
  fileio::readAll(p.string(), s);
  return s;
}

void put(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  ASSERT_TRUE(fileio::writeAtomic(p.string(), bytes));
}

struct Folder {
  fs::path base;
  Folder() {
    char tmpl[] = "/tmp/tamarack-folder-XXXXXX";
    base = ::mkdtemp(tmpl);
  }
  ~Folder() { fs::remove_all(base); }
  std::string home() const { return (base / "home").string(); }
  FolderPrepared start() {
    FolderPrepared p;
    std::string err;
    EXPECT_TRUE(PrepareProgramFolder(home(), (base / "ship").string(), "/nonexistent", &err, &p)) << err;
    return p;
  }
};

TEST(ShippedData, UnchangedCopiesFollowTheShippedOnesChangedOnesAreKeptAndToldOnce) {
  Folder f;
  const fs::path ship = f.base / "ship", home = f.home();
  put(ship / "Cfg/a.cfg", "Rules=2024\r\n");
  put(ship / "tamarack.html", "<p>manual 1</p>");
  put(ship / "TH_DX.dat", "JA 339\r\n");
  put(ship / "AdiDxcc.dat", "JA 339\r\n");

  FolderPrepared p = f.start();
  EXPECT_TRUE(p.firstStart);
  EXPECT_EQ(readFile(home / "Cfg/a.cfg"), "Rules=2024\r\n");
  EXPECT_TRUE(fs::exists(home / kShippedManifest));
  // The folder is known from now on, settings file or not.
  EXPECT_FALSE(f.start().firstStart);

  // A package upgrade; the operator had edited the manual.
  put(ship / "Cfg/a.cfg", "Rules=2025\r\n");
  put(ship / "tamarack.html", "<p>manual 2</p>");
  put(ship / "Cfg/b.cfg", "New=1\r\n");
  put(home / "tamarack.html", "<p>my notes</p>");
  p = f.start();
  EXPECT_FALSE(p.firstStart);
  EXPECT_EQ(readFile(home / "Cfg/a.cfg"), "Rules=2025\r\n");  // unchanged copy: replaced
  EXPECT_EQ(readFile(home / "Cfg/b.cfg"), "New=1\r\n");       // newly shipped: copied
  EXPECT_EQ(readFile(home / "tamarack.html"), "<p>my notes</p>");
  EXPECT_EQ(p.keptChanged, std::vector<std::string>{"tamarack.html"});
  EXPECT_NE(KeptChangedMessage(p).find("tamarack.html"), std::string::npos);
  EXPECT_TRUE(f.start().keptChanged.empty());  // told once
  put(ship / "tamarack.html", "<p>manual 3</p>");
  EXPECT_EQ(f.start().keptChanged, std::vector<std::string>{"tamarack.html"});

  // A definition the operator removed stays removed; the tables come back.
  fs::remove(home / "Cfg/b.cfg");
  fs::remove(home / "TH_DX.dat");
  fs::remove(home / "AdiDxcc.dat");
  f.start();
  EXPECT_FALSE(fs::exists(home / "Cfg/b.cfg"));
  EXPECT_EQ(readFile(home / "TH_DX.dat"), "JA 339\r\n");
  EXPECT_EQ(readFile(home / "AdiDxcc.dat"), "JA 339\r\n");

  // A folder of an earlier version (settings, no manifest) is no first start.
  fs::remove(home / kShippedManifest);
  put(home / "Tamarack.ini", "JarlCallSign=JA1ZZZ\r\n");
  EXPECT_FALSE(f.start().firstStart);
}

// The help page's pictures lie in a folder of their own beside it: binary
// files at any depth arrive byte for byte and follow upgrades like the rest.
TEST(ShippedData, PicturesInSubfoldersArriveByteForByte) {
  static constexpr char kPng[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\n";
  const std::string png(kPng, sizeof kPng - 1);  // NULs inside, not the one at the end
  struct Shipped {
    const char* rel;
    std::string bytes;
  } shipped[] = {{"help/main.png", png},
                 {"help/entry.png", png + std::string("\r\n\0\x1a", 4)},
                 {"help/deep/er/x.png", std::string(1, '\0')},
                 {"tamarack.html", "<img src=\"help/main.png\">"}};
  Folder f;
  const fs::path ship = f.base / "ship", home = f.home();
  for (const Shipped& s : shipped) put(ship / s.rel, s.bytes);
  f.start();
  for (const Shipped& s : shipped) EXPECT_EQ(readFile(home / s.rel), s.bytes) << s.rel;

  // A newer picture replaces the unchanged copy; the one the operator drew on stays.
  put(ship / "help/main.png", png + "v2");
  put(ship / "help/entry.png", png + "v2");
  put(home / "help/entry.png", "mine");
  const FolderPrepared p = f.start();
  EXPECT_EQ(readFile(home / "help/main.png"), png + "v2");
  EXPECT_EQ(readFile(home / "help/entry.png"), "mine");
  EXPECT_EQ(p.keptChanged, std::vector<std::string>{"help/entry.png"});
}

TEST(TempFiles, OnlyOldOnesOfInterruptedSavesGo) {
  struct Name {
    const char* name;
    bool temp;
  } names[] = {{".test.tmk.Ab12Cd", true}, {".Tamarack.ini.x0Y9zz", true},
               {"test.tmk.journal", false}, {".test.tmk.Ab12C", false},
               {".test.tmk.Ab-2Cd", false}, {"..Ab12Cd", false},
               {".tamarack-Ab12Cd", false}, {"test.tmk", false}};
  for (const Name& n : names) EXPECT_EQ(fileio::isTempName(n.name), n.temp) << n.name;

  Folder f;
  const fs::path home = f.home(), elsewhere = f.base / "logs";
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  const std::vector<fs::path> stale = {home / "Log/.a.tmk.Ab12Cd", home / ".Tamarack.ini.Qw34Er",
                                       home / "SentLog/.a.tmq.Zx56Cv", elsewhere / ".b.tmk.Ab12Cd"};
  const std::vector<fs::path> kept = {home / "Log/a.tmk.journal", home / "Log/.notes",
                                      home / "Cfg/.x.cfg.Ab12C"};
  for (const auto& p : stale) put(p, std::string(300, 'x'));
  for (const auto& p : kept) put(p, "x");
  for (const auto& p : stale) fs::last_write_time(p, old);
  for (const auto& p : kept) fs::last_write_time(p, old);
  put(home / "Log/.c.tmk.Fresh1", "x");  // a save going on right now

  RemoveStaleTempFiles(home.string(), (elsewhere / "b.tmk").string());
  for (const auto& p : stale) EXPECT_FALSE(fs::exists(p)) << p;
  for (const auto& p : kept) EXPECT_TRUE(fs::exists(p)) << p;
  EXPECT_TRUE(fs::exists(home / "Log/.c.tmk.Fresh1"));
}

// The settings file follows the log's file as it is opened, saved and
// closed; one that could not be read at start is never replaced.
TEST(SettingsWrites, TheLogsFileIsKeptAtOnceAndAnUnreadFileIsLeftAlone) {
  Folder f;
  const fs::path home = f.home();
  fs::create_directories(home / "Log");
  ScriptedUi ui;
  FixedClock clock(ole::fromDateTime(2025, 4, 26, 22, 0, 0));
  {
    Session s(home.string(), ui, clock, noProgress(), noView());
    std::string err;
    EXPECT_EQ(s.readSettings(&err), IniReadResult::Missing);
    s.enableSafeguards();
    s.Doc.Log.append(QsoRecord{});
    s.Doc.State.LogDirty = 1;
    ui.files.push_back((home / "Log/a.tmk").string());
    s.Files.Save();
    Settings read;
    ASSERT_EQ(IniRead((home / "Tamarack.ini").string(), read, &err), IniReadResult::Ok);
    EXPECT_EQ(read.LogFileName, (home / "Log/a.tmk").string());

    s.Files.Close();
    ASSERT_EQ(IniRead((home / "Tamarack.ini").string(), read, &err), IniReadResult::Ok);
    EXPECT_EQ(read.LogFileName, "");

    s.Ini.JarlCallSign = "JA1ZZZ";
    EXPECT_TRUE(s.saveSettings());
    ASSERT_EQ(IniRead((home / "Tamarack.ini").string(), read, &err), IniReadResult::Ok);
    EXPECT_EQ(read.JarlCallSign, "JA1ZZZ");
  }

  // A settings "file" that cannot be read (here a folder) stays as it is.
  fs::remove(home / "Tamarack.ini");
  fs::create_directory(home / "Tamarack.ini");
  put(home / "Tamarack.ini/keep", "x");
  ui.messages.clear();
  Session s(home.string(), ui, clock, noProgress(), noView());
  std::string err;
  EXPECT_EQ(s.readSettings(&err), IniReadResult::Error);
  s.enableSafeguards();
  EXPECT_FALSE(s.saveSettings());
  EXPECT_FALSE(s.saveSettings());
  ui.files.push_back((home / "Log/b.tmk").string());
  s.Files.Open();
  ASSERT_EQ(ui.messages.size(), 1u);  // told once
  EXPECT_NE(ui.messages[0].text.find("を読み込めなかったため、今回の設定は保存しません。"),
            std::string::npos);
  EXPECT_TRUE(fs::is_directory(home / "Tamarack.ini"));
  EXPECT_EQ(readFile(home / "Tamarack.ini/keep"), "x");
}

// The start names no message bus only where the session has none, and
// leaves the session as it found it.
TEST(StartEnvironment, NoBusOnlyWhileStartingAndOnlyWhereThereIsNone) {
  const char* kBus = "DBUS_SESSION_BUS_ADDRESS";
  const char* had = std::getenv(kBus);
  const std::string kept = had ? had : "";
  struct Case {
    const char* before;  // nullptr: unset
    const char* during;
  } cases[] = {
      {nullptr, "disabled:"},
      {"", "disabled:"},
      {"unix:path=/run/user/1000/bus", "unix:path=/run/user/1000/bus"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.before ? c.before : "(unset)");
    if (c.before)
      setenv(kBus, c.before, 1);
    else
      unsetenv(kBus);
    {
      NoBusWhileStarting start;
      ASSERT_NE(std::getenv(kBus), nullptr);
      EXPECT_STREQ(std::getenv(kBus), c.during);
      start.end();
      const char* after = std::getenv(kBus);
      if (c.before && *c.before) {
        ASSERT_NE(after, nullptr);
        EXPECT_STREQ(after, c.before);
      } else {
        EXPECT_EQ(after, nullptr);  // programs started later find no bus named
      }
      start.end();  // twice is once
    }
    if (c.before && *c.before) {
      EXPECT_STREQ(std::getenv(kBus), c.before);
    }
  }
  if (had)
    setenv(kBus, kept.c_str(), 1);
  else
    unsetenv(kBus);
}

}  // namespace
