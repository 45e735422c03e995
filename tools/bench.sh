#!/usr/bin/env bash
# Export speed: runs the benchmark of each architecture under Wine and prints its table.
# Usage: tools/bench.sh [--quick]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" --test
"$root/tools/build.sh" >/dev/null
# The progress runs show a real window: a virtual display when none is set.
if [ -z "${DISPLAY:-}" ]; then
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null)
  read -r -t 20 number <&3 || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=":$number"
  xvfb=$(pgrep -n -x Xvfb)
fi
export WINEPREFIX="$root/build/wine"
wineserver -p </dev/null >/dev/null 2>&1
"$root/tools/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1; [ -n "${xvfb:-}" ] && kill "$xvfb"' EXIT
for arch in x86_64 i686; do
  echo "== $arch, $(nproc) cores, $(date -u +%F)"
  "$root/tools/wine-run" "$root/build/$arch/bench/export_bench.exe" "$@" 2>/dev/null
done
