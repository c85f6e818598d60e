#include "contest/gui/frmsumary.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QTimer>
#include <QVariant>
#include <QWheelEvent>
#include <cmath>

#include "log/gui/qtui.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/dialogregistry.h"
#include "log/qso.h"
#include "log/settings.h"

namespace {

enum class Look { Caption, Value, Cell, Header, Sign };

QLabel* put(QWidget* parent, const QString& name, const QString& text, int left, int top,
            int width, int height, Look look) {
  auto* l = new QLabel(text, parent);
  if (!name.isEmpty()) l->setObjectName(name);
  switch (look) {
    case Look::Caption:
      l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      break;
    case Look::Value:
      l->setFrameStyle(QFrame::Box | QFrame::Plain);
      l->setAlignment(Qt::AlignCenter);
      break;
    case Look::Cell:
      l->setFrameStyle(QFrame::Box | QFrame::Plain);
      l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      break;
    case Look::Header:
    case Look::Sign:
      l->setAlignment(Qt::AlignCenter);
      break;
  }
  const int w = width > 0 ? twipsToPx(width) : l->sizeHint().width();
  const int h = height > 0 ? twipsToPx(height) : l->sizeHint().height();
  l->setGeometry(twipsToPx(left), twipsToPx(top), w, h);
  return l;
}

// A caption's place: its own width unless another text or box stands in
// the way, and 255 twips high unless a box below starts sooner.
QLabel* caption(QWidget* parent, const char* text, int left, int top, int width = 0,
                int height = 255) {
  QLabel* l = put(parent, QString(), QString::fromUtf8(text), left, top, 0, height, Look::Caption);
  if (width > 0) l->resize(twipsToPx(width), l->height());
  return l;
}

// Where one line of text stands as QLabel draws it inside its contents.
QRect inkOf(const QLabel* l, const QFont& f, const QString& text) {
  const QFontMetrics fm(f);
  const QRect cr = l->contentsRect();
  const QRect ink = fm.tightBoundingRect(text);
  const int advance = fm.horizontalAdvance(text);
  const Qt::Alignment a = l->alignment();
  int x = cr.left();
  if (a & Qt::AlignHCenter) x = cr.left() + (cr.width() - advance) / 2;
  else if (a & Qt::AlignRight) x = cr.right() + 1 - advance;
  int baseline = cr.top() + (cr.height() - fm.height()) / 2 + fm.ascent();
  if (a & Qt::AlignTop) baseline = cr.top() + fm.ascent();
  else if (a & Qt::AlignBottom) baseline = cr.bottom() + 1 - fm.descent();
  // Across, the text's advance (what the label aligns); down, its ink.
  return QRect(x, baseline + ink.top(), advance, ink.height());
}

bool fits(const QLabel* l, const QFont& f, const QString& text) {
  if (text.isEmpty()) return true;
  if (l->wordWrap()) {
    const QRect need = QFontMetrics(f).boundingRect(QRect(0, 0, l->contentsRect().width(), 100000),
                                                    Qt::TextWordWrap, text);
    return need.height() <= l->contentsRect().height();
  }
  return l->contentsRect().contains(inkOf(l, f, text));
}

// The smallest size a text of the page is drawn in (points).
constexpr double kSmallestPoints = 6.0;

// Sets the text in the largest size, from the page's own down, whose ink fits
// the label; what does not fit even at the smallest size is cut with "…" and
// shown whole in the tooltip.
void fitText(QLabel* l, const QString& text) {
  QVariant kept = l->property("pageFont");
  if (!kept.isValid()) {
    l->setProperty("pageFont", l->font());
    kept = l->font();
  }
  QFont f = kept.value<QFont>();
  const double base = f.pointSizeF();
  for (double pt = base; pt >= kSmallestPoints; pt -= 0.25) {
    f.setPointSizeF(pt);
    if (fits(l, f, text)) {
      l->setFont(f);
      l->setText(text);
      l->setToolTip(QString());
      return;
    }
  }
  f.setPointSizeF(kSmallestPoints);
  l->setFont(f);
  const int room = l->contentsRect().width() - 2;
  l->setText(QFontMetrics(f).elidedText(text, Qt::ElideRight, std::max(0, room)));
  l->setToolTip(l->text() == text ? QString() : text);
}

QString boxText(const std::string& s) {
  QString q = toQ(s);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return q;
}

const char* const kBandCaptions[16] = {"1.8MHz", "3.5MHz", "7MHz",    "10MHz",   "14MHz",  "18MHz",
                                       "21MHz",  "24MHz",  "28MHz",   "50MHz",   "144MHz", "430MHz",
                                       "1200MHz", "2400MHz", "5600MHz", "10.1GHz"};

}  // namespace

