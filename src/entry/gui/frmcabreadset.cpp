#include "entry/gui/frmcabreadset.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>

#include "log/fileio.h"
#include "log/gui/frmbar.h"
#include "log/gui/qtui.h"
#include "log/gui/updown.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/progress.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/ui.h"
#include "log/utf8.h"

namespace {

void place(QWidget* w, int left, int top, int width, int height) {
  w->setGeometry(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

QString indexed(const char* name, int i) { return QString::fromUtf8(name) + QLatin1Char('_') + QString::number(i); }

constexpr int kCellTwips = 210;

// Layout (twips): one row per caption; the RST rows carry the exchange
// beside the report.
constexpr int kRowTop = 1260, kRowPitch = 480, kRowHeight = 330;
constexpr int kCaptionX = 120, kCaptionW = 2280;
constexpr int kSideX[2] = {2520, 7140};  // read-out of the left and right column
constexpr int kReadoutW = 2400, kNumberW = 420, kPosW = 1140, kLenW = 285;

struct FieldPlace {
  int row;
  int side;
  int position;  // UpDown2 index or -1
  int length;    // UpDown1 index or -1
};
constexpr FieldPlace kPlaces[9] = {
    {0, 0, -1, -1}, {1, 0, -1, -1}, {2, 0, -1, -1}, {3, 0, -1, 0}, {4, 0, 0, -1},
    {4, 1, 1, 1},   {5, 0, 2, 2},   {6, 0, 3, -1},  {6, 1, 4, 3}};

constexpr const char* kCaptions[7] = {"周波数", "モード", "年月日　時間", "自分のコールサイン",
                                      "RST　(送信) レポート", "相手のコールサイン",
                                      "RST　(受信) レポート"};

}  // namespace

// ---------------------------------------------------------------- dialog

QColor frmCabReadSet::fieldColour(int k) {
  static const QColor kColours[9] = {
      QColor(0xFF, 0xC0, 0xC0), QColor(0xC0, 0xFF, 0xC0), QColor(0xC0, 0xD8, 0xFF),
      QColor(0xFF, 0xFF, 0xA0), QColor(0xFF, 0xC0, 0xFF), QColor(0xA0, 0xFF, 0xFF),
      QColor(0xFF, 0xD8, 0x90), QColor(0xD8, 0xC0, 0xFF), QColor(0xB0, 0xE8, 0x90)};
  return kColours[std::clamp(k, 0, 8)];
}

frmCabReadSet::frmCabReadSet(Workspace& ws) : ToolWindow(ws, DlgCabReadSet, Qt::Dialog) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmCabReadSet"));
  setWindowTitle(QStringLiteral("Cabrilloファイル読込と設定"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setModal(false);
  setFixedSize(twipsToPx(11700), twipsToPx(5700));
  build();

  // Form load: menus off, topmost, placed; every setting that is 0 takes
  // its default; the up-downs and number labels show the settings.
  move(ws_.mainWidget()->pos() + QPoint(twipsToPx(300), twipsToPx(300)));
  cols_ = CabColumnsFrom(ws_.session().Ini);
  storeColumns();
  showColumns();
  defaultColour_ = Grid1->palette().color(QPalette::Base);
  registerOpen();
}

frmCabReadSet::~frmCabReadSet() = default;

void frmCabReadSet::build() {
  Grid1 = new QTableWidget(1, 0, this);
  Grid1->setObjectName(QStringLiteral("Grid1"));
  Grid1->verticalHeader()->setVisible(false);
  Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  Grid1->horizontalHeader()->setMinimumSectionSize(1);
  Grid1->horizontalHeader()->setDefaultSectionSize(twipsToPx(kCellTwips));
  // Column numbers in a small font, so that two digits fit a column.
  QFont small = Grid1->horizontalHeader()->font();
  small.setPixelSize(std::max(7, twipsToPx(kCellTwips) * 9 / 14));
  Grid1->horizontalHeader()->setFont(small);
  Grid1->horizontalHeader()->setStyleSheet(QStringLiteral("QHeaderView::section { padding: 0px; }"));
  Grid1->verticalHeader()->setDefaultSectionSize(twipsToPx(330));
  Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Grid1->setSelectionMode(QAbstractItemView::NoSelection);
  Grid1->setFocusPolicy(Qt::NoFocus);
  Grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Grid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  place(Grid1, 120, 120, 11460, 1020);

  for (int r = 0; r < 7; ++r) {
    QLabel* c = new QLabel(QString::fromUtf8(kCaptions[r]), this);
    c->setObjectName(indexed("Label1", r));
    place(c, kCaptionX, kRowTop + r * kRowPitch, kCaptionW, kRowHeight);
    Label1[static_cast<std::size_t>(r)] = c;
  }
  for (int k = 0; k < 9; ++k) {
    const FieldPlace& p = kPlaces[k];
    const int y = kRowTop + p.row * kRowPitch;
    int x = kSideX[p.side];
    QLabel* ro = new QLabel(this);
    ro->setObjectName(indexed("Label2", k));
    ro->setAutoFillBackground(true);
    ro->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QPalette pal = ro->palette();
    pal.setColor(QPalette::Window, fieldColour(k));
    pal.setColor(QPalette::WindowText, Qt::black);
    ro->setPalette(pal);
    place(ro, x, y, kReadoutW, kRowHeight);
    Label2[static_cast<std::size_t>(k)] = ro;
    x += kReadoutW + 120;
    auto* n = new NumberBox(this);
    n->setObjectName(indexed("Label3", k));
    place(n, x, y, kNumberW, kRowHeight);
    Label3[static_cast<std::size_t>(k)] = n;
    if (p.length < 0) {
      n->setReadOnly(true);
      n->setFocusPolicy(Qt::NoFocus);
      n->setFrame(false);
      n->setStyleSheet(QStringLiteral("background: transparent;"));
    } else {
      const bool call = p.length == 0 || p.length == 2;
      n->setRange(call ? cabrillo::kCallLenMin : cabrillo::kRptLenMin,
                  call ? cabrillo::kCallLenMax : cabrillo::kRptLenMax);
      connect(n, &NumberBox::typed, this, [this, k](int v) { Label3_Typed(k, v); });
    }
    x += kNumberW + 60;
    if (p.position >= 0) {
      auto* u = new UpDownControl(Qt::Horizontal, true, this);
      u->setObjectName(indexed("UpDown2", p.position));
      place(u, x, y, kPosW, kRowHeight);
      UpDown2[static_cast<std::size_t>(p.position)] = u;
      const int i = p.position;
      connect(u, &UpDownControl::Change, this, [this, i] { UpDown2_Change(i); });
    }
    x += kPosW + 60;
    if (p.length >= 0) {
      auto* u = new UpDownControl(Qt::Vertical, false, this);
      u->setObjectName(indexed("UpDown1", p.length));
      place(u, x, y - 45, kLenW, kRowHeight + 90);
      UpDown1[static_cast<std::size_t>(p.length)] = u;
      const int i = p.length;
      connect(u, &UpDownControl::UpClick, this, [this, i] { UpDown1_UpClick(i); });
      connect(u, &UpDownControl::DownClick, this, [this, i] { UpDown1_DownClick(i); });
    }
  }

  Frame1 = new QGroupBox(this);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  place(Frame1, 120, 4680, 6360, 840);
  Label4 = new QLabel(QStringLiteral("左右ボタンでデータを左寄せにセット、アップダウンボタンで最大読込文字数をセットする事"),
                      Frame1);
  Label4->setObjectName(QStringLiteral("Label4"));
  Label4->setWordWrap(true);
  Label4->setGeometry(twipsToPx(120), twipsToPx(90), twipsToPx(6120), twipsToPx(660));

  StdButton = new QPushButton(QStringLiteral("標　準"), this);
  StdButton->setObjectName(QStringLiteral("StdButton"));
  StdButton->setToolTip(QStringLiteral("標準的な Cabrillo の QSO 行の桁位置にします"));
  place(StdButton, 6720, 4860, 1455, 420);
  connect(StdButton, &QPushButton::clicked, this, &frmCabReadSet::StdButton_Click);

  OKButton = new QPushButton(QStringLiteral("読　込"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  place(OKButton, 8400, 4860, 1455, 420);
  CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  place(CancelButton, 10020, 4860, 1455, 420);
  connect(OKButton, &QPushButton::clicked, this, &frmCabReadSet::OKButton_Click);
  connect(CancelButton, &QPushButton::clicked, this, &frmCabReadSet::CancelButton_Click);
  OKButton->setFocus();
}

void frmCabReadSet::storeColumns() { CabColumnsStore(cols_, ws_.session().Ini); }

void frmCabReadSet::showColumns() {
  const std::int16_t pos[5] = {cols_.CabSrstPos, cols_.CabSRptPos, cols_.CabHCallPos,
                               cols_.CabRrstPos, cols_.CabRRptPos};
  const int n = static_cast<int>(utf8::length(sample_));
  for (int i = 0; i < 5; ++i) {
    UpDownControl* u = UpDown2[static_cast<std::size_t>(i)];
    const QSignalBlocker block(u);
    u->setRange(1, std::max<int>({n - 1, pos[i], 1}));
    u->setValue(pos[i]);
  }
  for (int k = 0; k < 9; ++k)
    Label3[static_cast<std::size_t>(k)]->setNumber(CabFieldSpan(cols_, k).length);
}

void frmCabReadSet::StdButton_Click() {
  cols_ = CabColumns{};
  storeColumns();
  showColumns();
  // Marked afresh, as when the sample was loaded.
  owner_.assign(owner_.size(), -1);
  for (int j = 0; j < Grid1->columnCount(); ++j)
    if (QTableWidgetItem* item = Grid1->item(0, j)) item->setBackground(defaultColour_);
  CabShowAll();
}

void frmCabReadSet::Label3_Typed(int k, int length) {
  const bool call = k == cabrillo::kOwnCall || k == cabrillo::kHisCall;
  (call ? cols_.CabCallLen : cols_.CabRptLen) = static_cast<std::int16_t>(length);
  lengthChanged(call);
}

void frmCabReadSet::CancelButton_Click() { close(); }

bool frmCabReadSet::readCabFile(const std::string& CabName, std::string& bytes) {
  if (!fileio::exists(CabName)) {
    ws_.session().ui().tell(importtext::kNoFile);
    return false;
  }
  std::string err;
  if (!fileio::readAll(CabName, bytes, &err)) {
    ws_.session().ui().tell(err);
    close();
    return false;
  }
  return true;
}

void frmCabReadSet::CabTempRead(const std::string& CabName) {
  std::string bytes;
  if (!readCabFile(CabName, bytes)) return;
  sample_ = CabSampleLine(bytes);
  const int n = static_cast<int>(utf8::length(sample_));
  Grid1->clear();
  Grid1->setColumnCount(n);
  QStringList numbers;
  for (int j = 0; j < n; ++j) {
    numbers << QString::number(j + 1);
    auto* item = new QTableWidgetItem(toQ(CabMid(sample_, j + 1, 1)));
    item->setTextAlignment(Qt::AlignCenter);
    item->setBackground(defaultColour_);
    Grid1->setItem(0, j, item);
    Grid1->setColumnWidth(j, twipsToPx(kCellTwips));
  }
  Grid1->setHorizontalHeaderLabels(numbers);
  owner_.assign(static_cast<std::size_t>(n), -1);
  // A position beyond a short sample is kept: the range never takes a
  // remembered setting away.
  for (UpDownControl* u : UpDown2) {
    const QSignalBlocker block(u);
    u->setRange(1, std::max(n - 1, u->value()));
  }
  CabShowAll();
}

void frmCabReadSet::CabShowField(int k) {
  Label2[static_cast<std::size_t>(k)]->setText(toQ(::CabShowField(sample_, cols_, k)));
}

void frmCabReadSet::CabMarkColumns(int k, int start, int length) {
  const std::vector<int> before = owner_;
  ::CabMarkColumns(owner_, k, start, length);
  for (std::size_t j = 0; j < owner_.size(); ++j) {
    if (owner_[j] == before[j]) continue;
    if (QTableWidgetItem* item = Grid1->item(0, static_cast<int>(j)))
      item->setBackground(owner_[j] < 0 ? defaultColour_ : fieldColour(owner_[j]));
  }
}

void frmCabReadSet::CabShowAll() {
  for (int k = 0; k < cabrillo::kFieldCount; ++k) {
    CabShowField(k);
    const CabSpan s = CabFieldSpan(cols_, k);
    CabMarkColumns(k, s.start, s.length);
  }
}

void frmCabReadSet::UpDown2_Change(int index) {
  const auto v = static_cast<std::int16_t>(UpDown2[static_cast<std::size_t>(index)]->value());
  std::int16_t* pos[5] = {&cols_.CabSrstPos, &cols_.CabSRptPos, &cols_.CabHCallPos,
                          &cols_.CabRrstPos, &cols_.CabRRptPos};
  *pos[index] = v;
  storeColumns();
  const int k = index + 4;
  CabShowField(k);
  const CabSpan s = CabFieldSpan(cols_, k);
  CabMarkColumns(k, s.start, s.length);
}

void frmCabReadSet::lengthChanged(bool call) {
  storeColumns();
  const int a = call ? cabrillo::kOwnCall : cabrillo::kSentRpt;
  const int b = call ? cabrillo::kHisCall : cabrillo::kRcvdRpt;
  for (int k : {a, b}) {
    const CabSpan s = CabFieldSpan(cols_, k);
    Label3[static_cast<std::size_t>(k)]->setNumber(s.length);
    CabShowField(k);
    CabMarkColumns(k, s.start, s.length);
  }
}

void frmCabReadSet::UpDown1_UpClick(int index) {
  const bool call = index == 0 || index == 2;
  std::int16_t& len = call ? cols_.CabCallLen : cols_.CabRptLen;
  const int hi = call ? cabrillo::kCallLenMax : cabrillo::kRptLenMax;
  if (len >= hi) return;
  ++len;
  lengthChanged(call);
}

void frmCabReadSet::UpDown1_DownClick(int index) {
  const bool call = index == 0 || index == 2;
  std::int16_t& len = call ? cols_.CabCallLen : cols_.CabRptLen;
  const int lo = call ? cabrillo::kCallLenMin : cabrillo::kRptLenMin;
  if (len <= lo) return;
  --len;
  lengthChanged(call);
}

void frmCabReadSet::OKButton_Click() {
  ws_.session().saveSettings();
  CabRead(CabFileName);
  close();
}

void frmCabReadSet::CabRead(const std::string& CabName) {
  std::string bytes;
  if (!readCabFile(CabName, bytes)) return;
  const ImportResult res = CabConvert(bytes, cols_, ws_.session().Doc.Log, ws_.session().progress());
  if (res.failed) ws_.session().ui().tell(res.error);
  if (res.limited) ws_.session().ui().tell(importtext::limitReached(res.appended));
  // QSOs appended before an error stay: they are searched, shown and marked
  // unsaved like any others.
  if (res.failed && res.appended == 0) {
    close();
    return;
  }
  ws_.session().LogDataSearch();
  ws_.session().Files.scrollToEnd();
  ws_.session().Doc.State.LogDirty = 1;
  if (res.failed) close();
}
