#include "entry/riglink.h"

#include <dlfcn.h>
#include <hamlib/rig.h>
#include <pthread.h>

#include <algorithm>
#include <clocale>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <map>
#include <mutex>
#include <set>
#include <utility>

#include "contest/bands.h"
#include "entry/rigmap.h"
#include "log/settings.h"

namespace entry {

namespace {

// ------------------------------------------------------------ the library

std::mutex& threadsMutex() {
  static std::mutex m;
  return m;
}
std::set<std::thread::id>& threadsSeen() {
  static std::set<std::thread::id> s;
  return s;
}

// The library's model registry is global; its rigs are one per thread here.
std::mutex& registryMutex() {
  static std::mutex m;
  return m;
}

// The rig library is opened when a radio is first used, not when the
// program starts: it and the libraries it brings in took longer to load
// than all the rest of the program's start.
#define RIG_FUNCTIONS(X)                                                                       \
  X(rig_set_debug) X(rigerror2) X(rig_init) X(rig_open) X(rig_close) X(rig_cleanup) X(rig_get_freq) \
  X(rig_get_mode) X(rig_strrmode) X(rig_set_freq) X(rig_parse_mode) X(rig_set_mode)              \
  X(rig_token_lookup) X(rig_set_conf) X(rig_load_all_backends) X(rig_list_foreach) X(rig_strstatus)
struct RigLibrary {
#define RIG_FN(f) decltype(&::f) f = nullptr;
  RIG_FUNCTIONS(RIG_FN)
#undef RIG_FN
  // Why the library cannot be used; empty when it can.
  std::string error;
};

const RigLibrary& rigLibrary() {
  static const RigLibrary lib = [] {
    RigLibrary l;
    dlerror();
    void* h = dlopen(TAMARACK_HAMLIB_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
      const char* e = dlerror();
      l.error = e ? e : TAMARACK_HAMLIB_SONAME;
      return l;
    }
    auto get = [&l, h](auto& fn, const char* name) {
      if (!l.error.empty()) return;
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(h, name));
      if (!fn) l.error = std::string(TAMARACK_HAMLIB_SONAME) + ": " + name + ": undefined symbol";
    };
#define RIG_GET(f) get(l.f, #f);
    RIG_FUNCTIONS(RIG_GET)
#undef RIG_GET
    // The library stays loaded for the rest of the run.
    if (l.error.empty()) l.rig_set_debug(RIG_DEBUG_NONE);
    return l;
  }();
  return lib;
}

// Every entry into the library goes through here first: the library, or
// null (with `error` set, when asked for) when it cannot be loaded.
const RigLibrary* enterLibrary(std::string* error = nullptr) {
  {
    std::lock_guard<std::mutex> lock(threadsMutex());
    threadsSeen().insert(std::this_thread::get_id());
  }
  const RigLibrary& lib = rigLibrary();
  if (lib.error.empty()) return &lib;
  if (error) *error = lib.error;
  return nullptr;
}

std::string libraryError(const RigLibrary& lib, int rc) {
  const char* t = lib.rigerror2(rc);
  std::string s = t ? t : "";
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  return s.empty() ? "error " + std::to_string(rc) : s;
}

// One open radio; used by the worker thread only.
class LibraryRig {
 public:
  ~LibraryRig() { close(); }
  bool isOpen() const { return rig_ != nullptr; }

  bool open(const RigConfig& c, std::string& err) {
    lib_ = enterLibrary(&err);
    if (!lib_) return false;
    {
      std::lock_guard<std::mutex> lock(registryMutex());
      rig_ = lib_->rig_init(static_cast<rig_model_t>(c.model));
    }
    if (!rig_) {
      err = "unknown rig model " + std::to_string(c.model);
      return false;
    }
    if (!c.port.empty() && !setConf("rig_pathname", c.port, err)) return fail();
    if (c.speed > 0 && !setConf("serial_speed", std::to_string(c.speed), err)) return fail();
    const int rc = lib_->rig_open(rig_);
    if (rc != RIG_OK) {
      err = libraryError(*lib_, rc);
      return fail();
    }
    opened_ = true;
    return true;
  }

