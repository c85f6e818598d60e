// The settings file: every key, its type, the multi-line rules and bad input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "log/settingsfile.h"
#include "log/cp932.h"
#include "log/fileio.h"

namespace {
Settings parse(const std::string& utf8Text) {
  Settings s;
  IniParse(cp932::encode(utf8Text), s);
  IniApplyDefaults(s);
  return s;
}
}  // namespace

TEST(Settings, KeysInTableOrder) {
  // The file's keys in order, as the settings file has always carried them.
  std::vector<std::string> want = {
      "frmLeft", "frmTop", "frmHeight", "frmWidth", "ViewLeft", "ViewTop", "ViewHeight",
      "ViewWidth"};
  for (int c = 0; c <= 12; ++c) want.push_back("GridWidth" + std::to_string(c));
  for (const char* k :
       {"ThCty2JaSw", "ThQslMsgSw", "ThRmkSw", "ThSendSw", "ThRcvdSw", "ThQslSw", "ThRptSw",
        "ThRptSw2", "ThUtcSw", "ThDbFile", "ThSentMrk", "ThRcvdMrk", "ThQslMsg", "ThRemark",
        "ThRemark2", "ThRmk2Rpt", "ThRRptCount", "AdiCty2JaSw", "AdiSendSw", "AdiRcvdSw",
        "AdiQslMsg", "AdiRemark", "JarlCallSign", "JarlName", "JarlLicenseClass", "JarlTelNo",
        "JarlAddress", "JarlEmail", "JarlClubName", "JarlClubNo", "JarlContest",
        "JarlCategory", "JarlCateCode", "JarlOperator", "CateMode", "CateBand", "CateMlt",
        "JarlOpsAndClass", "JarlUnyoChi", "JarlSetsubi", "JarlPower", "JarlPowerType",
        "JarlFdKeisu", "JarlPsType", "JarlOath", "JarlDqpOath", "JarlNypOath", "JarlComment",
        "CfgFileName", "LogFileName"})
    want.push_back(k);
  for (int b = 0; b <= 15; ++b) want.push_back("JarlPwCode" + std::to_string(b));
  for (const char* k : {"JarlPrf", "JarlJcc", "JarlAge", "JarlTestName", "RealTime",
                        "MailAndMe", "CabSrstPos", "CabSRptPos", "CabHCallPos", "CabRrstPos",
                        "CabRRptPos", "CabCallLen", "CabRptLen", "CbrFolder", "ZlogFolder"})
    want.push_back(k);
  ASSERT_EQ(want.size(), 102u);
  // Keys added since, after all of the above.
  for (const char* k :
       {"RigOn", "RigModel", "RigPort", "RigSpeed", "RigctldAddress", "RigDigiMode"})
    want.push_back(k);
  for (const char* k : {"HistoryLogs", "HistoryFile", "HistoryFill"}) want.push_back(k);

  for (std::size_t i = 0; i < IniKeyCount(); ++i) EXPECT_EQ(IniKeyOptional(i), i >= 102) << i;

  // The written file carries exactly these lines, once each, in this order
  // (multi-line keys with an empty value as one line, the comment with a
  // blank); the later keys only when set.
  auto linesOf = [](const Settings& s) {
    std::vector<std::string> lines;
    fileio::forEachLine(cp932::decode(IniFormat(s)), [&](std::string_view l) {
      lines.emplace_back(l.substr(0, l.find('=')));
    });
    return lines;
  };
  std::vector<std::string> wantLines;
  for (const std::string& k : want) wantLines.push_back(k == "JarlComment" ? " " + k : k);
  EXPECT_EQ(linesOf(Settings{}), std::vector<std::string>(wantLines.begin(), wantLines.begin() + 102));
  Settings all;
  all.RigOn = 1;
  all.RigModel = 2;
  all.RigPort = "/dev/ttyUSB0";
  all.RigSpeed = 9600;
  all.RigctldAddress = "127.0.0.1:4532";
  all.RigDigiMode = "RTTY";
  all.HistoryLogs = "/a.tmk";
  all.HistoryFile = "/h.txt";
  all.HistoryFill = 1;
  EXPECT_EQ(linesOf(all), wantLines);
}

