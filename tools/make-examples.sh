#!/usr/bin/env bash
# Makes the example project in examples/ from the wine and breast cancer CSV files with
# orbelin-cli: one script per table, a dataset of every measurement with the
# standard-deviation step and points styled by class, a trained map labelled at each
# class's typical point, and the class style and visibility sets beside them.
#   tools/make-examples.sh [DATA_DIR [OUT_DIR]]
# ORBELIN_CLI names the orbelin-cli to use (default: build/bin/orbelin-cli).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
data=$(realpath "${1:-$root/examples/data}")
out=$(realpath -m "${2:-$root/examples}")
cli=$(realpath -m "${ORBELIN_CLI:-$root/build/bin/orbelin-cli}")
[ -x "$cli" ] || { echo "make-examples.sh: no orbelin-cli at $cli (build it first, or set ORBELIN_CLI)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
run() { "$cli" "$@" >/dev/null; }

# NAME CSV CLASS_FIELD GRID ROWS COLS: the table NAME.OBT (named after the copied file), the
# dataset NAME.OBD of every column but the class, its sets and the map NAME_MAP.OBM.
make_member() {
  local name=$1 csv=$2 class=$3 grid=$4 rows=$5 cols=$6
  [ -f "$csv" ] || { echo "make-examples.sh: no CSV file at $csv" >&2; exit 1; }
  cp "$csv" "$name.csv"
  local fields
  fields=$(head -n 1 "$name.csv" | tr -d '\r' | tr ',' '\n' | grep -vx "$class" | paste -sd, -)
  run dataset "$name.csv" -o "$name.OBD" --fields "$fields"
  run classes "$name.OBD" --field "$class" -o "$name.OBD" --styles "$name.OBC" --visibility "$name.OBS"
  run train "$name.OBD" -o "${name}_MAP.OBM" --grid "$grid" --rows "$rows" --cols "$cols" --init pca --seed 1 --quiet
  run annotate "${name}_MAP.OBM" --class "$class" --font-size 9 -o "${name}_MAP.OBM"
}

make_member WINE "$data/wine.csv" cultivar rectangular 10 10
make_member CANCER "$data/breast_cancer.csv" diagnosis spherical 12 12

mkdir -p "$out"
cp WINE.OBC WINE.OBS CANCER.OBC CANCER.OBS "$out/"
# Written from inside the folder, the project file records its own name only.
(cd "$out" && run project Examples.obp "$work/WINE_MAP.OBM" "$work/CANCER_MAP.OBM")
echo "make-examples.sh: wrote the project Examples.obp with its members into $out" >&2
