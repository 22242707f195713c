#!/usr/bin/env bash
# Renders the application icon's PNG sizes (packaging/icons/<N>x<N>.png) from
# org.kestrum.Kestrum.svg. The PNGs are committed, so a build needs no SVG renderer; run this
# after changing the SVG. Needs rsvg-convert (Debian: librsvg2-bin): ImageMagick's own SVG
# renderer draws the gradient fills black.
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v rsvg-convert >/dev/null; then
  echo "make-app-icons.sh: needs rsvg-convert (apt-get install librsvg2-bin)" >&2
  exit 1
fi
# The sizes packaging/CMakeLists.txt installs into the hicolor theme.
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --format png --output "icons/${size}x${size}.png" \
    org.kestrum.Kestrum.svg
done
