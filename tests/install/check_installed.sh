#!/usr/bin/env bash
# Checks an installed keelnode under PREFIX (a folder holding bin/ and
# share/): every file where it belongs and nothing else, the desktop
# entry, AppStream file, manual page, icons and completion accepted by the
# tools that read them, and the program running.
#
#   check_installed.sh PREFIX
set -euo pipefail
prefix=$1
id=io.github.keelnode.keelnode
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=(
  ./bin/keelnode
  ./share/applications/$id.desktop
  ./share/bash-completion/completions/keelnode
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("./share/icons/hicolor/${size}x${size}/apps/$id.png")
done
expected+=(./share/man/man1/keelnode.1.gz ./share/metainfo/$id.metainfo.xml)
actual=$(cd "$prefix" && find . -type f -o -type l | LC_ALL=C sort)
[ "$actual" = "$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)" ] ||
  fail "installed files differ:"$'\n'"$actual"

# The program runs, and every file names the same version.
version=$("$prefix/bin/keelnode" --version) || fail "--version exits $?"
[[ $version =~ ^keelnode\ ([0-9]+\.[0-9]+\.[0-9]+)$ ]] || fail "--version says '$version'"
number=${BASH_REMATCH[1]}
grep -q "<release version=\"$number\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream file has no release $number"
zcat "$prefix/share/man/man1/keelnode.1.gz" | grep -q "^\.TH KEELNODE 1 .* \"keelnode $number\"" ||
  fail "the manual page is not of version $number"

# The desktop entry.
desktop=$prefix/share/applications/$id.desktop
report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $report"
! grep -q "error" <<<"$report" || fail "desktop-file-validate: $report"
for line in 'Exec=keelnode %F' 'MimeType=application/json;text/plain;' "Icon=$id" \
  'Categories=Development;Utility;' 'Type=Application'; do
  grep -qxF "$line" "$desktop" || fail "the desktop entry lacks '$line'"
done
for key in Name Comment 'Comment\[zh_CN\]'; do
  grep -q "^$key=." "$desktop" || fail "the desktop entry lacks $key"
done

# The AppStream file, and the desktop entry it names.
report=$(appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" 2>&1) ||
  fail "appstreamcli: $report"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$prefix/share/metainfo/$id.metainfo.xml" || fail "the AppStream file names another launcher"

# Icons: PNG pictures of their folder's size.
for size in 16 22 24 32 48 64 128 256; do
  kind=$(file -b "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png")
  [[ $kind == "PNG image data, $size x $size, 8-bit/color RGBA"* ]] || fail "icon $size: $kind"
done

# The manual page renders without a warning and describes every option
# the usage lists.
man_source=$(zcat "$prefix/share/man/man1/keelnode.1.gz")
warnings=$(groff -k -man -Tutf8 -ww -z <<<"$man_source" 2>&1)
[ -z "$warnings" ] || fail "groff: $warnings"
man_text=${man_source//\\-/-}
for option in $("$prefix/bin/keelnode" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -q -- "^\.[A-Z]* *$option\b" <<<"$man_text" || fail "the manual page lacks $option"
done

# Bash completion offers the options of the mode at hand.
completion=$prefix/share/bash-completion/completions/keelnode
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
           _keelnode; printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
}
[ "$(complete_words keelnode --se)" = "--search" ] || fail "completion of --se"
[ "$(complete_words keelnode --search x --w)" = "--wildcard" ] || fail "completion after --search"
[ -z "$(complete_words keelnode --tree --w)" ] || fail "--wildcard offered to --tree"
echo "installed files in $prefix: ok"
