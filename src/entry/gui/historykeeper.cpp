#include "entry/gui/historykeeper.h"

#include <chrono>

#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "entry/gui/frminput.h"

HistoryKeeper::HistoryKeeper(Workspace& ws, QObject* parent) : QObject(parent), ws_(ws) {
  timer_.setInterval(100);
  connect(&timer_, &QTimer::timeout, this, &HistoryKeeper::poll);
}

// A build still running is waited for here (the program is ending).
HistoryKeeper::~HistoryKeeper() = default;

void HistoryKeeper::build() {
  if (pending_.valid()) {
    again_ = true;
    return;
  }
  const Session& s = ws_.session();
  pending_ = StartCallHistory(HistorySourcesOf(s.ProgramFolder, s.Ini, s.Doc.State.LogFileName),
                              CallHistoryCachePath(s.ProgramFolder));
  timer_.start();
}

void HistoryKeeper::poll() {
  if (!pending_.valid() || pending_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
  timer_.stop();
  ws_.session().History = std::make_shared<const CallHistory>(pending_.get());
  if (std::exchange(again_, false)) build();
  if (frmInput* f = frmInput::openOf(ws_)) f->historyArrived();
  emit ready();
}