frmSumary::frmSumary(Workspace& ws) : ToolWindow(ws, DlgSumary) {
  setActivatesMain(false);
  setObjectName(QStringLiteral("frmSumary"));
  setFocusPolicy(Qt::StrongFocus);
  buildPage();

  // Opening: menus off, topmost, the remembered geometry, the caption.
  resize(twipsToPx(11400), twipsToPx(9000));
  const Settings& ini = ws_.session().Ini;
  applied_ = {ini.ViewLeft, ini.ViewTop, ini.ViewWidth, ini.ViewHeight};
  QPoint p = ws_.mainWidget()->pos() + QPoint(twipsToPx(600), twipsToPx(600));
  if (ini.ViewLeft > 0) p.setX(twipsToPx(ini.ViewLeft));
  if (ini.ViewTop > 0) p.setY(twipsToPx(ini.ViewTop));
  move(p);
  QSize s = size();
  if (ini.ViewWidth > 0) s.setWidth(twipsToPx(ini.ViewWidth));
  if (ini.ViewHeight > 0) s.setHeight(twipsToPx(ini.ViewHeight));
  resize(s);
  setWindowTitle(toQ(ini.JarlContest) + QStringLiteral("  のサマリー"));
  registerOpen();
  Form_Resize();
}

frmSumary* frmSumary::open(Workspace& ws) {
  auto* w = qobject_cast<frmSumary*>(ws.dialogs().find(DlgSumary));
  if (!w) w = new frmSumary(ws);
  w->show();
  w->raise();
  w->activateWindow();
  w->setFocus();
  return w;
}

