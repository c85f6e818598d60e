#include "output/check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
#include <utility>

#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/contestrules.h"
#include "contest/score.h"
#include "log/numtext.h"
#include "log/settings.h"
#include "log/utf8.h"
#include "output/submit.h"

namespace check {
namespace {

// The captions of the summary sheet's required items, in the check's order.
constexpr std::array<std::string_view, submit::kCheckRows> kItemCaptions = {
    "コンテストの名称",         "参加部門の名称", "参加部門のコード",
    "最大空中線電力",           "コールサイン",   "局免許者の氏名（社団の名称）",
    "局免許者の無線従事者資格", "連絡先",         "宣誓文"};

std::string quoted(std::string_view s) {
  std::string t = "「";
  t += s;
  t += "」";
  return t;
}

std::string bandName(int b) {
  std::string t(b == 0 ? std::string_view("1.9") : bands::kBandTexts[static_cast<std::size_t>(b)]);
  t += b == 15 ? "Hz帯" : "MHz帯";
  return t;
}

bool isPhone(std::string_view mode) { return mode == "SSB" || mode == "FM" || mode == "AM"; }

bool isLetter(char c) { return c >= 'A' && c <= 'Z'; }

// The first character a log-sheet field may not hold: a blank inside it,
// a control character or anything but half-width ASCII.
enum class Fault { None, InnerBlank, Control, Wide };
struct FieldFault {
  Fault fault = Fault::None;
  std::string_view ch;
};

FieldFault scanField(std::string_view t) {
  for (std::size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c == ' ') return {Fault::InnerBlank, t.substr(i, 1)};
    if (c < 0x20 || c == 0x7f) return {Fault::Control, t.substr(i, 1)};
    if (c >= 0x80) {
      std::size_t j = i;
      utf8::next(t, j);
      return {Fault::Wide, t.substr(i, j - i)};
    }
  }
  return {};
}

// What a blank inside a number most likely is.
std::string innerBlankText(std::string_view label, std::string_view v) {
  const std::size_t blank = v.find(' ');
  const std::string_view head = v.substr(0, blank);
  std::string t = std::string(label) + quoted(v);
  if (head == "599" || head == "59" || head == "5NN")
    return t + "にRSTが含まれています（ナンバーだけを書きます）";
  if (blank + 2 == v.size() && isLetter(v.back()))
    return t + "の空中線電力の記号の前に空白があります";
  return t + "の中に空白があります";
}

std::string rangesText(const std::vector<NumberRange>& ranges) {
  std::string t;
  for (const NumberRange& r : ranges) {
    if (!t.empty()) t += "、";
    if (r.Low.empty()) {
      t += std::to_string(r.MinDigits);
      if (r.MaxDigits != r.MinDigits) t += "～" + std::to_string(r.MaxDigits);
      t += "桁の数字";
    } else {
      t += r.Low;
      if (r.High != r.Low) t += "～" + r.High;
    }
  }
  return t;
}

// What is wrong with a number: its power letter (missing or not the
// contest's) or its shape.
struct NumberFault {
  enum Kind { None, Letter, Shape } kind = None;
  std::string text;
};

// The number of a QSO against the contest's numbers on its band: the power
// letter (when the exchange ends in one) and the shape.
NumberFault numberFault(std::string_view label, std::string_view no, const ContestDefinition& def,
                        int band) {
  auto head = [&] { return std::string(label) + quoted(no); };
  std::string_view base = no;
  std::string_view letter;
  if (def.SentJarlCode == 1) {
    if (!isLetter(no.back()))
      return {NumberFault::Letter, head() + "に空中線電力の記号がありません"};
    letter = no.substr(no.size() - 1);
    base = no.substr(0, no.size() - 1);
    if (!def.PowerCode.empty() && !rules::FindPowerCode(def, letter))
      return {NumberFault::Letter, head() + "の空中線電力の記号 " + std::string(letter) +
                                       " はこのコンテストにありません"};
  }
  const RcvdNoShapeRule* shape = rules::RcvdNoShapeOf(def, band);
  if (!shape || rules::NumberFits(shape->Numbers, base)) return {};
  for (std::string_view rst : {"599", "59"})
    if (base.size() > rst.size() && base.substr(0, rst.size()) == rst &&
        rules::NumberFits(shape->Numbers, base.substr(rst.size())))
      return {NumberFault::Shape,
              head() + "にRSTが含まれています（ナンバーは" +
                  quoted(std::string(base.substr(rst.size())) + std::string(letter)) + "）"};
  if (rules::NumberFits(shape->Numbers, "0" + std::string(base)))
    return {NumberFault::Shape,
            head() + "の先頭の0が抜けています（" + quoted("0" + std::string(no)) + "）"};
  if (base.empty()) return {NumberFault::Shape, head() + "にナンバーがありません"};
  return {NumberFault::Shape, head() + "はこのコンテストのナンバー（" + rangesText(shape->Numbers) +
                                  (letter.empty() ? "" : "と空中線電力の記号") +
                                  "）ではありません"};
}

// The sent power letter against the entered category: its own letter, or
// a class within its limit (0: none) on the band.
std::string sentLetterFault(std::string_view no, const ContestDefinition& def,
                            std::string_view cateCode, std::string_view own, int limit, int band) {
  const std::string_view letter = no.substr(no.size() - 1);
  if (!own.empty()) {
    if (letter == own) return {};
    return "送信ナンバー" + quoted(no) + "の空中線電力の記号 " + std::string(letter) + " が部門 " +
           std::string(cateCode) + " の記号 " + std::string(own) + " と違います";
  }
  const PowerCodeRule* code = rules::FindPowerCode(def, letter);
  if (limit == 0 || !code) return {};
  const int w = code->Watts[static_cast<std::size_t>(rules::WattGroup(band))];
  if (w != 0 && w <= limit) return {};
  return "送信ナンバー" + quoted(no) + "の空中線電力の記号 " + std::string(letter) + " は部門 " +
         std::string(cateCode) + " の上限 " + std::to_string(limit) + "W を超える区分です";
}

bool outsideCategory(std::string_view band, std::string_view mode, std::int16_t cateBand,
                     std::int16_t cateMode) {
  if (cateBand >= 1 && cateBand <= 13) {
    const bool on = cateBand == 13 ? band == "10.1G" || band.find('G') != std::string_view::npos
                                   : band == bands::CategoryBandText(cateBand);
    if (!on) return true;
  }
  return (cateMode == 1 && !isPhone(mode)) || (cateMode == 2 && mode != "CW");
}

class Checker {
 public:
  explicit Checker(const CheckSource& src)
      : src_(src),
        def_(src.def),
        s_(src.settings),
        cateCode_(utf8::trim(s_.JarlCateCode)),
        cateLetter_(rules::CategoryPowerLetter(def_, cateCode_)) {
    for (int b = 0; b < bands::kBandCount; ++b)
      cateLimits_[static_cast<std::size_t>(b)] = rules::CategoryPowerLimit(def_, cateCode_, b);
  }

