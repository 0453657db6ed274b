# Sourced by the Windows checks: a Wine prefix of our own under the build
# folder ($1), made once, so the checks never touch the user's ~/.wine.
export WINEPREFIX="$1/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko installer prompts
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
