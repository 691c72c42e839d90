#!/usr/bin/env bash
# Sets up a fresh machine, builds, and shows the lock log-on demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default >/dev/null
exec build/default/tools/lockframe/lockframe demo