  std::vector<Finding> run() {
    summaryItems();
    category();
    const LogData& log = src_.log;
    if (log.empty()) add(Level::Error, 0, std::string(submit::kNoLog));
    for (int k = 1; k <= log.count(); ++k) qso(k, log[k]);
    power();
    totals();
    for (const auto& [text, at] : repeats_)
      if (at.second > 1)
        found_[at.first].text += "（ほか " + std::to_string(at.second - 1) + " 件）";
    std::stable_sort(found_.begin(), found_.end(), [](const Finding& a, const Finding& b) {
      if (a.level != b.level) return a.level < b.level;
      return a.qso < b.qso;
    });
    return std::move(found_);
  }

 private:
  void add(Level level, int qso, std::string text) {
    found_.push_back({level, qso, std::move(text)});
  }
  // A fault of the station's own that repeats on every QSO it touches.
  void addOnce(Level level, int qso, std::string text) {
    const auto [it, first] = repeats_.try_emplace(text, found_.size(), 0);
    ++it->second.second;
    if (first) add(level, qso, std::move(text));
  }

  void summaryItems() {
    const submit::SummaryCheck c = submit::SummaryCheckLoad(s_, def_);
    for (std::size_t i = 0; i < c.items.size(); ++i)
      if (c.items[i].missing)
        add(Level::Error, 0,
            "サマリーシートの必須項目" + quoted(kItemCaptions[i]) + "が未設定です");
    if (src_.format == elog::ElogFormat::R21) {
      if (!elog::R21Allowed(def_))
        add(Level::Error, 0, "QSOパーティーの電子ログは R1.0 形式で作成してください");
      const bool asked = src_.licenseDate.has_value();
      for (std::string_view item : submit::R21MissingItems(s_, asked ? *src_.licenseDate : "-"))
        add(Level::Error, 0, "R2.1 の必須項目" + quoted(item) + "が未設定です");
      if (!asked && elog::NeedsLicenseDate(s_.JarlCateCode))
        add(Level::Note, 0, "免許年月日（ニューカマー部門）は電子ログを作成するときに入力します");
    } else if (submit::Blank(s_.JarlEmail)) {
      add(Level::Error, 0,
          "Ｅ－メールアドレスが未設定です（JARLからの受付・エラーの通知が届きません）");
    }
  }

