#!/usr/bin/env bash
# Export speed: runs the benchmark of each architecture under Wine and prints its table.
# Usage: tools/bench.sh [--quick | --progress-cost]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" --test
"$root/tools/build.sh" >/dev/null
# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
start_wine_session
for arch in x86_64 i686; do
  echo "== $arch, $(nproc) cores, $(date -u +%F)"
  "$root/tools/wine-run" "$root/build/$arch/bench/export_bench.exe" "$@" 2>/dev/null
done
