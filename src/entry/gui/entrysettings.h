// What the entry window's two settings windows (the call history's and the
// radio's) do alike: open over the main window unless another tool window
// is open, and write the settings file when OK keeps the values.
#pragma once
#include <QPushButton>
#include <QRect>
#include <QWidget>
#include <string>

#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/qtui.h"

// Centred on the main window, topTwips below its top.
inline void PlaceOverMain(QWidget* w, Workspace& ws, int topTwips) {
  w->adjustSize();
  const QRect m = ws.mainWidget()->frameGeometry();
  w->move(m.x() + m.width() / 2 - w->width() / 2, m.y() + twipsToPx(topTwips));
}

// Writes the settings file; a failure is told (the window not topmost
// meanwhile). False when it was not written.
inline bool WriteSettingsTold(Workspace& ws, QWidget* window) {
  std::string err;
  if (ws.session().writeSettings(&err)) return true;
  setTopmost(window, false);
  ws.session().ui().tell("設定ファイルを書き込めませんでした。\r\n" + err, Icon::Critical);
  setTopmost(window, true);
  return false;
}