  void category() {
    if (!cateCode_.empty() && !def_.CategoryList.empty() &&
        std::none_of(def_.CategoryList.begin(), def_.CategoryList.end(),
                     [&](const Category& c) { return utf8::trim(c.CategoryCode) == cateCode_; }))
      add(Level::Error, 0, "部門コード" + quoted(cateCode_) + "はこのコンテストの部門にありません");
    if (s_.CateMlt == 1 && submit::Blank(s_.JarlOpsAndClass))
      add(Level::Error, 0, "マルチオペの部門ですが、運用者のリストが空です");
  }

  void qso(int k, const QsoRecord& r) {
    const std::string_view call = r.CallSign.trimmed();
    const std::string_view band = r.Band.trimmed();
    const std::string_view mode = r.Mode.trimmed();
    auto fault = [&](Level level, std::string text) {
      add(level, k, call.empty() ? std::move(text) : std::string(call) + ": " + text);
    };

    const int b = bands::BandIndexOf(band);
    if (band.empty())
      fault(Level::Error, "バンドが空です");
    else if (b < 0)
      fault(Level::Error, "バンド" + quoted(band) + "は電子ログに書けません");
    if (!ole::valid(r.QsoTime)) fault(Level::Error, "日付と時刻がありません");
    if (r.Dupe == 1) ++dupes_;
    const bool contestBand = b >= 0 && def_.BandEnabled[static_cast<std::size_t>(b)] == 1;
    if (b >= 0 && !contestBand) ++offBand_;
    if (contestBand) {
      if (outsideCategory(band, mode, s_.CateBand, s_.CateMode))
        ++outside_;
      else
        usedBands_[static_cast<std::size_t>(b)] = true;
    }

    // The fields of the log sheet: half-width, no blank inside.
    bool sentOk = true, rcvdOk = true;
    const struct {
      std::string_view label, value;
      bool* ok;
    } fields[] = {
        {"コールサイン", call, nullptr},           {"モード", mode, nullptr},
        {"送信RST", r.SentRst.trimmed(), nullptr}, {"送信ナンバー", r.SentNo.trimmed(), &sentOk},
        {"受信RST", r.RcvdRst.trimmed(), nullptr}, {"受信ナンバー", r.RcvdNo.trimmed(), &rcvdOk}};
    for (const auto& f : fields) {
      const FieldFault ff = scanField(f.value);
      if (ff.fault == Fault::None) continue;
      if (f.ok) *f.ok = false;
      std::string text =
          ff.fault == Fault::Wide ? std::string(f.label) + quoted(f.value) + "に全角文字" +
                                        quoted(ff.ch) + "があります（半角文字だけが使えます）"
          : ff.fault == Fault::Control ? std::string(f.label) + "に使えない文字があります"
          : f.ok                       ? innerBlankText(f.label, f.value)
                 : std::string(f.label) + quoted(f.value) + "の中に空白があります";
      // The station's own sent number is one fault, however many QSOs carry it.
      if (f.ok == &sentOk)
        addOnce(Level::Error, k, std::move(text));
      else
        fault(Level::Error, std::move(text));
    }
    if (call.empty()) fault(Level::Error, "コールサインが空です");
    if (mode.empty()) {
      fault(Level::Error, "モードが空です");
    } else {
      const auto m = std::find(bands::kModeTexts.begin(), bands::kModeTexts.end(), mode);
      if (m == bands::kModeTexts.end() ||
          def_.ModeEnabled[static_cast<std::size_t>(m - bands::kModeTexts.begin())] != 1)
        fault(Level::Warning,
              "モード " + std::string(mode) + " はこのコンテストの対象ではありません");
    }

    const std::string_view sent = r.SentNo.trimmed();
    const std::string_view rcvd = r.RcvdNo.trimmed();
    if (sent.empty())
      fault(Level::Error, "送信ナンバーが空です");
    else if (sentOk && b >= 0)
      sentNumber(k, sent, b);
    if (rcvd.empty()) {
      fault(Level::Error, "受信ナンバーが空です");
    } else if (rcvdOk && b >= 0) {
      NumberFault f = numberFault("受信ナンバー", rcvd, def_, b);
      if (f.kind != NumberFault::None) fault(Level::Warning, std::move(f.text));
    }

    if (s_.CateMode == 1 && isPhone(mode) && b >= 0 &&
        def_.PhoneExcludedBands[static_cast<std::size_t>(b)] == 1)
      fault(Level::Warning, "電話部門では" + bandName(b) + "の交信は数えられません");
    if (def_.ContestPeriod && ole::valid(r.QsoTime) && !inPeriod(r.QsoTime))
      fault(Level::Warning, periodText());
  }

