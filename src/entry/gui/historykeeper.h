// The call history as the main window keeps it for the entry window: built
// on a worker thread when asked (at start, after the log is opened; again
// when its settings change), looked for by a timer on the window's thread,
// put into the session once ready and handed to the open entry window. A build asked for
// while one runs starts when that one ends, so the window never waits.
#pragma once
#include <QObject>
#include <QTimer>
#include <future>
#include <memory>

#include "contest/callhistory.h"

class Workspace;

class HistoryKeeper : public QObject {
  Q_OBJECT
 public:
  explicit HistoryKeeper(Workspace& ws, QObject* parent = nullptr);
  ~HistoryKeeper() override;

  // Builds the history from the settings and the open log.
  void build();
  bool building() const { return pending_.valid(); }

 signals:
  void ready();

 private:
  void poll();

  Workspace& ws_;
  QTimer timer_;
  std::future<CallHistory> pending_;
  bool again_ = false;
};
