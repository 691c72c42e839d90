#!/usr/bin/env bash
# Builds the benchmarks and runs them; figures go into bench/README.md.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default >/dev/null
for b in build/default/bench/*_bench; do
  "$b" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
done
