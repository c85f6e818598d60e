#include "output/mydata.h"

#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/settings.h"
#include "log/utf8.h"
#include "output/elog.h"

namespace mydata {

std::vector<std::string> PowerEntries(int bandIndex) {
  std::vector<std::string> out{" "};
  if (bandIndex < 0 || bandIndex >= kBandCount) return out;
  if (bandIndex <= 9) out.emplace_back("H");
  if (bandIndex <= 11) out.emplace_back("M");
  if (bandIndex <= 12) out.emplace_back("L");
  out.emplace_back("P");
  return out;
}

bool PowerKeyAccepted(char32_t c) {
  return (c >= U'0' && c <= U'9') || c == U'\b' || c == U'.' || c == U'K' || c == U'p' ||
         c == U'm' || c == U'W';
}

namespace {
bool isControl(char32_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F); }
}  // namespace

bool RefusedInBox(char32_t c, bool severalLines) {
  if (c == U'<' || c == U'>') return true;
  if (severalLines && (c == U'\r' || c == U'\n')) return false;
  if (isControl(c)) return true;
  return c >= 0x80 && !cp932::representable(c);
}

std::string_view RefusedText(char32_t c) {
  if (c == U'<' || c == U'>') return "「<」と「>」はサマリーシートの区切りになるため入力できません";
  if (isControl(c)) return "制御文字（タブや改行など）は入力できません";
  return "シフトJISで表せない文字は入力できません";
}

std::string PowerError(std::string_view power) {
  std::string_view t = utf8::trim(power);
  if (t.empty()) return {};
  std::string_view rest = t;
  if (rest.back() == 'W' || rest.back() == 'K' || rest.back() == 'm') rest.remove_suffix(1);
  constexpr std::string_view kNotANumber =
      "最大空中線電力は数字で入力してください（単位 K、m、W のどれか一つを付けられます。例: 100、100W、1K、500m）";
  std::size_t digits = 0, dots = 0;
  for (char c : rest) {
    if (c >= '0' && c <= '9')
      ++digits;
    else if (c == '.')
      ++dots;
    else
      return std::string(kNotANumber);
  }
  if (digits == 0 || dots > 1) return std::string(kNotANumber);
  // The R2.1 sheet writes watts with three decimals: less than 1 mW is 0.
  if (elog::PowerWatts(t) == "0") return "最大空中線電力が 0 W です。1 mW 以上を入力してください";
  return {};
}

int FdKeisuIndexOf(std::int16_t stored) { return stored == 2 ? 1 : 0; }

StationForm DataLoad(const Settings& s, const ContestDefinition& def) {
  StationForm f;
  f.Contest = s.JarlContest;
  f.Category = s.JarlCategory;
  f.CateCode = s.JarlCateCode;
  f.CallSign = s.JarlCallSign;
  f.Name = s.JarlName;
  f.Address = s.JarlAddress;
  f.TelNo = s.JarlTelNo;
  f.Email = s.JarlEmail;
  f.LicenseClass = s.JarlLicenseClass;
  f.ClubName = s.JarlClubName;
  f.ClubNo = s.JarlClubNo;
  f.Operator = s.JarlOperator;
  f.OpsAndClass = s.JarlOpsAndClass;
  f.UnyoChi = s.JarlUnyoChi;
  f.Setsubi = s.JarlSetsubi;
  f.Power = s.JarlPower;
  f.PsType = s.JarlPsType;
  f.FdKeisuIndex = FdKeisuIndexOf(s.JarlFdKeisu);
  f.PowerMeasured = s.JarlPowerType == 1;
  f.PowerRated = !f.PowerMeasured;
  f.PwCode = s.JarlPwCode;
  f.Prf = s.JarlPrf;
  f.Jcc = s.JarlJcc;
  f.Age = s.JarlAge;
  f.TestName = s.JarlTestName;
  f.Oath = OathOf(s, def);  // OathLoad
  return f;
}

FormProblem CheckForm(const StationForm& f) {
  struct Box {
    std::string StationForm::*field;
    const char* caption;
    bool severalLines;
  };
  static const Box kBoxes[] = {
      {&StationForm::CallSign, "コールサイン", false},
      {&StationForm::Name, "局免許者の氏名", false},
      {&StationForm::LicenseClass, "無線従事者資格", false},
      {&StationForm::TelNo, "電話番号", false},
      {&StationForm::Address, "連絡先", true},
      {&StationForm::Email, "Ｅ－メールアドレス", false},
      {&StationForm::Oath, "宣誓文", true},
      {&StationForm::ClubName, "登録クラブ名称", false},
      {&StationForm::ClubNo, "登録クラブ番号", false},
      {&StationForm::Operator, "運用者のコールサイン", false},
      {&StationForm::OpsAndClass, "マルチオペの運用者", true},
      {&StationForm::UnyoChi, "運用地", false},
      {&StationForm::Setsubi, "使用した設備", true},
      {&StationForm::Power, "最大空中線電力", false},
      {&StationForm::PsType, "使用電源", false},
      {&StationForm::Prf, "都道府県支庁ナンバー", false},
      {&StationForm::Jcc, "市、郡、区ナンバー", false},
      {&StationForm::Age, "満年齢", false},
      {&StationForm::TestName, "送信する名前", false},
  };
  for (const Box& b : kBoxes) {
    const std::string& text = f.*b.field;
    for (std::size_t i = 0; i < text.size();) {
      const char32_t c = utf8::next(text, i);
      if (RefusedInBox(c, b.severalLines))
        return {"「" + std::string(b.caption) + "」: " + std::string(RefusedText(c)), b.field};
    }
  }
  if (std::string e = PowerError(f.Power); !e.empty()) return {std::move(e), &StationForm::Power};
  return {};
}

void MyDataSave(const StationForm& f, const ContestDefinition& def, Settings& s) {
  s.JarlContest = f.Contest;
  s.JarlCategory = f.Category;
  s.JarlCateCode = f.CateCode;
  s.JarlCallSign = f.CallSign;
  s.JarlName = f.Name;
  s.JarlAddress = f.Address;
  s.JarlTelNo = f.TelNo;
  s.JarlEmail = f.Email;
  s.JarlLicenseClass = f.LicenseClass;
  s.JarlClubName = f.ClubName;
  s.JarlClubNo = f.ClubNo;
  s.JarlOperator = f.Operator;
  s.JarlOpsAndClass = f.OpsAndClass;
  s.JarlUnyoChi = f.UnyoChi;
  s.JarlSetsubi = f.Setsubi;
  s.JarlPower = f.Power;
  s.JarlPsType = f.PsType;
  s.JarlPowerType = f.PowerMeasured ? 1 : 0;
  const int idx = f.FdKeisuIndex >= 0 && f.FdKeisuIndex < static_cast<int>(kFdKeisuEntries.size())
                      ? f.FdKeisuIndex
                      : 0;
  s.JarlFdKeisu = static_cast<std::int16_t>(idx + 1);
  s.JarlPwCode = f.PwCode;
  s.JarlPrf = f.Prf;
  s.JarlJcc = f.Jcc;
  s.JarlAge = f.Age;
  s.JarlTestName = f.TestName;
  OathOf(s, def) = f.Oath;  // OathSave
  for (const Category& row : def.CategoryList) {
    if (row.CategoryCode == f.CateCode) {
      s.CateMode = row.CateMode;
      s.CateBand = row.CateBand;
      s.CateMlt = row.CateMlt;
      break;
    }
  }
}

}  // namespace mydata
