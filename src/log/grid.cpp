#include "log/grid.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "log/oledate.h"
#include "log/utf8.h"

const std::array<const char*, kGridCols> kGridHeaders = {
    "番号", "年月日　時間", "ｺｰﾙｻｲﾝ", "RST", "送信", "RST", "受信",
    "ﾏﾙﾁ", "ﾊﾞﾝﾄﾞ", "ﾓｰﾄﾞ", "ﾎﾟｲﾝﾄ", "ﾃﾞｭｰﾌﾟ", "備考"};
const std::array<int, kGridCols> kGridDefaultWidths = {795, 2760, 1485, 610, 1290, 610, 1290,
                                                       1140, 795, 795, 795, 795, 3000};
const std::array<CellAlign, kGridCols> kGridAlign = {
    CellAlign::Right,  CellAlign::Right,  CellAlign::Left,   CellAlign::Left,  CellAlign::Left,
    CellAlign::Left,   CellAlign::Left,   CellAlign::Centre, CellAlign::Centre, CellAlign::Centre,
    CellAlign::Right,  CellAlign::Centre, CellAlign::Centre};

GridRows::GridRows() {
  std::string header;
  for (int c = 0; c < kGridCols; ++c) {
    if (c) header += '\t';
    header += kGridHeaders[static_cast<std::size_t>(c)];
  }
  rows_.push_back(makeRow(header));
}

GridRows::Row GridRows::makeRow(std::string_view tab) {
  Row r;
  // Cells are at most 65535 bytes all told; a longer row is cut.
  if (tab.size() > 60000) tab = tab.substr(0, 60000);
  r.text.reserve(tab.size() + kGridCols);
  std::size_t pos = 0;
  for (int c = 0; c < kGridCols; ++c) {
    r.off[static_cast<std::size_t>(c)] = static_cast<std::uint16_t>(r.text.size());
    std::size_t end = pos <= tab.size() ? tab.find('\t', pos) : std::string_view::npos;
    if (pos > tab.size()) {
      end = pos;
    } else {
      if (end == std::string_view::npos) end = tab.size();
      r.text.append(tab.substr(pos, end - pos));
    }
    r.text.push_back('\t');
    pos = end + 1;
  }
  r.off[kGridCols] = static_cast<std::uint16_t>(r.text.size());
  return r;
}

std::string_view GridRows::cell(int row, int col) const {
  if (row < 0 || row >= rows() || col < 0 || col >= kGridCols) return {};
  const Row& r = rows_[static_cast<std::size_t>(row)];
  const auto b = r.off[static_cast<std::size_t>(col)];
  const auto e = r.off[static_cast<std::size_t>(col) + 1];
  return std::string_view(r.text).substr(b, e - b - 1u);
}

std::string GridRows::rowText(int row) const {
  if (row < 0 || row >= rows()) return {};
  std::string t = rows_[static_cast<std::size_t>(row)].text;
  t.pop_back();
  return t;
}

void GridRows::setCell(int row, int col, std::string_view text) {
  if (row < 0 || row >= rows() || col < 0 || col >= kGridCols) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  const auto c = static_cast<std::size_t>(col);
  const std::size_t b = r.off[c];
  const std::size_t oldLen = r.off[c + 1] - 1u - b;
  if (r.text.size() - oldLen + text.size() > 60000) return;
  r.text.replace(b, oldLen, text);
  // a TAB would shift the later cells
  for (std::size_t k = b; k < b + text.size(); ++k)
    if (r.text[k] == '\t') r.text[k] = ' ';
  const auto delta = static_cast<long>(text.size()) - static_cast<long>(oldLen);
  for (std::size_t k = c + 1; k <= kGridCols; ++k)
    r.off[k] = static_cast<std::uint16_t>(static_cast<long>(r.off[k]) + delta);
  if (redraw_ == 0 && observer_) observer_->cellChanged(row, col);
  else dirty_ = true;
}

void GridRows::addRow(std::string_view tabText) {
  rows_.push_back(makeRow(tabText));
  if (redraw_ == 0 && observer_) observer_->rowsInserted(rows() - 1, rows() - 1);
  else dirty_ = true;
}

