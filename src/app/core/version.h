// The program's version: what the about box and --version show.
#pragma once
#include <string>

// "major.minor.revision", e.g. "1.0.0".
std::string ProgramVersion();
