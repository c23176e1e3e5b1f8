#!/usr/bin/env bash
# Writes a small seed corpus for the engine fuzzer into $1 with olvendrix-gen.
set -euo pipefail
gen=$1
out=$2
mkdir -p "$out"
"$gen" --records 3 --seed 1 --out "$out/table3.dbf"
"$gen" --records 0 --seed 2 --out "$out/empty.dbf"
"$gen" --records 2 --seed 3 --extra-columns 1 --out "$out/extra.dbf"
# Wider than 256 columns: field numbers past one byte.
"$gen" --records 1 --seed 4 --extra-columns 260 --out "$out/wide.dbf"
# Record counts in the header past what the file holds and past 2^31.
patch_count() {  # FILE BYTES(4, as printf escapes)
  cp "$out/table3.dbf" "$1"
  printf "$2" | dd of="$1" bs=1 seek=4 conv=notrunc status=none
}
patch_count "$out/count-2g.dbf" '\x00\x00\x00\x80'
patch_count "$out/count-4g.dbf" '\xff\xff\xff\xff'
patch_count "$out/count-4.dbf" '\x04\x00\x00\x00'