void GridRows::insertRow(int before, std::string_view tabText) {
  if (before < 1) before = 1;
  if (before > rows()) before = rows();
  rows_.insert(rows_.begin() + before, makeRow(tabText));
  if (redraw_ == 0 && observer_) observer_->rowsInserted(before, before);
  else dirty_ = true;
}

void GridRows::removeRow(int row) {
  if (row < 1 || row >= rows()) return;
  rows_.erase(rows_.begin() + row);
  if (redraw_ == 0 && observer_) observer_->rowsRemoved(row, row);
  else dirty_ = true;
}

void GridRows::truncate(int n) {
  if (n < 0) n = 0;
  if (n + 1 >= rows()) return;
  const int first = n + 1, last = rows() - 1;
  rows_.resize(static_cast<std::size_t>(n) + 1);
  if (redraw_ == 0 && observer_) observer_->rowsRemoved(first, last);
  else dirty_ = true;
}

namespace {
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool lessNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(lowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(lowerAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}
}  // namespace

void GridRows::sortByColumn(int col) {
  if (rows() <= 2) return;
  auto cellOf = [col](const Row& r) {
    const auto b = r.off[static_cast<std::size_t>(col)];
    const auto e = r.off[static_cast<std::size_t>(col) + 1];
    return std::string_view(r.text).substr(b, e - b - 1u);
  };
  std::stable_sort(rows_.begin() + 1, rows_.end(), [&](const Row& a, const Row& b) {
    return lessNoCase(cellOf(a), cellOf(b));
  });
  if (redraw_ == 0 && observer_) observer_->gridReset();
  else dirty_ = true;
}

void GridRows::reorder(const std::vector<int>& order) {
  decltype(rows_) sorted;
  sorted.reserve(rows_.size());
  sorted.push_back(std::move(rows_[0]));
  for (const int from : order) sorted.push_back(std::move(rows_[static_cast<std::size_t>(from)]));
  rows_ = std::move(sorted);
  if (redraw_ == 0 && observer_) observer_->gridReset();
  else dirty_ = true;
}

void GridRows::setRedraw(bool on) {
  if (!on) {
    ++redraw_;
    return;
  }
  if (redraw_ > 0 && --redraw_ == 0 && dirty_) {
    dirty_ = false;
    if (observer_) observer_->gridReset();
  }
}

std::string QsoNoText(int n) {
  if (n >= 0 && n <= 999) {
    char b[8];
    std::snprintf(b, sizeof b, "%04d", n);
    return b;
  }
  return std::to_string(n);
}

std::string GridRowText(const QsoRecord& r, int showSeconds, bool searched) {
  std::string t;
  t.reserve(96);
  t += QsoNoText(r.QsoNo);
  t += '\t';
  t += ole::formatGrid(r.QsoTime, showSeconds);
  for (std::string_view f : {r.CallSign.trimmed(), r.SentRst.trimmed(), r.SentNo.trimmed(),
                             r.RcvdRst.trimmed(), r.RcvdNo.trimmed(),
                             searched ? r.Mlt.trimmed() : std::string_view(), r.Band.trimmed(),
                             r.Mode.trimmed()}) {
    t += '\t';
    t += f;
  }
  t += '\t';
  if (!searched) return t + "\t\t";  // points, dupe, remarks
  t += std::to_string(r.Points);
  t += '\t';
  if (r.Dupe == 1) t += "DUPE";
  t += '\t';
  t += r.Remarks.trimmed();
  return t;
}

void FrmLogLoad(GridRows& grid, const LogData& log, int showSeconds) {
  grid.setRedraw(false);
  grid.truncate(0);
  if (log.count() < 1) {
    grid.addRow("");
  } else {
    grid.reserve(log.count() + 1);
    for (int i = 1; i <= log.count(); ++i) grid.addRow(GridRowText(log[i], showSeconds));
  }
  grid.setRedraw(true);
}

namespace {
// The points cell: empty is 0; a number rounds half to even into 16 bits;
// anything else does not convert.
bool pointsOf(std::string_view s, std::int16_t& out) {
  s = utf8::trim(s);
  if (s.empty()) {
    out = 0;
    return true;
  }
  bool neg = false;
  if (s[0] == '+' || s[0] == '-') {
    neg = s[0] == '-';
    s.remove_prefix(1);
  }
  double d = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), d, std::chars_format::fixed);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(d)) return false;
  if (neg) d = -d;
  const double v = std::nearbyint(d);
  if (v < std::numeric_limits<std::int16_t>::min() || v > std::numeric_limits<std::int16_t>::max())
    return false;
  out = static_cast<std::int16_t>(v);
  return true;
}
}  // namespace

