# far2l_lib.sh — drives a private, headless far2l in its own tmux server.
#
# Sourced by the end-to-end tests.  Everything runs under a temporary
# directory: the far2l profile, the personal plugin folder, the plugin's
# registry store.  Only the processes started here are ended, by PID.

set -euo pipefail

F2L_SKIP=77

f2l_require() {
  command -v far2l >/dev/null || { echo "far2l is not installed"; exit $F2L_SKIP; }
  command -v tmux >/dev/null || { echo "tmux is not installed"; exit $F2L_SKIP; }
}

# f2l_use_stand_in ORACLE_HOME — before f2l_start: the client stand-in of that
# home with a private data directory (F2L_DATA: db/ for its databases, tmp/
# as the temporary directory); skips the test when the home has no library.
f2l_use_stand_in() {
  [ -f "$1/lib/libclntsh.so" ] || { echo "no client stand-in in $1"; exit $F2L_SKIP; }
  F2L_DATA=$(mktemp -d /tmp/quarry-e2e-data.XXXXXX)
  mkdir -p "$F2L_DATA/db" "$F2L_DATA/tmp"
  F2L_ENV=("ORACLE_HOME=$1" "OCISIM_DATA_DIR=$F2L_DATA/db" "TMPDIR=$F2L_DATA/tmp")
}

# f2l_start PLUGIN_MODULE [extra far2l args...]; an empty PLUGIN_MODULE
# leaves the personal plugin folder empty, so far2l loads the installed one.
f2l_start() {
  local module=$1; shift
  F2L_DIR=$(mktemp -d /tmp/quarry-e2e.XXXXXX)
  F2L_SOCKET="quarry-e2e-$$"
  mkdir -p "$F2L_DIR/profile/.config/settings" "$F2L_DIR/plugins/quarry/plug" "$F2L_DIR/registry" "$F2L_DIR/start"
  : > "$F2L_DIR/profile/.config/settings/config.ini"
  if [ -n "$module" ]; then
    cp "$module" "$F2L_DIR/plugins/quarry/plug/"
    # The help files the build puts beside the module.
    cp "$(dirname "$module")"/*.hlf "$F2L_DIR/plugins/quarry/plug/" 2>/dev/null || true
  fi
  local env_line="QUARRY_REGISTRY_DIR='$F2L_DIR/registry'"
  for var in "${F2L_ENV[@]:-}"; do [ -n "$var" ] && env_line+=" $(printf '%q' "$var")"; done
  tmux -L "$F2L_SOCKET" new-session -d -s e2e -x 120 -y 40 \
    "env $env_line far2l --tty --mortal -u '$F2L_DIR/profile' -set:System.PersonalPluginsPath='$F2L_DIR/plugins' -set:Confirmations.Exit=0 -set:Screen.Clock=0 $* '$F2L_DIR/start' 2>'$F2L_DIR/stderr.log'"
  trap f2l_stop EXIT
  # The pane runs env, which execs far2l: this is far2l's own PID.
  F2L_PID=$(tmux -L "$F2L_SOCKET" list-panes -t e2e -F '#{pane_pid}')
  f2l_wait_for "1Help" 20 || { f2l_screen; echo "far2l did not start"; return 1; }
}

f2l_screen() { tmux -L "$F2L_SOCKET" capture-pane -t e2e -p; }

f2l_keys() {
  tmux -L "$F2L_SOCKET" send-keys -t e2e "$@"
  sleep 0.5
}

# f2l_wait_for TEXT [SECONDS]: true once TEXT is on the screen.
f2l_wait_for() {
  local text=$1 limit=${2:-10} i
  for ((i = 0; i < limit * 5; i++)); do
    if f2l_screen | grep -aqF -- "$text"; then return 0; fi
    sleep 0.2
  done
  return 1
}

# Opens the plugins menu (F11) and chooses the entry whose text is $1.
f2l_open_plugin() {
  local entry=$1 index i
  f2l_keys F11
  f2l_wait_for "$entry" 5 || { f2l_screen; echo "no '$entry' in the plugins menu"; return 1; }
  index=$(f2l_menu_index "$entry")
  [ "$index" -ge 0 ] || { f2l_screen; echo "cannot place '$entry' in the menu"; return 1; }
  f2l_keys Home
  for ((i = 0; i < index; i++)); do tmux -L "$F2L_SOCKET" send-keys -t e2e Down; done
  f2l_keys Enter
}

# Opens Quarry's panel, enters the root directory $1 and logs on as $2 with
# password $3 in the logon dialog that entering asks for.
f2l_open_and_log_on() {
  f2l_open_plugin "Quarry manager"
  f2l_wait_for "Oracle" 10 || f2l_fail "no Oracle panel"
  f2l_find_item "$1"
  f2l_keys Enter
  f2l_wait_for "Oracle Logon" 10 || f2l_fail "no logon dialog"
  f2l_keys -l "$2"
  f2l_keys Tab
  f2l_keys -l "$3"
  f2l_keys Enter
}

# The 0-based position of an entry in the menu on screen.  Menu items are
# the framed segments "║ text ║" without a panel column divider inside; a
# fresh profile on an empty folder shows no other such segment.
f2l_menu_index() {
  f2l_screen | grep -aoP '║ \K[^║│]*[^ ║│](?= *║)' | awk -v e="$1" '
    $0 == e { print NR - 1; found = 1; exit }
    END { if (!found) print -1 }'
}

f2l_stop() {
  set +e
  if [ -n "${F2L_PID:-}" ] && kill -0 "$F2L_PID" 2>/dev/null; then
    kill "$F2L_PID" 2>/dev/null
    sleep 0.5
    kill -9 "$F2L_PID" 2>/dev/null
  fi
  tmux -L "$F2L_SOCKET" kill-server 2>/dev/null
  [ -n "${F2L_DIR:-}" ] && rm -rf "$F2L_DIR"
  [ -n "${F2L_DATA:-}" ] && rm -rf "$F2L_DATA"
  F2L_PID=""
  F2L_DIR=""
  F2L_DATA=""
}

# Shows the screen and fails the test.
f2l_fail() { f2l_screen; echo "FAIL: $*"; exit 1; }

# Puts the cursor on the panel item named $1 with far2l's quick search.
f2l_find_item() {
  f2l_keys M-"${1:0:1}"
  [ ${#1} -gt 1 ] && f2l_keys -l "${1:1}"
  f2l_keys Escape
  sleep 0.5
}

# Quits far2l with F10 and checks that it ended by itself.
f2l_quit() {
  f2l_keys F10
  local i
  for ((i = 0; i < 25; i++)); do
    kill -0 "$F2L_PID" 2>/dev/null || return 0
    sleep 0.2
  done
  echo "far2l did not quit"
  return 1
}
