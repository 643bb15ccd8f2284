#!/usr/bin/env bash
# Builds and starts a program with the built-in device simulator on "Com 1".
#   scripts/run.sh             Torvik against the simulated attitude module
#   scripts/run.sh vantor      Vantor against the simulated attitude module
#   scripts/run.sh flightctl   Torvik against the simulated flight controller
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" >/dev/null
bin="$root/build/bin"
program=Torvik device=module
case "${1:-}" in
  vantor) program=Vantor ;;
  flightctl) device=flightctl ;;
esac
if [ ! -x "$bin/$program" ]; then
  echo "$program is not part of this build yet." >&2
  exit 1
fi
sim_pid=""
if [ -x "$bin/pellix-sim" ]; then
  "$bin/pellix-sim" "$device" --port 1 > /tmp/pellix-sim.$$.log 2>&1 &
  sim_pid=$!
  trap '[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -e "$bin/ports/com1" ] && break; sleep 0.1; done
fi
"$bin/$program"
