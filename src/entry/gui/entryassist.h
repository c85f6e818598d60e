// What the real-time input window shows while a call is typed: "DUPE" (red)
// or "NEW MULTI" as the search would judge the QSO now, the calls of the log
// and of the call history that contain the typed text (dupes on the band in
// red, history calls in blue), and the exchange the call sent last time,
// which goes into the empty received-number box when the settings say so
// (HistoryFill), selected so that typing replaces it. Nothing here takes
// the focus.
//
// Controls (object names): LabelCheck, LabelHistory, ListPartial.
#pragma once
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QObject>

class Workspace;
struct HistoryEntry;

class EntryAssist : public QObject {
  Q_OBJECT
 public:
  static constexpr int kPartialMax = 30;

  // Watches the boxes; the live index is brought up to the log at once.
  EntryAssist(Workspace& ws, QComboBox* band, QComboBox* mode, QLineEdit* call, QLineEdit* rcvd,
              QWidget* parent);

  QLabel* LabelCheck;
  QLabel* LabelHistory;
  QListWidget* ListPartial;

  // Checks the boxes again (the history arrived, the log changed).
  void refresh();
  // The log's last QSO was just registered: the next check sees it.
  void registered();

 private:
  void fill(const HistoryEntry* e);
  void partialList(const std::string& call, const std::string& band);

  Workspace& ws_;
  QComboBox *band_, *mode_;
  QLineEdit *call_, *rcvd_;
  QString filled_;  // what the history put into the received-number box
  bool busy_ = false;
};
