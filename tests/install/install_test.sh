#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks it, and checks that the
# installed program keeps its files in the user's data folder instead of
# beside itself.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
"$here/check_installed.sh" "$scratch/prefix"

# Starts the installed window with env's arguments (unsets first), waits
# until it answers SIGTERM, and ends it.
run_window() {
  env -u KEELNODE_DATA_DIR "$@" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$scratch" \
    "$scratch/prefix/bin/keelnode" &
  local pid=$! tries=0
  until grep -q '^SigCgt:' "/proc/$pid/status" 2>/dev/null &&
    (($(printf '%d' "0x$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status")") >> 14 & 1)); do
    ((++tries < 600)) || { kill -9 $pid; fail "the window never started"; }
    sleep 0.1
  done
  kill -TERM $pid
  wait $pid || fail "the window ended with status $?"
}
mkdir -p "$scratch/home"
run_window -u XDG_DATA_HOME HOME="$scratch/home"
[ -f "$scratch/home/.local/share/keelnode/岚溪·DUVOvidu.ini" ] ||
  fail "no settings in ~/.local/share/keelnode"
run_window HOME="$scratch/home" XDG_DATA_HOME="$scratch/xdg"
[ -f "$scratch/xdg/keelnode/岚溪·DUVOvidu.ini" ] || fail "no settings in \$XDG_DATA_HOME/keelnode"
[ "$(ls "$scratch/prefix/bin")" = keelnode ] || fail "files were written beside the program"
echo "install into a prefix: ok"
