#!/usr/bin/env bash
# The release: builds both architectures and writes dist/Vellumix-<version>-x64.zip and -x86.zip,
# each holding Vellumix.exe, LICENSE and 使用说明.txt, and dist/SHA256SUMS. The version is the
# CMake project's; the same commit gives the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" >/dev/null
version=$(cat "$root/build/x86_64/version.txt")
# Every entry carries the commit's time.
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)
dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"
for build in x86_64:x64 i686:x86; do
  python3 "$root/tools/make-zip.py" "$dist/Vellumix-$version-${build#*:}.zip" "$epoch" \
    "Vellumix.exe=$root/build/${build%%:*}/src/app/Vellumix.exe" \
    "LICENSE=$root/LICENSE" \
    "使用说明.txt=$root/packaging/使用说明.txt:text"
done
(cd "$dist" && sha256sum Vellumix-*.zip >SHA256SUMS)
cat "$dist/SHA256SUMS"
