// Hashing for the look-up indexes the contest rules keep beside their lists:
// transparent, so a std::string_view finds a std::string key without a copy.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace contest_detail {

struct StrHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept {
    return std::hash<std::string_view>{}(s);
  }
};

struct StrEq {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept { return a == b; }
};

}  // namespace contest_detail
