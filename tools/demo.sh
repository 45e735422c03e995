#!/usr/bin/env bash
# The main job: builds, makes a sample book and exports it through the real window with both
# options ticked; prints the notice and the tree and saves build/demo/window.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" --test
"$root/tools/build.sh" >/dev/null

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

demo="$root/build/demo"
mkdir -p "$demo"
rm -f "$demo/window.bmp" "$demo/window.png"
"$root/tools/wine-run" "$root/build/x86_64/tests/e2e_tests.exe" --demo "Z:${demo//\//\\}" 2>/dev/null
convert "$demo/window.bmp" "$demo/window.png"
rm -f "$demo/window.bmp"
echo
echo "Screenshot of the window with its Options menu open: $demo/window.png"
