// The fixed band and mode vocabularies. Every per-band array of the program
// is indexed by the band index 0..15 below, every per-mode flag by the mode
// index 0..9.
#pragma once
#include <array>
#include <string_view>

namespace bands {

constexpr int kBandCount = 16;
constexpr int kModeCount = 10;

// The texts a QSO's Band field holds, by band index.
inline constexpr std::array<std::string_view, kBandCount> kBandTexts = {
    "1.8", "3.5", "7",   "10",  "14",   "18",   "21",   "24",
    "28",  "50",  "144", "430", "1200", "2400", "5600", "10.1G"};

// The band words of the contest definition keys ("Band" + word + "Enabled").
inline constexpr std::array<std::string_view, kBandCount> kBandKeyWords = {
    "1.8", "3.5", "7",   "10",  "14",   "18",   "21",   "24",
    "28",  "50",  "144", "430", "1200", "2400", "5600", "10G"};

// The texts a QSO's Mode field holds, by mode index.
inline constexpr std::array<std::string_view, kModeCount> kModeTexts = {
    "SSB", "FM", "AM", "CW", "RTTY", "PSK31", "WSJT", "SSTV", "DV", "DD"};

// The mode keys of the contest definition, by mode index.
inline constexpr std::array<std::string_view, kModeCount> kModeKeys = {
    "SSBEnabled",   "FMEnabled",   "AMEnabled",  "CWEnabled", "RTTYEnabled",
    "PSK31Enabled", "WSJTEnabled", "SSTVEnabled", "DVEnabled", "DDEnabled"};

// Band index of a band text (compared trimmed, exactly); a text whose last
// character is "G" is the 10.1G slot. -1 when no rule matches.
int BandIndexOf(std::string_view band);

// Band index of a band text compared exactly, untrimmed, against the table
// only; -1 when none matches.
int BandIndexExact(std::string_view band);

// The band text of an entry category's band code (1..13), empty for any
// other code. The codes have no slots for 10, 18 and 24 MHz.
std::string_view CategoryBandText(int cateBand);

}  // namespace bands
