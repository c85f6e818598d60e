#include "output/submit.h"

#include "contest/contestdef.h"
#include "log/logfile.h"
#include "log/settings.h"
#include "log/utf8.h"
#include "output/elog.h"
#include "output/mail.h"
#include "output/mydata.h"

namespace submit {

bool Blank(std::string_view value) { return utf8::trim(value).empty(); }

bool SummaryCheck::complete() const {
  for (const CheckItem& i : items)
    if (i.missing) return false;
  return true;
}

SummaryCheck SummaryCheckLoad(const Settings& s, const ContestDefinition& def) {
  SummaryCheck c;
  const std::array<const std::string*, kCheckRows> values = {
      &s.JarlContest, &s.JarlCategory, &s.JarlCateCode,     &s.JarlPower,
      &s.JarlCallSign, &s.JarlName,    &s.JarlLicenseClass, &s.JarlAddress,
      &mydata::OathOf(s, def)};
  for (std::size_t i = 0; i < values.size(); ++i) {
    c.items[i].value = *values[i];
    c.items[i].missing = Blank(*values[i]);
  }
  // The QSO party's categories have no published code: a category the
  // definition lists without one needs none.
  if (c.items[kCateCode].missing)
    for (const Category& k : def.CategoryList)
      if (k.CategoryName == s.JarlCategory && Blank(k.CategoryCode) && !Blank(s.JarlCategory))
        c.items[kCateCode].missing = false;
  c.powerType = s.JarlPowerType != 0 ? "実測出力" : "定格出力";
  return c;
}

std::vector<std::string_view> MissingItems(const Settings& s, const ContestDefinition& def) {
  static constexpr std::array<std::string_view, kCheckRows - 1> kKeys = {
      "JarlContest", "JarlCategory", "JarlCateCode",     "JarlPower",
      "JarlCallSign", "JarlName",    "JarlLicenseClass", "JarlAddress"};
  const SummaryCheck c = SummaryCheckLoad(s, def);
  std::vector<std::string_view> missing;
  for (std::size_t i = 0; i < kKeys.size(); ++i)
    if (c.items[i].missing) missing.push_back(kKeys[i]);
  if (c.items[kOath].missing)
    missing.push_back(def.DqpEnabled == 1   ? "JarlDqpOath"
                      : def.NYPEnabled == 1 ? "JarlNypOath"
                                            : "JarlOath");
  return missing;
}

std::vector<std::string_view> R21MissingItems(const Settings& s, std::string_view licenseDate) {
  std::vector<std::string_view> missing;
  if (Blank(s.JarlEmail)) missing.push_back("自分のメールアドレス");
  if (elog::NeedsLicenseDate(s.JarlCateCode) && Blank(licenseDate)) missing.push_back("免許年月日");
  if (elog::NeedsAge(s.JarlCateCode) && Blank(s.JarlAge)) missing.push_back("年齢");
  return missing;
}

FileDialogOptions ElogSaveDialog(const std::string& programFolder, std::string_view callSign) {
  FileDialogOptions d;
  d.fileName = ElogProposedName(callSign);
  d.filter = "電子ログファイル (*.tmq)|*.tmq|";
  d.filterIndex = 1;
  d.initialDir = programFolder + "/SentLog/";
  d.overwritePrompt = true;
  return d;
}

std::string ElogSaveName(std::string_view chosen) { return logfile::SaveName(chosen, ".tmq"); }

std::string ElogProposedName(std::string_view callSign) {
  std::string name(utf8::trim(callSign));
  if (name.empty()) return name;
  for (char& c : name)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return ElogSaveName(name);
}

std::optional<ole::Date> ParseJapaneseDate(std::string_view text) {
  text = utf8::trim(text);
  auto number = [&](std::string_view unit, int& out) {
    const std::size_t p = text.find(unit);
    if (p == std::string_view::npos || p == 0 || p > 4) return false;
    int v = 0;
    for (std::size_t i = 0; i < p; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      v = v * 10 + (text[i] - '0');
    }
    out = v;
    text.remove_prefix(p + unit.size());
    return true;
  };
  ole::Parts p;
  if (!number("年", p.year) || !number("月", p.month) || !number("日", p.day) || !text.empty())
    return std::nullopt;
  p.hour = p.minute = p.second = 0;
  if (!ole::validParts(p)) return std::nullopt;
  return ole::fromParts(p);
}

ole::Date StepDate(ole::Date d, DatePart part, int step) {
  ole::Date next = d;
  switch (part) {
    case DatePart::Day: next = ole::addDays(d, step); break;
    case DatePart::Month: next = ole::addMonths(d, step); break;
    case DatePart::Year: next = ole::addMonths(d, 12 * step); break;
  }
  return ole::valid(next) ? next : d;
}

std::string CfmIntroText(std::string_view program, const std::vector<std::string>& to) {
  if (to.empty()) return std::string(kCfmNoAddress);
  std::string t = "電子ログを添付したE-メールを、メール送信プログラム ";
  t += program;
  t += " で次のあて先へ送信します。";
  for (const std::string& a : to) (t += "\r\n") += mail::Printable(a);
  return t;
}

std::string CfmSentText(const std::vector<std::string>& sent) {
  std::string t = std::to_string(sent.size()) + "通のE-メールを送信しました：";
  for (const std::string& a : sent) (t += "\r\n") += mail::Printable(a);
  return t;
}

}  // namespace submit
