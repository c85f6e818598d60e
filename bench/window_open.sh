#!/bin/bash
# How soon the main window shows with a 20,000-QSO log, under Xvfb and openbox.
#   bench/window_open.sh BUILD [BASE_BUILD] [RUNS]
# BUILD and BASE_BUILD are build folders (tamarack and tamarack-cli in them).
# Each run prints three seconds from the start: the window mapped, its menus
# painted, the log's rows painted; the medians follow. With a base build the
# two are run in turn, so that both see the same machine. A bare Qt window
# (menu bar and a filled table, nothing read) is run in turn too: the floor.
# Needs: xvfb openbox libx11-dev (and a C compiler).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
new=$(cd "$1" && pwd)
base=${2:+$(cd "$2" && pwd)}
runs=${3:-7}
work=$(mktemp -d)
trap 'kill $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

cc -O2 -o "$work/probe" "$here/window_open_probe.c" -lX11
# The floor: a bare Qt window with a menu bar and a filled table, nothing read.
mkdir -p "$work/floor"
cat >"$work/floor/floor.cpp" <<'EOF_FLOOR'
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QStandardItemModel>
#include <QTableView>
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.setWindowTitle("Tamarack");
  for (const char* m : {"ファイル(&F)", "編集(&E)", "整列(&S)", "表示(&V)", "設定(&O)", "ヘルプ(&H)"})
    w.menuBar()->addMenu(QString::fromUtf8(m))->addAction("x");
  auto* t = new QTableView;
  auto* model = new QStandardItemModel(30, 13, t);
  for (int r = 0; r < 30; ++r)
    for (int c = 0; c < 13; ++c) model->setItem(r, c, new QStandardItem(QString("JA1ABC %1").arg(r)));
  t->setModel(model);
  w.setCentralWidget(t);
  w.resize(900, 500);
  w.show();
  return app.exec();
}
EOF_FLOOR
c++ -O2 -fPIC -o "$work/floor/tamarack" "$work/floor/floor.cpp" $(pkg-config --cflags --libs Qt6Widgets)

# The program folder: ALL JA, a 20,000-QSO log as the last log.
home=$work/home
mkdir -p "$home/Log"
cp -r "$here/../data/." "$home/"
cp /usr/share/hamradio-files/cty.dat "$home/Cty.dat" 2>/dev/null || true
awk 'BEGIN {
  srand(7); split("1.9 3.5 7 14 21 28 50", band, " "); split("CW SSB", mode, " ");
  for (i = 1; i <= 20000; i++) {
    s = 1 + int((i - 1) / 60); m = s % 60; h = 21 + int(s / 3600); mm = int(s / 60) % 60;
    call = sprintf("JA%d%c%c%c", int(rand() * 10), 65 + int(rand() * 26), 65 + int(rand() * 26), 65 + int(rand() * 26));
    printf "\"%d\",\"2026/04/25 %02d:%02d:%02d\",\"%s\",\"599\",\"13H\",\"599\",\"%d%s\",\"\",\"%s\",\"%s\",\"0\",\"0\",\"\"\r\n",
      i, h % 24, mm, m, call, 10 + int(rand() * 100), substr("HMLP", 1 + int(rand() * 4), 1), band[1 + int(rand() * 7)], mode[1 + int(rand() * 2)]
  } }' >"$work/big.csv"
printf 'CfgFileName=%s/Cfg/(1)ＡＬＬ ＪＡ コンテスト.cfg\r\nLogFileName=%s/Log/big.tmk\r\nJarlCallSign=JA1ZZZ\r\nJarlCateCode=XAH\r\n' \
  "$home" "$home" | iconv -f UTF-8 -t CP932 >"$home/Tamarack.ini.orig"
cp "$home/Tamarack.ini.orig" "$home/Tamarack.ini"
"$new/tamarack-cli" --home "$home" import csv "$work/big.csv" "$home/Log/big.tmk" >/dev/null

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
export DISPLAY=$display

one() {  # one start of the program in build folder $1
  cp "$home/Tamarack.ini.orig" "$home/Tamarack.ini"
  rm -f "$home"/Log/*.journal "$home"/Log/unsaved.journal
  "$work/probe" "$1/tamarack" "$home"
  sleep 0.3
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

one "$new" >/dev/null  # the first start fills the caches
for ((i = 0; i < runs; i++)); do
  one "$new" >>"$work/new"
  [ -n "$base" ] && one "$base" >>"$work/base"
  one "$work/floor" >>"$work/floor/times"
done
report() {
  printf '%-5s mapped %s  menus %s  rows %s\n' "$1" \
    "$(cut -d' ' -f1 "$2" | median)" "$(cut -d' ' -f2 "$2" | median)" "$(cut -d' ' -f3 "$2" | median)"
}
echo "runs: $runs"
report new "$work/new"
[ -n "$base" ] && report base "$work/base"
report floor "$work/floor/times"
exit 0
