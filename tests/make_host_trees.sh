#!/bin/sh
# Makes what HostTree() in the engine tests serves, from the Linux side: twins/ with a.txt, A.txt
# and b.txt, chain/ with 2,000 folders named "a" and x.txt at the bottom, and swap/ with inside/f.txt,
# outside/f.txt and link, a symbolic link to outside. "remove" removes it.
set -eu
rm -rf "$1"
[ "${2:-}" = remove ] && exit 0
mkdir -p "$1/twins" "$1/chain$(printf '/a%.0s' $(seq 2000))" "$1/swap/inside" "$1/swap/outside"
touch "$1/twins/a.txt" "$1/twins/A.txt" "$1/twins/b.txt" "$1/chain$(printf '/a%.0s' $(seq 2000))/x.txt"
touch "$1/swap/inside/f.txt" "$1/swap/outside/f.txt"
ln -s outside "$1/swap/link"
