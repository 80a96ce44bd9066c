#!/usr/bin/env bash
# Opens the viewer on the demo memory card, writing the card once into the build folder.
set -euo pipefail
BUILD=${1:-build}
BIN="$BUILD/bin"
CARD="$BUILD/democard"
if [ -x "$BIN/kestrav-democard" ] && [ ! -f "$CARD/.complete" ]; then
  echo "Writing the demo memory card into $CARD ..."
  rm -rf "$CARD"
  "$BIN/kestrav-democard" "$CARD"
  touch "$CARD/.complete"
fi
export KESTRAV_CARD_ROOTS="$(cd "$CARD" 2>/dev/null && pwd || true)"
exec "$BIN/Kestrav_Main"
