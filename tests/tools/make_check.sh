#!/usr/bin/env bash
# The build folder's configuration each make target asks for (make -n: nothing runs): a player's targets build
# only the program and its data files with warnings as warnings, the developers' ones everything with warnings
# as errors, whatever an earlier target left in the folder's cache; WERROR on the command line decides over both.
#   make_check.sh <project folder>
set -euo pipefail

project=$1
failures=0
# check <words for make> <patterns its commands must match, one a line>
check() {
  local words=$1 patterns=$2 commands pattern
  # Not the variables of a make that runs these tests (make test WERROR=OFF).
  commands=$(env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -n -C "$project" $words)
  while IFS= read -r pattern; do
    grep -qE -- "$pattern" <<<"$commands" && continue
    echo "FAIL make $words: nothing matches \"$pattern\" in"$'\n'"$commands"
    failures=$((failures + 1))
    return
  done <<<"$patterns"
}

player='-B build .*-DQUILLOM_WERROR=OFF -DQUILLOM_TESTS=OFF -DQUILLOM_BENCH=OFF
--build build .*--target quillom data$'
developer='-B build .*-DQUILLOM_WERROR=ON -DQUILLOM_TESTS=ON -DQUILLOM_BENCH=ON'

check play "$player"
check highscores "$player"
check test "$developer"
check build "$developer"
check previews "$developer"
check screenshots "$developer"
check test-sanitize '-DQUILLOM_WERROR=ON$'
check 'play WERROR=ON' '-B build .*-DQUILLOM_WERROR=ON -DQUILLOM_TESTS=OFF'
check 'test WERROR=OFF' '-B build .*-DQUILLOM_WERROR=OFF -DQUILLOM_TESTS=ON'

[ "$failures" -eq 0 ] || exit 1
echo "each target configures its build folder as it should"
