#!/usr/bin/env bash
# Runs one end-to-end fixture against the real binaries and compares, byte for
# byte, what the program wrote with what the fixture expects.
#
#   run_fixture.sh DIR/NAME.jox BUILD_DIR
#
# Files beside NAME.jox (all optional):
#   NAME.in      standard input (default: empty)
#   NAME.out     expected standard output (default: empty)
#   NAME.err     expected standard error (default: empty)
#   NAME.status  expected exit status (default: 0)
#   NAME.prog    the program to run: joxrun (default) or joxflow
#   NAME.args    the argument words; FILE stands for NAME.jox
#                (default: "FILE" for joxrun, "FILE 0" for joxflow)
#   NAME.env     extra environment, one VAR=VALUE per line; FIXDIR in a value
#                stands for the fixture's folder
#   NAME.davinci expected command lines received by the stand-in graph tool
#   NAME.stdout  a file that standard output is written to instead (such as
#                /dev/full); NAME.out is not compared then
# The program runs in the fixture's folder with the stand-in daVinci first in
# PATH, so file names in messages are the short relative ones.
set -u
jox=$1
build=$2
dir=$(cd "$(dirname "$jox")" && pwd)
name=$(basename "$jox" .jox)
cd "$dir" || exit 2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

prog=joxrun
[ -f "$name.prog" ] && prog=$(tr -d '[:space:]' < "$name.prog")
bin="$build/apps/$prog"
if [ -f "$name.args" ]; then
  read -r -a words < "$name.args"
elif [ "$prog" = joxflow ]; then
  words=(FILE 0)
else
  words=(FILE)
fi
args=()
for w in "${words[@]}"; do
  [ "$w" = FILE ] && w="$name.jox"
  args+=("$w")
done

envs=("PATH=$build/tools:$PATH" "DAVINCI_STANDIN_LOG=$tmp/davinci")
if [ -f "$name.env" ]; then
  while IFS= read -r line || [ -n "$line" ]; do
    [ -n "$line" ] && envs+=("${line//FIXDIR/$dir}")
  done < "$name.env"
fi

input=/dev/null
[ -f "$name.in" ] && input="$name.in"
output=$tmp/out
[ -f "$name.stdout" ] && output=$(tr -d '[:space:]' < "$name.stdout")
env "${envs[@]}" timeout 60 "$bin" "${args[@]}" < "$input" > "$output" 2> "$tmp/err"
status=$?

expect_status=0
[ -f "$name.status" ] && expect_status=$(tr -d '[:space:]' < "$name.status")

ok=1
compare() {  # expected-file actual-file label
  local want=$1 got=$2 label=$3
  [ -f "$want" ] || want=/dev/null
  [ -f "$got" ] || got=/dev/null
  if ! cmp -s "$want" "$got"; then
    echo "--- $label differs (expected, then actual):"
    LC_ALL=C cat -A "$want"; echo "---"; LC_ALL=C cat -A "$got"; echo "---"
    ok=0
  fi
}
[ -f "$name.stdout" ] || compare "$name.out" "$tmp/out" stdout
compare "$name.err" "$tmp/err" stderr
[ -f "$name.davinci" ] && compare "$name.davinci" "$tmp/davinci" "daVinci commands"
if [ "$status" != "$expect_status" ]; then
  echo "--- exit status $status, expected $expect_status"
  ok=0
fi
[ $ok = 1 ] && exit 0 || exit 1