  void close() {
    if (!rig_) return;
    enterLibrary();
    if (opened_) lib_->rig_close(rig_);
    std::lock_guard<std::mutex> lock(registryMutex());
    lib_->rig_cleanup(rig_);
    rig_ = nullptr;
    opened_ = false;
  }

  bool read(std::uint64_t& hz, std::string& mode, std::string& err) {
    enterLibrary();
    freq_t f = 0;
    int rc = lib_->rig_get_freq(rig_, RIG_VFO_CURR, &f);
    if (rc != RIG_OK) return failed(rc, err);
    rmode_t m = RIG_MODE_NONE;
    pbwidth_t width = 0;
    rc = lib_->rig_get_mode(rig_, RIG_VFO_CURR, &m, &width);
    if (rc != RIG_OK) return failed(rc, err);
    hz = f > 0 ? static_cast<std::uint64_t>(f + 0.5) : 0;
    const char* name = lib_->rig_strrmode(m);
    mode = name ? name : "";
    return true;
  }

  bool setFrequency(std::uint64_t hz, std::string& err) {
    enterLibrary();
    const int rc = lib_->rig_set_freq(rig_, RIG_VFO_CURR, static_cast<freq_t>(hz));
    return rc == RIG_OK || failed(rc, err);
  }

  bool setMode(const std::string& name, std::string& err) {
    enterLibrary();
    const rmode_t m = lib_->rig_parse_mode(name.c_str());
    if (m == RIG_MODE_NONE) return true;
    const int rc = lib_->rig_set_mode(rig_, RIG_VFO_CURR, m, RIG_PASSBAND_NOCHANGE);
    return rc == RIG_OK || failed(rc, err);
  }

 private:
  bool setConf(const char* name, const std::string& value, std::string& err) {
    const token_t t = lib_->rig_token_lookup(rig_, name);
    const int rc = t == RIG_CONF_END ? -RIG_EINVAL : lib_->rig_set_conf(rig_, t, value.c_str());
    if (rc == RIG_OK) return true;
    err = std::string(name) + " " + value + ": " + libraryError(*lib_, rc);
    return false;
  }
  bool fail() {
    close();
    return false;
  }
  bool failed(int rc, std::string& err) const {
    err = libraryError(*lib_, rc);
    return false;
  }

  const RigLibrary* lib_ = nullptr;
  RIG* rig_ = nullptr;
  bool opened_ = false;
};

// ------------------------------------------------------------ texts

const char* const kNotAnswering = "リグが応答しません";
const char* const kCannotSet = "リグに設定できません";

std::string outOfBandNote(std::uint64_t hz) {
  return "リグの周波数 " + RigFrequencyText(hz) + " MHz はバンド外です";
}
std::string unknownModeNote(const std::string& rigMode) {
  return "リグのモード " + rigMode + " に当たるモードがありません";
}

struct Request {
  std::uint64_t hz = 0;  // 0: keep the frequency
  std::string modeText;  // empty: keep the mode
};

}  // namespace

// ------------------------------------------------------------ shared state

struct RigLink::Shared {
  explicit Shared(RigConfig c, OnChange f) : config(std::move(c)), onChange(std::move(f)) {}

  const RigConfig config;
  mutable std::mutex m;
  std::condition_variable wake;             // the worker: a request or the stop
  mutable std::condition_variable changed;  // waiters: a round ended
  RigStatus status;
  std::deque<Request> requests;
  std::map<std::pair<int, std::string>, std::uint64_t> lastUsed;  // (band, mode) -> Hz
  bool stop = false;
  bool finished = false;

  std::mutex callbackMutex;  // held while onChange runs, so the destructor can wait it out
  OnChange onChange;

  // Ends a round: the new values, the callback when anything changed.
  void publish(RigStatus next) {
    bool differs = false;
    RigStatus copy;
    {
      std::lock_guard<std::mutex> lock(m);
      const RigStatus& s = status;
      differs = next.state != s.state || next.frequency != s.frequency ||
                next.rigMode != s.rigMode || next.band != s.band || next.mode != s.mode ||
                next.note != s.note || next.error != s.error;
      next.rounds = s.rounds + 1;
      next.serial = s.serial + (differs ? 1 : 0);
      if (next.state == RigState::Answering && !next.band.empty())
        lastUsed[{bands::BandIndexExact(next.band), next.mode}] = next.frequency;
      status = next;
      copy = status;
    }
    changed.notify_all();
    if (!differs) return;
    std::lock_guard<std::mutex> lock(callbackMutex);
    if (onChange) onChange(copy);
  }

