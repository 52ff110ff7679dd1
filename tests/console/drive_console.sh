#!/usr/bin/env bash
# Drives the real console on the current display (a private Xvfb started by
# the caller through xvfb-run):
#   the splash window while start-up waits for the system database (the
#   test holds it locked until the file SPLASH_TAKEN exists), the main
#   window, a second start that must end at once with status 0, the About
#   box, "Add project" with its General, Log files, Processing, Reports and
#   Visitors pages filled (reports go to REPORTS), "Analyze" on the added
#   site until its run began (its event log appears) and ended (the run
#   summary is in it), "Generate reports now" on its Reports page, every
#   page of its property sheet (SITE_PAGES of them, Ctrl+PageDown between),
#   the system sheet with "Maximum similtaneous analyses" set to 3, and
#   "Exit". INSTALL is the install folder, which holds the samples.
# Screenshots go to SCREENS. Every wait has a generous deadline and no step
# sleeps for a fixed time to let the program catch up (the picture taken
# during the run waits three ticks for the row and the panel). Exits with the
# program's status; 124 when something did not come in time. Usage:
#   drive_console.sh PROGRAM STDERR_FILE SCREENS INSTALL RESULTS_FILE SPLASH_TAKEN REPORTS
set -uo pipefail
program=$1 errors=$2 screens=$3 install=$4 results=$5 splash_taken=$6 reports=$7
deadline=120
SITE_PAGES=${SITE_PAGES:-12}
main_title='^Tallyfox website log file analysis$'

"$program" 2>"$errors" &
pid=$!

driver=drive_console
source "$(dirname "$0")/../support/window_steps.sh"

keys() { xdotool windowfocus --sync "$1" key --clearmodifiers "${@:2}" 2>/dev/null; }
typed() { xdotool windowfocus --sync "$1" type --delay 20 "$2" 2>/dev/null; }
repeat() { local i; for ((i = 0; i < $2; ++i)); do echo -n "$1 "; done; }
# Turns the sheet's pages forward; the new page takes the focus.
turn_pages() {
  local i
  for ((i = 0; i < $2; ++i)); do keys "$1" ctrl+Page_Down; done
}

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

# "Add project": the General page's fields (the name has the focus), then
# the Log files page, which asks for a log file specification when left
# without one and takes the samples' pattern. Processing: no visitor
# regions, Reports: the custom report over the last 1000 days into REPORTS,
# not after each analysis, Visitors: no IP address translation (the samples'
# addresses are not looked up). Each page starts with its first control.
press_until "$main" "alt+d" "! window_gone '^New Project$'" || give_up "no New Project sheet"
sheet=$(wait_for_window '^New Project$') || give_up "no New Project sheet"
typed "$sheet" "Added site"
keys "$sheet" Tab
typed "$sheet" "www.example.com"
keys "$sheet" Tab Tab Tab Tab
typed "$sheet" "webuser"
keys "$sheet" Tab
typed "$sheet" "webpass"
screenshot "$sheet" "$screens/Tallyfox-add-general.png" || give_up "no General page screenshot"
press_until "$sheet" ctrl+Page_Down "! window_gone '^No log file specification$'" ||
  give_up "the Log files page did not ask for a specification"
answered=$sheet
question=$(wait_for_window '^No log file specification$') || give_up "no question"
answered=
press_until "$question" Return "! window_gone '^Add log file entry$'" || give_up "no Add log file entry"
entry=$(wait_for_window '^Add log file entry$') || give_up "no Add log file entry"
typed "$entry" "$install/samples/*.log"
screenshot "$entry" "$screens/Tallyfox-add-logspec.png" || give_up "no log file entry screenshot"
press_until "$entry" Return "window_gone '^Add log file entry$'" || give_up "the entry stayed"
screenshot "$sheet" "$screens/Tallyfox-add-logfiles.png" || give_up "no Log files page screenshot"
turn_pages "$sheet" 3
keys "$sheet" $(repeat Tab 31) space
turn_pages "$sheet" 1
keys "$sheet" $(repeat Tab 8) space Tab Tab ctrl+a
typed "$sheet" 1000
keys "$sheet" Tab
typed "$sheet" "$reports"
keys "$sheet" Tab Tab space
screenshot "$sheet" "$screens/Tallyfox-add-reports.png" || give_up "no Reports page screenshot"
turn_pages "$sheet" 2
keys "$sheet" Tab space
press_until "$sheet" Return "window_gone '^New Project$'" || give_up "the New Project sheet stayed"

# The added site is selected: "Analyze" until its run summary is written.
event_log=$install/Project0002.txt
press_until "$main" "alt+a" "[[ -s '$event_log' ]]" || give_up "Analyze started no run"
# A picture only: the next ticks show the run in the row and the panel.
sleep 0.3
/usr/bin/import -window "$main" "$screens/Tallyfox-running.png"
wait_until "grep -q 'Total log records processed' '$event_log'" || give_up "the run did not end"
screenshot "$main" "$screens/Tallyfox-analysed.png" || give_up "no screenshot after the run"

# Its Reports page: "Generate reports now" (the 15th control) until "Success".
press_until "$main" "alt+p" "! window_gone '^Added site properties$'" || give_up "no site sheet"
sheet=$(wait_for_window '^Added site properties$') || give_up "no site sheet"
turn_pages "$sheet" 5
keys "$sheet" $(repeat Tab 14) space
success=$(wait_for_window '^(Success|Error generating reports)$') || give_up "no report message"
[[ $(xdotool getwindowname "$success") == Success ]] || give_up "the reports were not generated"
screenshot "$success" "$screens/Tallyfox-reports-generated.png" || give_up "no Success screenshot"
press_until "$success" Return "window_gone '^Success$'" || give_up "the Success box stayed"
screenshot "$sheet" "$screens/Tallyfox-reports-page.png" || give_up "no Reports page screenshot"
press_until "$sheet" Escape "window_gone '^Added site properties$'" ||
  give_up "the site sheet stayed"

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
