#include "log/settingsfile.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "log/cp932.h"
#include "log/fileio.h"
#include "log/numtext.h"
#include "log/utf8.h"

namespace {

// Lines: several lines like M, but an empty last line is not written.
enum class Type { S, L, I, T, M, Lines };

struct Key {
  std::string name;
  Type type;
  float* (*s)(Settings&) = nullptr;
  std::int32_t* (*l)(Settings&) = nullptr;
  std::int16_t* (*i)(Settings&) = nullptr;
  std::string* (*t)(Settings&) = nullptr;
  bool leadingBlank = false;  // written as " key=" (the comment lines)
  bool rightTrimOnly = false;
  // Added after the program's first keys: written only when set, so a file
  // that uses none of them is the same as before.
  bool optional = false;
};

#define KS(n) Key{#n, Type::S, [](Settings& x) { return &x.n; }}
#define KL(n) Key{#n, Type::L, nullptr, [](Settings& x) { return &x.n; }}
#define KI(n) Key{#n, Type::I, nullptr, nullptr, [](Settings& x) { return &x.n; }}
#define KT(n) Key{#n, Type::T, nullptr, nullptr, nullptr, [](Settings& x) { return &x.n; }}
#define KTN(k, n) Key{k, Type::T, nullptr, nullptr, nullptr, [](Settings& x) { return &x.n; }}
#define KM(n) Key{#n, Type::M, nullptr, nullptr, nullptr, [](Settings& x) { return &x.n; }}

std::vector<Key> buildKeys() {
  std::vector<Key> k = {KS(frmLeft), KS(frmTop), KS(frmHeight), KS(frmWidth),
                        KL(ViewLeft), KL(ViewTop), KL(ViewHeight), KL(ViewWidth)};
  for (int c = 0; c < 13; ++c) {
    Key g{"GridWidth" + std::to_string(c), Type::L};
    k.push_back(g);
  }
  for (Key x : {KI(ThCty2JaSw), KI(ThQslMsgSw), KI(ThRmkSw), KI(ThSendSw), KI(ThRcvdSw),
                KI(ThQslSw), KI(ThRptSw), KI(ThRptSw2), KI(ThUtcSw), KT(ThDbFile),
                KTN("ThSentMrk", ThSentMark), KTN("ThRcvdMrk", ThRcvdMark), KT(ThQslMsg),
                KT(ThRemark), KT(ThRemark2), KI(ThRmk2Rpt), KI(ThRRptCount), KI(AdiCty2JaSw),
                KI(AdiSendSw), KI(AdiRcvdSw), KT(AdiQslMsg), KT(AdiRemark), KT(JarlCallSign),
                KT(JarlName), KT(JarlLicenseClass), KT(JarlTelNo), KM(JarlAddress),
                KT(JarlEmail), KT(JarlClubName), KT(JarlClubNo), KT(JarlContest),
                KT(JarlCategory), KT(JarlCateCode), KT(JarlOperator), KI(CateMode),
                KI(CateBand), KI(CateMlt), KM(JarlOpsAndClass), KT(JarlUnyoChi),
                KM(JarlSetsubi), KT(JarlPower), KI(JarlPowerType), KI(JarlFdKeisu),
                KT(JarlPsType), KM(JarlOath), KM(JarlDqpOath), KM(JarlNypOath),
                KM(JarlComment), KT(CfgFileName), KT(LogFileName)})
    k.push_back(x);
  for (int b = 0; b < 16; ++b) k.push_back(Key{"JarlPwCode" + std::to_string(b), Type::T});
  for (Key x : {KT(JarlPrf), KT(JarlJcc), KT(JarlAge), KT(JarlTestName), KI(RealTime),
                KI(MailAndMe), KI(CabSrstPos), KI(CabSRptPos), KI(CabHCallPos), KI(CabRrstPos),
                KI(CabRRptPos), KI(CabCallLen), KI(CabRptLen), KT(CbrFolder), KT(ZlogFolder)})
    k.push_back(x);
  // Added later (files without them read as off and empty): rig control,
  // call history.
  const std::size_t later = k.size();
  for (Key x : {KI(RigOn), KL(RigModel), KT(RigPort), KL(RigSpeed), KT(RigctldAddress),
                KT(RigDigiMode), KM(HistoryLogs), KT(HistoryFile), KI(HistoryFill)})
    k.push_back(x);
  for (std::size_t i = later; i < k.size(); ++i) k[i].optional = true;
  for (Key& x : k) {
    if (x.name == "JarlOpsAndClass") x.type = Type::Lines;
    if (x.name == "JarlComment") x.leadingBlank = true;
    if (x.name == "JarlAddress") x.rightTrimOnly = true;
  }
  return k;
}

#undef KS
#undef KL
#undef KI
#undef KT
#undef KTN
#undef KM

const std::vector<Key>& keys() {
  static const std::vector<Key> k = buildKeys();
  return k;
}

// The indexed keys (grid widths, power codes) point into their arrays.
std::int32_t* gridWidth(Settings& s, const std::string& name) {
  return &s.GridWidth[static_cast<std::size_t>(std::stoi(name.substr(9)))];
}
std::string* pwCode(Settings& s, const std::string& name) {
  return &s.JarlPwCode[static_cast<std::size_t>(std::stoi(name.substr(10)))];
}

std::int32_t* longOf(const Key& k, Settings& s) { return k.l ? k.l(s) : gridWidth(s, k.name); }
std::string* textOf(const Key& k, Settings& s) { return k.t ? k.t(s) : pwCode(s, k.name); }

bool parseFloat(std::string_view v, float& out) {
  double d = 0;
  if (!numtext::parseNumber(v, d)) return false;
  if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max())) return false;
  out = static_cast<float>(d);
  return true;
}

