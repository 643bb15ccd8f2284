#!/usr/bin/env bash
# run_journey.sh <Torvik> <pellix-sim> <journey>: one user journey in a fresh program
# directory of its own (a copy of the program, its OSC.ini and ports/), on a private D-Bus
# session with the accessibility bus.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1 sim=$2 journey=$3
if [ -z "${DISPLAY:-}" ]; then echo "no X server (run under xvfb-run)"; exit 77; fi
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then echo "python3-pyatspi missing"; exit 77; fi
work=$(mktemp -d /tmp/torvik-e2e.XXXXXX)
trap '[ -n "${KEEP_E2E:-}" ] || rm -rf "$work"' EXIT
cp "$program" "$work/"
dbus-run-session -- /usr/bin/python3 "$here/journeys.py" \
  --program "$work/$(basename "$program")" --sim "$sim" --dir "$work" "$journey"
