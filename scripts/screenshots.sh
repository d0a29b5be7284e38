#!/usr/bin/env bash
# Makes the README's screenshots from a built tree: the three steps of the real calculator
# window on a virtual display, driven with xdotool, and a report written by quillon-cli
# and rendered by headless Chromium. Builds nothing; run it again after a change to the
# window or the report to refresh docs/screenshots/.
#   scripts/screenshots.sh [BUILD_DIR]      (default: build)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
out="$here/docs/screenshots"
quillon="$build/startup/quillon"
cli="$build/cli/quillon-cli"

# The example shown in every picture: 20 MHz oscillator, 125 kbit/s, first candidate.
osc=20
rate=125

missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v import >/dev/null || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
  echo "Missing tools; install them with:  apt-get install ${missing[*]}" >&2
  exit 1
fi
[ -x "$quillon" ] || { echo "No $quillon: build the tree first (tools/dev test)" >&2; exit 1; }

# Everything below runs on its own virtual display.
if [ -z "${QUILLON_SCREENSHOTS_DISPLAY:-}" ]; then
  QUILLON_SCREENSHOTS_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build"
fi

mkdir -p "$out"
work=$(mktemp -d)
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then
    kill "$app_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# Control positions in the window, from its design in twips (15 twips to a pixel at 96 dpi).
px() { echo $(($1 / 15)); }
click_at() { # click_at LEFT_TWIPS TOP_TWIPS WIDTH_TWIPS HEIGHT_TWIPS: clicks the centre
  xdotool mousemove --window "$window" $(($(px "$1") + $(px "$3") / 2)) \
    $(($(px "$2") + $(px "$4") / 2)) click 1
  sleep 0.5
}
type_into() { # type_into LEFT TOP WIDTH HEIGHT TEXT: replaces the text of a box
  click_at "$1" "$2" "$3" "$4"
  xdotool key ctrl+a BackSpace
  xdotool type --delay 50 "$5"
  sleep 0.5
}
shoot() {
  sleep 1.5
  import -window "$window" "$out/$1"
  echo "wrote docs/screenshots/$1"
}
next() { click_at 4200 315 300 285; }

# The window program, in a data folder of its own so nothing of the user's is touched.
start_window() {
  XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb "$quillon" >"$work/quillon.log" 2>&1 &
  app_pid=$!
  window=""
  for _ in $(seq 1 50); do
    window=$(xdotool search --onlyvisible --name Quillon 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "The Quillon window did not appear; its output:" >&2
    cat "$work/quillon.log" >&2
    exit 1
  fi
  xdotool windowsize "$window" 880 450
  xdotool windowfocus --sync "$window"
}
stop_window() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
}

start_window
type_into 7350 45 1260 285 "$osc"
type_into 7350 435 1260 315 "$rate"
shoot step1.png
next
shoot step2.png
next
shoot step3.png
stop_window

# CAN FD: an MCP2518FD with 40 MHz at 500 kbit/s and 2 Mbit/s, chosen with the keyboard
# from the rate box on (the controller, then the data rate), recommended segments.
start_window
type_into 7350 45 1260 285 40
type_into 7350 435 1260 315 500
xdotool key Tab Down Tab ctrl+a BackSpace
xdotool type --delay 50 2000
xdotool key Return
shoot fd-step2.png
xdotool key Return
sleep 0.5
xdotool key Tab space
shoot fd-step3.png
stop_window

# The report: written by quillon-cli for the same choice, with a fixed time stamp.
if [ ! -x "$cli" ]; then
  echo "No $cli: report screenshot skipped" >&2
  exit 0
fi
browser=$(command -v chromium || command -v chromium-browser || command -v google-chrome || true)
if [ -z "$browser" ]; then
  echo "No Chromium: report screenshot skipped; install it with:  apt-get install chromium" >&2
  exit 0
fi
mkdir -p "$work/report"
SOURCE_DATE_EPOCH=0 "$cli" report --osc "$osc" --rate "$rate" --pick 1 --out "$work/report" >/dev/null
"$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=900,930 \
  --screenshot="$out/report.png" "file://$work/report/MCP2510Report.htm" >/dev/null 2>&1
echo "wrote docs/screenshots/report.png"
SOURCE_DATE_EPOCH=0 "$cli" fd report --osc 40 --rate 500 --data-rate 2000 --pick 1 --recommend \
  --out "$work/report" >/dev/null
"$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=900,1400 \
  --screenshot="$out/fd-report.png" "file://$work/report/MCP251xFDReport.htm" >/dev/null 2>&1
echo "wrote docs/screenshots/fd-report.png"
