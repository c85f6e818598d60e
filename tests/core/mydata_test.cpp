// Station data: the dialog's lists, the power box's keys, and the copy
// between the settings and the dialog through the settings file.
#include <gtest/gtest.h>

#include "log/settingsfile.h"
#include "contest/contestdef.h"
#include "log/cp932.h"
#include "output/mydata.h"

using namespace mydata;

TEST(MyData, PowerLettersDependOnTheBand) {
  auto joined = [](int band) {
    std::string s;
    for (const auto& e : PowerEntries(band)) s += e + "|";
    return s;
  };
  EXPECT_EQ(joined(0), " |H|M|L|P|");
  EXPECT_EQ(joined(9), " |H|M|L|P|");    // 50 MHz: still H
  EXPECT_EQ(joined(10), " |M|L|P|");     // 144 MHz
  EXPECT_EQ(joined(11), " |M|L|P|");     // 430 MHz
  EXPECT_EQ(joined(12), " |L|P|");       // 1200 MHz
  EXPECT_EQ(joined(13), " |P|");         // 2400 MHz
  EXPECT_EQ(joined(15), " |P|");
  EXPECT_EQ(joined(16), " |");           // out of range: nothing but the blank
  EXPECT_EQ(kPowerCaptions[0], "1.9MHz帯");
  EXPECT_EQ(kPowerCaptions[15], "10.1GHz帯");
  EXPECT_EQ(kLicenseClasses[6], "FCC TECNITIAN");
}

TEST(MyData, PowerKeys) {
  for (char32_t c : std::u32string(U"0123456789.KpmW\b")) EXPECT_TRUE(PowerKeyAccepted(c)) << int(c);
  for (char32_t c : std::u32string(U"wkPMa -,/\r\t０e")) EXPECT_FALSE(PowerKeyAccepted(c)) << int(c);
}

// What the summary sheet carries as the power: a number of watts above 0.
TEST(MyData, PowerAsEntered) {
  for (const char* ok : {"", "100", "100W", "0.5", "1K", "500m", "2.5K", " 50W ", ".5", "0.001"})
    EXPECT_EQ(PowerError(ok), "") << ok;
  for (const char* bad : {"1e-9", "-5", "100WW", "1KW", "W", "K", ".", "1.2.3", "5p", "10 0", "abc"})
    EXPECT_NE(PowerError(bad).find("数字で入力"), std::string::npos) << bad;
  for (const char* zero : {"0", "0W", "0.0004", "0.1m", "0.0000001K"})
    EXPECT_NE(PowerError(zero).find("0 W"), std::string::npos) << zero;
}

TEST(MyData, CharactersTheSheetCannotCarry) {
  for (char32_t c : std::u32string(U"<>\t\x01\x1f\x7f\u0085한😀"))
    EXPECT_TRUE(RefusedInBox(c, false) && RefusedInBox(c, true)) << int(c);
  for (char32_t c : std::u32string(U"aZ09 -/&\"'東ｱ①"))
    EXPECT_FALSE(RefusedInBox(c, false) || RefusedInBox(c, true)) << int(c);
  for (char32_t c : {U'\r', U'\n'}) {
    EXPECT_TRUE(RefusedInBox(c, false)) << int(c);
    EXPECT_FALSE(RefusedInBox(c, true)) << int(c);  // a box of several lines
  }
  EXPECT_NE(RefusedText(U'<').find("サマリーシート"), std::string::npos);
  EXPECT_NE(RefusedText(U'\t').find("制御文字"), std::string::npos);
  EXPECT_NE(RefusedText(U'한').find("シフトJIS"), std::string::npos);
}

// O K checks every box the way its typing does, then the power.
TEST(MyData, CheckFormNamesTheFirstBadBox) {
  StationForm f;
  f.Address = "東京都\r\n千代田区";
  f.OpsAndClass = "JA1AAA\r\nJA1BBB";
  f.Power = "100W";
  EXPECT_EQ(CheckForm(f).field, nullptr);
  f.PsType = "<発電機>";
  f.Power = "1e-9";
  FormProblem p = CheckForm(f);
  EXPECT_EQ(p.field, &StationForm::PsType);
  EXPECT_EQ(p.message.rfind("「使用電源」: ", 0), 0u) << p.message;
  f.PsType = "発電機";
  EXPECT_EQ(CheckForm(f).field, &StationForm::Power);
  f.Power = "100";
  f.Name = "山田\r\n太郎";  // one line only
  EXPECT_EQ(CheckForm(f).field, &StationForm::Name);
}

namespace {
ContestDefinition contestWithCategories() {
  ContestDefinition def;
  def.ContestNo = 1;
  def.CategoryList = {{"電信電話部門シングルオペ", "XAH", 0, 0, 0},
                      {"電信部門シングルオペ7MHz", "C7M", 2, 3, 0},
                      {"マルチオペ", "XMM", 0, 0, 1},
                      {"同じコード", "C7M", 1, 1, 1}};
  return def;
}
}  // namespace

TEST(MyData, OathFollowsTheContestKind) {
  Settings s;
  s.JarlOath = "contest";
  s.JarlDqpOath = "dqp";
  s.JarlNypOath = "nyp";
  ContestDefinition def;
  EXPECT_EQ(DataLoad(s, def).Oath, "contest");
  def.NYPEnabled = 1;
  EXPECT_EQ(DataLoad(s, def).Oath, "nyp");
  def.DqpEnabled = 1;  // the digital party wins over the New-Year party
  StationForm f = DataLoad(s, def);
  EXPECT_EQ(f.Oath, "dqp");
  f.Oath = "new\r\ndqp";
  MyDataSave(f, def, s);
  EXPECT_EQ(s.JarlDqpOath, "new\r\ndqp");
  EXPECT_EQ(s.JarlOath, "contest");
  EXPECT_EQ(s.JarlNypOath, "nyp");
}

