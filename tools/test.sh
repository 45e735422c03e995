#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine; one summary line per architecture.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" --test || exit 1
"$root/tools/build.sh" || exit 1

# Windows need a display: a virtual one when none is set.
if [ -z "${DISPLAY:-}" ]; then
  exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
  read -r -t 20 number <&3 || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=":$number"
  xvfb=$(pgrep -n -x Xvfb)
fi

export WINEPREFIX="$root/build/wine"
# The Wine services must not inherit CTest's pipes, or CTest waits for them forever.
wineserver -p </dev/null >/dev/null 2>&1
"$root/tools/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k </dev/null >/dev/null 2>&1; [ -n "${xvfb:-}" ] && kill "$xvfb"' EXIT

status=0
summary=()
for arch in x86_64 i686; do
  log="$root/build/$arch/ctest.log"
  (cd "$root/build/$arch" && ctest --output-on-failure -j2 --timeout 300 "$@") 2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" | tail -1)
  failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  [ -n "$total" ] || { total=0; failed=0; status=1; }
  skipped=$(grep -c '(Skipped)' "$log")
  summary+=("$arch: $((total - failed - skipped)) passed, $failed failed, $skipped skipped")
done
printf '%s\n' "${summary[@]}"
exit $status
