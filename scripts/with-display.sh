#!/bin/sh
# Runs a command with an X display: the current one, or a private headless Xvfb server
# that is stopped afterwards. Wine needs a display for every window the tests create.
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then exec "$@"; fi
n=$(( 90 + $$ % 400 ))
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
export DISPLAY=":$n"
i=0; while ! xdpyinfo >/dev/null 2>&1 && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
"$@"
rc=$?
kill $xpid 2>/dev/null; wait $xpid 2>/dev/null
exit $rc
