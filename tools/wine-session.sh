# Sourced by the scripts that run Windows programs: a display (a virtual one when none is set)
# and a wineserver for the project's prefix, both ended when the script exits.
start_wine_session() {
  if [ -z "${DISPLAY:-}" ]; then
    exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null)
    read -r -t 20 number <&3 || { echo "Xvfb did not start"; exit 1; }
    export DISPLAY=":$number"
    xvfb=$(pgrep -n -x Xvfb)
  fi
  export WINEPREFIX="$root/build/wine"
  # The Wine services must not inherit the caller's pipes (CTest waits for them forever).
  wineserver -p </dev/null >/dev/null 2>&1
  "$root/tools/wine-run" cmd /c exit </dev/null >/dev/null 2>&1
  # A script adds its own clean-up to session_cleanup.
  trap 'eval "${session_cleanup:-}"; wineserver -k </dev/null >/dev/null 2>&1; [ -n "${xvfb:-}" ] && kill "$xvfb"' EXIT
}
