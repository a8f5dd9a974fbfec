#!/bin/sh
# Makes what HostTree() in the engine tests serves, from the Linux side: twins/ with a.txt, A.txt
# and b.txt, and chain/ with 2,000 folders named "a" and x.txt at the bottom. "remove" removes it.
set -eu
rm -rf "$1"
[ "${2:-}" = remove ] && exit 0
mkdir -p "$1/twins" "$1/chain$(printf '/a%.0s' $(seq 2000))"
touch "$1/twins/a.txt" "$1/twins/A.txt" "$1/twins/b.txt" "$1/chain$(printf '/a%.0s' $(seq 2000))/x.txt"