void frmSumary::buildPage() {
  Picture2 = new QWidget(this);
  Picture2->setObjectName(QStringLiteral("Picture2"));
  Picture2->setAutoFillBackground(true);
  Picture1 = new QWidget(Picture2);
  Picture1->setObjectName(QStringLiteral("Picture1"));
  Picture1->setGeometry(0, 0, twipsToPx(kPageWidth), twipsToPx(kPageHeight));
  Picture1->setAutoFillBackground(true);
  QPalette pal = Picture1->palette();
  pal.setColor(QPalette::Window, Qt::white);
  pal.setColor(QPalette::Base, Qt::white);
  Picture1->setPalette(pal);

  // A proportional Japanese Gothic face where the system has one.
  QFont f = font();
  for (const char* family : {"Noto Sans CJK JP", "IPAPGothic", "VL PGothic", "Takao PGothic"})
    if (QFontDatabase::hasFamily(QString::fromUtf8(family))) {
      f.setFamily(QString::fromUtf8(family));
      break;
    }
  f.setPointSizeF(8.5);
  Picture1->setFont(f);

  HScroll1 = new QScrollBar(Qt::Horizontal, Picture2);
  HScroll1->setObjectName(QStringLiteral("HScroll1"));
  VScroll1 = new QScrollBar(Qt::Vertical, Picture2);
  VScroll1->setObjectName(QStringLiteral("VScroll1"));
  const int bar = twipsToPx(kBarThickness);
  HScroll1->resize(HScroll1->width(), bar);
  VScroll1->resize(bar, VScroll1->height());
  HScroll1->setRange(0, 0);
  VScroll1->setRange(0, 0);
  HScroll1->hide();
  VScroll1->hide();
  connect(HScroll1, &QScrollBar::valueChanged, this, &frmSumary::scrollPage);
  connect(VScroll1, &QScrollBar::valueChanged, this, &frmSumary::scrollPage);

  // ---- the score
  Frame1 = new QGroupBox(QStringLiteral("スコア"), Picture1);
  Frame1->setObjectName(QStringLiteral("Frame1"));
  Frame1->setGeometry(twipsToPx(360), twipsToPx(960), twipsToPx(4095), twipsToPx(5655));
  struct Column {
    std::array<QLabel*, 18>* cells;
    const char* name;
    int left, width;
    const char* header;
  };
  const Column columns[] = {{&Label6, "Label6", 240, 855, "バンド"},
                            {&Label7, "Label7", 1200, 735, "交信数"},
                            {&Label8, "Label8", 2160, 735, "得点"},
                            {&Label9, "Label9", 3120, 735, "マルチ"}};
  for (const Column& c : columns) {
    auto& cells = *c.cells;
    const QString base = QString::fromUtf8(c.name);
    cells[17] = put(Frame1, base + QStringLiteral("_17"), QString::fromUtf8(c.header), c.left,
                     240, c.width, 255, Look::Header);
    for (int i = 0; i <= 16; ++i) {
      const int top = i == 16 ? 4560 : 495 + 255 * i;
      cells[static_cast<std::size_t>(i)] = put(Frame1, base + QStringLiteral("_%1").arg(i),
                                               QString(), c.left, top, c.width, 255, Look::Cell);
    }
  }
  for (int i = 0; i < 16; ++i) Label6[static_cast<std::size_t>(i)]->setText(QString::fromUtf8(kBandCaptions[i]));
  Label6[16]->setText(QStringLiteral("合　　計"));
  for (int i = 0; i <= 16; ++i) {
    QLabel* l = Label6[static_cast<std::size_t>(i)];
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, QColor(255, 224, 192));
    l->setPalette(p);
  }

  // ---- the formula row
  const char* captions[4] = {"得 点 ", "マルチ", "局種係数", "総得点 "};
  const int captionLeft[4] = {240, 1200, 1920, 2880};
  const int captionWidth[4] = {735, 735, 720, 975};
  for (int i = 0; i < 4; ++i)
    Label48[static_cast<std::size_t>(i)] =
        put(Frame1, QStringLiteral("Label48_%1").arg(i), QString::fromUtf8(captions[i]),
            captionLeft[i], 4905, captionWidth[i], 255, Look::Caption);
  const char* signs[3] = {"X", "X", "="};
  const int signLeft[3] = {960, 1920, 2400};
  for (int i = 0; i < 3; ++i)
    Label47[static_cast<std::size_t>(i)] = put(Frame1, QStringLiteral("Label47_%1").arg(i),
                                               QString::fromUtf8(signs[i]), signLeft[i], 5190,
                                               240, 255, Look::Sign);
  Label58 = put(Frame1, QStringLiteral("Label58"), QString(), 240, 5160, 735, 255, Look::Cell);
  Label59 = put(Frame1, QStringLiteral("Label59"), QString(), 1200, 5160, 735, 255, Look::Cell);
  Label60 = put(Frame1, QStringLiteral("Label60"), QString(), 2160, 5160, 255, 255, Look::Value);
  Label46 = put(Frame1, QStringLiteral("Label46"), QString(), 2640, 5160, 1215, 255, Look::Cell);
  // The coefficient shows only for a contest that has it.
  Label48[2]->hide();
  Label47[1]->hide();
  Label60->hide();

  // ---- the station data, as it stands on the sheet (twips): captions, the
  // seven-point notes (standing on the box below them), the values and the
  // boxes; a caption's width 0 is its own.
  enum class Put { Caption, Note, WrappedNote, Value, Box };
  struct Place {
    Put put;
    const char* text;  // the caption, or the control's name
    int left, top, width = 0, height = 255;
    QLabel* frmSumary::*value = nullptr;
    QPlainTextEdit* frmSumary::*box = nullptr;
  };
  const Place places[] = {
      {Put::Caption, "コンテストの名称", 2400, 540, 1440},
      {Put::Value, "Label1", 3840, 480, 3495, 360, &frmSumary::Label1},
      {Put::Caption, "コールサイン", 4680, 1140, 1080},
      {Put::Value, "Label4", 5760, 1080, 1575, 300, &frmSumary::Label4},
      {Put::Caption, "運用者のｺｰﾙｻｲﾝ", 7440, 1140, 1440},
      {Put::Note, "　(シングルオペで左記と異なる場合)", 7920, 930, 2880, 150},
      {Put::Value, "Label5", 8880, 1080, 1575, 300, &frmSumary::Label5},
      {Put::Caption, "参加部門および種目", 4680, 1590, 2280, 210},
      {Put::Caption, "(名　　称)", 6960, 1560, 1440, 240},
      {Put::Value, "Label3", 5520, 1800, 3495, 255, &frmSumary::Label3},
      {Put::Caption, "(コードナンバー)", 9120, 1560, 1600, 240},
      {Put::Value, "Label2", 9120, 1800, 1335, 255, &frmSumary::Label2},
      {Put::Caption, "最大空中線電力", 4680, 2190, 1440},
      {Put::Caption, "Ｗ", 6840, 2190},
      {Put::Value, "Label17", 6120, 2160, 615, 255, &frmSumary::Label17},
      {Put::Caption, "出力", 8520, 2190},
      {Put::Value, "Label18", 7800, 2160, 615, 255, &frmSumary::Label18},
      {Put::Caption, "使用電源", 4680, 2565, 840},
      {Put::Value, "Label13", 5520, 2520, 4935, 255, &frmSumary::Label13},
      {Put::Caption, "運用地", 4680, 2910, 840},
      {Put::Note, "(連絡先と同一の場合は記入不要)", 6600, 3150, 3855, 210},
      {Put::Value, "Label14", 5520, 2880, 4935, 255, &frmSumary::Label14},
      {Put::Caption, "使用した設備", 4680, 3360, 1080, 240},
      {Put::Note, "（リグ名称（自作の場合は終段管・個数）、空中線）", 5760, 3420, 4695, 180},
      {Put::Box, "Text1", 5520, 3600, 4935, 855, nullptr, &frmSumary::Text1},
      {Put::Caption, "登録クラブ対抗", 4680, 4680, 1680, 240},
      {Put::Caption, "(登録名称)", 6360, 4680, 1440, 240},
      {Put::Value, "Label20", 5520, 4920, 3495, 255, &frmSumary::Label20},
      {Put::Caption, "(登録番号)", 9360, 4680, 1095, 240},
      {Put::Value, "Label19", 9120, 4920, 1335, 255, &frmSumary::Label19},
      {Put::WrappedNote, "マルチオペ、ゲストオペの場合の運用者のコールサイン（氏名）および無線従事者の資格", 5640, 5400, kPageWidth - 5640 - 120, 360},
      {Put::Box, "Text2", 5520, 5760, 4935, 855, nullptr, &frmSumary::Text2},
      {Put::Caption, "連絡先", 360, 6960},
      {Put::Box, "Text5", 960, 6840, 4575, 855, nullptr, &frmSumary::Text5},
      {Put::Caption, "局免許者の氏名(社団の名称)", 5760, 6840, 2400},
      {Put::Value, "Label15", 8160, 6840, 2295, 255, &frmSumary::Label15},
      {Put::Caption, "局免許者の無線従事者資格", 5760, 7320, 2400},
      {Put::Value, "Label16", 8160, 7320, 2295, 255, &frmSumary::Label16},
      {Put::Caption, "TEL", 7560, 7800, 600},
      {Put::Value, "Label42", 8160, 7800, 2295, 255, &frmSumary::Label42},
      {Put::Caption, "E-mail", 7560, 8310, 600, 240},
      {Put::Value, "Label43", 8160, 8280, 2295, 255, &frmSumary::Label43},
      {Put::Caption, "宣誓文", 360, 8040},
      {Put::Box, "Text3", 960, 7920, 6375, 975, nullptr, &frmSumary::Text3},
      {Put::Caption, "意　見", 360, 9240},
      {Put::Box, "Text4", 960, 9120, 9495, 1095, nullptr, &frmSumary::Text4},
      {Put::Caption, "日　付", 240, 10470, 720},
      {Put::Value, "Label54", 960, 10440, 1935, 255, &frmSumary::Label54},
      {Put::Caption, "局免許者（社団の代表者）の署名", 5280, 10440, 2880},
      {Put::Value, "Label55", 8160, 10440, 2295, 255, &frmSumary::Label55},
  };
  QWidget* pg = Picture1;
  for (const Place& p : places) {
    const QString name = QString::fromUtf8(p.text);
    if (p.put == Put::Value) {
      this->*p.value = put(pg, name, QString(), p.left, p.top, p.width, p.height, Look::Value);
    } else if (p.put == Put::Box) {
      auto* t = new QPlainTextEdit(pg);
      t->setObjectName(name);
      t->setReadOnly(true);
      t->setGeometry(twipsToPx(p.left), twipsToPx(p.top), twipsToPx(p.width), twipsToPx(p.height));
      t->installEventFilter(this);
      t->viewport()->installEventFilter(this);
      this->*p.box = t;
    } else if (p.put == Put::WrappedNote) {
      QLabel* l = caption(pg, p.text, p.left, p.top);
      l->setFont(QFont(f.family(), 7));
      l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
      l->setWordWrap(true);
      l->resize(twipsToPx(p.width), twipsToPx(p.height));
    } else {
      QLabel* l = caption(pg, p.text, p.left, p.top, p.width, p.height);
      if (p.put == Put::Note) {
        l->setFont(QFont(f.family(), 7));
        l->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
      }
    }
  }
  for (QLabel* l : Picture1->findChildren<QLabel*>()) fitText(l, l->text());
}