  // A missing or unknown power letter, or one not the category's, is an
  // error; a number of another shape a warning.
  void sentNumber(int k, std::string_view sent, int b) {
    NumberFault f = numberFault("送信ナンバー", sent, def_, b);
    if (f.kind == NumberFault::Letter) {
      addOnce(Level::Error, k, std::move(f.text));
      return;
    }
    if (f.kind == NumberFault::Shape) addOnce(Level::Warning, k, std::move(f.text));
    if (def_.SentJarlCode != 1) return;
    std::string text = sentLetterFault(sent, def_, cateCode_, cateLetter_,
                                       cateLimits_[static_cast<std::size_t>(b)], b);
    if (!text.empty()) addOnce(Level::Error, k, std::move(text));
  }

  // Half a second either side: times are kept to the second.
  static constexpr double kSlack = 0.5 / 86400;

  bool inPeriod(ole::Date t) {
    if (period_ && t >= period_->Start - kSlack && t <= period_->End + kSlack) return true;
    const int year = ole::toParts(t).year;
    if (year == periodYear_) return false;
    periodYear_ = year;
    period_ = rules::PeriodOf(*def_.ContestPeriod, year);
    return period_ && t >= period_->Start - kSlack && t <= period_->End + kSlack;
  }

  // The period of the year of the QSO just checked.
  std::string periodText() const {
    std::string text = "コンテスト期間外の交信です";
    if (period_)
      text += "（" + ole::formatMinutes(period_->Start) + " ～ " +
              ole::formatMinutes(period_->End) + (def_.SetUTCtime == 1 ? " UTC" : " JST") + "）";
    return text;
  }

