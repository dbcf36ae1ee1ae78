#!/usr/bin/env bash
# Tries Quillon offline: builds it, starts the local chat gateway with its
# simulated users on 127.0.0.1:6112, and starts the client with a demo profile
# of its own in .demo/ (your real settings and logs are not touched). Press "&Connect",
# then "&Login". Closing the client stops the gateway.
#
# QUILLON_BUILD_DIR chooses the build folder (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
build="${QUILLON_BUILD_DIR:-build}"
port=6112

say() { echo "run-demo: $*" >&2; }

port_taken() { (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; }

if port_taken; then
  say "port $port on 127.0.0.1 is already in use (another gateway?). Stop whatever listens there and try again."
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  say "no desktop session found (neither DISPLAY nor WAYLAND_DISPLAY is set); Quillon needs one to show its window."
  exit 1
fi

bash tools/install-deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2 --target quillon quillon-gateway

# The demo profile: a machine-wide and a per-user settings folder of its own.
demo="$root/.demo"
mkdir -p "$demo/system/Battle.net" "$demo/system/Ashgrove" "$demo/user"
# Battle.net's own server list offers only the local gateway.
printf '[General]\nServer%%20List=127.0.0.1\n' >"$demo/system/Battle.net/Configuration.conf"
profile="$demo/system/Ashgrove/Quillon.conf"
if [ ! -f "$profile" ]; then
  (umask 077 && cat >"$profile" <<'EOF'
[General]
UserName=Anonymous
PassWord=Wanderers
Server=127.0.0.1
HomeChan=Quillon
AntiIdle=1
JoinLeave=1
AutoReconnect=1
IdleMessage=/w anonymous Anti-Idle Quillon 2.2
EOF
  )
fi

log="$demo/gateway.log"
"$build/tools/gateway/quillon-gateway" --demo --address 127.0.0.1 --port "$port" --channel Quillon >"$log" 2>&1 &
gateway=$!
stop_gateway() {
  kill "$gateway" 2>/dev/null || true
  wait "$gateway" 2>/dev/null || true
}
trap stop_gateway EXIT
trap 'exit 130' INT TERM

for _ in $(seq 100); do
  grep -q '^listening on' "$log" && break
  if ! kill -0 "$gateway" 2>/dev/null; then
    cat "$log" >&2
    say "the gateway did not start; is port $port taken?"
    exit 1
  fi
  sleep 0.1
done
if ! grep -q '^listening on' "$log"; then
  say "the gateway did not start listening within 10 seconds (its output is in $log)."
  exit 1
fi

echo "Gateway with simulated users on 127.0.0.1:$port. In Quillon press \"Connect\", then \"Login\"."
status=0
XDG_CONFIG_DIRS="$demo/system" XDG_CONFIG_HOME="$demo/user" XDG_DATA_HOME="$demo/data" "$build/src/quillon" || status=$?
exit "$status"
