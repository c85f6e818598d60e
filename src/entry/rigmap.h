// What a radio's frequency and mode mean to the entry window, and back: the
// Japanese amateur bands by frequency, the radio's mode names by mode box
// text, and the frequency a band starts on when the operator picks it. Plain
// tables, no radio here (the link that talks to one is riglink.h).
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace entry {

// One band of the Japanese allocation, from the low edge of its lowest
// segment to the high edge of its highest, both ends included.
struct RigBandEdges {
  int index;            // band index 0..15 (bands::kBandTexts)
  std::uint64_t lowHz;
  std::uint64_t highHz;
};
// The sixteen bands in band order.
std::span<const RigBandEdges> RigBandPlan();

// The band index of a frequency in Hz; -1 outside every band.
int RigBandIndex(std::uint64_t hz);
// The band box text of a frequency; empty outside every band.
std::string_view RigBandText(std::uint64_t hz);

// The mode box text for a mode name of the radio ("USB", "CWR", "PKTUSB"...):
// SSB, CW, FM, AM, RTTY, and for the packet modes the digital mode the
// settings name (digiMode). Empty: leave the mode box as it is.
std::string_view RigModeText(std::string_view rigMode, std::string_view digiMode);

// The radio's mode name for a mode box text at a frequency (SSB is lower
// sideband below 10 MHz); digiMode is set as PKTUSB. Empty: leave the
// radio's mode as it is.
std::string_view RigModeFor(std::string_view modeText, std::uint64_t hz,
                            std::string_view digiMode);

// The usual frequency of a band (band box text) for a mode box text: the CW
// column for CW and the narrow digital modes, the FM column for FM, DV and
// DD, the phone column for the rest. 0 for a text that is no band.
std::uint64_t RigDefaultFrequency(std::string_view bandText, std::string_view modeText);

// A frequency for the status line: MHz with four decimals ("7.0125").
std::string RigFrequencyText(std::uint64_t hz);

}  // namespace entry
