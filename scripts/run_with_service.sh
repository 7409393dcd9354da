#!/bin/sh
# `make run`: the window with its own online service. Starts vexa-server on
# a free loopback port over BUILD_DIR/online (seeded with the sample systems
# and scripts on first use), points the demo folder's settings at it, runs
# the window and stops the service when the window exits.
# Usage: scripts/run_with_service.sh BUILD_DIR DATA_DIR DEMO_DIR
set -eu

BUILD_DIR=$1
DATA=$2
DEMO_DIR=$3
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SERVER="$BUILD_DIR/src/server/vexa-server"
VEXA="$BUILD_DIR/src/cli/vexa"
STORE="$BUILD_DIR/online"

if [ ! -s "$STORE/vexa-server.db" ]; then
  mkdir -p "$STORE"
  "$SERVER" import-systems --data "$STORE" "$ROOT/data/online/systems" >/dev/null
  "$SERVER" import-scripts --data "$STORE" "$ROOT"/data/online/scripts/*.lsc >/dev/null
fi

LOG="$STORE/server.log"
# The window's appid (ProgramAppId of src/engine/online/online_settings.h),
# shown in the library list by the program's name.
APPID='{8C3E5A41-27D9-4F6B-B1E0-5D9A7C24E613}'
"$SERVER" --data "$STORE" --listen 127.0.0.1:0 --app-name "$APPID=Korvane_6x45" >"$LOG.port" 2>>"$LOG" &
PID=$!
trap 'kill $PID 2>/dev/null; wait $PID 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM

PORT=""
for _ in $(seq 1 100); do
  PORT=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "$LOG.port")
  [ -n "$PORT" ] && break
  kill -0 $PID 2>/dev/null || break
  sleep 0.1
done
if [ -z "$PORT" ]; then
  echo "run: vexa-server did not start (see $LOG)" >&2
  exit 1
fi
URL="http://127.0.0.1:$PORT"
echo "run: vexa-server on $URL (data $STORE)"

# Only the demo folder is pointed at the local service; another folder keeps
# the addresses its user set.
if [ "$DATA" = "$DEMO_DIR" ]; then
  "$VEXA" --data-dir "$DATA" config set Online CatalogueUrl "$URL" >/dev/null
  "$VEXA" --data-dir "$DATA" config set Online LibraryUrl "$URL" >/dev/null
else
  echo "run: $DATA keeps its own service addresses; for this one:"
  echo "     $VEXA --data-dir $DATA config set Online CatalogueUrl $URL (and LibraryUrl)"
fi

"$BUILD_DIR/src/gui/Korvane_6x45" --data-dir "$DATA"
