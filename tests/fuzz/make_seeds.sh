#!/usr/bin/env bash
# Writes a small seed corpus for the engine fuzzer into $1 with olvendrix-gen.
set -euo pipefail
gen=$1
out=$2
mkdir -p "$out"
"$gen" --records 3 --seed 1 --out "$out/table3.dbf"
"$gen" --records 0 --seed 2 --out "$out/empty.dbf"
"$gen" --records 2 --seed 3 --extra-columns 1 --out "$out/extra.dbf"
