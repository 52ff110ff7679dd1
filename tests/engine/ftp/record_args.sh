#!/bin/sh
# Records its arguments, one per line, in the folder it was started in.
for arg in "$@"; do printf '%s\n' "$arg"; done > "args.tmp" && mv "args.tmp" "args.txt"
