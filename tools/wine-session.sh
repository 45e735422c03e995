# Sourced by the scripts that run Windows programs (test, demo, bench), which set $root first.
# start_wine_session [--quiet-build] installs what they need, builds both architectures, and
# starts a display (a virtual one when none is set) and a wineserver for the project's prefix.
# At exit it ends only what it started, by the process ids it started.
start_wine_session() {
  "$root/tools/setup.sh" --test || exit 1
  if [ "${1:-}" = --quiet-build ]; then
    "$root/tools/build.sh" >/dev/null || exit 1
  else
    "$root/tools/build.sh" || exit 1
  fi
  session_xvfb=""
  if [ -z "${DISPLAY:-}" ]; then
    local display_file
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" </dev/null \
      >/dev/null 2>&1 &
    session_xvfb=$!
    for _ in $(seq 100); do
      [ -s "$display_file" ] && break
      sleep 0.2
    done
    [ -s "$display_file" ] || { echo "Xvfb did not start"; rm -f "$display_file"; exit 1; }
    export DISPLAY=":$(head -n 1 "$display_file")"
    rm -f "$display_file"
  fi
  export WINEPREFIX="$root/build/wine"
  # The Wine services must not inherit the caller's pipes (CTest waits for them forever). A
  # wineserver that already serves the prefix belongs to someone else and is left running.
  session_wineserver=false
  wineserver -p </dev/null >/dev/null 2>&1 && session_wineserver=true
  "$root/tools/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
  # A script adds its own clean-up to session_cleanup.
  trap 'eval "${session_cleanup:-}"
        $session_wineserver && wineserver -k </dev/null >/dev/null 2>&1
        [ -n "$session_xvfb" ] && kill "$session_xvfb" 2>/dev/null
        true' EXIT
}