  void notAnswering(const std::string& err) {
    RigStatus next = snapshot();
    next.state = RigState::NotAnswering;
    next.note = kNotAnswering;
    next.error = err;
    publish(std::move(next));
  }

  void answered(std::uint64_t hz, const std::string& rigMode, const std::string& setError) {
    RigStatus next = snapshot();
    next.state = RigState::Answering;
    next.frequency = hz;
    next.rigMode = rigMode;
    next.band = std::string(RigBandText(hz));
    next.mode = std::string(RigModeText(rigMode, config.digiMode));
    std::string note;
    auto add = [&note](const std::string& t) { note += (note.empty() ? "" : "　") + t; };
    if (next.band.empty()) add(outOfBandNote(hz));
    if (next.mode.empty()) add(unknownModeNote(rigMode));
    if (!setError.empty()) add(std::string(kCannotSet) + ": " + setError);
    next.note = note;
    next.error = setError;
    publish(std::move(next));
  }

  RigStatus snapshot() const {
    std::lock_guard<std::mutex> lock(m);
    return status;
  }

  // Sleeps for d unless a request or the stop comes first; false on stop.
  bool pause(std::chrono::milliseconds d, bool wakeOnRequest) {
    std::unique_lock<std::mutex> lock(m);
    wake.wait_for(lock, d, [&] { return stop || (wakeOnRequest && !requests.empty()); });
    return !stop;
  }

  std::deque<Request> takeRequests() {
    std::lock_guard<std::mutex> lock(m);
    return std::exchange(requests, {});
  }

  void run() {
    // A server that went away must fail the write, not end the program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    LibraryRig rig;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(m);
        if (stop) break;
      }
      std::string err;
      if (!rig.isOpen() && !rig.open(config, err)) {
        takeRequests();
        notAnswering(err);
        if (!pause(config.retryEvery, false)) break;
        continue;
      }
      std::string setError;
      for (const Request& r : takeRequests()) {
        if (r.hz && !rig.setFrequency(r.hz, setError)) break;
        if (r.modeText.empty()) continue;
        std::uint64_t hz = r.hz;
        std::string rigMode;
        if (!hz && !rig.read(hz, rigMode, setError)) break;
        const std::string_view name = RigModeFor(r.modeText, hz, config.digiMode);
        if (!name.empty() && !rig.setMode(std::string(name), setError)) break;
      }
      std::uint64_t hz = 0;
      std::string rigMode;
      if (!rig.read(hz, rigMode, err)) {
        rig.close();
        notAnswering(err);
        if (!pause(config.retryEvery, false)) break;
        continue;
      }
      answered(hz, rigMode, setError);
      if (!pause(config.pollEvery, true)) break;
    }
    rig.close();
    {
      std::lock_guard<std::mutex> lock(m);
      finished = true;
    }
    changed.notify_all();
  }
};

// ------------------------------------------------------------ the link

RigConfig RigConfig::rigctld(std::string hostPort, std::string digiMode) {
  RigConfig c;
  c.model = kRigctldModel;
  c.port = std::move(hostPort);
  c.digiMode = std::move(digiMode);
  return c;
}

std::optional<RigConfig> RigConfig::fromSettings(const Settings& ini) {
  if (ini.RigOn != 1 || ini.RigModel <= 0) return std::nullopt;
  if (ini.RigModel == kRigctldModel) return rigctld(ini.RigctldAddress, ini.RigDigiMode);
  RigConfig c;
  c.model = ini.RigModel;
  c.port = ini.RigPort;
  c.speed = ini.RigSpeed;
  c.digiMode = ini.RigDigiMode;
  return c;
}

namespace {
// The rig library's open keeps the name setlocale() gives for LC_NUMERIC,
// switches to "C" and back by that name; a name the C library allocated is
// freed by the switch and then read. With "C" set once beforehand, on the
// thread that makes the first link, the name is the library's constant and
// nothing is freed. The program's files want the C numbers anyway.
void numbersInTheCLocale() {
  static std::once_flag once;
  std::call_once(once, [] { std::setlocale(LC_NUMERIC, "C"); });
}
}  // namespace

