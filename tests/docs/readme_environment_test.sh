#!/bin/bash
# Every environment variable the sources read is named in the README.
set -u
root=$1
names=$(grep -rhoE '(getenv|qgetenv|qEnvironmentVariable|qEnvironmentVariableIsSet|qEnvironmentVariableIsEmpty)\("[A-Za-z_][A-Za-z0-9_]*"\)' \
          "$root/src" | sed -E 's/.*\("([^"]*)"\)/\1/' | sort -u)
[ -n "$names" ] || { echo "no variables found in $root/src"; exit 1; }
missing=0
for name in $names; do
  if ! grep -q "\`$name\`" "$root/README.md"; then
    echo "README.md does not name $name"
    missing=1
  fi
done
exit $missing
