#pragma once
// The face the windows' texts are drawn in.
#include <string>

// Reads the font configuration (tens of milliseconds the first time, so it
// may run on a thread of its own) and names the sans-serif family it takes
// for Japanese; empty when it finds no face that has Japanese letters.
std::string JapaneseSansFamily();
