#!/usr/bin/env bash
# One X server for the x11 tests of a test run.
#   xvfb.sh start <state-dir>   starts Xvfb on a free display, records it in <state-dir>/xvfb.display
#   xvfb.sh stop <state-dir>    stops it
#   xvfb.sh run <state-dir> cmd...  runs cmd with DISPLAY set to the recorded display (if any)
set -u
cmd=$1 dir=$2
shift 2
case "$cmd" in
  start)
    mkdir -p "$dir"
    if [ -f "$dir/xvfb.pid" ] && kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then exit 0; fi
    rm -f "$dir/xvfb.display" "$dir/xvfb.pid"
    exec 3>"$dir/xvfb.display.tmp"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    exec 3>&-
    for _ in $(seq 1 100); do
      if [ -s "$dir/xvfb.display.tmp" ]; then
        mv "$dir/xvfb.display.tmp" "$dir/xvfb.display"
        # A window manager, so that topmost windows and window moves behave as on a desktop.
        if command -v openbox >/dev/null; then
          DISPLAY=":$(tr -d '[:space:]' <"$dir/xvfb.display")" openbox --sm-disable >"$dir/wm.log" 2>&1 &
          echo $! >"$dir/wm.pid"
          sleep 0.3
        fi
        exit 0
      fi
      sleep 0.05
    done
    echo "Xvfb did not start:" >&2
    cat "$dir/xvfb.log" >&2
    exit 1
    ;;
  stop)
    [ -f "$dir/wm.pid" ] && kill "$(cat "$dir/wm.pid")" 2>/dev/null
    [ -f "$dir/xvfb.pid" ] && kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
    rm -f "$dir/xvfb.pid" "$dir/xvfb.display" "$dir/wm.pid"
    exit 0
    ;;
  run)
    if [ -s "$dir/xvfb.display" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$dir/xvfb.display")"
      export QT_QPA_PLATFORM=xcb
    fi
    exec "$@"
    ;;
esac
echo "usage: xvfb.sh start|stop|run <state-dir> [cmd...]" >&2
exit 2
