#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from packaging/icons/quillon.svg. The PNGs
# are kept in the repository, so a build needs no SVG renderer; run this after changing
# the SVG and commit the PNGs with it.
#   scripts/render-icons.sh
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
icons="$here/packaging/icons"
sizes=(48 64 128 256)

if ! command -v rsvg-convert >/dev/null; then
  echo "rsvg-convert is missing; install it with:  apt-get install librsvg2-bin" >&2
  exit 1
fi

for size in "${sizes[@]}"; do
  rsvg-convert --width "$size" --height "$size" --format png \
    --output "$icons/quillon-$size.png" "$icons/quillon.svg"
  echo "wrote packaging/icons/quillon-$size.png"
done
