# Sourced: a throwaway Wine environment for tests and for running the programs.
#   wine_env_up    makes a temporary folder holding WINEPREFIX and HOME, starts a
#                  private Xvfb display and one warm wineserver for the run
#   wine_env_down  stops that wineserver and that Xvfb and removes the folder
# Everything is written inside the temporary folder, except the X and Wine
# sockets their servers create and remove in /tmp themselves.

wine_env_up() {
  QUARN_ENV_DIR=$(mktemp -d "${TMPDIR:-/tmp}/quarn-wine.XXXXXX")
  export WINEPREFIX="$QUARN_ENV_DIR/prefix"
  export HOME="$QUARN_ENV_DIR/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
  export WINEARCH=win64
  export WINEDEBUG=-all
  # No crash dialog (a crash must fail the test), no Mono/Gecko installers.
  export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
  mkdir -p "$HOME"

  # A private X display; Xvfb writes its number to the given descriptor once ready.
  local dfile="$QUARN_ENV_DIR/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dfile" >/dev/null 2>&1 &
  QUARN_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$dfile" ] && break
    sleep 0.1
  done
  [ -s "$dfile" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$(tr -d '[:space:]' <"$dfile")"

  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w

  # Debian's Wine needs its font folder registered and the usual Windows font
  # names mapped to installed fonts. REGEDIT4: a "5.00" ASCII file garbles values.
  cat >"$QUARN_ENV_DIR/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts]
"Path"="Z:\\usr\\share\\wine\\fonts"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Tahoma"="Liberation Sans"
"Segoe UI"="Liberation Sans"
"Microsoft Sans Serif"="Liberation Sans"
"Verdana"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"
"SimHei"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"PMingLiU"="WenQuanYi Micro Hei"
"MingLiU"="WenQuanYi Micro Hei"
"Microsoft JhengHei"="WenQuanYi Micro Hei"
REG
  wine regedit /S "$(winepath -w "$QUARN_ENV_DIR/fonts.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
  # The Chinese family names the designs use cannot be carried by a REGEDIT4 file;
  # `reg add` under a UTF-8 locale takes them as they are.
  local cjk
  for cjk in "楷体_GB2312" "黑体" "KaiTi_GB2312" "KaiTi"; do
    LANG=C.UTF-8 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$cjk" /t REG_SZ \
      /d "WenQuanYi Micro Hei" /f </dev/null >/dev/null 2>&1
  done
  wineserver -w

  # One warm wineserver for the whole run; its first client must not hold the
  # caller's pipes, or ctest waits for Wine's background services forever.
  wineserver -p
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

wine_env_down() {
  [ -n "${QUARN_ENV_DIR:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${QUARN_XVFB_PID:-}" ]; then
    kill "$QUARN_XVFB_PID" 2>/dev/null || true
    wait "$QUARN_XVFB_PID" 2>/dev/null || true
  fi
  rm -rf "$QUARN_ENV_DIR"
  unset QUARN_ENV_DIR QUARN_XVFB_PID
}