// The shortest decimal that reads back as f, never in exponent form.
std::string floatText(float f) {
  char b[64];
  auto r = std::to_chars(b, b + sizeof b, f, std::chars_format::fixed);
  return std::string(b, r.ptr);
}

bool isMulti(Type t) { return t == Type::M || t == Type::Lines; }

}  // namespace

std::string_view IniKeyAt(std::size_t i) { return keys().at(i).name; }
std::size_t IniKeyCount() { return keys().size(); }

bool IniKeyOptional(std::size_t i) { return i < keys().size() && keys()[i].optional; }

void IniParse(std::string_view bytes, Settings& s) {
  const std::string text = cp932::decode(bytes);
  const auto& ks = keys();
  fileio::forEachLine(text, [&](std::string_view line) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = utf8::trim(line.substr(0, eq));
    const std::string_view raw = line.substr(eq + 1);
    for (const Key& k : ks) {
      if (k.name != key) continue;
      const std::string_view v = k.rightTrimOnly ? utf8::trimRight(raw) : utf8::trim(raw);
      switch (k.type) {
        case Type::S: parseFloat(v, *k.s(s)); break;
        case Type::L: numtext::parseInteger(v, *longOf(k, s)); break;
        case Type::I: numtext::parseInteger(v, *k.i(s)); break;
        case Type::T: *textOf(k, s) = std::string(v); break;
        case Type::M:
        case Type::Lines: textOf(k, s)->append(v).append("\r\n"); break;
      }
      break;
    }
  });
  for (const Key& k : ks) {
    if (!isMulti(k.type)) continue;
    std::string& t = *textOf(k, s);
    if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
  }
}

void IniApplyDefaults(Settings& s) {
  if (s.JarlOath.empty()) s.JarlOath = kDefaultOath;
  if (s.JarlDqpOath.empty()) s.JarlDqpOath = kDefaultDqpOath;
  if (s.JarlNypOath.empty()) s.JarlNypOath = kDefaultNypOath;
  // A hand-edited -1 would turn the submitted score negative.
  if (s.JarlFdKeisu < 1) s.JarlFdKeisu = 1;
}

IniReadResult IniRead(const std::string& path, Settings& s, std::string* error) {
  if (!fileio::exists(path)) {
    IniApplyDefaults(s);
    return IniReadResult::Missing;
  }
  std::string bytes;
  if (!fileio::readAll(path, bytes, error)) {
    IniApplyDefaults(s);
    return IniReadResult::Error;
  }
  IniParse(bytes, s);
  IniApplyDefaults(s);
  return IniReadResult::Ok;
}

namespace {
bool isUnset(const Key& k, Settings& s) {
  switch (k.type) {
    case Type::S: return *k.s(s) == 0;
    case Type::L: return *longOf(k, s) == 0;
    case Type::I: return *k.i(s) == 0;
    default: return textOf(k, s)->empty();
  }
}
}  // namespace

std::string IniFormat(const Settings& cs) {
  Settings& s = const_cast<Settings&>(cs);  // the accessors are shared with the reader
  std::string out;
  auto line = [&](const Key& k, std::string_view value) {
    if (k.leadingBlank) out += ' ';
    out += k.name;
    out += '=';
    out += value;
    out += "\r\n";
  };
  for (const Key& k : keys()) {
    if (k.optional && isUnset(k, s)) continue;
    switch (k.type) {
      case Type::S: line(k, floatText(*k.s(s))); break;
      case Type::L: line(k, std::to_string(*longOf(k, s))); break;
      case Type::I: line(k, std::to_string(*k.i(s))); break;
      case Type::T: line(k, *textOf(k, s)); break;
      case Type::M:
      case Type::Lines: {
        std::string_view v = *textOf(k, s);
        // Blank lines at the end of a list carry nothing, and the reader
        // keeps one fewer of them than were written: none are written.
        if (k.type == Type::Lines)
          while (v.size() >= 2 && v.substr(v.size() - 2) == "\r\n") v.remove_suffix(2);
        if (v.find("\r\n") == std::string_view::npos) {
          line(k, v);
          break;
        }
        std::size_t pos = 0;
        for (;;) {
          const std::size_t e = v.find("\r\n", pos);
          if (e == std::string::npos) {
            // An empty last piece is written too: the reader drops one final
            // line end, and trailing blank lines would shrink every run.
            if (pos < v.size() || k.type == Type::M) line(k, v.substr(pos));
            break;
          }
          line(k, v.substr(pos, e - pos));
          pos = e + 2;
        }
        break;
      }
    }
  }
  return cp932::encode(out);
}

std::vector<std::string> IniUnencodableKeys(const Settings& cs) {
  Settings& s = const_cast<Settings&>(cs);  // the accessors are shared with the reader
  std::vector<std::string> found;
  for (const Key& k : keys()) {
    if (k.type != Type::T && !isMulti(k.type)) continue;
    if (!cp932::canEncode(*textOf(k, s))) found.push_back(k.name);
  }
  return found;
}

bool IniWrite(const std::string& path, const Settings& s, std::string* error) {
  return fileio::writeAtomic(path, IniFormat(s), error);
}
