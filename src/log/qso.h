// The QSO record, the in-memory log and the document state the main window
// shares with its tool windows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "log/bigblock.h"
#include "log/fixedtext.h"
#include "log/oledate.h"

struct QsoRecord {
  std::int16_t QsoNo = 0;
  FixedText<5> Band;
  FixedText<6> Mode;
  std::int16_t Dupe = 0;
  ole::Date QsoTime = 0;
  FixedText<13> CallSign;
  FixedText<4> SentRst;
  FixedText<10> SentNo;
  FixedText<4> RcvdRst;
  FixedText<10> RcvdNo;
  std::int16_t Points = 0;
  FixedText<7> Mlt;
  FixedText<6> Reserved;
  FixedText<20> Remarks;
  std::int16_t TestNo = 0;
};

// The 16-bit count bounds the log.
constexpr int kMaxQso = 32767;

// The log: records 1..count() in grid order; slot 0 exists and is never used.
class LogData {
 public:
  LogData() : recs_(1) {}

  int count() const { return static_cast<int>(recs_.size()) - 1; }
  bool empty() const { return count() < 1; }
  bool full() const { return count() >= kMaxQso; }

  QsoRecord& operator[](int i) { return recs_[static_cast<std::size_t>(i)]; }
  const QsoRecord& operator[](int i) const { return recs_[static_cast<std::size_t>(i)]; }

  // Appends r as record count()+1 and numbers it. Returns false (and stores
  // nothing) when the log already holds kMaxQso QSOs.
  bool append(const QsoRecord& r) {
    if (full()) return false;
    recs_.push_back(r);
    recs_.back().QsoNo = static_cast<std::int16_t>(count());
    return true;
  }
  // Resizes to n records keeping the existing ones; n is clamped to 0..kMaxQso.
  void resize(int n) {
    if (n < 0) n = 0;
    if (n > kMaxQso) n = kMaxQso;
    recs_.resize(static_cast<std::size_t>(n) + 1);
  }
  // Removes record i (1-based); later records move up, their numbers unchanged.
  void erase(int i) {
    if (i >= 1 && i <= count()) recs_.erase(recs_.begin() + i);
  }
  // Inserts before record i (1-based; count()+1 appends). False when full.
  bool insert(int i, const QsoRecord& r) {
    if (full() || i < 1 || i > count() + 1) return false;
    recs_.insert(recs_.begin() + i, r);
    return true;
  }
  void clear() { recs_.assign(1, QsoRecord{}); }

  // Slots including slot 0 (count()+1).
  std::size_t slotCount() const { return recs_.size(); }

 private:
  std::vector<QsoRecord, BigBlockAllocator<QsoRecord>> recs_;
};

// Numbers under which each tool window registers itself while open.
enum OpenDialog : std::int16_t {
  DlgNone = 0,
  DlgInput = 1,        // frmInput
  DlgEdit = 2,         // frmEdit
  DlgMyData = 3,       // frmMyData
  DlgThSet = 4,        // frmThSet
  DlgAdifSet = 5,      // frmAdifSet
  DlgSumary = 6,       // frmSumary
  DlgMakeLog = 7,      // frmMakeLog
  DlgThRead = 8,       // frmThRead
  DlgDelLog = 9,       // frmDelLog
  DlgTime = 10,        // frmTime
  DlgQTC = 11,         // frmQTC
  DlgCabReadSet = 12,  // frmCabReadSet
  DlgCfm = 13,         // frmCfm
  DlgZlogReadSet = 14, // frmZlogReadSet
  DlgAdd = 15,         // frmAdd: its own number, so Esc and double click reach it
  DlgMultiEdit = 16,   // frmMultiEdit: registered, so no other window opens over it
  DlgCheckLog = 17,    // frmCheckLog, the check before submission
  DlgHistorySet = 18,  // frmHistorySet
  DlgRigSet = 19,      // frmRigSet
};

// Document-wide state owned by the main window.
// (The contest number lives with the contest definition, which sets it.)
struct DocState {
  std::int16_t LogTestNo = 0;
  std::string LogFileName;
  std::string CfgFileName;
  std::int16_t LogDirty = 0;
  std::int16_t SelRow = 0;
  std::int16_t OpenDialogNo = 0;
  std::int32_t GridPageRows = 0;
  std::int16_t ShowSeconds = 0;
  std::string TodayText;
};

// The log with its working record.
struct LogDocument {
  LogData Log;
  QsoRecord CurQso;
  DocState State;
};
