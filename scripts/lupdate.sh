#!/usr/bin/env bash
# Brings every translation file up to date with the texts of its sources.
# Each file covers the folders listed beside it; new texts come in
# unfinished, to be translated in the file (or with Qt Linguist).
set -euo pipefail
cd "$(dirname "$0")/.."

lupdate=/usr/lib/qt6/bin/lupdate

update() {
    local ts=$1
    shift
    "$lupdate" -silent -locations none -no-obsolete "$@" -ts "$ts"
}

update app/translations/Marevane_fr.ts app graphics common divemodel divedb
update device/translations/device_fr.ts device tessal
update planner/translations/planner_fr.ts -I . planner resources/formMeasureTwoPoints.ui
