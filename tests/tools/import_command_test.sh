#!/usr/bin/env bash
# velun-verses import and export as a user runs them: the sample file exported
# with its names apart and imported again is the same file; check and show take
# it; an existing file is not replaced without --force; a faulty row is named
# and nothing is written.
#   import_command_test.sh VELUN_VERSES SAMPLE_FILE
set -euo pipefail
tool=$1
sample=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fail() { echo "FAIL: $*" >&2; exit 1; }

"$tool" export "$sample" -o table.tsv --names-out names.tsv
"$tool" import table.tsv --names names.tsv >out.txt
cmp finalvelun.txt "$sample" || fail "import of the exported sample differs from the sample"
grep -q "^finalvelun.txt: written from table.tsv: 114 chapters, 6348 verse lines" out.txt ||
  fail "no summary: $(cat out.txt)"
"$tool" check finalvelun.txt | grep -q ": 6462 lines, 114 headings, 6348 verse lines: clean$" ||
  fail "check does not find the import clean"
[ "$("$tool" show finalvelun.txt --order 2 --count 5 --seed 4)" = \
  "$("$tool" show "$sample" --order 2 --count 5 --seed 4)" ] || fail "show differs"

if "$tool" import table.tsv --names names.tsv 2>err.txt; then fail "an existing file was replaced"; fi
grep -q "^finalvelun.txt: exists already; --force replaces it$" err.txt || fail "$(cat err.txt)"
grep -q "^velun-verses: 1 problem; nothing written$" err.txt || fail "$(cat err.txt)"
"$tool" import table.tsv --names names.tsv --force --dry-run | grep -q "would be written" ||
  fail "no dry-run summary"

# The table on standard output, names in its NAMES section; chapter 3's verse 2 made a second verse 7.
"$tool" export "$sample" | sed 's/^3\t2\t/3\t7\t/' >faulty.tsv
row=$(grep -n "^3	7	" faulty.tsv | head -1 | cut -d: -f1)
if "$tool" import faulty.tsv -o other.txt 2>err.txt; then fail "a faulty table was imported"; fi
grep -q "^faulty.tsv:row $((row + 1)): chapter 3 jumps from verse 1 to verse 3: verse 2 is missing$" err.txt ||
  fail "$(cat err.txt)"
grep -q "^faulty.tsv:row $((row + 5)): chapter 3 verse 7 again; row $row has it already$" err.txt ||
  fail "$(cat err.txt)"
[ ! -e other.txt ] || fail "something was written for a faulty table"

status=0
"$tool" import 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "a missing table is not a usage error"
echo "import and export commands: passed"
