#!/usr/bin/env bash
# The format table knows its readers, never the reverse: a reader that looked its own limit up in the
# table would make every reader depend on every other. Only the table itself and the Open command, which
# hands each reader the limit of its row, include it.
# usage: reader_includes_test.sh <source dir>
set -euo pipefail
cd "$1/formats"
include='#include "formats/format_table.h"'
allowed=(format_table.h format_table.cpp open_files.cpp)
fail=0
# The pattern must still find the includes that are meant, or the check below would pass on nothing.
for f in format_table.cpp open_files.cpp; do
  grep -qF "$include" "$f" || { echo "formats/$f no longer includes the format table: is this check stale?"; fail=1; }
done
for f in *.cpp *.h; do
  [[ " ${allowed[*]} " == *" $f "* ]] && continue
  if grep -qF "$include" "$f"; then
    echo "formats/$f includes the format table; pass it the limit of its row instead"
    fail=1
  fi
done
exit $fail
