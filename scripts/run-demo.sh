#!/usr/bin/env bash
# Opens the demo in a window; with no display it renders headless (the demo itself
# writes a screenshot then).
set -euo pipefail
demo=$1
shift || true
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi
exec "$demo" "$@"
