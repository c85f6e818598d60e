#include "output/mydata.h"

#include "log/settings.h"
#include "contest/contestdef.h"

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
         c == U'm';
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
