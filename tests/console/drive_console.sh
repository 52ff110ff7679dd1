#!/usr/bin/env bash
# Drives the real console on the current display (a private Xvfb started by
# the caller through xvfb-run):
#   the splash window while start-up waits for the system database (the
#   test holds it locked until the file SPLASH_TAKEN exists), the main
#   window, a second start that must end at once with status 0, the About
#   box, "Analyze" until the site's run began (its event log appears) and
#   ended (the run summary is in it), every page of the site's property
#   sheet (SITE_PAGES of them, Ctrl+PageDown between), the system sheet
#   with "Maximum similtaneous analyses" set to 3, and "Exit".
# Screenshots go to SCREENS. Every wait has a generous deadline and no step
# sleeps for a fixed time to let the program catch up (the picture taken
# during the run waits three ticks for the row and the panel). Exits with the
# program's status; 124 when something did not come in time. Usage:
#   drive_console.sh PROGRAM STDERR_FILE SCREENS EVENT_LOG RESULTS_FILE SPLASH_TAKEN
set -uo pipefail
program=$1 errors=$2 screens=$3 event_log=$4 results=$5 splash_taken=$6
deadline=120
SITE_PAGES=${SITE_PAGES:-12}
main_title='^Tallyfox website log file analysis$'

"$program" 2>"$errors" &
pid=$!

driver=drive_console
source "$(dirname "$0")/../support/window_steps.sh"

window_gone() { ! xdotool search --all --onlyvisible --pid "$pid" --name "$1" >/dev/null 2>&1; }

# Sends keys to the window until the condition holds; a key sent while a
# freshly mapped window cannot take it yet is lost.
press_until() {
  local id=$1 keys=$2 condition=$3 end=$((SECONDS + deadline)) tries
  while ((SECONDS < end)); do
    xdotool windowfocus --sync "$id" key --clearmodifiers $keys 2>/dev/null
    for tries in {1..20}; do
      eval "$condition" && return 0
      kill -0 "$pid" 2>/dev/null || return 1
      sleep 0.1
    done
  done
  return 1
}

wait_until() {
  local end=$((SECONDS + deadline))
  while ((SECONDS < end)); do
    eval "$1" && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

splash=$(wait_for_window '^Tallyfox$') || give_up "no splash window"
screenshot "$splash" "$screens/Tallyfox-splash.png" || give_up "no splash screenshot"
touch "$splash_taken"

main=$(wait_for_window "$main_title") || give_up "no main window"
screenshot "$main" "$screens/Tallyfox-main.png" || give_up "no main window screenshot"

timeout "$deadline" "$program" 2>>"$errors"
echo "second=$?" >>"$results"
kill -0 "$pid" 2>/dev/null || give_up "the first console ended with the second"

press_until "$main" "alt+h a" "! window_gone '^About Tallyfox$'" || give_up "no About box"
about=$(wait_for_window '^About Tallyfox$') || give_up "no About box"
screenshot "$about" "$screens/Tallyfox-about.png" || give_up "no About screenshot"
press_until "$about" Escape "window_gone '^About Tallyfox$'" || give_up "the About box stayed"

press_until "$main" "alt+a" "[[ -s '$event_log' ]]" || give_up "Analyze started no run"
# A picture only: the next ticks show the run in the row and the panel.
sleep 0.3
/usr/bin/import -window "$main" "$screens/Tallyfox-running.png"
wait_until "grep -q 'Total log records processed' '$event_log'" || give_up "the run did not end"
screenshot "$main" "$screens/Tallyfox-analysed.png" || give_up "no screenshot after the run"

# Every page of the site's sheet, then Cancel.
press_until "$main" "alt+p" "! window_gone ' properties$'" || give_up "no site sheet"
sheet=$(wait_for_window ' properties$') || give_up "no site sheet"
for page in $(seq -w 1 "$SITE_PAGES"); do
  screenshot "$sheet" "$screens/Tallyfox-site-$page.png" || give_up "no site page screenshot"
  xdotool windowfocus --sync "$sheet" key --clearmodifiers ctrl+Page_Down 2>/dev/null
done
press_until "$sheet" Escape "window_gone ' properties$'" || give_up "the site sheet stayed"

# The system sheet: MaxAnalyses becomes 3, a picture of every page, OK.
press_until "$main" "alt+y" "! window_gone '^System Properties$'" || give_up "no system sheet"
system=$(wait_for_window '^System Properties$') || give_up "no system sheet"
xdotool windowfocus --sync "$system" key --clearmodifiers ctrl+a type 3
for page in 1 2 3 4; do
  screenshot "$system" "$screens/Tallyfox-system-$page.png" || give_up "no system page screenshot"
  xdotool windowfocus --sync "$system" key --clearmodifiers ctrl+Page_Down 2>/dev/null
done
press_until "$system" Return "window_gone '^System Properties$'" || give_up "the system sheet stayed"

press_until "$main" "alt+x" "! kill -0 $pid 2>/dev/null" || give_up "Exit did not end the program"
wait "$pid"
