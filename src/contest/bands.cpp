#include "contest/bands.h"

#include "log/utf8.h"

namespace bands {

int BandIndexExact(std::string_view band) {
  for (int i = 0; i < kBandCount; ++i)
    if (kBandTexts[static_cast<std::size_t>(i)] == band) return i;
  return -1;
}

int BandIndexOf(std::string_view band) {
  const std::string_view t = utf8::trim(band);
  const int i = BandIndexExact(t);
  if (i >= 0) return i;
  if (!t.empty() && t.back() == 'G') return 15;
  return -1;
}

std::string_view CategoryBandText(int cateBand) {
  static constexpr std::array<std::string_view, 14> kTexts = {
      "", "1.8", "3.5", "7", "14", "21", "28", "50", "144", "430", "1200", "2400", "5600", "10.1G"};
  if (cateBand < 1 || cateBand > 13) return {};
  return kTexts[static_cast<std::size_t>(cateBand)];
}

}  // namespace bands
