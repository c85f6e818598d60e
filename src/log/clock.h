// The computer's clock, injected so tests can set the time.
#pragma once
#include "log/oledate.h"

class Clock {
 public:
  virtual ~Clock() = default;
  // Local time of the machine as an OLE date, to the second.
  virtual ole::Date now() const = 0;
};

class SystemClock : public Clock {
 public:
  ole::Date now() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(ole::Date t) : t_(t) {}
  ole::Date now() const override { return t_; }
  void set(ole::Date t) { t_ = t; }

 private:
  ole::Date t_;
};
