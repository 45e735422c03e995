#!/usr/bin/env bash
# The main job: builds, makes a sample book and exports it through the real window with both
# options ticked; prints the notice and the tree and saves build/demo/window.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
start_wine_session --quiet-build

demo="$root/build/demo"
mkdir -p "$demo"
rm -f "$demo/window.bmp" "$demo/window.png"
"$root/tools/wine-run" "$root/build/x86_64/tests/e2e_tests.exe" --demo "Z:${demo//\//\\}" 2>/dev/null
convert "$demo/window.bmp" "$demo/window.png"
rm -f "$demo/window.bmp"
echo
echo "Screenshot of the window with its Options menu open: $demo/window.png"
