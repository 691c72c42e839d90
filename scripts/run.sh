#!/usr/bin/env bash
# Sets up a fresh machine, builds, and shows the facility manager at work on
# a demo facility: created (with test data) on the first run, reopened on
# later ones; the desktop's whole cycle with a handheld runs on it. The lock
# log-on demo of the protocol tools follows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh default >/dev/null

bin=build/default
demo=build/demo
facility="$demo/Demo Facility.qfd"
# The facility password reaches the command line through the environment,
# where other users of the machine cannot read it.
export TANDREL_PASSWORD=demo-pass
cli=("$bin/desktop/cli/tandrel-cli" --settings "$demo/settings.ini")
if [[ ! -f "$facility" ]]; then
  mkdir -p "$demo"
  "${cli[@]}" --yes create --name "Demo Facility" --folder "$demo" >/dev/null 2>&1
  "$bin/tools/facility_gen/facility-gen" "$facility" --password demo-pass \
    --locations 12 --locks 40 --users 800 --enrolments 2400 --audit 20000
fi
"${cli[@]}" --file "$facility" info
echo
# The desktop cycle with a handheld. A fresh handheld store is enrolled (the
# demo's device row is taken over by it on later runs), given the locks of
# one location, and their programming is queued on it. The handheld
# stand-in then does what the handheld does at the locks: delivers the
# programming, notes each visit and brings back an audit block. The next
# exchange books all of it; the imported audit rows are listed.
store="$demo/handheld.store"
rm -f "$store"
"${cli[@]}" --yes --file "$facility" refresh
if "${cli[@]}" --file "$facility" device list | grep -q $'\tHandheld\t'; then
  "${cli[@]}" --yes --file "$facility" device enrol --handheld "$store" --device Handheld >/dev/null
else
  "${cli[@]}" --yes --file "$facility" device enrol --handheld "$store" >/dev/null
fi
"${cli[@]}" --file "$facility" device assign Handheld '\Area 3\Area 5\Area 8\Area 9\'
"${cli[@]}" --file "$facility" device list
"${cli[@]}" --yes --file "$facility" exchange Handheld --handheld "$store" --program all
today=$(date +%F)
"$bin/tools/ferrow_standin/ferrow-standin" "$store" - <<SCRIPT
visit 1 $today 09:00 volts=5800 hw=3 fw=0x0205 drive=120 cards=41
visit 2 $today 09:12 volts=5750 hw=3 fw=0x0205 drive=98 cards=17
visit 3 $today 09:25 volts=5900 hw=3 fw=0x0205 drive=44 cards=9
audit 1 900000
  event entry $today 07:58 0
  event entry $today 08:03 1
  event attempt $today 08:05 none
  event setlevel $today 08:30 2 3 0x0F
end
SCRIPT
"${cli[@]}" --yes --file "$facility" exchange Handheld --handheld "$store"
"${cli[@]}" --file "$facility" device list
echo "Imported audit rows of Lock 1:"
"${cli[@]}" --file "$facility" audit list --lock 1 --since "$today"
echo
# A lock OS image made into a lock OS file and installed on the handheld.
"$bin/tools/los_build/los-build" --force tools/los_build/samples/demo.img "$demo/demo.los" >/dev/null
"${cli[@]}" --file "$facility" los show "$demo/demo.los"
"${cli[@]}" --file "$facility" los install "$demo/demo.los" --handheld "$store"
"${cli[@]}" --file "$facility" los status --handheld "$store"
echo
"$bin/tools/lockframe/lockframe" demo