// ---------------------------------------------------------------- values

void frmSumary::ScoreLoad(const score::SummaryView& v) {
  for (std::size_t i = 0; i <= 16; ++i) {
    const score::SummaryRow& r = v.Rows[i];
    if (r.QsoCount) fitText(Label7[i], toQ(*r.QsoCount));
    if (r.PointSum) fitText(Label8[i], toQ(*r.PointSum));
    if (r.MltCount) fitText(Label9[i], toQ(*r.MltCount));
  }
  if (v.TotalPoints) fitText(Label58, toQ(*v.TotalPoints));
  if (v.TotalMlt) fitText(Label59, toQ(*v.TotalMlt));
  if (v.Score) fitText(Label46, toQ(*v.Score));

  const score::SummaryStation& s = v.Station;
  const std::pair<QLabel*, const std::string*> labels[] = {
      {Label1, &s.Label1},   {Label4, &s.Label4},   {Label5, &s.Label5},   {Label3, &s.Label3},
      {Label2, &s.Label2},   {Label17, &s.Label17}, {Label18, &s.Label18}, {Label13, &s.Label13},
      {Label14, &s.Label14}, {Label20, &s.Label20}, {Label19, &s.Label19}, {Label15, &s.Label15},
      {Label16, &s.Label16}, {Label42, &s.Label42}, {Label43, &s.Label43}, {Label54, &s.Label54},
      {Label55, &s.Label55}};
  for (const auto& [l, text] : labels) fitText(l, toQ(*text));
  const std::pair<QPlainTextEdit*, const std::string*> boxes[] = {
      {Text1, &s.Text1}, {Text2, &s.Text2}, {Text3, &s.Text3}, {Text4, &s.Text4}, {Text5, &s.Text5}};
  for (const auto& [t, text] : boxes) t->setPlainText(boxText(*text));

  if (v.ShowCoefficient) {
    Label48[2]->show();
    Label47[1]->show();
    Label60->show();
    fitText(Label60, toQ(v.Coefficient));
  }
  if (!v.ShowFormula) {
    for (QLabel* l : {Label58, Label59, Label60, Label46}) l->hide();
    for (QLabel* l : Label47) l->hide();
    for (QLabel* l : Label48) l->hide();
  }
}

