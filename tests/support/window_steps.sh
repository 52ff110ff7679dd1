# Shared steps of the scripts that drive a desktop program on a private
# display. The sourcing script sets pid (the program), deadline (seconds),
# driver (its name for messages) and may set answered (a window not to match
# again).

give_up() {
  echo "$driver: $1" >&2
  kill "$pid" 2>/dev/null
  exit 124
}

find_window() {
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$pid" --name "$1" 2>/dev/null); do
    [[ $id == "${answered:-}" ]] || { echo "$id"; return 0; }
  done
  return 1
}

wait_for_window() {
  local end=$((SECONDS + deadline)) id
  while ((SECONDS < end)); do
    id=$(find_window "$1") && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# A window is drawn a moment after it is mapped: take pictures until three
# in a row are the same.
screenshot() {
  local id=$1 file=$2 end=$((SECONDS + deadline)) same=0
  /usr/bin/import -window "$id" "$file.previous.png" || return 1
  while ((SECONDS < end && same < 2)); do
    sleep 0.3
    /usr/bin/import -window "$id" "$file" || return 1
    if cmp -s "$file" "$file.previous.png"; then ((same += 1)); else same=0; fi
    mv "$file" "$file.previous.png"
  done
  mv "$file.previous.png" "$file"
}
