#include "entry/rigmap.h"

#include <array>
#include <cstdio>

#include "contest/bands.h"

namespace entry {

namespace {

constexpr std::uint64_t kHz = 1000;
constexpr std::uint64_t MHz = 1000 * kHz;

// The Japanese allocation; a band with several segments (1.8, 3.5, 10.1G)
// spans from its lowest to its highest edge.
constexpr std::array<RigBandEdges, bands::kBandCount> kPlan = {{
    {0, 1810 * kHz, 1912500},
    {1, 3500 * kHz, 3805 * kHz},
    {2, 7000 * kHz, 7200 * kHz},
    {3, 10100 * kHz, 10150 * kHz},
    {4, 14000 * kHz, 14350 * kHz},
    {5, 18068 * kHz, 18168 * kHz},
    {6, 21000 * kHz, 21450 * kHz},
    {7, 24890 * kHz, 24990 * kHz},
    {8, 28000 * kHz, 29700 * kHz},
    {9, 50 * MHz, 54 * MHz},
    {10, 144 * MHz, 146 * MHz},
    {11, 430 * MHz, 440 * MHz},
    {12, 1260 * MHz, 1300 * MHz},
    {13, 2400 * MHz, 2450 * MHz},
    {14, 5650 * MHz, 5850 * MHz},
    {15, 10000 * MHz, 10500 * MHz},
}};

// Where the band plan puts CW, phone and FM; on bands without phone or FM
// the narrow column repeats.
struct Usual {
  std::uint64_t cw, phone, fm;
};
constexpr std::array<Usual, bands::kBandCount> kUsual = {{
    {1910 * kHz, 1910 * kHz, 1910 * kHz},
    {3520 * kHz, 3540 * kHz, 3540 * kHz},
    {7010 * kHz, 7060 * kHz, 7060 * kHz},
    {10120 * kHz, 10120 * kHz, 10120 * kHz},
    {14030 * kHz, 14200 * kHz, 14200 * kHz},
    {18080 * kHz, 18130 * kHz, 18130 * kHz},
    {21030 * kHz, 21250 * kHz, 21250 * kHz},
    {24900 * kHz, 24950 * kHz, 24950 * kHz},
    {28030 * kHz, 28500 * kHz, 29300 * kHz},
    {50050 * kHz, 50250 * kHz, 51000 * kHz},
    {144050 * kHz, 144250 * kHz, 145000 * kHz},
    {430050 * kHz, 430250 * kHz, 433000 * kHz},
    {1294050 * kHz, 1294200 * kHz, 1295000 * kHz},
    {2424050 * kHz, 2424200 * kHz, 2427000 * kHz},
    {5760050 * kHz, 5760200 * kHz, 5760500 * kHz},
    {10240050 * kHz, 10240200 * kHz, 10240500 * kHz},
}};

struct ModeName {
  std::string_view rig;
  std::string_view box;  // empty: the digital mode of the settings
};
constexpr std::array<ModeName, 11> kModes = {{
    {"USB", "SSB"},
    {"LSB", "SSB"},
    {"CW", "CW"},
    {"CWR", "CW"},
    {"FM", "FM"},
    {"FMN", "FM"},
    {"AM", "AM"},
    {"RTTY", "RTTY"},
    {"RTTYR", "RTTY"},
    {"PKTUSB", ""},
    {"PKTLSB", ""},
}};

}  // namespace

std::span<const RigBandEdges> RigBandPlan() { return kPlan; }

int RigBandIndex(std::uint64_t hz) {
  for (const RigBandEdges& b : kPlan)
    if (hz >= b.lowHz && hz <= b.highHz) return b.index;
  return -1;
}

std::string_view RigBandText(std::uint64_t hz) {
  const int i = RigBandIndex(hz);
  return i < 0 ? std::string_view{} : bands::kBandTexts[static_cast<std::size_t>(i)];
}

std::string_view RigModeText(std::string_view rigMode, std::string_view digiMode) {
  for (const ModeName& m : kModes)
    if (m.rig == rigMode) return m.box.empty() ? digiMode : m.box;
  return {};
}

std::string_view RigModeFor(std::string_view modeText, std::uint64_t hz,
                            std::string_view digiMode) {
  if (modeText.empty()) return {};
  if (modeText == "SSB") return hz < 10 * MHz ? "LSB" : "USB";
  if (modeText == "CW" || modeText == "FM" || modeText == "AM" || modeText == "RTTY")
    return modeText;
  if (modeText == digiMode) return "PKTUSB";
  return {};
}

std::uint64_t RigDefaultFrequency(std::string_view bandText, std::string_view modeText) {
  const int i = bands::BandIndexExact(bandText);
  if (i < 0) return 0;
  const Usual& u = kUsual[static_cast<std::size_t>(i)];
  if (modeText == "FM" || modeText == "DV" || modeText == "DD") return u.fm;
  if (modeText == "CW" || modeText == "RTTY" || modeText == "PSK31" || modeText == "WSJT")
    return u.cw;
  return u.phone;
}

std::string RigFrequencyText(std::uint64_t hz) {
  char b[32];
  std::snprintf(b, sizeof b, "%llu.%04llu", static_cast<unsigned long long>(hz / MHz),
                static_cast<unsigned long long>(hz % MHz / 100));
  return b;
}

}  // namespace entry
