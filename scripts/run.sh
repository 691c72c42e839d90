#!/usr/bin/env bash
# Sets up a fresh machine, builds, and shows the facility manager at work on
# a demo facility: created (with test data) on the first run, reopened on
# later ones; two locks' programming is queued on a handheld store. The lock
# log-on demo of the protocol tools follows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default >/dev/null

bin=build/default
demo=build/demo
facility="$demo/Demo Facility.qfd"
cli=("$bin/desktop/cli/tandrel-cli" --settings "$demo/settings.ini" --password demo-pass)
if [[ ! -f "$facility" ]]; then
  mkdir -p "$demo"
  "${cli[@]}" --yes create --name "Demo Facility" --folder "$demo" >/dev/null 2>&1
  "$bin/tools/facility_gen/facility-gen" "$facility" --password demo-pass \
    --locations 12 --locks 40 --users 800 --enrolments 2400 --audit 20000
fi
"${cli[@]}" --file "$facility" info
echo
# Every lock marked for a complete reprogramming, two of them queued on a
# handheld store, and the first commands as the handheld holds them.
rm -f "$demo/handheld.store"
"${cli[@]}" --yes --file "$facility" refresh
"${cli[@]}" --file "$facility" program --handheld "$demo/handheld.store" 1 2
"${cli[@]}" handheld dump "$demo/handheld.store" | sed -n '/TDXPGM/,+13p'
echo
"$bin/tools/lockframe/lockframe" demo