namespace {
// One grid row into the working record, all but the time and the number.
void rowToRecord(const GridRows& grid, int i, QsoRecord& cur) {
  cur.CallSign = grid.cell(i, 2);
  cur.SentRst = grid.cell(i, 3);
  cur.SentNo = grid.cell(i, 4);
  cur.RcvdRst = grid.cell(i, 5);
  cur.RcvdNo = grid.cell(i, 6);
  cur.Mlt = grid.cell(i, 7);
  cur.Band = grid.cell(i, 8);
  cur.Mode = grid.cell(i, 9);
  cur.Remarks = grid.cell(i, 12);
  pointsOf(grid.cell(i, 10), cur.Points);
  cur.Dupe = grid.cell(i, 11).empty() ? 0 : 1;
}
}  // namespace

void GridToLog(const GridRows& grid, LogData& log, QsoRecord& cur, Progress& progress) {
  int n = std::min(grid.rows() - 1, kMaxQso);
  // The blank row an empty log shows is no QSO.
  if (n == 1 && grid.rowText(1).find_first_not_of('\t') == std::string::npos) n = 0;
  log.resize(n);
  progress.start(n);
  for (int i = 1; i <= n; ++i) {
    progress.step(i);
    cur.QsoNo = static_cast<std::int16_t>(i);
    if (auto t = ole::parse(grid.cell(i, 1))) cur.QsoTime = *t;
    rowToRecord(grid, i, cur);
    log[i] = cur;
  }
  progress.finish();
}

namespace {
// The sort through the grid's texts: the time cells with seconds, sorted as
// text, the log rebuilt from the grid. Taken when the grid and the log do
// not pair row for row or a time is no date.
void timeSortByText(GridRows& grid, LogData& log, QsoRecord& cur, Progress& progress) {
  const int n = std::min(log.count(), grid.rows() - 1);
  for (int i = 1; i <= n; ++i) grid.setCell(i, 1, ole::formatSeconds(log[i].QsoTime));
  grid.sortByColumn(1);
  GridToLog(grid, log, cur, progress);
  for (int i = 1; i <= log.count(); ++i) grid.setCell(i, 1, ole::formatMinutes(log[i].QsoTime));
}
}  // namespace

void TimeSortGrid(GridRows& grid, LogData& log, QsoRecord& cur, Progress& progress) {
  grid.setRedraw(false);
  const int n = log.count();
  bool paired = grid.rows() - 1 == n && n >= 1;
  // Whole seconds order the times as their "yyyy-mm-dd hh:nn:ss" texts do;
  // the row number keeps equal times in their order.
  std::vector<std::pair<std::int64_t, int>> keys;
  if (paired) {
    keys.reserve(static_cast<std::size_t>(n));
    for (int i = 1; i <= n && paired; ++i) {
      paired = ole::valid(log[i].QsoTime);
      keys.emplace_back(paired ? ole::toSeconds(log[i].QsoTime) : 0, i);
    }
  }
  if (!paired) {
    timeSortByText(grid, log, cur, progress);
    grid.setRedraw(true);
    return;
  }
  if (!std::is_sorted(keys.begin(), keys.end())) std::sort(keys.begin(), keys.end());
  std::vector<int> order(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) order[k] = keys[k].second;
  grid.reorder(order);
  // The log is rebuilt from the sorted grid as GridToLog does, each time
  // being its whole second.
  progress.start(n);
  for (int i = 1; i <= n; ++i) {
    progress.step(i);
    cur.QsoNo = static_cast<std::int16_t>(i);
    cur.QsoTime = ole::fromSeconds(keys[static_cast<std::size_t>(i - 1)].first);
    rowToRecord(grid, i, cur);
    log[i] = cur;
    grid.setCell(i, 1, ole::formatMinutes(cur.QsoTime));
  }
  progress.finish();
  grid.setRedraw(true);
}