TEST(Settings, CallHistoryKeys) {
  // A file written before the keys existed: off and empty.
  const Settings older = parse("ZlogFolder=/z\r\n");
  EXPECT_EQ(older.HistoryLogs, "");
  EXPECT_EQ(older.HistoryFile, "");
  EXPECT_EQ(older.HistoryFill, 0);

  Settings s;
  s.HistoryLogs = "/logs/2023.tmk\r\nold/2022.tmk";
  s.HistoryFile = "/logs/calls.txt";
  s.HistoryFill = 1;
  const std::string text = cp932::decode(IniFormat(s));
  EXPECT_NE(text.find("ZlogFolder=\r\nHistoryLogs=/logs/2023.tmk\r\nHistoryLogs=old/2022.tmk\r\n"
                      "HistoryFile=/logs/calls.txt\r\nHistoryFill=1\r\n"),
            std::string::npos)
      << text;
  Settings back;
  IniParse(IniFormat(s), back);
  EXPECT_EQ(back.HistoryLogs, s.HistoryLogs);
  EXPECT_EQ(back.HistoryFile, s.HistoryFile);
  EXPECT_EQ(back.HistoryFill, 1);
}

TEST(Settings, ValuesAndTypes) {
  const Settings s = parse(
      "frmLeft = 1234.5\r\nViewTop=-20\r\nGridWidth3=800\r\nThCty2JaSw=1\r\n"
      "ThSentMrk=送\r\nJarlCallSign= JA1ZZZ \r\nCateBand=7\r\nJarlPwCode15=P\r\n"
      "CabCallLen=12\r\nZlogFolder=/home/op/zlog\r\n");
  EXPECT_EQ(s.frmLeft, 1234.5f);
  EXPECT_EQ(s.ViewTop, -20);
  EXPECT_EQ(s.GridWidth[3], 800);
  EXPECT_EQ(s.ThCty2JaSw, 1);
  EXPECT_EQ(s.ThSentMark, "送");
  EXPECT_EQ(s.JarlCallSign, "JA1ZZZ");
  EXPECT_EQ(s.CateBand, 7);
  EXPECT_EQ(s.JarlPwCode[15], "P");
  EXPECT_EQ(s.CabCallLen, 12);
  EXPECT_EQ(s.ZlogFolder, "/home/op/zlog");
}

