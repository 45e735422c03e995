#!/usr/bin/env bash
# Export speed: runs the benchmark of each architecture under Wine and prints its table.
# Usage: tools/bench.sh [--quick | --progress-cost] [--on-disk]
# The books and exports go on a drive in memory (R:, /dev/shm) unless --on-disk is given:
# the disk of a virtual machine gets slower with each round of writing and deleting the same
# files (natively too), and would time the host rather than the engine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=()
on_disk=false
for argument in "$@"; do
  if [ "$argument" = --on-disk ]; then on_disk=true; else mode+=("$argument"); fi
done
# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
start_wine_session --quiet-build
folder=()
if ! $on_disk; then
  memory=/dev/shm/vellumix-bench-$$
  mkdir -p "$memory"
  ln -sfn "$memory" "$WINEPREFIX/dosdevices/r:"
  session_cleanup='rm -rf "$memory" "$WINEPREFIX/dosdevices/r:"'
  folder=(--folder 'R:\')
fi
# The CPU time of the whole machine so far, and the part of it that the host of a virtual machine
# took for others (steal): the seconds of a run swing with it, more than the margins we aim for.
cpu_times() { awk '/^cpu / { print $2+$3+$4+$5+$6+$7+$8+$9, $9 }' /proc/stat; }
# Some virtual machines hand the memory their guest frees back to the host, and a page taken
# again is slow to touch the first time: a 500 MB copy then takes 0.3 to 1.7 s. Where the
# guest's kernel counts what it handed back, the run says how much.
reported=/sys/module/page_reporting/parameters/reported_kib
reported_kib() { if [ -r "$reported" ]; then cat "$reported"; else echo 0; fi; }
for arch in x86_64 i686; do
  echo "== $arch, $(nproc) cores, $(date -u +%F), $($on_disk && echo "on disk" || echo "in memory")"
  read -r total_before steal_before < <(cpu_times)
  reported_before=$(reported_kib)
  "$root/tools/wine-run" "$root/build/$arch/bench/export_bench.exe" "${mode[@]}" "${folder[@]}" \
    2>/dev/null
  read -r total_after steal_after < <(cpu_times)
  awk -v t=$((total_after - total_before)) -v s=$((steal_after - steal_before)) \
    'BEGIN { if (t > 0) printf "time the host took from this machine (steal): %.1f %%\n", 100 * s / t }'
  if [ -r "$reported" ]; then
    awk -v k=$(($(reported_kib) - reported_before)) \
      'BEGIN { printf "memory handed back to the host meanwhile: %.1f GB\n", k / 1048576 }'
  fi
done
