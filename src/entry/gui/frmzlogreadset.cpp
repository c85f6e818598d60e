#include "entry/gui/frmzlogreadset.h"

#include <QKeyEvent>
#include <filesystem>

#include "log/fileio.h"
#include "log/gui/frmbar.h"
#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/progress.h"
#include "log/qso.h"
#include "log/ui.h"
#include "log/zlog.h"

namespace {
void place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}
}  // namespace

frmZlogReadSet::frmZlogReadSet(Workspace& ws) : ToolWindow(ws, DlgZlogReadSet, Qt::Dialog) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmZlogReadSet"));
  setWindowTitle(QStringLiteral("ZLOGログファイル読込"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);
  setFixedSize(twipsToPx(5400), twipsToPx(2160));

  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setWordWrap(true);
  Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  place(Label1, 180, 120, 5040, 600);
  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  place(Label2, 180, 780, 5040, 360);
  OKButton = new QPushButton(QStringLiteral("読　込"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  place(OKButton, 1260, 1380, 1320, 420);
  CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  place(CancelButton, 2820, 1380, 1320, 420);
  connect(OKButton, &QPushButton::clicked, this, &frmZlogReadSet::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &frmZlogReadSet::CancelButton_Click);
  OKButton->setFocus();

  // Form load: menus off, topmost, 300 twips right of and below the main
  // window's corner.
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  registerOpen();
}

void frmZlogReadSet::CancelButton_Click() { close(); }

void frmZlogReadSet::ZlogTempRead(const std::string& ZlogName) {
  if (!fileio::exists(ZlogName)) {
    ws_.session().ui().tell(importtext::kNoFile);
    close();
    return;
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(ZlogName, ec);
  if (ec) {
    ws_.session().ui().tell(ec.message());
    close();
    return;
  }
  Label1->setText(toQ(ZlogName));
  Label2->setText(toQ(zlog::CountText(zlog::RecordCount(size))));
}

bool frmZlogReadSet::ZlogRead(const std::string& ZlogName) {
  bytes_.clear();
  count_ = 0;
  if (!fileio::exists(ZlogName)) {
    ws_.session().ui().tell(importtext::kNoFile);
    close();
    return false;
  }
  std::string err;
  if (!fileio::readAll(ZlogName, bytes_, &err)) {
    bytes_.clear();
    ws_.session().ui().tell(err);
    close();
    return false;
  }
  count_ = std::max<std::int64_t>(zlog::RecordCount(bytes_.size()) - 1, 0);
  return true;
}

void frmZlogReadSet::ZlogConvert() {
  const ImportResult res = ::ZlogConvert(bytes_, ws_.session().Doc.Log, ws_.session().progress());
  ws_.session().Doc.State.LogDirty = 1;
  if (res.limited) ws_.session().ui().tell(importtext::limitReached(res.appended));
}

void frmZlogReadSet::OKButton_Click() {
  ws_.session().saveSettings();
  if (!ZlogRead(ZlogFileName)) return;
  ZlogConvert();
  // The dialog may be deleted while the search lets events run.
  Workspace& ws = ws_;
  close();
  ws.session().LogDataSearch();
  ws.session().Files.scrollToEnd();
}