  // The station's power against the category's limit on the bands it used.
  void power() {
    double watts = 0;
    const std::string text = elog::PowerWatts(s_.JarlPower);
    if (!numtext::parseNumber(text, watts)) return;
    std::array<bool, bands::kBandCount> on = usedBands_;
    if (std::none_of(on.begin(), on.end(), [](bool x) { return x; })) {
      const std::string_view cb = bands::CategoryBandText(s_.CateBand);
      for (int b = 0; b < bands::kBandCount; ++b)
        on[static_cast<std::size_t>(b)] = def_.BandEnabled[static_cast<std::size_t>(b)] == 1 &&
                                          (cb.empty() || bands::BandIndexOf(cb) == b);
    }
    int highest = 0;
    bool any = false, unlimited = false;
    for (int b = 0; b < bands::kBandCount; ++b) {
      if (!on[static_cast<std::size_t>(b)]) continue;
      const int limit = cateLimits_[static_cast<std::size_t>(b)];
      any = true;
      if (limit == 0) unlimited = true;
      highest = std::max(highest, limit);
    }
    if (!any || (unlimited && highest == 0)) return;
    if (!unlimited && watts > highest) {
      add(Level::Error, 0,
          "空中線電力が" + std::to_string(highest) + "Wを超えている: 最大空中線電力は " + text +
              "W、部門 " + std::string(cateCode_) + " の上限は " + std::to_string(highest) +
              "W です");
      return;
    }
    // Over the limit of some bands only: the power used there is not known.
    std::array<int, bands::kBandCount> limits{};
    for (int b = 0; b < bands::kBandCount; ++b)
      if (on[static_cast<std::size_t>(b)])
        limits[static_cast<std::size_t>(b)] = cateLimits_[static_cast<std::size_t>(b)];
    for (int shown = 0;;) {
      int limit = 0;  // the lowest limit above the one shown last and below the power
      for (int l : limits)
        if (l > shown && l < watts && (limit == 0 || l < limit)) limit = l;
      if (limit == 0) break;
      std::string where;
      for (int b = 0; b < bands::kBandCount; ++b)
        if (limits[static_cast<std::size_t>(b)] == limit)
          where += (where.empty() ? "" : "・") + bandName(b);
      add(Level::Warning, 0,
          "最大空中線電力 " + text + "W は " + where + " での部門 " + std::string(cateCode_) +
              " の上限 " + std::to_string(limit) +
              "W を超えています。その帯で使った電力を確かめてください");
      shown = limit;
    }
  }

  void totals() {
    if (!src_.log.empty() && !score::IsParty(def_) &&
        score::SubmittedScore(src_.score, def_, s_.JarlFdKeisu) == 0)
      add(Level::Warning, 0, "総得点が0点です");
    if (outside_)
      add(Level::Note, 0,
          "参加部門のバンド・モード外の交信が " + std::to_string(outside_) +
              " 件あります（得点に含まれず、チェックログとして提出されます）");
    if (offBand_)
      add(Level::Note, 0,
          "コンテストのバンドでない交信が " + std::to_string(offBand_) +
              " 件あります（得点に含まれません）");
    if (dupes_)
      add(Level::Note, 0,
          "重複交信が " + std::to_string(dupes_) + " 件あります（0点で提出されます）");
  }

  const CheckSource& src_;
  const ContestDefinition& def_;
  const Settings& s_;
  const std::string_view cateCode_;
  const std::string_view cateLetter_;                // the category's power letter, if any
  std::array<int, bands::kBandCount> cateLimits_{};  // its limit by band, 0 none
  std::vector<Finding> found_;
  // Text -> (its finding, how many QSOs carry it).
  std::unordered_map<std::string, std::pair<std::size_t, int>> repeats_;
  std::array<bool, bands::kBandCount> usedBands_{};
  int outside_ = 0, offBand_ = 0, dupes_ = 0;
  int periodYear_ = 0;
  std::optional<rules::Period> period_;
};

}  // namespace

std::vector<Finding> CheckLog(const CheckSource& src) { return Checker(src).run(); }

namespace {
// By level: the name the command line prints and the caption the window shows.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kLevels = {
    {{"error", "エラー"}, {"warning", "警告"}, {"note", "注意"}}};
}  // namespace

std::string_view LevelName(Level level) { return kLevels[static_cast<std::size_t>(level)].first; }

std::string_view LevelText(Level level) { return kLevels[static_cast<std::size_t>(level)].second; }

bool HasError(const std::vector<Finding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const Finding& f) { return f.level == Level::Error; });
}

}  // namespace check
