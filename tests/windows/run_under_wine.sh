#!/usr/bin/env bash
# Runs one Windows test program under Wine on an X server of its own (Xvfb), so that windows,
# the clipboard and hot keys are real X11 ones that xclip and xdotool reach too.
#
#   run_under_wine.sh PREFIX PATHS PROGRAM.exe [ARGUMENTS...]
#   run_under_wine.sh PREFIX PATHS SCRIPT [ARGUMENTS...]   a test script, in the same setting
#
# PREFIX is the Wine prefix (made by its first use); PATHS the Windows folders of the DLLs the
# program loads (Qt's, MinGW's), separated by "|". LANG picks Wine's locale, and with it the
# system's ANSI code page (zh_CN.UTF-8: 936; C: 1252). One test at a time uses a prefix: the
# wineserver and the clipboard belong to the prefix, and to the display it was started on.
set -uo pipefail
prefix=$1 paths=$2
shift 2

export WINEPREFIX=$prefix WINEPATH=${paths//|/;} WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-C.UTF-8}

log=$(mktemp)
# -displayfd lets Xvfb pick a free display and say which. Another test's server starting at the
# same moment can take the number it picked: then it tries again.
display=""
for _attempt in 1 2 3; do
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 1280x800x24 -nolisten tcp >"$log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    read -r -t 0.1 -u "$fd" display && break
    kill -0 "$xvfb" 2>/dev/null || break
  done
  exec {fd}<&-
  [ -n "$display" ] && break
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
done
if [ -z "$display" ]; then
  echo "run_under_wine: Xvfb did not start: $(cat "$log")" >&2
  exit 1
fi
export DISPLAY=:$display

finish() {
  # The wineserver of this prefix, and every Windows process it still runs, go with the test.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -f "$log"
}
trap finish EXIT

if [ ! -f "$prefix/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
case $1 in
  *.exe)
    if [ -n "${ZUB_QTEST:-}" ]; then
      # Qt's test log reaches no output stream under Wine; it goes through a file instead.
      report=$(mktemp)
      wine "$@" -o "Z:${report//\//\\},txt"
      status=$?
      grep -v '^PASS' "$report"
      rm -f "$report"
      exit $status
    fi
    wine "$@" ;;
  *) "$@" ;;
esac
