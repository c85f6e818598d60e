#include "entry/gui/qsoentrypanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <initializer_list>

#include "contest/contestdef.h"
#include "entry/gui/entryfilters.h"
#include "log/gui/qtui.h"

QLabel* EntryPanelLabel(const char* name, int widthTwips, QWidget* parent, bool white) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromUtf8(name));
  l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  l->setAlignment(Qt::AlignCenter);
  l->setMinimumWidth(twipsToPx(widthTwips));
  if (white) {
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    l->setPalette(p);
  }
  return l;
}

QPushButton* EntryButton(const char* name, const char* caption, QWidget* parent) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  b->setObjectName(QString::fromUtf8(name));
  b->setAutoDefault(false);
  b->setFixedWidth(twipsToPx(1100));
  return b;
}

QHBoxLayout* EntryButtonRow(std::initializer_list<QPushButton*> buttons) {
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  for (QPushButton* b : buttons) row->addWidget(b);
  return row;
}

namespace {
template <std::size_t N>
void addSteppers(std::array<EntryUpDown*, N>& steppers, const char* const (&names)[N], int range,
                 QWidget* parent, QHBoxLayout* row) {
  for (std::size_t i = 0; i < N; ++i) {
    steppers[i] = new EntryUpDown(-range, range, parent);
    steppers[i]->setObjectName(QString::fromUtf8(names[i]));
    row->addWidget(steppers[i]);
  }
}
}  // namespace

void QsoEntryPanel::buildTimeRow(QWidget* parent, QHBoxLayout* row, bool whitePanels) {
  Label12 = EntryPanelLabel("Label12", 1300, parent, whitePanels);
  row->addWidget(Label12);
  static const char* const kDay[] = {"UpDown1_0", "UpDown1_1", "UpDown1_2"};
  addSteppers(UpDown1, kDay, 30000, parent, row);
  row->addSpacing(twipsToPx(120));
  Label13 = EntryPanelLabel("Label13", 800, parent, whitePanels);
  row->addWidget(Label13);
  static const char* const kTime[] = {"UpDown2_0", "UpDown2_1"};
  addSteppers(UpDown2, kTime, 300000, parent, row);
  Text1 = EntryBox("Text1", 800, parent);
  Text1->setVisible(false);
}

QGridLayout* QsoEntryPanel::buildBoxes(QWidget* parent, const BoxFilters& filters,
                                       QLabel* bandCaption, QLabel* modeCaption) {
  EntryRow row{};
  QGridLayout* g = BuildEntryRow(parent, row, bandCaption, modeCaption);
  Combo1 = row.Combo1, Combo2 = row.Combo2;
  Text5 = row.Text5, Text6 = row.Text6, Text7 = row.Text7, Text8 = row.Text8, Text9 = row.Text9;
  Label5 = row.Label5, Label6 = row.Label6, Label7 = row.Label7, Label8 = row.Label8;
  Label9 = row.Label9;

  // The received RS(T) box is no tab stop (the digital QSO party makes it one).
  Text8->setFocusPolicy(Qt::ClickFocus);
  QWidget* order[] = {Combo1, Combo2, Text5, Text6, Text7, Text8, Text9, Text1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) QWidget::setTabOrder(order[i], order[i + 1]);

  // The band and mode boxes take only the texts of their lists.
  InstallListChoice(Combo1, entry::KeyFilter::Band);
  InstallListChoice(Combo2, entry::KeyFilter::Mode);
  QLineEdit* boxes[] = {Text5, Text6, Text7, Text8, Text9};
  for (std::size_t i = 0; i < filters.size(); ++i) InstallKeyFilter(boxes[i], filters[i]);
  InstallKeyFilter(Text1, entry::KeyFilter::TimeBox);
  // The reports are 4-byte fields: a New-Year party name must fit as typed.
  LimitCp932Bytes(Text6, kRstBytes);
  LimitCp932Bytes(Text8, kRstBytes);
  return g;
}