RigLink::RigLink(RigConfig config, OnChange onChange)
    : shared_(std::make_shared<Shared>(std::move(config), std::move(onChange))) {
  numbersInTheCLocale();
  worker_ = std::thread([s = shared_] { s->run(); });
}

RigLink::~RigLink() {
  {
    std::lock_guard<std::mutex> lock(shared_->m);
    shared_->stop = true;
  }
  shared_->wake.notify_all();
  {
    std::lock_guard<std::mutex> lock(shared_->callbackMutex);
    shared_->onChange = nullptr;
  }
  bool finished = false;
  {
    std::unique_lock<std::mutex> lock(shared_->m);
    finished = shared_->changed.wait_for(lock, std::chrono::seconds(5),
                                         [&] { return shared_->finished; });
  }
  // A radio stuck in a long timeout must not hold the window: the worker
  // keeps the shared state alive and ends after its call.
  if (finished)
    worker_.join();
  else
    worker_.detach();
}

RigStatus RigLink::status() const { return shared_->snapshot(); }

RigStatus RigLink::waitUntil(const std::function<bool(const RigStatus&)>& pred,
                             std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(shared_->m);
  shared_->changed.wait_for(lock, timeout,
                            [&] { return pred(shared_->status) || shared_->finished; });
  return shared_->status;
}

void RigLink::setFrequency(std::uint64_t hz) {
  if (hz == 0) return;
  {
    std::lock_guard<std::mutex> lock(shared_->m);
    shared_->requests.push_back({hz, {}});
  }
  shared_->wake.notify_all();
}

void RigLink::setMode(std::string_view modeText) {
  if (modeText.empty()) return;
  {
    std::lock_guard<std::mutex> lock(shared_->m);
    shared_->requests.push_back({0, std::string(modeText)});
  }
  shared_->wake.notify_all();
}

void RigLink::setBand(std::string_view bandText, std::string_view modeText) {
  const std::uint64_t hz = frequencyFor(bandText, modeText);
  if (hz == 0) return;
  {
    std::lock_guard<std::mutex> lock(shared_->m);
    shared_->requests.push_back({hz, std::string(modeText)});
  }
  shared_->wake.notify_all();
}

std::uint64_t RigLink::frequencyFor(std::string_view bandText, std::string_view modeText) const {
  const int band = bands::BandIndexExact(bandText);
  if (band < 0) return 0;
  {
    std::lock_guard<std::mutex> lock(shared_->m);
    const auto it = shared_->lastUsed.find({band, std::string(modeText)});
    if (it != shared_->lastUsed.end()) return it->second;
  }
  return RigDefaultFrequency(bandText, modeText);
}

// ------------------------------------------------------------ models

const std::vector<RigModelInfo>& RigModels() {
  static const std::vector<RigModelInfo> models = [] {
    std::vector<RigModelInfo> out;
    // The library is entered on a thread of its own, as everywhere.
    std::thread t([&out] {
      const RigLibrary* lib = enterLibrary();
      if (!lib) return;
      std::lock_guard<std::mutex> lock(registryMutex());
      lib->rig_load_all_backends();
      lib->rig_list_foreach(
          [](const rig_caps* caps, rig_ptr_t data) {
            auto* list = static_cast<std::vector<RigModelInfo>*>(data);
            list->push_back({static_cast<int>(caps->rig_model),
                             caps->mfg_name ? caps->mfg_name : "",
                             caps->model_name ? caps->model_name : "",
                             rigLibrary().rig_strstatus(caps->status)});
            return 1;  // go on
          },
          &out);
    });
    t.join();
    std::sort(out.begin(), out.end(), [](const RigModelInfo& a, const RigModelInfo& b) {
      return std::tie(a.maker, a.name, a.model) < std::tie(b.maker, b.name, b.model);
    });
    return out;
  }();
  return models;
}

std::vector<std::thread::id> RigLibraryThreads() {
  std::lock_guard<std::mutex> lock(threadsMutex());
  return {threadsSeen().begin(), threadsSeen().end()};
}

}  // namespace entry
