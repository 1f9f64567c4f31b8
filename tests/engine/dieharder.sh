#!/bin/sh
# One dieharder test on rngdump's stream. Fails on any FAILED line, or on no result at all; WEAK
# lines are shown and tolerated, since at p = 0.005 one in a hundred p-values of a good
# generator is weak. The stream has a fixed seed, so every run has the same outcome.
#   dieharder.sh RNGDUMP TEST_NUMBER [more dieharder options]
set -eu
rngdump=$1
test_number=$2
shift 2
# rngdump writes until dieharder closes the pipe.
output=$("$rngdump" | dieharder -g 200 -d "$test_number" "$@")
printf '%s\n' "$output"
printf '%s\n' "$output" | grep -q 'PASSED\|WEAK' && ! printf '%s\n' "$output" | grep -q FAILED
