#!/usr/bin/env bash
# Runs the README's commands the way a new machine would: on a minimal Debian 12 root made
# with mmdebstrap (nothing installed but the essential packages and apt), a clean clone of the
# committed branch with ../shared beside it, as root:
#   1. ./test.sh on one fresh root (it installs its packages, builds, runs every test);
#   2. ./run.sh on a second fresh root (it installs its own packages, builds, starts the
#      program), under Xvfb in place of a desktop: the program must show its main window and
#      still run some seconds later; a screenshot is kept.
# Prints the counts and times. Not part of CI: it downloads and installs some gigabytes and
# builds twice from nothing (about an hour on 8 cores).
#
#   sudo tools/fresh-machine-check.sh [work-folder]     (default /var/tmp/tw-fresh)
#
# TW_SHARED names the shared folder when it is not ../shared (a git worktree elsewhere);
# TW_FRESH_KEEP=1 keeps the roots afterwards (else only the logs and the screenshot stay);
# TW_FRESH_ONLY=test or run does one half. Mounts live in a mount namespace of their own, so
# they go away with the check however it ends.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=${1:-/var/tmp/tw-fresh}
only=${TW_FRESH_ONLY:-}
[ "$(id -u)" -eq 0 ] || { echo "run as root (chroot and mounts)"; exit 2; }
shared=$(cd "${TW_SHARED:-$here/../shared}" 2>/dev/null && pwd) || { echo "no ../shared beside $here (or set TW_SHARED)"; exit 2; }
branch=$(git -C "$here" rev-parse --abbrev-ref HEAD)
commit=$(git -C "$here" rev-parse --short HEAD)
git -C "$here" diff --quiet HEAD || echo "note: uncommitted changes in $here are not part of the check"

command -v mmdebstrap >/dev/null || {
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap
}

mkdir -p "$work"
work=$(cd "$work" && pwd)
log=$work/logs
mkdir -p "$log"
start=$(date +%s)
stamp() { echo "[$(date +%H:%M:%S), $(( $(date +%s) - start )) s] $*"; }

# The base root, once: minbase is what a minimal Debian 12 machine has (essential packages and
# apt), fetched from the archive this machine's apt uses.
base=$work/base.tar
if [ ! -s "$base" ]; then
  sources=$(ls /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
  [ -n "$sources" ] || sources=/etc/apt/sources.list
  stamp "making the minimal Debian 12 root from $sources"
  mmdebstrap --quiet --format=tar --variant=minbase --aptopt='Acquire::Check-Valid-Until "false"' \
    --aptopt='Acquire::Check-Date "false"' bookworm "$base.part" "$sources" >"$log/mmdebstrap.log" 2>&1
  mv "$base.part" "$base"
fi

# A root unpacked from the base with the clone and ../shared in /work.
newroot() {
  local root=$1
  rm -rf "$root"
  mkdir -p "$root"
  tar -C "$root" -xf "$base"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  mkdir -p "$root/work"
  git clone --quiet --no-hardlinks --branch "$branch" "$here" "$root/work/tarnwalker"
  cp -a "$shared" "$root/work/shared"
}

# Runs a script as root inside the root, with the kernel's file systems mounted privately.
inroot() {
  local root=$1 script=$2
  unshare --mount --propagation private --fork bash -euo pipefail -c '
    root=$1
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs shm "$root/dev/shm"
    exec chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
      PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin /bin/bash -c "$2"' _ "$root" "$script"
}

status=0
if [ "$only" != run ]; then
  root=$work/test-root
  stamp "test root: unpacking, clone of $branch ($commit)"
  newroot "$root"
  stamp "test root: ./test.sh (log: $log/test.log)"
  t0=$(date +%s)
  set +e
  inroot "$root" 'cd /work/tarnwalker && ./test.sh' >"$log/test.log" 2>&1
  rc=$?
  set -e
  t1=$(date +%s)
  summary=$(grep -E 'tests passed, [0-9]+ tests failed out of' "$log/test.log" | tail -1 || true)
  ctime=$(grep -E 'Total Test time' "$log/test.log" | tail -1 | sed 's/.*= *//' || true)
  stamp "test root: ./test.sh exit $rc after $((t1 - t0)) s; ctest: ${summary:-no summary} (${ctime:-?})"
  grep -A200 'The following tests FAILED' "$log/test.log" | grep -E '^\s+[0-9]+ - ' || true
  [ "$rc" -eq 0 ] || status=1
  [ "${TW_FRESH_KEEP:-0}" = 1 ] || rm -rf "$root"
fi

if [ "$only" != test ]; then
  root=$work/run-root
  stamp "run root: unpacking, clone of $branch ($commit)"
  newroot "$root"
  # The check's stand-in for a desktop: an X server and the tools that find and photograph
  # the window. Nothing the program builds or runs with.
  inroot "$root" 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    --no-install-recommends xvfb xdotool x11-apps imagemagick' >"$log/run-desktop.log" 2>&1
  stamp "run root: ./run.sh under Xvfb (log: $log/run.log)"
  t0=$(date +%s)
  set +e
  inroot "$root" '
    exec 3>/tmp/display
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
    xvfb=$!
    exec 3>&-
    for i in $(seq 1 100); do [ -s /tmp/display ] && break; sleep 0.1; done
    export DISPLAY=:$(head -1 /tmp/display)
    cd /work/tarnwalker
    ./run.sh >/tmp/run.log 2>&1 &
    prog=$!
    shown=""
    # The build comes first: up to an hour for the main window to show.
    for i in $(seq 1 3600); do
      kill -0 $prog 2>/dev/null || break
      shown=$(xdotool search --onlyvisible --name "^TarnWalker" 2>/dev/null | head -1)
      [ -n "$shown" ] && break
      sleep 1
    done
    rc=1
    if [ -n "$shown" ]; then
      echo "main window shown: \"$(xdotool getwindowname $shown)\""
      sleep 10
      if kill -0 $prog 2>/dev/null; then
        echo "still running 10 s later"
        rc=0
      else
        echo "ended within 10 s of showing its window"
      fi
      xwd -root -silent | convert xwd:- png:/work/run-screenshot.png
    else
      echo "no main window"
    fi
    kill $prog 2>/dev/null; wait $prog 2>/dev/null
    kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null
    cat /tmp/run.log
    exit $rc' >"$log/run.log" 2>&1
  rc=$?
  set -e
  t1=$(date +%s)
  cp "$root/work/run-screenshot.png" "$log/run-screenshot.png" 2>/dev/null || true
  stamp "run root: $(head -2 "$log/run.log" | tr '\n' ' ')after $((t1 - t0)) s (screenshot: $log/run-screenshot.png)"
  [ "$rc" -eq 0 ] || status=1
  [ "${TW_FRESH_KEEP:-0}" = 1 ] || rm -rf "$root"
fi
stamp "fresh-machine check of $branch ($commit): $([ $status -eq 0 ] && echo passed || echo FAILED)"
exit $status
