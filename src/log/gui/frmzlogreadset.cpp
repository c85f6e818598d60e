#include "log/gui/frmzlogreadset.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <filesystem>

#include "app/gui/frmbar.h"
#include "app/gui/frmmain.h"
#include "app/gui/qtui.h"
#include "log/fileio.h"
#include "log/zlog.h"

namespace {
void place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}
}  // namespace

frmZlogReadSet::frmZlogReadSet(frmMain& main) : QDialog(&main), main_(main) {
  setObjectName(QStringLiteral("frmZlogReadSet"));
  setAttribute(Qt::WA_DeleteOnClose);
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
  main_.mnuOff();
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  move(main_.pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  main_.registerDialog(DlgZlogReadSet, this);
}

frmZlogReadSet::~frmZlogReadSet() = default;

void frmZlogReadSet::unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (main_.openDialog(DlgZlogReadSet) == this || main_.Doc.State.OpenDialogNo == DlgZlogReadSet)
    main_.unregisterDialog(DlgZlogReadSet);
  if (!main_.unloaded()) main_.mnuOn();
}

void frmZlogReadSet::closeEvent(QCloseEvent* e) {
  // Not QDialog's: it would go round through reject().
  e->accept();
  unload();
}

void frmZlogReadSet::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QDialog::keyPressEvent(e);
}

void frmZlogReadSet::reject() { close(); }

void frmZlogReadSet::CancelButton_Click() { close(); }

void frmZlogReadSet::ZlogTempRead(const std::string& ZlogName) {
  if (!fileio::exists(ZlogName)) {
    main_.ui().tell(importtext::kNoFile);
    close();
    return;
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(ZlogName, ec);
  if (ec) {
    main_.ui().tell(ec.message());
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
    main_.ui().tell(importtext::kNoFile);
    close();
    return false;
  }
  std::string err;
  if (!fileio::readAll(ZlogName, bytes_, &err)) {
    bytes_.clear();
    main_.ui().tell(err);
    close();
    return false;
  }
  count_ = std::max<std::int64_t>(zlog::RecordCount(bytes_.size()) - 1, 0);
  return true;
}

void frmZlogReadSet::ZlogConvert() {
  const ImportResult res = ::ZlogConvert(bytes_, main_.Doc.Log, main_.progress());
  main_.Doc.State.LogDirty = 1;
  if (res.limited) main_.ui().tell(importtext::limitReached(res.appended));
}

void frmZlogReadSet::OKButton_Click() {
  if (!ZlogRead(ZlogFileName)) return;
  ZlogConvert();
  // The dialog may be deleted while the search lets events run.
  frmMain& main = main_;
  close();
  main.LogDataSearch();
  main.scrollToEnd();
}
