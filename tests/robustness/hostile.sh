#!/usr/bin/env bash
# joxflow against a hostile daVinci: the stand-in, scripted to exit at any
# command line, to close its input at any line, to answer garbage at any
# line, or to flood the link with other answers.  Whatever it does, joxflow
# ends with a failure report (status 1, "\nFail: " and a message on stderr,
# nothing on stdout), or completes when daVinci's misbehaviour came too late
# to matter; never a signal, never a hang.
#
#   hostile.sh BUILD_DIR SANITIZED(0|1) NO_THREADS_LIBRARY
set -u
build=$1
sanitized=${2:-0}
no_threads=$3
joxflow=$build/apps/joxflow
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export PATH="$build/tools:$PATH"
[ "$sanitized" = 1 ] && export ASAN_OPTIONS=detect_leaks=1

# A run with a read, a para loop, both branches of a senao and prints: every
# kind of node and edge change the animation sends.
cat > "$tmp/h.jox" <<'JOX'
prog h
int i, n;
string s;
leia n;
s <- "";
para (i <- 0; i < n; i++) {
  se (i % 2 == 0) { s <- strconcat(s, "a"); } senao { imprima i, "\n"; }
}
imprima s, "\n";
fimprog
JOX
echo 3 > "$tmp/in"

failed=0
# run LABEL EXPECT(1|any) SCRIPT-LINE...: one run with those script rules.
run() {
  local label=$1 expect=$2
  shift 2
  printf '%s\n' "$@" > "$tmp/script"
  DAVINCI_STANDIN_SCRIPT=$tmp/script DAVINCI_STANDIN_LOG=$tmp/log \
    timeout 30 "$joxflow" "$tmp/h.jox" 0 < "$tmp/in" > "$tmp/out" 2> "$tmp/err"
  local status=$? why=""
  rm -f "$tmp/log"
  if [ "$status" = 0 ] && [ "$expect" = any ]; then
    [ -s "$tmp/err" ] && why="stderr after success"
  elif [ "$status" != 1 ]; then
    why="status $status"
  elif [ -s "$tmp/out" ]; then
    why="output on stdout"
  elif [ "$(head -c 7 "$tmp/err")" != $'\nFail: ' ] || [ "$(sed -n 2p "$tmp/err")" = "Fail: " ] ||
       [ "$(tail -c 1 "$tmp/err" | od -An -c | tr -d ' ')" != '\n' ]; then
    why="not a failure report"
  elif grep -aq -e 'Erro interno' -e 'ERROR: AddressSanitizer' -e 'runtime error' "$tmp/err"; then
    why="internal error or sanitizer report"
  fi
  if [ -n "$why" ]; then
    echo "FAIL $label: $why; stderr:"
    head -c 600 "$tmp/err"
    echo
    failed=1
  fi
}

# The clean run: how many command lines joxflow sends.
DAVINCI_STANDIN_LOG=$tmp/clean timeout 30 "$joxflow" "$tmp/h.jox" 0 < "$tmp/in" > /dev/null 2>&1 ||
  { echo "FAIL: the clean run does not complete"; exit 1; }
lines=$(wc -l < "$tmp/clean")
long=$(head -c 1000000 /dev/zero | tr '\0' 'x')

for ((k = 0; k <= lines; k++)); do
  run "exit $k" 1 "exit $k"
  # The last command's answer comes before the input closes: nothing more
  # is written, so that run may complete.
  if [ "$k" = "$lines" ]; then run "close $k" any "close $k"; else run "close $k" 1 "close $k"; fi
  case $((k % 6)) in
    0) run "garbage $k" 1 "at $k ok " ;;
    1) run "garbage $k" 1 "at $k $(printf 'o\001k\377')" ;;
    2) run "garbage $k" 1 "at $k $long" ;;
    3) run "garbage $k" 1 "at $k communication_error(\"no\")" ;;
    4) run "garbage $k" 1 "at $k quit" ;;
    5) run "garbage $k" 1 "at $k " ;;
  esac
done

# Other answers flooding the link before every acknowledgement are read and
# dropped: the run completes and sends exactly the clean run's commands.
flood=()
for ((k = 0; k <= lines; k++)); do
  for a in 'node_double_click' 'menu_selection("m")' 'node_selections_labels(["n1","n2"])' \
           'tcl_answer("x")' 'context_window("c","w")'; do
    flood+=("before $k $a")
  done
done
printf '%s\n' "${flood[@]}" > "$tmp/script"
DAVINCI_STANDIN_SCRIPT=$tmp/script DAVINCI_STANDIN_LOG=$tmp/flooded \
  timeout 60 "$joxflow" "$tmp/h.jox" 0 < "$tmp/in" > "$tmp/out" 2> "$tmp/err"
status=$?
if [ "$status" != 0 ] || [ -s "$tmp/err" ] || ! cmp -s "$tmp/clean" "$tmp/flooded"; then
  echo "FAIL flood: status $status; stderr:"; head -c 600 "$tmp/err"; echo
  failed=1
fi
# A flood that ends in garbage still ends in a failure report.
run "flood then garbage" 1 "${flood[@]:0:50}" "at 7 garbage"

# The stand-in itself out of memory: a command line longer than its address
# space allows ends it with the one-line diagnostic and status 2, on either
# thread, never by a signal.  (A sanitized build reserves a huge address
# space: no limit on it there.)
if [ "$sanitized" = 0 ]; then
  for preload in "" "$no_threads"; do
    { printf 'graph(new(['; yes 'l("a",n("",[],[])),' | tr -d '\n' | head -c 80000000; echo; } |
      (ulimit -v 60000; LD_PRELOAD=$preload exec timeout 60 "$build/tools/daVinci" -pipe) \
      > "$tmp/out" 2> "$tmp/err"
    status=${PIPESTATUS[1]}
    if [ "$status" != 2 ] || ! cmp -s "$tmp/out" <(echo ok) || ! cmp -s "$tmp/err" <(echo "daVinci: out of memory"); then
      echo "FAIL stand-in out of memory${preload:+ on the main thread}: status $status; stderr:"
      head -c 600 "$tmp/err"; echo
      failed=1
    fi
  done
fi

[ $failed = 0 ] && echo "ok: $((lines + 1)) lines, each met by exit, close and garbage; flooding; the stand-in out of memory"
exit $failed
