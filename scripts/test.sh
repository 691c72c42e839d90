#!/usr/bin/env bash
# Sets up a fresh machine, builds and runs every test: the source checks
# (formatting, no widget headers outside ui/ folders), the test suites in a
# release build and under AddressSanitizer + UndefinedBehaviorSanitizer, and
# a short run of every fuzz target over its seeds. Exits non-zero when
# anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
echo "== source checks"
scripts/check-sources.sh

for preset in default asan fuzz; do
  echo "== $preset: build"
  scripts/build.sh "$preset" | tail -n 1
  echo "== $preset: test"
  ctest --preset "$preset"
done
