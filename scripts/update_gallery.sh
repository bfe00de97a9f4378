#!/usr/bin/env bash
# Copies a few of the main job's plots into docs/gallery for the README.
# Run scripts/run.sh first; usage: update_gallery.sh [OUT_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/out}
mkdir -p "$root/docs/gallery"
for plot in random_boxmuller/random_dist random_expo/random_dist gaussian_errors/gaussian_errors \
            poly_deriv/poly triad/triad gas_relax/gas_kurtosis gas_relax/gas_speeds; do
  cp "$out/$plot.png" "$root/docs/gallery/${plot%%/*}-${plot##*/}.png"
done
ls "$root/docs/gallery"
