#!/usr/bin/env bash
# Runs a desktop program on the current display (a private Xvfb started by
# the caller through xvfb-run) and works through its windows in order:
#   shot:REGEX:FILE   wait for a window of the program whose title matches
#                     REGEX and write a PNG screenshot of it to FILE
#   screen:REGEX:FILE the same with a screenshot of the whole display, for
#                     windows that stand over one another
#   enter:REGEX       wait for such a window and press Return in it
#   escape:REGEX      the same with Escape
#   file::PATH        wait for the file to exist (the program's own signal)
#   grown::PATH       wait for the file to hold data (a download under way)
#   touch::PATH       create the file (an answer to the program)
# The window the previous step answered is not matched again (it may still
# be closing). Afterwards the
# script waits for the program to end and exits with its status; 124 when a
# window or the end did not come within the deadline. Usage:
#   drive_windows.sh PROGRAM STDERR_FILE STEP...
set -uo pipefail
program=$1 errors=$2
shift 2
deadline=120
answered=""

"$program" 2>"$errors" &
pid=$!

driver=drive_windows
source "$(dirname "$0")/window_steps.sh"

# A key sent while a freshly mapped window cannot take it yet is lost. The
# key has done its work once the window is gone or another window of the
# program has appeared; until then it is sent again each second.
visible_windows() { xdotool search --all --onlyvisible --pid "$pid" 2>/dev/null | sort; }

press_until_answered() {
  local id=$1 key=$2 end=$((SECONDS + deadline)) before now tries
  before=$(visible_windows)
  while ((SECONDS < end)); do
    xdotool windowfocus --sync "$id" key "$key" 2>/dev/null
    for tries in {1..10}; do
      kill -0 "$pid" 2>/dev/null || return 0
      now=$(visible_windows)
      grep -qx "$id" <<<"$now" || return 0
      [[ -n $(comm -13 <(echo "$before") <(echo "$now")) ]] && return 0
      sleep 0.1
    done
  done
  return 1
}

# Waits for the file to pass the test (-e: exists, -s: holds data).
wait_for_file() {
  local end=$((SECONDS + deadline))
  while ((SECONDS < end)); do
    test "$2" "$1" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

for step in "$@"; do
  IFS=: read -r action regex file <<<"$step"
  case $action in
    file) wait_for_file "$file" -e || give_up "no file '$file'"; continue ;;
    grown) wait_for_file "$file" -s || give_up "no data in '$file'"; continue ;;
    touch) : >"$file"; continue ;;
  esac
  id=$(wait_for_window "$regex") || give_up "no window matching '$regex'"
  answered=""
  case $action in
    shot) screenshot "$id" "$file" || give_up "no screenshot of '$regex'" ;;
    screen) screenshot root "$file" || give_up "no screenshot of '$regex'" ;;
    enter | escape)
      key=Return
      [[ $action == escape ]] && key=Escape
      press_until_answered "$id" "$key" || give_up "'$regex' did not take $key"
      answered=$id
      ;;
    *) give_up "unknown step '$step'" ;;
  esac
done

end=$((SECONDS + deadline))
while kill -0 "$pid" 2>/dev/null; do
  ((SECONDS < end)) || give_up "the program did not end"
  sleep 0.1
done
wait "$pid"
