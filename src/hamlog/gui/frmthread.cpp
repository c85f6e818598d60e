#include "hamlog/gui/frmthread.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "contest/contestdef.h"
#include "hamlog/thlog.h"
#include "log/clock.h"
#include "log/grid.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/qso.h"
#include "log/settings.h"

namespace {
// The received exchange is at most as long as the field that keeps it.
constexpr int kMaxRptCount = 10;

ole::Date step(ole::Date d, int unit, int delta) {
  switch (unit) {
    case 0: return ole::addMonths(d, 12 * delta);
    case 1: return ole::addMonths(d, delta);
    case 2: return ole::addDays(d, delta);
    case 3: return ole::addHours(d, delta);
    default: return ole::addSeconds(d, 60 * delta);
  }
}

QString timeText(ole::Date d) {
  const ole::Parts p = ole::toParts(d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d時%02d分", p.hour, p.minute);
  return QString::fromUtf8(buf);
}
}  // namespace

UpDown::UpDown(const QString& name, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  auto* l = new QVBoxLayout(this);
  l->setContentsMargins(0, 0, 0, 0);
  l->setSpacing(0);
  up = new QToolButton(this);
  up->setObjectName(QStringLiteral("up"));
  up->setArrowType(Qt::UpArrow);
  down = new QToolButton(this);
  down->setObjectName(QStringLiteral("down"));
  down->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up, down}) {
    b->setFixedSize(twipsToPx(255), twipsToPx(180));
    b->setFocusPolicy(Qt::NoFocus);
    l->addWidget(b);
  }
  connect(up, &QToolButton::clicked, this, [this] { emit stepped(1); });
  connect(down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

frmThRead::frmThRead(Workspace& ws, HamlogLibrary& lib) : ToolWindow(ws, DlgThRead), lib_(lib) {
  setEnterClicksButton(true);
  setObjectName(QStringLiteral("frmThRead"));

  auto* lay = new QVBoxLayout(this);
  Frame1 = new QGroupBox(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  auto* g = new QGridLayout(Frame1);
  auto label = [this](const char* name) {
    auto* l = new QLabel(Frame1);
    l->setObjectName(QString::fromUtf8(name));
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    return l;
  };
  lblFromDate = label("lblFromDate");
  lblFromTime = label("lblFromTime");
  lblToDate = label("lblToDate");
  lblToTime = label("lblToTime");
  for (QLabel* l : {lblFromDate, lblToDate, lblFromTime, lblToTime}) l->setMinimumWidth(twipsToPx(1900));
  const char* units[] = {"Year", "Month", "Day", "Hour", "Minute"};
  UpDown** from[] = {&udFromYear, &udFromMonth, &udFromDay, &udFromHour, &udFromMinute};
  UpDown** to[] = {&udToYear, &udToMonth, &udToDay, &udToHour, &udToMinute};
  auto addRow = [&](int row, const char* caption, QLabel* date, QLabel* time, UpDown** uds[],
                    const char* prefix, bool isFrom) {
    g->addWidget(new QLabel(QString::fromUtf8(caption), Frame1), row, 0);
    auto* dateBox = new QHBoxLayout;
    dateBox->addWidget(date, 1);
    auto* timeBox = new QHBoxLayout;
    timeBox->addWidget(time, 1);
    for (int u = 0; u < 5; ++u) {
      *uds[u] = new UpDown(QString::fromUtf8(prefix) + QString::fromUtf8(units[u]), Frame1);
      (u < 3 ? dateBox : timeBox)->addWidget(*uds[u]);
      connect(*uds[u], &UpDown::stepped, this,
              [this, u, isFrom](int d) { isFrom ? stepFrom(u, d) : stepTo(u, d); });
    }
    g->addLayout(dateBox, row, 1);
    g->addLayout(timeBox, row, 2);
  };
  addRow(0, "From", lblFromDate, lblFromTime, from, "udFrom", true);
  addRow(1, "To", lblToDate, lblToTime, to, "udTo", false);
  lay->addWidget(Frame1);

  auto* rpt = new QHBoxLayout;
  rpt->addWidget(new QLabel(QStringLiteral("コンテスト受信レポートの文字数"), this));
  lblRptCount = new QLabel(this);
  lblRptCount->setObjectName(QStringLiteral("lblRptCount"));
  lblRptCount->setFrameShape(QFrame::Panel);
  lblRptCount->setFrameShadow(QFrame::Sunken);
  lblRptCount->setAlignment(Qt::AlignCenter);
  lblRptCount->setFixedWidth(twipsToPx(500));
  udRptCount = new UpDown(QStringLiteral("udRptCount"), this);
  rpt->addWidget(lblRptCount);
  rpt->addWidget(udRptCount);
  rpt->addStretch(1);
  cmdRead = new QPushButton(QStringLiteral("読　込"), this);
  cmdRead->setObjectName(QStringLiteral("cmdRead"));
  CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  for (QPushButton* b : {cmdRead, CancelButton}) {
    b->setFixedWidth(twipsToPx(1215));
    rpt->addWidget(b);
  }
  lay->addLayout(rpt);
  connect(udRptCount, &UpDown::stepped, this, [this](int d) {
    RptCount = std::clamp(RptCount + d, 0, kMaxRptCount);
    lblRptCount->setText(QString::number(RptCount));
  });
  connect(cmdRead, &QPushButton::clicked, this, &frmThRead::cmdRead_Click);
  connect(CancelButton, &QPushButton::clicked, this, &QWidget::close);
}

frmThRead* frmThRead::mnuThLogRead_Click(Workspace& ws) {
  if (ws.session().Doc.State.OpenDialogNo != 0) return nullptr;
  if (ws.session().ui().ask(thtext::kAskRead, Buttons::OkCancel, Icon::Question, thtext::kAskReadTitle) != Answer::Ok)
    return nullptr;
  return showFor(ws, HamlogLibrary::shared(ws.session().ProgramFolder));
}

frmThRead* frmThRead::showFor(Workspace& ws, HamlogLibrary& lib) {
  auto* f = new frmThRead(ws, lib);
  if (!f->Form_Load()) return nullptr;
  f->show();
  f->activateWindow();
  f->cmdRead->setFocus();
  return f;
}

bool frmThRead::Form_Load() {
  // 1. menus off, centred horizontally 500 twips below the main window's top
  ws_.mnuOff();
  adjustSize();
  const QRect m = ws_.mainWidget()->frameGeometry();
  move(m.x() + m.width() / 2 - width() / 2, m.y() + twipsToPx(500));
  // 2. the version; a step that fails is skipped
  Version = ThReadVersion(lib_.GetThdllVersion());
  try {
    lib_.SetQsoOrMaster(1);
  } catch (const HamlogError&) {
  }
  // 3. no library: said in the caption and once in a message
  if (Version == 0) {
    setWindowTitle(toQ(thtext::kNoLibraryCaption));
    ws_.session().ui().tell(thtext::kNoLibrary, Icon::Exclamation);
    cmdRead->setEnabled(false);
    registerOpen();
    return true;
  }
  // 4. the database and its records
  setWindowTitle(toQ(thtext::versionCaption(Version)));
  const Settings& ini = ws_.session().Ini;
  std::string_view stop;
  if (ini.ThDbFile.empty()) {
    stop = thtext::kNoDbFile;
  } else {
    std::int32_t rc = -1;
    try {
      rc = ThCountRecords(lib_, ini.ThDbFile, RecordCount);
    } catch (const HamlogError&) {
    }
    if (rc != 0) stop = thtext::kCannotOpen;
    else if (RecordCount == 0) stop = thtext::kNoQso;
  }
  if (!stop.empty()) {
    ws_.session().ui().tell(stop, Icon::Exclamation);
    close();
    return false;
  }
  // 5. From and To at the current time in the contest's zone
  From = To = ws_.session().clock().now();
  if (ws_.session().Contest.SetUTCtime == 1) {
    From = To = ole::addHours(From, -9);
    Frame1->setTitle(toQ(thtext::kFrameUtc));
  } else {
    Frame1->setTitle(toQ(thtext::kFrameJst));
  }
  showTimes();
  RptCount = std::clamp<int>(ini.ThRRptCount, 0, kMaxRptCount);
  lblRptCount->setText(QString::number(RptCount));
  registerOpen();
  return true;
}

void frmThRead::showTimes() {
  lblFromDate->setText(toQ(ole::formatJapaneseDate(From)));
  lblFromTime->setText(timeText(From));
  lblToDate->setText(toQ(ole::formatJapaneseDate(To)));
  lblToTime->setText(timeText(To));
}

void frmThRead::stepFrom(int unit, int delta) {
  const ole::Date d = step(From, unit, delta);
  if (!ole::valid(d)) return;
  if (delta > 0 && ThWindowText(d) > ThWindowText(To)) return;
  From = d;
  showTimes();
}

void frmThRead::stepTo(int unit, int delta) {
  const ole::Date d = step(To, unit, delta);
  if (!ole::valid(d)) return;
  if (delta < 0 && ThWindowText(From) > ThWindowText(d)) return;
  To = d;
  showTimes();
}

void frmThRead::cmdRead_Click() {
  if (closed()) return;
  Settings& ini = ws_.session().Ini;
  ini.ThRRptCount = static_cast<std::int16_t>(RptCount);
  ThReadRequest req;
  req.path = ini.ThDbFile;
  req.version = Version;
  req.from = From;
  req.to = To;
  req.showSeconds = ws_.session().Doc.State.ShowSeconds;
  Session& session = ws_.session();
  LogDocument& doc = session.Doc;
  const ThReadResult res = ThlogDataRead(lib_, req, ini, session.Contest, doc, session.GridData,
                                         session.progress());
  const int rows = doc.State.GridPageRows;
  if (rows > 0 && doc.Log.count() >= rows) ws_.scrollGridTo(doc.Log.count() - rows + 1);
  if (res.failed) session.ui().tell(res.error, Icon::Critical);
  if (res.limited) session.ui().tell(importtext::limitReached(res.appended), Icon::Exclamation);
  if (const std::string note = ThReadNote(res); !note.empty())
    session.ui().tell(note, Icon::Exclamation);
  close();
  ws_.session().LogDataSearch();
}
