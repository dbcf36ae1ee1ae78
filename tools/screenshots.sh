#!/usr/bin/env bash
# Takes the pictures of Quillon for the documentation: the window idle after
# start-up, and logged on to the local demo gateway with a busy channel.
# Everything runs on a private X display (Xvfb) with a demo profile of its
# own; the gateway listens on port 6112 of a loopback address nobody else
# uses, so a gateway already running on 127.0.0.1 is no obstacle.
#
#   tools/screenshots.sh [output folder] [scale]
#
# The output folder defaults to docs/; a scale of 2 takes the pictures at
# 200 % and names them ...@2x.png. QUILLON_BUILD_DIR chooses the build
# folder (default: build); the client and the gateway must be built there.
# Needs Xvfb, xdotool and ImageMagick's import.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${QUILLON_BUILD_DIR:-build}"
out="${1:-$root/docs}"
scale="${2:-1}"
suffix=""
[ "$scale" = "1" ] || suffix="@${scale}x"

say() { echo "screenshots: $*" >&2; }

client="$build/src/quillon"
gateway_bin="$build/tools/gateway/quillon-gateway"
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { say "$tool is missing (apt-get install xvfb xdotool imagemagick)"; exit 1; }
done
for bin in "$client" "$gateway_bin"; do
  [ -x "$bin" ] || { say "$bin is not built (cmake --build $build --target quillon quillon-gateway)"; exit 1; }
done
mkdir -p "$out"

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# waits up to $1 tenths of a second for the command after it to succeed
wait_for() {
  local tries="$1"; shift
  for _ in $(seq "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# ---- a private display ----
Xvfb -displayfd 3 -screen 0 "$((1300 * scale))x$((920 * scale))x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for 100 test -s "$work/display" || { cat "$work/xvfb.log" >&2; say "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# ---- the gateway, on a loopback address of its own ----
address=""
for _ in $(seq 20); do
  candidate="127.$((RANDOM % 200 + 20)).$((RANDOM % 250 + 1)).$((RANDOM % 250 + 2))"
  "$gateway_bin" --demo --demo-pace 600 --address "$candidate" --port 6112 --channel Quillon \
      >"$work/gateway.log" 2>&1 &
  gw=$!
  if wait_for 50 grep -q '^listening on' "$work/gateway.log"; then
    pids+=("$gw")
    address="$candidate"
    break
  fi
  kill "$gw" 2>/dev/null || true
  wait "$gw" 2>/dev/null || true
done
[ -n "$address" ] || { cat "$work/gateway.log" >&2; say "the gateway did not start"; exit 1; }

# ---- the demo profile: only that gateway in the server list ----
mkdir -p "$work/system/Battle.net" "$work/system/Ashgrove" "$work/user"
printf '[General]\nServer%%20List=%s\n' "$address" >"$work/system/Battle.net/Configuration.conf"
cat >"$work/system/Ashgrove/Quillon.conf" <<CONF
[General]
UserName=Wren
PassWord=Wanderers
Server=$address
HomeChan=Quillon
AntiIdle=1
JoinLeave=1
AutoReconnect=1
IdleMessage=/w anonymous Anti-Idle Quillon 2.2
CONF

# ---- the client ----
XDG_CONFIG_DIRS="$work/system" XDG_CONFIG_HOME="$work/user" XDG_DATA_HOME="$work/data" QT_QPA_PLATFORM=xcb \
  QT_SCALE_FACTOR="$scale" "$client" >"$work/client.log" 2>&1 &
pids+=($!)
find_window() { xdotool search --onlyvisible --name "$1" | head -n1; }
wait_for 100 find_window '^Quillon  v2\.2$' || { cat "$work/client.log" >&2; say "the window did not appear"; exit 1; }
window="$(find_window '^Quillon  v2\.2$')"
xdotool windowmove "$window" 0 0
sleep 1
import -window "$window" "$out/quillon-idle$suffix.png"
say "saved $out/quillon-idle$suffix.png"

# ---- logging on, by keyboard like a user: Alt+C opens the login dialog, Enter logs in ----
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers alt+c
wait_for 50 find_window '^Login$' || { say "the login dialog did not open"; exit 1; }
login="$(find_window '^Login$')"
xdotool windowfocus --sync "$login"
xdotool key --clearmodifiers Return
wait_for 100 find_window '^Quillon v2\.2 - ' || { cat "$work/client.log" >&2; say "the client did not log on"; exit 1; }
window="$(find_window '^Quillon v2\.2 - ')"
sleep 6   # the demo crowd talks, whispers and comes and goes
xdotool windowfocus --sync "$window"
xdotool type --delay 20 "Evening all, the new client works nicely."
xdotool key Return
sleep 3
xdotool mousemove --sync "$((1280 * scale))" "$((900 * scale))"
import -window "$window" "$out/quillon-chatting$suffix.png"
say "saved $out/quillon-chatting$suffix.png"
