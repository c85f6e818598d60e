// The link to the operator's radio through the rig library: one worker
// thread opens the radio (a model on a serial or USB port, or a rigctld
// server), reads its frequency and mode about every 300 ms and sets it on
// request. Every call into the rig library runs on that thread; the caller
// only reads plain values.
//
// How the entry window uses it:
//
//   at open, when Settings.RigOn is 1
//       if (auto cfg = RigConfig::fromSettings(ini))
//         link = std::make_unique<RigLink>(*cfg, [this](const RigStatus& s) {
//           // worker thread: hand the copy to the window's own thread
//           QMetaObject::invokeMethod(this, [this, s] { rigChanged(s); }, Qt::QueuedConnection);
//         });
//   rigChanged(s), on the window's thread
//       state Answering: a band or mode that differs from the one the link
//       reported before goes into the band or mode box (an empty band or mode
//       means leave the box); s.note goes to the status line.
//       state NotAnswering: show s.note; the link keeps retrying by itself.
//   band typed or picked      link->setBand(bandText, modeBoxText)
//   mode picked               link->setMode(modeBoxText)
//   settings changed          destroy the link and make a new one
//
// The callback runs on the worker thread and must not block on the window's
// thread (queue it, never a blocking call). It is never called after the
// link's destructor has returned.
#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct Settings;

namespace entry {

struct RigConfig {
  static constexpr int kRigctldModel = 2;  // the rig library's network client

  int model = 0;
  std::string port;      // device, or host:port for a rigctld server; empty: the model's own
  int speed = 0;         // serial speed; 0: the model's own
  std::string digiMode;  // mode box text for the radio's packet modes
  std::chrono::milliseconds pollEvery{300};
  std::chrono::milliseconds retryEvery{1000};  // after a failure

  static RigConfig rigctld(std::string hostPort, std::string digiMode = {});
  // The settings' radio; nothing when RigOn is not 1 or no model is chosen.
  static std::optional<RigConfig> fromSettings(const Settings& ini);
};

enum class RigState {
  Connecting,    // before the first answer
  Answering,
  NotAnswering,  // closed, cannot be opened or stopped answering: retried quietly
};

// What the link knows, as plain values.
struct RigStatus {
  RigState state = RigState::Connecting;
  std::uint64_t frequency = 0;  // Hz as last read; 0 before the first answer
  std::string rigMode;          // the radio's mode name as last read ("USB")
  std::string band;             // band box text; empty: out of band, leave the box
  std::string mode;             // mode box text; empty: leave the box
  std::string note;             // for the status line; empty: nothing to say
  std::string error;            // the rig library's text of the last failure
  std::uint64_t rounds = 0;     // reading rounds finished, answered or not
  std::uint64_t serial = 0;     // bumps whenever a value above except rounds changes
};

class RigLink {
 public:
  using OnChange = std::function<void(const RigStatus&)>;

  // Starts the worker; onChange (worker thread) gets every changed status.
  explicit RigLink(RigConfig config, OnChange onChange = {});
  // Stops the worker. Waits a few seconds at most for a radio that does not
  // answer; a worker still inside a call then ends by itself.
  ~RigLink();
  RigLink(const RigLink&) = delete;
  RigLink& operator=(const RigLink&) = delete;

  RigStatus status() const;
  // Blocks until pred holds for the status or the timeout passes; returns
  // the status seen last. For the command-line tool and tests, not windows.
  RigStatus waitUntil(const std::function<bool(const RigStatus&)>& pred,
                      std::chrono::milliseconds timeout) const;

  // Requests, carried out in order on the worker thread; dropped while the
  // radio does not answer.
  void setFrequency(std::uint64_t hz);
  // The radio's mode for a mode box text (SSB sideband by frequency); a
  // text without one changes nothing.
  void setMode(std::string_view modeText);
  // Moves the radio to frequencyFor(band, mode), then to the mode.
  void setBand(std::string_view bandText, std::string_view modeText);

  // The frequency last read on that band in that mode, else the band's
  // usual one for the mode; 0 for a text that is no band.
  std::uint64_t frequencyFor(std::string_view bandText, std::string_view modeText) const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
  std::thread worker_;
};

// One radio model the rig library knows.
struct RigModelInfo {
  int model = 0;
  std::string maker;
  std::string name;
  std::string status;  // the library's word for how well it is tested ("Stable")
};
// Every model, by maker and name. Read once (on a thread of its own) and kept.
const std::vector<RigModelInfo>& RigModels();

// The threads on which the rig library has been called so far in this
// process (for checks that no caller's thread ever is).
std::vector<std::thread::id> RigLibraryThreads();

}  // namespace entry