TEST(MyData, CategoryLookUp) {
  const ContestDefinition def = contestWithCategories();
  Settings s;
  s.CateMode = 9;
  s.CateBand = 9;
  s.CateMlt = 9;
  StationForm f = DataLoad(s, def);
  f.Category = "なし";
  f.CateCode = "ZZZ";  // not in the list: the three values stay
  MyDataSave(f, def, s);
  EXPECT_EQ(s.JarlCateCode, "ZZZ");
  EXPECT_EQ(s.CateMode, 9);
  EXPECT_EQ(s.CateBand, 9);
  EXPECT_EQ(s.CateMlt, 9);
  f.CateCode = "C7M";  // the first row with the code
  MyDataSave(f, def, s);
  EXPECT_EQ(s.CateMode, 2);
  EXPECT_EQ(s.CateBand, 3);
  EXPECT_EQ(s.CateMlt, 0);
  f.CateCode = "XMM";
  MyDataSave(f, def, s);
  EXPECT_EQ(s.CateMlt, 1);
}

TEST(MyData, CoefficientAndPowerType) {
  Settings s;
  ContestDefinition def;
  for (auto [stored, index] : {std::pair<int, int>{1, 0}, {2, 1}, {0, 0}, {3, 0}, {-2, 0}}) {
    s.JarlFdKeisu = static_cast<std::int16_t>(stored);
    EXPECT_EQ(DataLoad(s, def).FdKeisuIndex, index) << stored;
  }
  StationForm f = DataLoad(s, def);
  f.FdKeisuIndex = 1;
  MyDataSave(f, def, s);
  EXPECT_EQ(s.JarlFdKeisu, 2);
  f.FdKeisuIndex = 0;
  MyDataSave(f, def, s);
  EXPECT_EQ(s.JarlFdKeisu, 1);

  s.JarlPowerType = 1;
  f = DataLoad(s, def);
  EXPECT_TRUE(f.PowerMeasured);
  EXPECT_FALSE(f.PowerRated);
  f.PowerMeasured = false;  // neither box ticked: rated
  MyDataSave(f, def, s);
  EXPECT_EQ(s.JarlPowerType, 0);
  s.JarlPowerType = 7;
  f = DataLoad(s, def);
  EXPECT_TRUE(f.PowerRated);
  EXPECT_FALSE(f.PowerMeasured);
}

TEST(MyData, RoundTripThroughTheSettingsFile) {
  const ContestDefinition def = contestWithCategories();
  Settings s;
  IniApplyDefaults(s);
  StationForm f = DataLoad(s, def);
  f.Contest = "ALL JAコンテスト";
  f.Category = "電信部門シングルオペ7MHz";
  f.CateCode = "C7M";
  f.CallSign = "JA1ZZZ";
  f.Name = "山田　太郎";
  f.Address = "   〒100-0001\r\n東京都千代田区1-1";
  f.TelNo = "03-1234-5678";
  f.Email = "ja1zzz@example.jp";
  f.LicenseClass = "第一級アマチュア無線技士";
  f.ClubName = "クラブ";
  f.ClubNo = "10-1-1";
  f.Operator = "JA1YYY";
  f.OpsAndClass = "JA1AAA 一アマ\r\nJA1BBB 二アマ";
  f.UnyoChi = "東京都";
  f.Setsubi = "IC-7300 100W\r\nDP";
  f.Power = "100";
  f.PowerMeasured = true;
  f.PowerRated = false;
  f.FdKeisuIndex = 1;
  f.PsType = "商用電源";
  f.Oath = "誓います";
  f.Prf = "10";
  f.Jcc = "100101";
  f.Age = "45";
  f.TestName = "TARO";
  for (int i = 0; i < kBandCount; ++i) f.PwCode[static_cast<std::size_t>(i)] = PowerEntries(i).back();
  f.PwCode[0] = " ";
  MyDataSave(f, def, s);

  Settings back;
  IniParse(IniFormat(s), back);
  IniApplyDefaults(back);
  const StationForm g = DataLoad(back, def);
  EXPECT_EQ(g.Contest, f.Contest);
  EXPECT_EQ(g.CateCode, "C7M");
  EXPECT_EQ(back.CateMode, 2);
  EXPECT_EQ(back.CateBand, 3);
  EXPECT_EQ(g.CallSign, "JA1ZZZ");
  EXPECT_EQ(g.Address, f.Address);  // leading blanks of the address survive
  EXPECT_EQ(g.Setsubi, f.Setsubi);
  // the operators come back one a line, as typed
  EXPECT_EQ(g.OpsAndClass, f.OpsAndClass);
  EXPECT_TRUE(g.PowerMeasured);
  EXPECT_EQ(g.FdKeisuIndex, 1);
  EXPECT_EQ(g.Oath, "誓います");
  EXPECT_EQ(g.Prf, "10");
  EXPECT_EQ(g.TestName, "TARO");
  EXPECT_EQ(g.PwCode[0], "");  // the blank letter is trimmed by the reader
  EXPECT_EQ(g.PwCode[13], "P");
  EXPECT_EQ(g.PwCode[9], "P");
}
