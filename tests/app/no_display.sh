#!/usr/bin/env bash
# Without a display the program says so in one line and exits with -1 (255),
# whether no display is named or the named one does not answer.
set -u
program=$1
fail=0
check() {
    local what=$1; shift
    local err
    err=$(env "$@" "$program" 2>&1 >/dev/null)
    local rc=$?
    local lines
    lines=$(printf '%s\n' "$err" | grep -c .)
    if [ "$rc" -ne 255 ] || [ "$lines" -ne 1 ] || ! grep -q 'no display could be opened' <<<"$err"; then
        echo "FAIL: $what: exit $rc, $lines line(s): $err"
        fail=1
    else
        echo "ok: $what: $err"
    fi
}
check "DISPLAY not set" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM
check "no server at DISPLAY" -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:97
exit $fail