// ---------------------------------------------------------------- scrolling

void frmSumary::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  Form_Resize();
}

void frmSumary::Form_Resize() {
  const int vw = width();
  const int vh = height();
  Picture2->setGeometry(0, 0, vw, vh);
  const int pw = Picture1->width();
  const int ph = Picture1->height();
  const int bar = twipsToPx(kBarThickness);
  auto step = [](int maximum, int part) {
    return std::max(1, static_cast<int>(std::nearbyint(static_cast<double>(maximum) / part)));
  };
  // Each bar's room depends on whether the other is shown: lay them out
  // again until neither changes, so that two bars never overlap and the
  // page's far edge can always be scrolled into view.
  for (int pass = 0; pass < 3; ++pass) {
    const bool hBefore = hShown_, vBefore = vShown_;
    if (vw - bar > 0) {
      const int room = vShown_ ? vw - bar : vw;
      HScroll1->setGeometry(0, vh - bar, room, bar);
      HScroll1->setRange(0, std::max(0, pw - room));
      hShown_ = pw > room;
      if (hShown_) {
        HScroll1->setPageStep(step(HScroll1->maximum(), 5));
        HScroll1->setSingleStep(step(HScroll1->maximum(), 20));
      }
    }
    if (vh - bar > 0) {
      const int room = hShown_ ? vh - bar : vh;
      VScroll1->setGeometry(vw - bar, 0, bar, room);
      VScroll1->setRange(0, std::max(0, ph - room));
      vShown_ = ph > room;
      if (vShown_) {
        VScroll1->setPageStep(step(VScroll1->maximum(), 5));
        VScroll1->setSingleStep(step(VScroll1->maximum(), 20));
      }
    }
    if (hShown_ == hBefore && vShown_ == vBefore) break;
  }
  HScroll1->setVisible(hShown_);
  VScroll1->setVisible(vShown_);
  HScroll1->raise();
  VScroll1->raise();
  scrollPage();
}

