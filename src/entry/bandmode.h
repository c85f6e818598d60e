// Band, mode and report rules shared by every window that types or changes a
// QSO: the real-time input window, the insert and edit dialogs and the
// multi-QSO edit dialog. No window code here; each window keeps its own
// boxes and asks these functions what to put into them.
//
// How a window uses it (names of the window operations in brackets):
//
//   [BandModeSet] at open
//       fill the band box with EnabledBands(contest) and the mode box with
//       EnabledModes(contest), in that order, each emptied first; select
//       nothing here, the window picks its own selection afterwards.
//
//   [ModeSet] when the mode is picked (and, in the input window, at open,
//   after a QSO is registered, after "消去" and "登録")
//       if (auto r = ModeReport(modeBoxText, rule)) { sentRst = *r; rcvdRst = *r; }
//       rule: ReportRule::Entry for the input window and the insert and edit
//       dialogs, ReportRule::MultiEdit for the multi-QSO edit dialog (which
//       leaves the boxes alone for modes it does not know).
//
//   [SentRptSet] input window only: at open, on band pick and on Alt+W
//       sentExchangeBox = SentExchange(bandBoxText, ExchangeSource::from(contest, ini));
//       The insert and edit dialogs never recompute it; the HAMLOG reader
//       composes each imported QSO the same way.
//
//   [CateSet] input window only, at open, before ModeSet and SentRptSet
//       CatePreset p = CateSet(ini.CateMode, ini.CateBand);
//       if (p.mode) modeBox.setText(*p.mode); if (p.band) bandBox.setText(*p.band);
//       (set as text, not by list position)
//
//   Keystroke filters: for every typed character c of a box,
//       char32_t out = FilterChar(kind, c);   // 0: discard the keystroke
//       KeyBand and KeyMode are the band and mode boxes of every entry window;
//       the other kinds name the boxes of the input, insert/edit and
//       multi-edit windows (see KeyFilter below).
//       Backspace, Tab, Enter and Esc arrive as their control codes 8, 9, 13
//       and 27, as a text box receives them.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contest/bands.h"

struct ContestDefinition;
struct Settings;

namespace entry {

// ------------------------------------------------------------------ lists

// Band texts whose enable flag is exactly 1, in band order.
std::vector<std::string_view> EnabledBands(
    const std::array<std::int16_t, bands::kBandCount>& bandEnabled);
std::vector<std::string_view> EnabledBands(const ContestDefinition& contest);
// Mode texts whose enable flag is exactly 1, in mode order.
std::vector<std::string_view> EnabledModes(
    const std::array<std::int16_t, bands::kModeCount>& modeEnabled);
std::vector<std::string_view> EnabledModes(const ContestDefinition& contest);

// ------------------------------------------------------------------ reports

enum class ReportRule {
  Entry,      // input window, insert and edit dialogs
  MultiEdit,  // multi-QSO edit dialog
};

// The report proposed for a mode text (compared exactly, untrimmed), written
// into both report boxes. Entry: "59" for SSB, FM, AM, DV and DD, "595" for
// SSTV, "599" for anything else (an empty box too). MultiEdit: the same for
// SSB, FM, AM, DV, DD, SSTV and CW; nothing (boxes unchanged) for any other.
std::optional<std::string_view> ModeReport(std::string_view modeText, ReportRule rule);

// ------------------------------------------------------------------ exchange

// What the sent exchange is made of.
struct ExchangeSource {
  std::int16_t Exch = 0;          // 1 prefecture, 2 JCC, 3 by band, 4 name, 5 age
  std::int16_t SentJarlCode = 0;  // 1: the band's power letter follows
  std::string JarlPrf, JarlJcc, JarlAge, JarlTestName;
  std::array<std::string, bands::kBandCount> JarlPwCode;

  static ExchangeSource from(const ContestDefinition& contest, const Settings& ini);
};

// Band index for the exchange: the exact table text, anything else (an empty
// or typed text such as "430K") the 10.1G slot, 15.
int ExchangeBandIndex(std::string_view bandText);

// The sent exchange for a band text: the base chosen by Exch, then the power
// letter of the band when SentJarlCode is 1.
std::string SentExchange(std::string_view bandText, const ExchangeSource& src);
std::string SentExchange(std::string_view bandText, const ContestDefinition& contest,
                         const Settings& ini);

// ------------------------------------------------------------------ category

struct CatePreset {
  std::optional<std::string_view> mode;  // nothing: leave the mode box
  std::optional<std::string_view> band;  // nothing: leave the band box
};
// Mode by CateMode (1 SSB, 2 CW, 5 PSK31, 6 WSJT, 7 DV), band by CateBand
// (1..13, no slots for 10, 18 and 24 MHz).
CatePreset CateSet(int cateMode, int cateBand);

// ------------------------------------------------------------------ keys

enum class KeyFilter {
  // Band box (every entry window): upper case; digits, Backspace, ".", "G", "K".
  Band,
  // Mode box (every entry window): upper case; Enter and code 7 discarded.
  Mode,
  // Input window call sign and sent RS(T); multi-edit sent exchange: upper
  // case; Backspace, "/", digits, "?", "A".."Z" and double-byte characters.
  CallSign,
  // Input window sent and received exchange: upper case; Space, Esc and
  // Enter discarded.
  Exchange,
  // RS(T) boxes (input window received, dialogs sent and received,
  // multi-edit values): digits, Backspace, "." only; no upper case.
  Report,
  // Manual time box: Backspace, Tab, ".", "/", digits, double-byte characters.
  TimeBox,
  // Insert/edit dialogs' call sign, received exchange and operator: upper
  // case, Space, Esc and Enter discarded.
  UpperNoBlank,
  // Insert/edit dialogs' sent exchange: upper case only.
  Upper,
  // Free text (the New-Year party's sent RS(T)): everything as typed.
  Free,
};

// Character codes of the control keys as a text box sees them.
inline constexpr char32_t kBackspace = 8;
inline constexpr char32_t kTab = 9;
inline constexpr char32_t kEnter = 13;
inline constexpr char32_t kEsc = 27;

// Upper case for ASCII letters (other characters unchanged).
char32_t UpperChar(char32_t c);
// A character that takes two bytes in CP932 (full-width letters, kana,
// kanji); half-width kana are single-byte.
bool DoubleByteChar(char32_t c);

// The character a box receives for a typed character c; 0 discards it.
char32_t FilterChar(KeyFilter kind, char32_t c);

// Filters a whole text (a paste) character by character; control codes
// other than those the filter accepts are dropped.
std::string FilterText(KeyFilter kind, std::string_view utf8);

}  // namespace entry
