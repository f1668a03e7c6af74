#!/usr/bin/env bash
# Every Debian package a test asks for (tests/support/tools.h: needtool, needpython, needfile,
# and the desktop toolbox's pairs) is on the list that ./test.sh installs, and no test installs
# anything itself. Argument: the source folder.
set -u
root=${1:?source folder}
. "$root/tools/debian-packages.sh"
listed=" $(echo $TW_BUILD_PACKAGES $TW_TEST_PACKAGES) "
failed=0

asks=$(grep -rhoE 'need(tool|python|file)\("[^"]*", *"[^"]*"\)|std::pair\{"[^"]*", *"[^"]*"\}' \
  "$root/tests" --include='*.cpp' --include='*.h')
if [ -z "$asks" ]; then
  echo "no asks for a tool found under tests/: the pattern no longer matches tests/support/tools.h"
  failed=1
fi
packages=$(printf '%s\n' "$asks" | sed -E 's/.*, *"([^"]*)"[)}]$/\1/' | sort -u)
for p in $packages; do
  case "$listed" in
    *" $p "*) ;;
    *) echo "a test asks for the Debian package $p, which is not on the list in tools/debian-packages.sh"
       failed=1 ;;
  esac
done

# Installing from a test: parallel tests fight for the package manager's lock, and a tool one
# test installs hides a missing list entry from the others.
if grep -rnE 'apt-get|apt install|aptitude|dpkg -i|pip3? install|tw_need' "$root/tests" \
    --exclude="$(basename "$0")"; then
  echo "the lines above install packages from a test: put the package on the list instead"
  failed=1
fi

[ "$failed" -eq 0 ] && echo "$(printf '%s\n' $packages | wc -l) packages asked for, all on the list"
exit "$failed"
