#!/bin/sh
# Coverage report of an instrumented build (gcc --coverage) after its tests
# have run: one table of line and branch coverage per source folder, the
# totals of the workbench, the front ends (app/) and tools/, and an HTML
# report in the build folder.
#   report.sh SOURCE_DIR BUILD_DIR
# Folders are found, not listed: a new workbench/<name>/, app/<name>/ or
# tools/<name>/ gets its own row. Branches that only exist for exception unwinding, and branches the
# compiler proved unreachable, are left out (gcovr's --exclude-throw-branches
# and --exclude-unreachable-branches); nothing here throws (firmware, app and
# tools build with -fno-exceptions), so those branches say nothing about the
# code's paths.
set -eu
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
out=$build/coverage
rm -rf "$out"
mkdir -p "$out"

gcovr --root "$src" --object-directory "$build" \
  --filter "$src/firmware/" --filter "$src/runtime/" --filter "$src/workbench/" \
  --filter "$src/app/" --filter "$src/tools/" \
  --exclude-throw-branches --exclude-unreachable-branches \
  --exclude-directories ".*/CompilerIdCXX" \
  --json "$out/coverage.json" \
  --html-details "$out/index.html" --html-title "DG-2 simulator coverage" \
  "$build" >/dev/null

# One line per folder: lines covered/total, branches covered/total. gcovr's
# text report goes to a scratch file in the report folder, never /dev/null:
# gcovr replaces its output file, and as root that would turn /dev/null
# into a regular file.
row() {
  gcovr --root "$src" --add-tracefile "$out/coverage.json" --filter "$src/$1" \
    --print-summary --txt "$out/folder.txt" 2>/dev/null |
    awk -v name="$1" '
      { gsub(/[()]/, "") }
      /^lines:/    { lp = $2; lc = $3; lt = $6 }
      /^branches:/ { bp = $2; bc = $3; bt = $6 }
      END { printf "%-22s %8s %14s %9s %14s\n", name, lp, lc " of " lt, bp, bc " of " bt }'
}

printf "%-22s %8s %14s %9s %14s\n" folder lines "" branches ""
row firmware/
row runtime/
for dir in workbench app tools; do
  for sub in "$src/$dir"/*/; do
    sub=${sub#"$src/"}
    # Only folders that hold code the build compiled.
    grep -q "\"file\": \"$sub" "$out/coverage.json" || continue
    row "$sub"
  done
  row "$dir/"
done
echo "HTML report: $out/index.html"
