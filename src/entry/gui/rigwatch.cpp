#include "entry/gui/rigwatch.h"

#include <QMetaObject>
#include <mutex>
#include <thread>
#include <vector>

// Where the worker's statuses go; cut off when the watch goes, so that a
// status reported while the link is being closed reaches nothing.
struct RigWatch::Relay {
  std::mutex m;
  RigWatch* target = nullptr;
};

namespace {
// The threads closing links; joined at the latest when the program ends.
struct Closing {
  std::mutex m;
  std::vector<std::thread> threads;
  void add(std::unique_ptr<entry::RigLink> link) {
    std::lock_guard<std::mutex> lock(m);
    threads.emplace_back([l = std::move(link)]() mutable { l.reset(); });
  }
  void joinAll() {
    std::vector<std::thread> t;
    {
      std::lock_guard<std::mutex> lock(m);
      t.swap(threads);
    }
    for (std::thread& x : t) x.join();
  }
  ~Closing() { joinAll(); }
};
Closing& closing() {
  static Closing c;
  return c;
}
}  // namespace

RigWatch::RigWatch(QObject* parent) : QObject(parent) {}

RigWatch::~RigWatch() { stop(); }

void RigWatch::start(const entry::RigConfig& config) {
  stop();
  status_ = entry::RigStatus{};
  relay_ = std::make_shared<Relay>();
  relay_->target = this;
  link_ = std::make_unique<entry::RigLink>(config, [relay = relay_](const entry::RigStatus& s) {
    // Worker thread: queued to the watch's thread, never waited for.
    std::lock_guard<std::mutex> lock(relay->m);
    if (!relay->target) return;
    RigWatch* w = relay->target;
    QMetaObject::invokeMethod(
        w,
        [w, s] {
          w->status_ = s;
          emit w->changed(s);
        },
        Qt::QueuedConnection);
  });
}

void RigWatch::stop() {
  if (relay_) {
    std::lock_guard<std::mutex> lock(relay_->m);
    relay_->target = nullptr;
  }
  relay_.reset();
  if (link_) closing().add(std::move(link_));
}

void RigWatch::waitForClosed() { closing().joinAll(); }
