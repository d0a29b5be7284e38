#!/usr/bin/env bash
# Runs every benchmark and prints the figures beside their floors and budgets.
# Started by `cmake --build <dir> --target bench`, which passes the programs in
# QUILLON_BENCH_* variables; the one argument is the folder for the raw results.
#
#   QUILLON_BENCH_RUNS      runs per process-level and one-shot figure (median kept)
#   QUILLON_BENCH_DISPLAY   offscreen, xvfb or both (default: both when xvfb-run exists)
#
# The machines are shared and noisy, so every figure is taken beside its floor in the same
# run: the interactions beside an empty widget's repaint, the window's first frame beside
# an empty Qt widget program's, the command-line answer beside `quillon-cli --version`.
set -uo pipefail

# Qt programs and the calculator (which offers itself on the session bus) talk to the
# session bus when they start. Without one, D-Bus would launch a bus daemon inside every
# timed start, which no desktop does; so the start-up runs get a private session bus of
# their own, started inside the display they use, as a desktop session has.
with_bus=()
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
  with_bus=(dbus-run-session --)
fi

results=${1:?usage: run_bench.sh RESULTS_FOLDER}
runs=${QUILLON_BENCH_RUNS:-21}
mkdir -p "$results"
rm -f "$results"/*.csv "$results"/*.txt "$results"/summary.md

# Budgets in milliseconds, kept here and nowhere else.
budget_interaction=16
budget_first_frame=250
budget_first_frame_ratio=1.3 # processor time, times the empty widget program's
budget_cli=20
budget_search=0.016          # the 64 x 18 candidate search with what step 2 shows
budget_fd_search=1           # the CAN FD pair search at 40 MHz with the list's facts
budget_bus_four=100          # the bus optimiser, four free nodes
budget_bus_eight=1000        # eight free nodes

failures=0
load_start=$(cut -d' ' -f1-3 /proc/loadavg)
note_failure() {
  echo "bench: $1 failed" >&2
  failures=$((failures + 1))
}

echo "== Model (Google Benchmark, median of 9 repetitions)"
if [ -n "${QUILLON_BENCH_MODEL:-}" ]; then
  "$QUILLON_BENCH_MODEL" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.1 \
    --benchmark_out="$results/model.csv" --benchmark_out_format=csv || note_failure bench_model
else
  echo "(bench_model not built: install libbenchmark-dev and configure again)"
fi

echo
echo "== Window interactions (QtTest, offscreen, median of $runs)"
QT_QPA_PLATFORM=offscreen "$QUILLON_BENCH_WIDGETS" -median "$runs" \
  -o "$results/widgets.csv,csv" -o -,txt || note_failure bench_widgets

# start_up NAME [bench_startup options and command...]: appends the RESULT line.
start_up() {
  local name=$1
  shift
  "${with_bus[@]}" "$QUILLON_BENCH_STARTUP" --runs "$runs" --name "$name" "$@" |
    tee -a "$results/process.txt" || note_failure "$name"
}

display=${QUILLON_BENCH_DISPLAY:-}
if [ -z "$display" ]; then
  if command -v xvfb-run >/dev/null; then display=both; else display=offscreen; fi
fi

echo
echo "== Start-up to first painted frame (median of $runs)"
if [ "$display" = offscreen ] || [ "$display" = both ]; then
  export QT_QPA_PLATFORM=offscreen
  start_up floor-window-offscreen --probe "$QUILLON_BENCH_PROBE" -- "$QUILLON_BENCH_EMPTY_WINDOW"
  start_up label-window-offscreen --probe "$QUILLON_BENCH_PROBE" -- "$QUILLON_BENCH_EMPTY_WINDOW" --text
  if [ -n "${QUILLON_BENCH_QUILLON:-}" ]; then
    start_up window-offscreen --probe "$QUILLON_BENCH_PROBE" -- "$QUILLON_BENCH_QUILLON"
  fi
  unset QT_QPA_PLATFORM
fi
if [ "$display" = xvfb ] || [ "$display" = both ]; then
  # Both programs on one virtual display; the server is up before the first run.
  xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "${with_bus[@]}" bash -c '
    set -o pipefail
    "$QUILLON_BENCH_STARTUP" --runs "$1" --name floor-window-xvfb --probe "$QUILLON_BENCH_PROBE" \
      -- "$QUILLON_BENCH_EMPTY_WINDOW" || exit 1
    "$QUILLON_BENCH_STARTUP" --runs "$1" --name label-window-xvfb --probe "$QUILLON_BENCH_PROBE" \
      -- "$QUILLON_BENCH_EMPTY_WINDOW" --text || exit 1
    if [ -n "${QUILLON_BENCH_QUILLON:-}" ]; then
      "$QUILLON_BENCH_STARTUP" --runs "$1" --name window-xvfb --probe "$QUILLON_BENCH_PROBE" \
        -- "$QUILLON_BENCH_QUILLON" || exit 1
    fi' bash "$runs" | tee -a "$results/process.txt" || note_failure "start-up under Xvfb"
fi

echo
echo "== Command-line answers, start to exit (median of $runs)"
start_up floor-process -- true
if [ -n "${QUILLON_BENCH_CLI:-}" ]; then
  start_up floor-cli-version -- "$QUILLON_BENCH_CLI" --version
  # shellcheck disable=SC2086 # the arguments are one space-separated list
  start_up cli-timing -- "$QUILLON_BENCH_CLI" ${QUILLON_BENCH_CLI_ARGS:-}
else
  echo "(quillon-cli not built)"
fi

# ---- Summary -------------------------------------------------------------------------------
# figure_of KIND NAME [FIELD]: a median in milliseconds (FIELD cpu: the processor time of a
# process-level figure; model figures are always processor time), or empty.
figure_of() {
  case $1 in
  widget)
    [ -f "$results/widgets.csv" ] &&
      awk -F, -v f="\"$2\"" '$1 == f { printf "%.6f", $4 }' "$results/widgets.csv"
    ;;
  process)
    [ -f "$results/process.txt" ] &&
      awk -v n="$2" -v k="${3:-median}=" '$1 == "RESULT" && $2 == n {
        for (i = 3; i <= NF; ++i) if (index($i, k) == 1) { sub(k, "", $i); printf "%.6f", $i }
      }' "$results/process.txt"
    ;;
  model)
    [ -f "$results/model.csv" ] &&
      awk -F, -v f="\"$2_median\"" '$1 == f {
        scale = $5 == "ns" ? 1e-6 : ($5 == "us" ? 1e-3 : ($5 == "s" ? 1000 : 1))
        printf "%.9f", $4 * scale
      }' "$results/model.csv"
    ;;
  esac
}

# row LABEL FIGURE FLOOR BUDGET [CPU]: one table row, in milliseconds, with the figure's ratio
# to its floor and the verdict. A figure over budget whose floor is over budget too is marked:
# the machine was too busy to judge. A BUDGET of "xN" is a ratio to the floor.
row() {
  awk -v l="$1" -v f="$2" -v fl="$3" -v b="$4" -v c="${5:-}" '
  function show(ms) {
    if (ms < 0.01) return sprintf("%.2f µs", ms * 1000)
    if (ms < 1) return sprintf("%.1f µs", ms * 1000)
    return sprintf("%.2f ms", ms)
  }
  BEGIN {
    ratio_budget = substr(b, 1, 1) == "x"
    shown_budget = ratio_budget ? sprintf("%s x floor", substr(b, 2)) : (b < 1 ? sprintf("%g µs", b * 1000) : sprintf("%g ms", b))
    if (f == "") { printf "| %s | not measured | | | %s | |\n", l, shown_budget; exit }
    floor = fl == "" ? "n/a" : show(fl)
    ratio = fl == "" || fl == 0 ? "n/a" : sprintf("%.2f x", f / fl)
    cpu = c == "" ? "" : sprintf(" (cpu %s)", show(c))
    if (ratio_budget) {
      verdict = fl != "" && f <= substr(b, 2) * fl ? "PASS" : "MISS"
    } else {
      verdict = f <= b ? "PASS" : (fl != "" && fl > b ? "MISS (floor over budget too: busy machine)" : "MISS")
    }
    printf "| %s | %s%s | %s | %s | %s | %s |\n", l, show(f), cpu, floor, ratio, shown_budget, verdict
  }'
}

{
  echo "Machine: $(nproc) cores, $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)," \
    "$(awk '/^MemTotal/ { printf "%.0f GiB", $2 / 1048576 }' /proc/meminfo) RAM;" \
    "load average at start ${load_start}, at end $(cut -d' ' -f1-3 /proc/loadavg)."
  echo
  echo "| figure (median) | measured | floor | ratio | budget | verdict |"
  echo "|---|---|---|---|---|---|"
  floor=$(figure_of widget floorEmptyRepaint)
  row "Step 1 to step 2: checks, search, grid and list filled, painted" \
    "$(figure_of widget stepOneToTwo)" "$floor" $budget_interaction
  row "Entering step 3: list, proposal, diagram, painted" \
    "$(figure_of widget enterStepThree)" "$floor" $budget_interaction
  row "One DrawBitTiming (diagram and verdict)" \
    "$(figure_of widget drawBitTiming)" "$floor" $budget_interaction
  row "One scroll-bar click, end to end" \
    "$(figure_of widget scrollBarChange)" "$floor" $budget_interaction
  row "Generate Report... (bittime.bmp and MCP2510Report.htm)" \
    "$(figure_of widget generateReport)" "$floor" $budget_interaction
  for d in offscreen xvfb; do
    f=$(figure_of process "window-$d")
    [ -n "$f" ] || continue
    row "quillon start to first painted frame ($d)" "$f" \
      "$(figure_of process "floor-window-$d")" $budget_first_frame \
      "$(figure_of process "window-$d" cpu)"
    row "quillon's first frame, processor time, beside the empty widget's" \
      "$(figure_of process "window-$d" cpu)" "$(figure_of process "floor-window-$d" cpu)" \
      "x$budget_first_frame_ratio"
    row "the same empty widget with one line of text, processor time" \
      "$(figure_of process "label-window-$d" cpu)" "$(figure_of process "floor-window-$d" cpu)" \
      "x$budget_first_frame_ratio"
  done
  if [ -n "${QUILLON_BENCH_CLI:-}" ]; then
    row "quillon-cli ${QUILLON_BENCH_CLI_ARGS:-}, start to exit" "$(figure_of process cli-timing)" \
      "$(figure_of process floor-cli-version)" $budget_cli "$(figure_of process cli-timing cpu)"
  fi
  row "64 x 18 candidate search with its rates, matches and the list's texts (cpu)" \
    "$(figure_of model BM_SearchAndListTexts)" "$(figure_of model BM_FloorRates)" $budget_search
  row "CAN FD pair search at 40 MHz with the list's facts (cpu)" \
    "$(figure_of model BM_FdPairSearch/1)" "$(figure_of model BM_FloorFdPhases)" $budget_fd_search
  row "Bus optimiser, four free nodes of five (cpu)" \
    "$(figure_of model BM_BusFourFreeNodes/0)" "$(figure_of model BM_BusFourFreeNodes/1)" \
    $budget_bus_four
  row "Bus optimiser, eight free nodes of nine, 30 m (cpu)" \
    "$(figure_of model BM_BusEightFreeNodes/0)" "$(figure_of model BM_BusEightFreeNodes/1)" \
    $budget_bus_eight
  echo
  echo "Floors: an empty widget of the window's size repainted (interactions); an empty Qt"
  echo "widget program started the same way (first frame); \`quillon-cli --version\` (CLI); the"
  echo "1152 rates worked out and compared with no text (search); each phase's candidates alone"
  echo "(CAN FD search); the same bus with every node fixed at its chosen setting (bus)."
  echo "cpu: processor time of the whole process (user + system), median."
  echo
  echo "| part (median) | time |"
  echo "|---|---|"
  v=$(figure_of process floor-process)
  [ -n "$v" ] && printf '| process: /bin/true start to exit (cpu %.2f ms) | %.2f ms |\n' \
    "$(figure_of process floor-process cpu)" "$v"
  for f in diagramOnImage windowFirstFrame; do
    v=$(figure_of widget $f)
    [ -n "$v" ] && printf '| widget: %s | %.3f ms |\n' "$f" "$v"
  done
  if [ -f "$results/model.csv" ]; then
    awk -F, '$1 ~ /_median"?$/ {
      name = $1; gsub("\"", "", name); sub("_median$", "", name)
      scale = $5 == "ns" ? 1000 : ($5 == "ms" ? 0.001 : ($5 == "s" ? 0.000001 : 1))
      printf "| model: %s | %.2f µs (cpu %.2f µs) |\n", name, $3 / scale, $4 / scale
    }' "$results/model.csv"
  fi
} >"$results/summary.md"

echo
echo "== Summary (also in $results/summary.md)"
cat "$results/summary.md"
if [ "$failures" -ne 0 ]; then
  echo "bench: $failures benchmark run(s) failed" >&2
  exit 1
fi
