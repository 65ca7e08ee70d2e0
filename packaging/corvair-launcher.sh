#!/bin/sh
# The simulator reads DataBase/ and Help/ beside its own file, so it lives in
# lib/corvair/ and this script (bin/corvair) only forwards to it, through any
# symlinks, wherever the tree was installed.
exec "$(dirname "$(readlink -f "$0")")/../lib/corvair/corvair" "$@"
