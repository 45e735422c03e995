#!/usr/bin/env bash
# Configures and builds both architectures into build/x86_64 and build/i686.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
for arch in x86_64 i686; do
  dir="$root/build/$arch"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
  fi
  cmake --build "$dir"
done
