#include "app/core/version.h"

std::string ProgramVersion() {
  return std::to_string(TAMARACK_VERSION_MAJOR) + "." + std::to_string(TAMARACK_VERSION_MINOR) +
         "." + std::to_string(TAMARACK_VERSION_REVISION);
}
