// Small pieces of test data several test programs build the same way.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

#include "log/oledate.h"
#include "log/qso.h"
#include "log/settings.h"

namespace samples {

// One QSO with every field the electronic log writes.
inline QsoRecord qso(const char* band, const char* mode, ole::Date t, const char* call,
                     const char* srst, const char* sno, const char* rrst, const char* rno,
                     int points, const char* mlt, int dupe = 0) {
  QsoRecord r;
  r.Band = band;
  r.Mode = mode;
  r.QsoTime = t;
  r.CallSign = call;
  r.SentRst = srst;
  r.SentNo = sno;
  r.RcvdRst = rrst;
  r.RcvdNo = rno;
  r.Points = static_cast<std::int16_t>(points);
  r.Mlt = mlt;
  r.Dupe = static_cast<std::int16_t>(dupe);
  return r;
}

// Joins lines with CR LF after each, as the files have them.
inline std::string crlf(std::initializer_list<const char*> lines) {
  std::string r;
  for (const char* l : lines) r += std::string(l) + "\r\n";
  return r;
}

// Every required item of the summary sheet filled in.
inline void fillStationData(Settings& s) {
  s.JarlContest = "ＡＬＬ ＪＡ コンテスト";
  s.JarlCategory = "電信電話部門 シングルオペ オールバンド";
  s.JarlCateCode = "XAM";
  s.JarlPower = "50";
  s.JarlCallSign = "JA1ZZZ";
  s.JarlName = "山田 太郎";
  s.JarlLicenseClass = "第一級アマチュア無線技士";
  s.JarlAddress = "東京都千代田区\r\n1-1-1";
  s.JarlOath = kDefaultOath;
  s.JarlDqpOath = kDefaultDqpOath;
  s.JarlNypOath = kDefaultNypOath;
}

}  // namespace samples