TEST(Settings, MultiLineRules) {
  const Settings s = parse(
      "JarlAddress=   東京都千代田区\r\nJarlAddress=一丁目   \r\nJarlName=   山田\r\n"
      "JarlOath=一行目\r\nJarlOath=二行目\r\nJarlOath=三行目\r\n"
      "JarlOpsAndClass=JA1AAA 1AM \r\nJarlOpsAndClass= JA1BBB 2AM\r\n"
      " JarlComment=コメント\r\n");
  // JarlAddress keeps its leading blanks; any other key loses them
  EXPECT_EQ(s.JarlAddress, "   東京都千代田区\r\n一丁目");
  EXPECT_EQ(s.JarlName, "山田");
  EXPECT_EQ(s.JarlOath, "一行目\r\n二行目\r\n三行目");
  EXPECT_EQ(s.JarlOpsAndClass, "JA1AAA 1AM\r\nJA1BBB 2AM");  // one operator a line
  EXPECT_EQ(s.JarlComment, "コメント");

  Settings w;
  w.JarlOath = "一行目\r\n二行目\r\n三行目";
  w.JarlOpsAndClass = "JA1AAA 1AM\r\nJA1BBB 2AM";
  w.JarlComment = "a\r\nb\r\n";
  const std::string text = cp932::decode(IniFormat(w));
  EXPECT_NE(text.find("JarlOath=一行目\r\nJarlOath=二行目\r\nJarlOath=三行目\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("JarlOpsAndClass=JA1AAA 1AM\r\nJarlOpsAndClass=JA1BBB 2AM\r\n"),
            std::string::npos);
  // an empty last piece is written too: the reader drops one final line end
  EXPECT_NE(text.find(" JarlComment=a\r\n JarlComment=b\r\n JarlComment=\r\nCfgFileName="),
            std::string::npos);
  EXPECT_NE(text.find("JarlSetsubi=\r\n"), std::string::npos);
}

TEST(Settings, TrailingBlankLinesSurviveEveryRun) {
  Settings s;
  s.JarlAddress = "東京都\r\n千代田区\r\n\r\n";
  s.JarlSetsubi = "\r\n";
  s.JarlOath = "誓います\r\n\r\n\r\n";
  s.JarlComment = "a\r\n";
  s.JarlDqpOath = "\r\n\r\nb";
  const Settings first = s;
  for (int run = 0; run < 5; ++run) {
    Settings next;
    IniParse(IniFormat(s), next);
    IniApplyDefaults(next);
    s = next;
  }
  EXPECT_EQ(s.JarlAddress, first.JarlAddress);
  EXPECT_EQ(s.JarlSetsubi, first.JarlSetsubi);
  EXPECT_EQ(s.JarlOath, first.JarlOath);
  EXPECT_EQ(s.JarlComment, first.JarlComment);
  EXPECT_EQ(s.JarlDqpOath, first.JarlDqpOath);
}

// The operator list drops blank lines at its end: what is written once is
// then written the same for ever (a list read with trailing blank lines
// used to lose one a run).
TEST(Settings, OperatorListSettlesAfterOneWrite) {
  for (const char* file : {"JarlOpsAndClass=JA1AAA 1AM\r\nJarlOpsAndClass=\r\nJarlOpsAndClass=\r\n",
                           "JarlOpsAndClass=\r\nJarlOpsAndClass=\r\n",
                           "JarlOpsAndClass=A\r\nJarlOpsAndClass=\r\nJarlOpsAndClass=B\r\n"}) {
    Settings s;
    IniParse(cp932::encode(file), s);
    const std::string once = IniFormat(s);
    Settings back;
    IniParse(once, back);
    EXPECT_EQ(IniFormat(back), once) << file;
  }
  Settings s;
  s.JarlOpsAndClass = "JA1AAA 1AM\r\n\r\n";
  EXPECT_NE(cp932::decode(IniFormat(s)).find("JarlOpsAndClass=JA1AAA 1AM\r\nJarlUnyoChi="), std::string::npos);
}

TEST(Settings, KeysWithCharactersShiftJisCannotHoldAreNamed) {
  Settings s;
  EXPECT_TRUE(IniUnencodableKeys(s).empty());
  s.JarlAddress = "서울\r\n東京";
  s.JarlName = "山田 😀";
  s.JarlComment = "ok";
  EXPECT_EQ(IniUnencodableKeys(s), (std::vector<std::string>{"JarlName", "JarlAddress"}));
}

TEST(Settings, NumbersArePlainDecimal) {
  Settings s;
  s.frmLeft = 100000;
  s.frmTop = 1234.5f;
  s.frmWidth = 0.25f;
  s.frmHeight = 16777216;
  const std::string text = cp932::decode(IniFormat(s));
  EXPECT_NE(text.find("frmLeft=100000\r\nfrmTop=1234.5\r\nfrmHeight=16777216\r\nfrmWidth=0.25\r\n"),
            std::string::npos)
      << text.substr(0, 80);
  Settings back;
  IniParse(IniFormat(s), back);
  EXPECT_EQ(back.frmLeft, 100000.0f);
  EXPECT_EQ(back.frmTop, 1234.5f);
}

TEST(Settings, Defaults) {
  const Settings s = parse("JarlFdKeisu=0\r\nJarlOath=\r\n");
  EXPECT_EQ(s.JarlFdKeisu, 1);
  EXPECT_EQ(s.JarlOath, kDefaultOath);
  EXPECT_EQ(s.JarlDqpOath, kDefaultDqpOath);
  EXPECT_EQ(s.JarlNypOath, kDefaultNypOath);
  EXPECT_EQ(parse("JarlFdKeisu=5").JarlFdKeisu, 5);
  EXPECT_EQ(parse("JarlFdKeisu=-1").JarlFdKeisu, 1);  // never a negative score
}

TEST(Settings, BadLinesAreSkipped) {
  std::string text =
      "garbage without equals\n"
      "CateMode=abc\n"             // not a number: keeps the earlier value
      "CateMode=2\n"
      "CateMode=x2\n"
      "CateBand=99999\n"           // out of 16-bit range
      "ViewLeft=2147483648\n"      // out of 32-bit range
      "ViewTop=12.5\n"             // rounds half to even
      "ViewWidth=13.5\n"
      "frmTop=1e50\n"              // out of single-precision range
      "frmWidth=nan\n"
      "GridWidth0=0x20\n"
      "=value without key\n"
      "jarlcallsign=lower case key\n"
      "JarlName=" + std::string(100000, 'A') + "\n"
      "JarlTelNo=03-\xFF\xA0" "1234\x81\n"   // invalid CP932 bytes dropped
      "JarlEmail=last@line";                   // no final line end
  Settings s;
  s.CateBand = 3;
  IniParse(text, s);
  EXPECT_EQ(s.CateMode, 2);
  EXPECT_EQ(s.CateBand, 3);
  EXPECT_EQ(s.ViewLeft, 0);
  EXPECT_EQ(s.ViewTop, 12);
  EXPECT_EQ(s.ViewWidth, 14);
  EXPECT_EQ(s.frmTop, 0.0f);
  EXPECT_EQ(s.frmWidth, 0.0f);
  EXPECT_EQ(s.GridWidth[0], 0);
  EXPECT_EQ(s.JarlCallSign, "");
  EXPECT_EQ(s.JarlName.size(), 100000u);
  EXPECT_EQ(s.JarlTelNo, "03-1234");
  EXPECT_EQ(s.JarlEmail, "last@line");
}

TEST(Settings, FileRoundTripAndSafeWrite) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "tamarack_settings_test";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "Tamarack.ini").string();

  Settings missing;
  EXPECT_EQ(IniRead(path, missing), IniReadResult::Missing);
  EXPECT_EQ(missing.JarlFdKeisu, 1);

  Settings s;
  s.frmLeft = 1500.25f;
  s.frmWidth = 13500;
  s.JarlCallSign = "JA1ZZZ";
  s.JarlAddress = "   東京都\r\n千代田区";
  s.JarlFdKeisu = 2;
  s.GridWidth[12] = 3000;
  s.CfgFileName = "/x/Cfg/(1)ALLJA.cfg";
  ASSERT_TRUE(IniWrite(path, s));
  std::string bytes;
  ASSERT_TRUE(fileio::readAll(path, bytes));
  EXPECT_NE(bytes.find("frmLeft=1500.25\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("frmWidth=13500\r\n"), std::string::npos);
  EXPECT_NE(bytes.find(cp932::encode("JarlAddress=   東京都\r\nJarlAddress=千代田区\r\n")),
            std::string::npos);
  Settings r;
  EXPECT_EQ(IniRead(path, r), IniReadResult::Ok);
  EXPECT_EQ(r.frmLeft, s.frmLeft);
  EXPECT_EQ(r.JarlAddress, s.JarlAddress);
  EXPECT_EQ(r.JarlFdKeisu, 2);
  EXPECT_EQ(r.GridWidth[12], 3000);
  EXPECT_EQ(r.CfgFileName, s.CfgFileName);
  EXPECT_EQ(r.JarlOath, kDefaultOath);

  // A file that may not be replaced keeps the old settings.
  fs::permissions(path, fs::perms::owner_read);
  std::string err;
  Settings other;
  other.JarlCallSign = "JA9XXX";
  EXPECT_FALSE(IniWrite(path, other, &err));
  EXPECT_FALSE(err.empty());
  Settings again;
  IniRead(path, again);
  EXPECT_EQ(again.JarlCallSign, "JA1ZZZ");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  fs::remove_all(dir);
}
