#include "entry/bandmode.h"

#include "log/settings.h"
#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/utf8.h"

namespace entry {

std::vector<std::string_view> EnabledBands(
    const std::array<std::int16_t, bands::kBandCount>& bandEnabled) {
  std::vector<std::string_view> out;
  for (int i = 0; i < bands::kBandCount; ++i)
    if (bandEnabled[static_cast<std::size_t>(i)] == 1)
      out.push_back(bands::kBandTexts[static_cast<std::size_t>(i)]);
  return out;
}

std::vector<std::string_view> EnabledBands(const ContestDefinition& contest) {
  return EnabledBands(contest.BandEnabled);
}

std::vector<std::string_view> EnabledModes(
    const std::array<std::int16_t, bands::kModeCount>& modeEnabled) {
  std::vector<std::string_view> out;
  for (int i = 0; i < bands::kModeCount; ++i)
    if (modeEnabled[static_cast<std::size_t>(i)] == 1)
      out.push_back(bands::kModeTexts[static_cast<std::size_t>(i)]);
  return out;
}

std::vector<std::string_view> EnabledModes(const ContestDefinition& contest) {
  return EnabledModes(contest.ModeEnabled);
}

std::optional<std::string_view> ModeReport(std::string_view mode, ReportRule rule) {
  if (mode == "SSB" || mode == "FM" || mode == "AM" || mode == "DV" || mode == "DD") return "59";
  if (mode == "SSTV") return "595";
  if (rule == ReportRule::MultiEdit) {
    if (mode == "CW") return "599";
    return std::nullopt;
  }
  return "599";
}

ExchangeSource ExchangeSource::from(const ContestDefinition& contest, const Settings& ini) {
  ExchangeSource s;
  s.Exch = contest.Exch;
  s.SentJarlCode = contest.SentJarlCode;
  s.JarlPrf = ini.JarlPrf;
  s.JarlJcc = ini.JarlJcc;
  s.JarlAge = ini.JarlAge;
  s.JarlTestName = ini.JarlTestName;
  s.JarlPwCode = ini.JarlPwCode;
  return s;
}

int ExchangeBandIndex(std::string_view bandText) {
  const int i = bands::BandIndexExact(bandText);
  return i >= 0 ? i : bands::kBandCount - 1;
}

std::string SentExchange(std::string_view bandText, const ExchangeSource& src) {
  const int band = ExchangeBandIndex(bandText);
  std::string out;
  switch (src.Exch) {
    case 1: out = src.JarlPrf; break;
    case 2: out = src.JarlJcc; break;
    case 3: out = band >= 13 ? src.JarlJcc : src.JarlPrf; break;
    case 4: out = src.JarlTestName; break;
    case 5: out = src.JarlAge; break;
    default: break;
  }
  if (src.SentJarlCode == 1) out += src.JarlPwCode[static_cast<std::size_t>(band)];
  return out;
}

std::string SentExchange(std::string_view bandText, const ContestDefinition& contest,
                         const Settings& ini) {
  return SentExchange(bandText, ExchangeSource::from(contest, ini));
}

CatePreset CateSet(int cateMode, int cateBand) {
  CatePreset p;
  switch (cateMode) {
    case 1: p.mode = "SSB"; break;
    case 2: p.mode = "CW"; break;
    case 5: p.mode = "PSK31"; break;
    case 6: p.mode = "WSJT"; break;
    case 7: p.mode = "DV"; break;
    default: break;
  }
  const std::string_view band = bands::CategoryBandText(cateBand);
  if (!band.empty()) p.band = band;
  return p;
}

char32_t UpperChar(char32_t c) { return (c >= U'a' && c <= U'z') ? c - 0x20 : c; }

bool DoubleByteChar(char32_t c) {
  if (c < 0x80 || !cp932::representable(c)) return false;
  std::string s;
  utf8::append(s, c);
  return cp932::byteLength(s) == 2;
}

namespace {
bool digit(char32_t c) { return c >= U'0' && c <= U'9'; }
}  // namespace

char32_t FilterChar(KeyFilter kind, char32_t c) {
  switch (kind) {
    case KeyFilter::Band: {
      const char32_t u = UpperChar(c);
      return (digit(u) || u == kBackspace || u == U'.' || u == U'G' || u == U'K') ? u : 0;
    }
    case KeyFilter::Mode:
      return (c == kEnter || c == 7) ? 0 : UpperChar(c);
    case KeyFilter::CallSign: {
      const char32_t u = UpperChar(c);
      if (u == kBackspace || u == U'/' || u == U'?' || digit(u) || (u >= U'A' && u <= U'Z') ||
          DoubleByteChar(u))
        return u;
      return 0;
    }
    case KeyFilter::Report:
      return (digit(c) || c == kBackspace || c == U'.') ? c : 0;
    case KeyFilter::TimeBox:
      return (digit(c) || c == kBackspace || c == kTab || c == U'.' || c == U'/' ||
              DoubleByteChar(c))
                 ? c
                 : 0;
    case KeyFilter::Exchange:
    case KeyFilter::UpperNoBlank:
      return (c == U' ' || c == kEsc || c == kEnter) ? 0 : UpperChar(c);
    case KeyFilter::Upper:
      return UpperChar(c);
    case KeyFilter::Free:
      return c;
  }
  return c;
}

std::string FilterText(KeyFilter kind, std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = FilterChar(kind, utf8::next(text, i));
    if (c >= 0x20 && c != 0x7f) utf8::append(out, c);
  }
  return out;
}

}  // namespace entry