void frmSumary::wheelEvent(QWheelEvent* e) {
  // The wheel scrolls the page down and up; sideways (or with Shift) across.
  const QPoint d = e->angleDelta();
  const bool across = d.x() != 0 && d.y() == 0;
  QScrollBar* bar = across || (e->modifiers() & Qt::ShiftModifier) ? HScroll1 : VScroll1;
  if (!bar->isVisible()) {
    e->ignore();
    return;
  }
  const int notches = (across ? d.x() : (d.y() != 0 ? d.y() : d.x())) / 120;
  bar->setValue(bar->value() - notches * bar->singleStep() * 3);
  e->accept();
}

void frmSumary::scrollPage() { Picture1->move(-HScroll1->value(), -VScroll1->value()); }

// ---------------------------------------------------------------- keys, focus

bool frmSumary::eventFilter(QObject* o, QEvent* e) {
  for (QPlainTextEdit* t : {Text1, Text2, Text3, Text4, Text5}) {
    if (o != t && o != t->viewport()) continue;
    switch (e->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::InputMethod:
        return true;  // the boxes take no typing
      case QEvent::Wheel:
        // A box with nothing to scroll passes the wheel to the page.
        if (t->verticalScrollBar()->maximum() == 0) {
          wheelEvent(static_cast<QWheelEvent*>(e));
          return true;
        }
        break;
      case QEvent::FocusIn: {
        // The boxes only show: the main window takes the focus instead.
        QPointer<QWidget> m(ws_.mainWidget());
        QTimer::singleShot(0, ws_.mainWidget(), [m] {
          if (!m) return;
          m->activateWindow();
          m->setFocus(Qt::OtherFocusReason);
        });
        break;
      }
      default:
        break;
    }
  }
  return QWidget::eventFilter(o, e);
}

// ---------------------------------------------------------------- closing

void frmSumary::storeGeometry() {
  if (isMinimized()) return;
  const int px[4] = {pos().x(), pos().y(), width(), height()};
  std::int32_t* vars[4] = {&ws_.session().Ini.ViewLeft, &ws_.session().Ini.ViewTop, &ws_.session().Ini.ViewWidth,
                           &ws_.session().Ini.ViewHeight};
  for (std::size_t i = 0; i < 4; ++i) {
    // An unmoved, unresized window keeps the twips it was given.
    *vars[i] = px[i] == twipsToPx(applied_[i]) && applied_[i] > 0
                   ? applied_[i]
                   : static_cast<std::int32_t>(std::lround(pxToTwips(px[i])));
  }
}

void frmSumary::onClose() { storeGeometry(); }
