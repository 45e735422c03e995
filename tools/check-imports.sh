#!/usr/bin/env bash
# Checks the imports of a built Vellumix.exe against tools/windows-imports.txt: every import must
# be listed, and need no Windows newer than 7 (the oldest the program runs on).
# Usage: check-imports.sh OBJDUMP EXE
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
objdump=$1 exe=$2
list="$root/tools/windows-imports.txt"
imports=$("$objdump" -p "$exe" | awk -F'\t' '
  /DLL Name/ { split($2, name, ": "); dll = toupper(name[2]) }
  /^\t[0-9a-f]+\t/ { n = split($3, member, " "); print dll "!" member[n] }' | sort -u)
[ -n "$imports" ] || { echo "no imports read from $exe"; exit 1; }
failed=0
while read -r import; do
  level=$(awk -v i="$import" '$1 == i { print $2 }' "$list")
  case "$level" in
    2000 | XP | Vista | 7) ;;
    "") echo "not on the list: $import"; failed=1 ;;
    *) echo "needs Windows $level, newer than 7: $import (look it up at run time)"; failed=1 ;;
  esac
done <<<"$imports"
echo "$(wc -l <<<"$imports") imports checked"
exit $failed
