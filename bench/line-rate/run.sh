#!/usr/bin/env bash
# The built program against the simulator flooding its line at 19200 baud
# (answers, noise and value lines, unasked) for a given time: prints the CPU
# seconds the program used, CPU per second of line traffic and its peak
# memory, then the same for `cat` reading the same kind of stream, as a
# baseline to compare serial terminals with.
#
#   bench/line-rate/run.sh [seconds] [build-dir]      (defaults: 60, build)
#
# The program runs on a private Xvfb display; xdotool clicks "Connetti".
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
build=${2:-build}
program=$build/src/ostrel-demo
sim=$build/tools/ostrel-sim/ostrel-sim
for f in "$program" "$sim"; do
  [ -x "$f" ] || { echo "run.sh: $f not built" >&2; exit 1; }
done
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool missing (scripts/bootstrap installs it)" >&2; exit 1; }
done
[[ $seconds =~ ^[0-9]+$ ]] && [ "$seconds" -gt 0 ] || { echo "run.sh: seconds must be a positive number" >&2; exit 2; }

tmp=$(mktemp -d /tmp/ostrel-line-rate-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$tmp"
}
trap cleanup EXIT

ticks=$(getconf CLK_TCK)
# CPU seconds (user + system) of a live process, from /proc/PID/stat; the
# fields are counted after the command name, which may hold spaces.
cpu_seconds() {
  local rest
  rest=$(sed 's/^.*) //' "/proc/$1/stat")
  awk -v t="$ticks" '{ printf "%.3f", ($12 + $13) / t }' <<<"$rest"
}
status_kib() {  # pid field
  awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status"
}
wait_for() {  # what, tries of 0.1 s, command...
  local what=$1 tries=$2; shift 2
  for ((i = 0; i < tries; i++)); do "$@" && return 0; sleep 0.1; done
  echo "run.sh: $what did not happen" >&2
  exit 1
}
flood() {  # link log
  "$sim" --link "$1" --flood --noise --value-lines --log "$2" 2>/dev/null &
  pids+=($!)
  wait_for "simulator link $1" 100 test -e "$1"
}

# The program, on its own display, its COM1 on the flooding simulator.
flood "$tmp/com1" "$tmp/sim.log"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
pids+=($!)
wait_for "Xvfb start" 100 test -s "$tmp/display"
export DISPLAY=":$(cat "$tmp/display")"
OSTREL_COM1="$tmp/com1" "$program" 2>"$tmp/program.err" &
program_pid=$!
pids+=("$program_pid")
window=$(timeout 20 xdotool search --sync --onlyvisible --name Ostrel | head -n 1)
[ -n "$window" ] || { echo "run.sh: no window" >&2; exit 1; }
sleep 1  # the window settles before the click
xdotool mousemove --window "$window" 336 18 click 1
# Connected once requests reach the simulator (one a second).
wait_for "a request from the program" 50 grep -q '7B 46 30 30 52 44 44 5B 0D' "$tmp/sim.log"

cpu0=$(cpu_seconds "$program_pid")
rss0=$(status_kib "$program_pid" VmRSS)
sleep "$seconds"
kill -0 "$program_pid" 2>/dev/null || { echo "run.sh: the program ended during the run" >&2; exit 1; }
cpu1=$(cpu_seconds "$program_pid")
rss1=$(status_kib "$program_pid" VmRSS)
hwm=$(status_kib "$program_pid" VmHWM)
requests=$(grep -o '7B 46 30 30 52 44 44 5B 0D' "$tmp/sim.log" | wc -l)

# The baseline: cat reading an equal flood for the same time.
flood "$tmp/com2" /dev/null
cat "$tmp/com2" >"$tmp/cat.out" &
cat_pid=$!
pids+=("$cat_pid")
sleep "$seconds"
cat_cpu=$(cpu_seconds "$cat_pid")
cat_hwm=$(status_kib "$cat_pid" VmHWM)
cat_bytes=$(stat -c %s "$tmp/cat.out")

echo "line rate: 19200 baud 8N1 = 1920 bytes/s; $seconds s measured on $(nproc) CPUs"
awk -v s="$seconds" -v c0="$cpu0" -v c1="$cpu1" -v r0="$rss0" -v r1="$rss1" -v h="$hwm" -v q="$requests" \
    -v cc="$cat_cpu" -v ch="$cat_hwm" -v cb="$cat_bytes" 'BEGIN {
  printf "%-12s %10s %16s %12s %14s %14s\n", "reader", "CPU s", "CPU s/line s", "% of a core", "peak RSS KiB", "bytes read"
  printf "%-12s %10.2f %16.4f %12.2f %14d %14s\n", "ostrel-demo", c1 - c0, (c1 - c0) / s, 100 * (c1 - c0) / s, h, "-"
  printf "%-12s %10.2f %16.4f %12.2f %14d %14d\n", "cat", cc, cc / s, 100 * cc / s, ch, cb
  printf "ostrel-demo resident: %d KiB at the start of the run, %d KiB at the end; %d requests sent\n", r0, r1, q
}'
