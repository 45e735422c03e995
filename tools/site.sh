#!/usr/bin/env bash
# The pictures of the product's pages: real screenshots of the program under Wine (its window,
# the Program and Options menus, the progress mid-export, an exported folder), in
# site/apps/Vellumix/img/.
# Run it, or source it from a script that has a Wine session and call take_site_pictures.

take_site_pictures() {
  local shots="$root/build/site-shots" img="$root/site/apps/Vellumix/img" shot
  rm -rf "$shots"
  mkdir -p "$shots" "$img"
  "$root/tools/wine-run" "$root/build/x86_64/tests/e2e_tests.exe" --site "Z:${shots//\//\\}" \
    2>/dev/null || return 1
  for shot in window program options progress folder; do
    convert "$shots/$shot.bmp" "$img/$shot.png" || return 1
    # A window caught before it painted is one flat colour.
    if [ "$(identify -format %k "$img/$shot.png")" -lt 4 ]; then
      echo "site: $shot.png shows nothing" >&2
      return 1
    fi
  done
  echo "Pictures of the pages: $img"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  root=$(cd "$(dirname "$0")/.." && pwd)
  # shellcheck source=tools/wine-session.sh
  source "$root/tools/wine-session.sh"
  start_wine_session --quiet-build
  take_site_pictures
fi
