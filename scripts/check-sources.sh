#!/usr/bin/env bash
# Checks no test makes: every C++ file is formatted as .clang-format says,
# and no file outside a ui/ folder includes a Qt Widgets or Qt GUI header
# (the rules of each area must work without a window). Prints what is
# wrong and exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
mapfile -t sources < <(git ls-files '*.cpp' '*.h')

if ! clang-format --dry-run --Werror "${sources[@]}" 2>/tmp/qx-format.$$; then
  echo "Not formatted (run clang-format -i on these):"
  grep -oE '^[^:]+:[0-9]+' /tmp/qx-format.$$ | cut -d: -f1 | sort -u | sed 's/^/  /'
  status=1
fi
rm -f /tmp/qx-format.$$

# The Qt modules' own header names: <QWidget>, <QtWidgets/QWidget>, <QPainter>...
qt=$(dirname "$(find /usr/include -path '*/qt6/QtCore/QObject' -print -quit)")/..
widget_headers=$(ls "$qt/QtWidgets" "$qt/QtGui" 2>/dev/null | grep -E '^Q[A-Za-z0-9]+$' | sort -u)
offenders=()
for f in "${sources[@]}"; do
  [[ "$f" == */ui/* || "$f" == ui/* ]] && continue
  while read -r header; do
    name=${header#QtWidgets/}
    name=${name#QtGui/}
    if [[ "$header" == QtWidgets/* || "$header" == QtGui/* ]] ||
       grep -qx "$name" <<<"$widget_headers"; then
      offenders+=("$f: <$header>")
    fi
  done < <(grep -oE '^#include <Qt(Widgets|Gui)/[A-Za-z0-9_.]+>|^#include <Q[A-Za-z0-9]+>' "$f" |
           sed -E 's/^#include <(.*)>$/\1/')
done
if ((${#offenders[@]})); then
  echo "Widget or GUI headers outside a ui/ folder:"
  printf '  %s\n' "${offenders[@]}"
  status=1
fi
exit $status
