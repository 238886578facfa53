#!/usr/bin/env bash
# Regenerates the embedded demonstration project in resources/ from the iris CSV with
# orbelin-cli: the table IRIS.OBT, the dataset IRIS.OBD (the four measurements with the
# standard-deviation and (-1;1) steps, points styled by species), the trained 20 x 20 spherical map
# IRIS_PC.OBM with one label per species, the colours-and-sizes sets IRIS.OBC and the
# visibility sets IRIS.OBS.
#   tools/make-demo.sh [IRIS.CSV [OUT_DIR]]
# ORBELIN_CLI names the orbelin-cli to use (default: build/bin/orbelin-cli).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
csv=$(realpath "${1:-$root/examples/data/iris.csv}")
out=$(realpath -m "${2:-$root/resources}")
cli=$(realpath -m "${ORBELIN_CLI:-$root/build/bin/orbelin-cli}")
[ -x "$cli" ] || { echo "make-demo.sh: no orbelin-cli at $cli (build it first, or set ORBELIN_CLI)" >&2; exit 1; }
[ -f "$csv" ] || { echo "make-demo.sh: no CSV file at $csv" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The table takes its name from the file: IRIS.csv becomes the table IRIS.OBT.
cp "$csv" "$work/IRIS.csv"
cd "$work"
run() { "$cli" "$@" >/dev/null; }

fields=sepal_length_cm,sepal_width_cm,petal_length_cm,petal_width_cm
# The (-1;1) step after the deviation step keeps the points within the axes, so the map
# window shows the whole scene at its starting zoom.
run dataset IRIS.csv -o IRIS.OBD --fields $fields --range $fields
run classes IRIS.OBD --field species -o IRIS.OBD --styles IRIS.OBC --visibility IRIS.OBS
run train IRIS.OBD -o IRIS_PC.OBM --grid spherical --rows 20 --cols 20 --init pca --seed 1 --quiet
run annotate IRIS_PC.OBM --class species --font-size 9 -o IRIS_PC.OBM

mkdir -p "$out"
for f in IRIS.OBT IRIS.OBD IRIS_PC.OBM IRIS.OBC IRIS.OBS; do
  cp "$f" "$out/$f"
done
echo "make-demo.sh: wrote IRIS.OBT IRIS.OBD IRIS_PC.OBM IRIS.OBC IRIS.OBS into $out" >&2
