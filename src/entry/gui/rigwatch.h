// A rig link as a window holds it: the link's statuses, which its worker
// thread reports, arrive on the window's thread as a signal; letting the
// link go never waits for a radio that does not answer (it is closed on a
// thread of its own). No call into the rig library runs on the window's
// thread.
//
//   watch = new RigWatch(this);
//   connect(watch, &RigWatch::changed, this, &frmInput::rigChanged);
//   watch->start(*RigConfig::fromSettings(ini));
//   watch->link()->setBand("7", "CW");
#pragma once
#include <QObject>
#include <memory>

#include "entry/riglink.h"

class RigWatch : public QObject {
  Q_OBJECT
 public:
  explicit RigWatch(QObject* parent = nullptr);
  ~RigWatch() override;

  // A new link to the radio (the one before is let go).
  void start(const entry::RigConfig& config);
  void stop();
  entry::RigLink* link() const { return link_.get(); }
  // The status last delivered on this thread.
  const entry::RigStatus& status() const { return status_; }

  // Links still being closed on their own threads end before this returns
  // (tests; the program's end).
  static void waitForClosed();

 signals:
  void changed(const entry::RigStatus& s);

 private:
  struct Relay;
  std::shared_ptr<Relay> relay_;
  std::unique_ptr<entry::RigLink> link_;
  entry::RigStatus status_;
};
