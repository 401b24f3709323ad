# Sourced by the end-to-end harness and the benchmark: a virtual X display of their own and a
# throwaway Wine prefix with a persistent server, set up the way the tests need them. Several
# sessions (from different work trees) can run at once: each has its own display and server.
#
#   source tests/e2e/wine-session.bash
#   trap wine_session_stop EXIT
#   wine_session_start NAME PREFIX   # NAME prefixes the messages; PREFIX is wiped and made anew
#   wine_session_standin EXE         # EXE then stands in for rundll32.exe

wine_session_work=
wine_session_xvfb_pid=
wine_session_prefix=

wine_session_start() {
  local name=$1 prefix=$2
  wine_session_work=$(mktemp -d)

  # A display of its own: Xvfb picks a free number and writes it to the given descriptor. Full HD,
  # so that a window of a wordy language fits at 200 % scaling.
  Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$wine_session_work/display" \
    >"$wine_session_work/xvfb.log" 2>&1 &
  wine_session_xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $wine_session_work/display ]] && break
    kill -0 "$wine_session_xvfb_pid" 2>/dev/null || {
      cat "$wine_session_work/xvfb.log" >&2
      exit 1
    }
    sleep 0.1
  done
  [[ -s $wine_session_work/display ]] || { echo "$name: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(head -n1 "$wine_session_work/display")

  export WINEPREFIX=$prefix
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  unset WINEARCH
  wine_session_prefix=$prefix
  rm -rf "$prefix"
  mkdir -p "$prefix"

  echo "$name: display $DISPLAY, prefix $prefix"
  # A persistent server makes each Wine process start in a tenth of the time.
  wineserver -p
  # Wine's first start in a new prefix complains about folders it is about to create.
  wine wineboot -i >"$wine_session_work/wineboot.log" 2>&1 || {
    cat "$wine_session_work/wineboot.log" >&2
    exit 1
  }
  # A crash exits instead of waiting in the debugger; without a window manager, Wine draws the
  # frames itself and does not stall each time a window is hidden. Captions, menus and message
  # boxes take Wine's own font, MS Shell Dlg 8, in any character set rather than the Western one
  # alone, so that under a Japanese, Korean or Chinese locale Wine draws them in a font of that
  # script, as Windows does; under any other they stay as they were.
  cat >"$wine_session_work/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Control Panel\Desktop\WindowMetrics]
"CaptionFont"=hex:f5,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,bc,02,00,00,\
  00,00,00,01,00,00,00,22,4d,00,53,00,20,00,53,00,68,00,65,00,6c,00,6c,00,20,\
  00,44,00,6c,00,67,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\
  00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00
"MenuFont"=hex:f5,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,90,01,00,00,00,\
  00,00,01,00,00,00,22,4d,00,53,00,20,00,53,00,68,00,65,00,6c,00,6c,00,20,00,\
  44,00,6c,00,67,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\
  00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00
"MessageFont"=hex:f5,ff,ff,ff,00,00,00,00,00,00,00,00,00,00,00,00,90,01,00,00,\
  00,00,00,01,00,00,00,22,4d,00,53,00,20,00,53,00,68,00,65,00,6c,00,6c,00,20,\
  00,44,00,6c,00,67,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\
  00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00,00
REG
  wine regedit /S "$(winepath -w "$wine_session_work/settings.reg")"
  # Wine reads these settings once per process, and the first start left the desktop's process
  # (explorer.exe, which holds the tray) running without them: it then stalls 2 s each time it
  # hides its tray window, and so does every program that talks to it meanwhile. A log-on in a
  # fresh server starts it again with them, and with its output here: started by a test instead,
  # it would keep the test's output open after the test.
  wineserver -k
  wineserver -w
  wineserver -p
  wine wineboot >"$wine_session_work/logon.log" 2>&1 || {
    cat "$wine_session_work/logon.log" >&2
    exit 1
  }

  # A 64-bit loader runs its built-in rundll32.exe unless told to take the stand-in from the system
  # folder; told so while the prefix is made, it breaks wineboot, so only from here on.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;rundll32.exe=n"

  # Wine's own fonts (Tahoma, and Marlett for the frame buttons) are not found where Debian puts
  # them; in the prefix's Fonts folder they are, so windows look and measure as on Windows.
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
}

# Puts EXE in place of rundll32.exe, so that the lock command runs it instead of locking. A 32-bit
# program asking for system32 is given syswow64 in a prefix that has one, so it goes into both.
wine_session_standin() {
  local folder
  for folder in system32 syswow64; do
    if [[ -d $wine_session_prefix/drive_c/windows/$folder ]]; then
      cp "$1" "$wine_session_prefix/drive_c/windows/$folder/rundll32.exe"
    fi
  done
}

# Ends every Wine process of the prefix, its server and the display; safe to call at any point.
wine_session_stop() {
  set +e
  if [[ -n $wine_session_prefix && -d $wine_session_prefix ]]; then
    WINEPREFIX=$wine_session_prefix wineserver -k 2>/dev/null
    WINEPREFIX=$wine_session_prefix wineserver -w 2>/dev/null
  fi
  if [[ -n $wine_session_xvfb_pid ]]; then
    kill "$wine_session_xvfb_pid" 2>/dev/null
    wait "$wine_session_xvfb_pid" 2>/dev/null
  fi
  if [[ -n $wine_session_work ]]; then rm -rf "$wine_session_work"; fi
}
