// The QSO the benchmarks build their logs from: record i of a long ALL JA
// style log on 7 and 430 MHz, one a second.
#pragma once
#include <string>

#include "log/oledate.h"
#include "log/qso.h"

inline QsoRecord BenchQso(int i) {
  QsoRecord r;
  r.Band = i % 2 ? "7" : "430";
  r.Mode = i % 3 ? "CW" : "SSB";
  r.QsoTime = ole::fromDateTime(2024, 4, 29, 21, 0, 0) + i / 86400.0;
  r.CallSign = "JA" + std::to_string(i % 10) + "ABC" + std::to_string(i % 100);
  r.SentRst = "599";
  r.SentNo = "13M";
  r.RcvdRst = "599";
  r.RcvdNo = std::to_string(100 + i % 47) + "H";
  return r;
}
