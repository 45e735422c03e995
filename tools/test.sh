#!/usr/bin/env bash
# Builds both architectures and runs every test under Wine, then the product's pages in a real
# browser; one summary line per architecture and one for the pages.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=tools/wine-session.sh
source "$root/tools/wine-session.sh"
start_wine_session

status=0
summary=()
for arch in x86_64 i686; do
  log="$root/build/$arch/ctest.log"
  # A test that fails is run once more, so that one failed start of a Wine process does not
  # fail the run; the summary names every test that needed it.
  (cd "$root/build/$arch" && ctest --output-on-failure -j2 --timeout 300 --repeat until-pass:2 "$@") \
    2>&1 | tee "$log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
  total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log" | tail -1)
  failed=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
  [ -n "$total" ] || { total=0; failed=0; status=1; }
  skipped=$(grep -c '(Skipped)' "$log")
  retried=$(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*\(Failed\|Exception\|Timeout\).*/\1/p' "$log" |
    sort -u | grep -vxF -f <(sed -n 's/^\t *[0-9]* - \([^ ]*\) .*/\1/p' "$log") | paste -sd ' ')
  summary+=("$arch: $((total - failed - skipped)) passed, $failed failed, $skipped skipped")
  [ -z "$retried" ] || summary+=("$arch: passed on a second run: $retried")
done
# The product's pages, with pictures of this build, in a real browser: one test per page.
# shellcheck source=tools/site.sh
source "$root/tools/site.sh"
log="$root/build/site-test.log"
: >"$log"
take_site_pictures &&
  PLAYWRIGHT_CORE="$root/.cache/playwright-core/package" \
    node "$root/tools/site-test.js" "$root/site" "$root/build/site" 2>&1 | tee "$log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
pages=$(grep -c ': ok (' "$log")
summary+=("site: $pages passed, $((2 - pages)) failed")
printf '%s\n' "${summary[@]}"
exit $status
