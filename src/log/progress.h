// Progress of a long loop: the progress window implements it; rule code
// reports through it and never knows about windows.
#pragma once

class Progress {
 public:
  virtual ~Progress() = default;
  virtual void start(int maximum) { (void)maximum; }
  virtual void step(int value) { (void)value; }
  // A text beside the bar (the search shows the QSO it is at).
  virtual void label(const char* text) { (void)text; }
  virtual void finish() {}
};

// Reports nowhere.
inline Progress& noProgress() {
  static Progress p;
  return p;
}
