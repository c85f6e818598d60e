#include "app/core/startenv.h"

#include <cstdlib>

namespace {
constexpr const char* kBusAddress = "DBUS_SESSION_BUS_ADDRESS";
}

NoBusWhileStarting::NoBusWhileStarting() {
  const char* bus = std::getenv(kBusAddress);
  if (bus && *bus) return;
  set_ = setenv(kBusAddress, "disabled:", 1) == 0;
}

void NoBusWhileStarting::end() {
  if (set_) unsetenv(kBusAddress);
  set_ = false;
}