void QsoEntryPanel::connectPanel(QObject* context) {
  QObject::connect(Combo1, &QComboBox::activated, context, [this] { bandPicked(); });
  QObject::connect(Combo2, &QComboBox::activated, context, [this] { modePicked(); });
  QObject::connect(InstallListChoice(Combo1, entry::KeyFilter::Band), &ListChoice::chosen, context,
                   [this] { bandTyped(); });
  QObject::connect(InstallListChoice(Combo2, entry::KeyFilter::Mode), &ListChoice::chosen, context,
                   [this] { modeTyped(); });
  const auto focusCall = [this] { Text5->setFocus(); };
  for (std::size_t i = 0; i < UpDown1.size(); ++i) {
    QObject::connect(UpDown1[i], &EntryUpDown::Change, context,
                     [this, i] { upDownChanged(false, static_cast<int>(i)); });
    QObject::connect(UpDown1[i], &EntryUpDown::clickedDone, context, focusCall);
  }
  for (std::size_t i = 0; i < UpDown2.size(); ++i) {
    QObject::connect(UpDown2[i], &EntryUpDown::Change, context,
                     [this, i] { upDownChanged(true, static_cast<int>(i)); });
    QObject::connect(UpDown2[i], &EntryUpDown::clickedDone, context, focusCall);
  }
}

void QsoEntryPanel::showPanelTime(bool dateOnly) {
  const ole::Date t = panelTime();
  if (!ole::valid(t)) return;
  Label12->setText(toQ(entry::DateLabelText(t)));
  if (!dateOnly) Label13->setText(toQ(entry::TimeLabelText(t)));
}

void QsoEntryPanel::stepPanelTime(entry::TimeField field, int step) {
  ole::Date& t = panelTime();
  t = entry::StepTime(t, field, step);
}

void QsoEntryPanel::upDownChanged(bool timeGroup, int item) {
  const auto i = static_cast<std::size_t>(item);
  static constexpr entry::TimeField kDay[] = {entry::TimeField::Year, entry::TimeField::Month,
                                              entry::TimeField::Day};
  static constexpr entry::TimeField kTime[] = {entry::TimeField::Hour, entry::TimeField::Minute};
  const int step = timeGroup ? UpDown2[i]->takeStep() : UpDown1[i]->takeStep();
  stepPanelTime(timeGroup ? kTime[i] : kDay[i], step);
  // The date steppers leave the time label as it is.
  showPanelTime(!timeGroup);
}

void QsoEntryPanel::stepMinute(int by) {
  stepPanelTime(entry::TimeField::Minute, by);
  showPanelTime();
}

void QsoEntryPanel::clearCallAndNumber() {
  Text5->clear();
  Text9->clear();
}

void QsoEntryPanel::setManualTime(int flag) {
  const bool manual = flag == 1;
  for (EntryUpDown* u : UpDown2) u->setEnabled(!manual);
  Text1->setVisible(manual);
  (manual ? static_cast<QWidget*>(Text1) : Text5)->setFocus();
}

bool QsoEntryPanel::altFocus(int key) {
  switch (key) {
    case Qt::Key_B:
      Combo1->setFocus();
      Combo1->lineEdit()->selectAll();
      return true;
    case Qt::Key_C: Text5->setFocus(); return true;
    case Qt::Key_M:
      Combo2->setFocus();
      Combo2->lineEdit()->selectAll();
      return true;
    case Qt::Key_N: Text9->setFocus(); return true;
    default: return false;
  }
}

QWidget* QsoEntryPanel::spaceTarget(QObject* source, bool dqp) const {
  if (source == Text5 || source == Text6) return dqp ? Text8 : Text9;
  if (source == Text7 || source == Text8) return Text9;
  if (source == Text9) return Text5;
  return nullptr;
}

void QsoEntryPanel::caretToEnd() { Text5->setCursorPosition(static_cast<int>(Text5->text().size())); }

void QsoEntryPanel::applyDqp() {
  for (QWidget* w : std::initializer_list<QWidget*>{Label7, Label9, Text7, Text9}) w->setEnabled(false);
  Text8->setFocusPolicy(Qt::StrongFocus);
}

void QsoEntryPanel::fillLists(const ContestDefinition& contest) {
  FillBandModeLists(Combo1, Combo2, contest);
}

void QsoEntryPanel::modeReport() { ApplyModeReport(Combo2, Text6, Text8, entry::ReportRule::Entry); }

entry::EntryBoxes QsoEntryPanel::panelBoxes() const {
  entry::EntryBoxes b;
  b.band = fromQ(Combo1->currentText());
  b.mode = fromQ(Combo2->currentText());
  b.callSign = fromQ(Text5->text());
  b.sentRst = fromQ(Text6->text());
  b.sentNo = fromQ(Text7->text());
  b.rcvdRst = fromQ(Text8->text());
  b.rcvdNo = fromQ(Text9->text());
  return b;
}
