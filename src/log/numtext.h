// Numbers as the settings file and the contest definitions hold them.
#pragma once
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "log/utf8.h"

namespace numtext {

// A decimal number, blanks around it allowed: sign, digits, an optional
// fraction and exponent. Hex, "inf" and "nan" do not convert.
inline bool parseNumber(std::string_view v, double& out) {
  v = utf8::trim(v);
  if (v.empty()) return false;
  bool neg = false;
  if (v[0] == '+' || v[0] == '-') {
    neg = v[0] == '-';
    v.remove_prefix(1);
  }
  if (v.empty() || !((v[0] >= '0' && v[0] <= '9') || v[0] == '.')) return false;
  double d = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), d, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size() || !std::isfinite(d)) return false;
  out = neg ? -d : d;
  return true;
}

// An integer of type T: a fraction rounds half to even; out of range does
// not convert.
template <typename T>
bool parseInteger(std::string_view v, T& out) {
  double d = 0;
  if (!parseNumber(v, d)) return false;
  const double r = std::nearbyint(d);  // default rounding: half to even
  if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
      r > static_cast<double>(std::numeric_limits<T>::max()))
    return false;
  out = static_cast<T>(r);
  return true;
}

}  // namespace numtext
