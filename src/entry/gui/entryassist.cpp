#include "entry/gui/entryassist.h"

#include <QBrush>
#include <QColor>

#include "contest/callhistory.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/gui/qtui.h"
#include "log/utf8.h"

namespace {
const QColor kDupe(200, 0, 0);
const QColor kHistory(0, 0, 170);
}  // namespace

EntryAssist::EntryAssist(Workspace& ws, QComboBox* band, QComboBox* mode, QLineEdit* call,
                         QLineEdit* rcvd, QWidget* parent)
    : QObject(parent), ws_(ws), band_(band), mode_(mode), call_(call), rcvd_(rcvd) {
  LabelCheck = new QLabel(parent);
  LabelCheck->setObjectName(QStringLiteral("LabelCheck"));
  QFont bold = LabelCheck->font();
  bold.setBold(true);
  LabelCheck->setFont(bold);
  LabelHistory = new QLabel(parent);
  LabelHistory->setObjectName(QStringLiteral("LabelHistory"));
  LabelHistory->setTextFormat(Qt::PlainText);
  ListPartial = new QListWidget(parent);
  ListPartial->setObjectName(QStringLiteral("ListPartial"));
  ListPartial->setFocusPolicy(Qt::NoFocus);
  ListPartial->setSelectionMode(QAbstractItemView::NoSelection);
  ListPartial->setFlow(QListView::LeftToRight);
  ListPartial->setWrapping(true);
  ListPartial->setResizeMode(QListView::Adjust);
  ListPartial->setTextElideMode(Qt::ElideNone);
  // A cell holds the longest call the log field takes.
  ListPartial->setGridSize(QSize(ListPartial->fontMetrics().horizontalAdvance(QStringLiteral("JA1ABC/123W")),
                                 ListPartial->fontMetrics().height() + 4));
  ListPartial->setFixedHeight(3 * (ListPartial->fontMetrics().height() + 4) + 6);
  for (QWidget* w : {static_cast<QWidget*>(LabelCheck), static_cast<QWidget*>(LabelHistory)})
    w->setFocusPolicy(Qt::NoFocus);

  Session& s = ws_.session();
  s.Live.rebuild(s.Doc.Log, s.Contest, s.Cty, s.Sections, s.Ini.CateMode, s.Ini.CateBand);

  connect(call_, &QLineEdit::textChanged, this, &EntryAssist::refresh);
  connect(rcvd_, &QLineEdit::textChanged, this, &EntryAssist::refresh);
  // Typed over, the number is the operator's own.
  connect(rcvd_, &QLineEdit::textEdited, this, [this] { filled_.clear(); });
  connect(band_, &QComboBox::editTextChanged, this, &EntryAssist::refresh);
  connect(mode_, &QComboBox::editTextChanged, this, &EntryAssist::refresh);
}

void EntryAssist::refresh() {
  if (busy_) return;
  busy_ = true;
  const std::string call(utf8::trim(fromQ(call_->text())));
  const std::string band = fromQ(band_->currentText());
  const std::string mode = fromQ(mode_->currentText());
  const CallHistory* history = ws_.session().History.get();
  const HistoryEntry* e = history && !call.empty() ? history->find(call) : nullptr;
  fill(e);
  const std::string rcvd = fromQ(rcvd_->text());

  LiveCheck c;
  if (!call.empty()) c = ws_.session().Live.check({call, band, mode, rcvd});
  if (c.dupe) {
    LabelCheck->setText(QStringLiteral("DUPE"));
    LabelCheck->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
  } else if (c.newMlt) {
    LabelCheck->setText(QStringLiteral("NEW MULTI"));
    LabelCheck->setStyleSheet(QStringLiteral("color: rgb(0, 120, 0);"));
  } else {
    LabelCheck->clear();
  }
  QString line;
  if (e) {
    line = QStringLiteral("前回: ") + toQ(HistoryLine(*e));
    line.replace(QLatin1Char('\t'), QStringLiteral("  "));
  }
  LabelHistory->setText(line);
  partialList(call, band);
  busy_ = false;
}

// The history's number goes into an empty box (or replaces the one it put
// there for a shorter call); a number the operator typed stays.
void EntryAssist::fill(const HistoryEntry* e) {
  if (ws_.session().Ini.HistoryFill != 1 || !rcvd_->isEnabled()) return;
  const QString now = rcvd_->text();
  if (!now.isEmpty() && now != filled_) {
    filled_.clear();
    return;
  }
  const QString want = e ? toQ(e->RcvdNo) : QString();
  if (want == now) {
    if (!want.isEmpty()) rcvd_->setSelection(0, static_cast<int>(want.size()));
    filled_ = want;
    return;
  }
  rcvd_->setText(want);
  rcvd_->setSelection(0, static_cast<int>(want.size()));
  filled_ = want;
}

void EntryAssist::partialList(const std::string& call, const std::string& band) {
  ListPartial->clear();
  if (call.empty()) return;
  const PartialCheck p = ws_.session().Live.partial(call, band, kPartialMax);
  std::vector<std::string> shown;
  for (const PartialMatch& m : p.calls) {
    auto* item = new QListWidgetItem(toQ(m.CallSign), ListPartial);
    if (m.dupe) item->setForeground(QBrush(kDupe));
    shown.push_back(m.CallSign);
  }
  const CallHistory* history = ws_.session().History.get();
  if (!history) return;
  for (const HistoryEntry& h : history->entries()) {
    if (ListPartial->count() >= kPartialMax) break;
    if (h.CallSign.find(call) == std::string::npos) continue;
    if (std::find(shown.begin(), shown.end(), h.CallSign) != shown.end()) continue;
    auto* item = new QListWidgetItem(toQ(h.CallSign), ListPartial);
    item->setForeground(QBrush(kHistory));
    item->setToolTip(toQ(h.RcvdNo));
    shown.push_back(h.CallSign);
  }
}

void EntryAssist::registered() {
  const LogData& log = ws_.session().Doc.Log;
  if (!log.empty()) ws_.session().Live.add(log[log.count()]);
  filled_.clear();
  refresh();
}
