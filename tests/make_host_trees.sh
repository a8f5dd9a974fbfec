#!/bin/sh
# Makes, from the Linux side, the trees that a Windows program under Wine cannot make (Wine folds
# letter case when it creates a name) or makes too slowly (a deep chain of folders), for the tests
# that HostTree() serves: twins/ with a.txt, A.txt and b.txt, and chain/ with 2,000 folders named
# "a" and x.txt at the bottom. With "remove", takes them away again.
set -eu
root=$1
rm -rf "$root"
[ "${2:-}" = remove ] && exit 0
mkdir -p "$root/twins"
: >"$root/twins/a.txt"
: >"$root/twins/A.txt"
: >"$root/twins/b.txt"
bottom=$root/chain
level=0
while [ "$level" -lt 2000 ]; do
  bottom=$bottom/a
  level=$((level + 1))
done
mkdir -p "$bottom"
: >"$bottom/x.txt"
