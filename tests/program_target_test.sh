#!/usr/bin/env bash
# The target that scripts/run builds must bring along everything the program loads or reads from its
# own folder at run time: the SPC library and every shipped file. Otherwise a user who only ran
# scripts/run meets "gtarnviklib.so is not in Varolux32 folder" at the first SPC save.
# usage: program_target_test.sh <source dir> <build dir> <output folder> <shipped file>...
set -euo pipefail
src=$1 build=$2 out=$3
shift 3
target=$(sed -n 's/.*cmake --build .* --target \([A-Za-z0-9_]*\).*/\1/p' "$src/scripts/run")
[ -n "$target" ] || { echo "scripts/run names no build target"; exit 1; }
# Every command that building the target may run, up to date or not.
commands=$(ninja -C "$build" -t commands "$target")
rel=$(realpath --relative-to="$build" "$out")
fail=0
for f in gtarnviklib.so "$@"; do
  if ! grep -qE "(^| )($(realpath "$out")|$rel)/$f( |$)" <<<"$commands"; then
    echo "building '$target' does not build $rel/$f"
    fail=1
  fi
done
exit $fail
