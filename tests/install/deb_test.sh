#!/usr/bin/env bash
# Builds the Debian package of the build with CPack, unpacks it into a
# scratch root and checks it: its library dependencies computed, every
# file under /usr where an installation puts it, the program running.
#
#   deb_test.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
shopt -s nullglob
packages=("$scratch"/out/keelnode_*.deb)
[ ${#packages[@]} -eq 1 ] || fail "cpack made ${#packages[@]} packages"
deb=${packages[0]}

[ "$(dpkg-deb -f "$deb" Package)" = keelnode ] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6network6 libcurl4 libpcre2-8-0 zlib1g libc6; do
  [[ $depends =~ (^|, )$library( |,|$) ]] || fail "Depends lacks $library: $depends"
done

dpkg -x "$deb" "$scratch/root"
[ "$(cd "$scratch/root" && ls)" = usr ] || fail "the package writes outside /usr"
"$here/check_installed.sh" "$scratch/root/usr"
echo "Debian package $(basename "$deb"): ok"
