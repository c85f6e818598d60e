// A log of n QSOs on 7 MHz CW, a minute apart from 2026-04-25 21:00, calls
// JA1AA0, JA1AA1, ...
#pragma once
#include <string>

#include "log/oledate.h"
#include "log/qso.h"

inline void AppendSampleQsos(LogData& log, int n) {
  for (int i = 0; i < n; ++i) {
    QsoRecord r;
    r.CallSign = "JA1AA" + std::to_string(i);
    r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + i / 1440.0;
    r.Band = "7";
    r.Mode = "CW";
    log.append(r);
  }
}
