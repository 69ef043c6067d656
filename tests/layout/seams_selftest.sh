#!/usr/bin/env bash
# Checks seams_test.sh itself on small made-up trees in a folder whose path holds a blank and a
# dot: a clean tree passes, and each kind of breach fails and names the file.
set -euo pipefail

checker="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd)/seams_test.sh"
scratch=$(mktemp -d /tmp/vexal_seams_XXXXXX)
trap 'rm -rf -- "$scratch"' EXIT
root="$scratch/a checkout.d"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

lines() { seq -f '// line %g' "$1"; }

make_clean_tree() {
  rm -rf -- "$root"
  mkdir -p -- "$root/load" "$root/display" "$root/app" "$root/tests/sub dir"
  printf '#include <queue>\n#include "quiet_host.h"\n' >"$root/load/reader.cpp"
  printf '#include "draw_map.h"\n// Text10 is not a control\n' >"$root/display/draw_map.cpp"
  echo '#pragma once' >"$root/app/form1.h"
  lines 400 >"$root/tests/sub dir/longest allowed.py"
  lines 500 >"$root/display/palette_tables.h"
}

# Arguments: DESCRIPTION EXPECTED_TEXT_IN_THE_REPORT
expect_breach() {
  local output
  if output=$(bash "$checker" "$root" 2>&1); then
    fail "$1 passed"
  elif [[ $output != *"$2"* ]]; then
    fail "$1 failed without naming \"$2\": $output"
  fi
}

make_clean_tree
output=$(bash "$checker" "$root" 2>&1) || fail "a clean tree failed: $output"

make_clean_tree
echo '#include <QString>' >>"$root/load/reader.cpp"
expect_breach "a Qt header in load/" "load/reader.cpp:3"

make_clean_tree
echo '  #  include <QtCore/QFile>' >"$root/load/other reader.h"
expect_breach "an indented Qt header in load/" "load/other reader.h:1"

make_clean_tree
echo 'const char* kTitle = "Load a MLS Vexal File";' >>"$root/load/reader.cpp"
expect_breach "the window's wording in load/" "Load a MLS Vexal File"

make_clean_tree
echo '#include "../app/form1.h"' >>"$root/display/draw_map.cpp"
expect_breach "an app/ header in display/" "display/draw_map.cpp:3"

make_clean_tree
echo 'int x = design::kWidth;' >>"$root/display/draw_map.cpp"
expect_breach "design:: in display/" "design::"

make_clean_tree
echo 'void Paint(Widget& ProgressBar1);' >>"$root/display/draw_map.cpp"
expect_breach "a control's name in display/" "ProgressBar1"

make_clean_tree
lines 401 >"$root/tests/sub dir/too long.sh"
expect_breach "a file past 400 lines" "tests/sub dir/too long.sh has 401 lines"

if ((failures > 0)); then exit 1; fi
echo "PASS: the seam checker reports every breach it was given"
