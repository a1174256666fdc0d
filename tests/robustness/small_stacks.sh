#!/usr/bin/env bash
# Integers of tens of thousands of digits under the smallest stack limits,
# end to end: with the work on the main thread (a preloaded library makes
# thread creation fail) and ulimit -s 64 or 128, joxrun and joxflow print,
# read and divide them as under any other limit (GNU MP takes tens of KiB of
# stack for that).  joxrun's output is compared digit for digit; joxflow
# writes it into the flowchart and must end with status 0 and nothing on
# stderr.  Printing such an integer inside nested se commands completes, or
# ends with the one-line exhaustion diagnostic.
# joxflow also draws into the real stand-in daVinci, which inherits the
# preload and so serves on its main thread too: a two-line program and one
# nested 20,000 deep run to the end under ulimit -s 64, 128 and 1024, and
# under ulimit -v 600000 with or without threads.
#
#   small_stacks.sh BUILD_DIR SANITIZED(0|1) NO_THREADS_LIBRARY
set -u
build=$1
sanitized=${2:-0}
no_threads=$3
. "$(dirname "$0")/common.sh"
[ "$sanitized" = 1 ] && export ASAN_OPTIONS=verify_asan_link_order=0

# Each case: NAME.jox, its input NAME.in and its expected output NAME.want.
echo 'prog p int x; x <- 10 ^ 40000; imprima x, "\n"; fimprog' > "$tmp/print.jox"
{ printf 1; rep 40000 0; echo; } > "$tmp/print.want"
: > "$tmp/print.in"

echo 'prog p int x; leia x; imprima x, "\n"; fimprog' > "$tmp/read.jox"
rep 3000 1234567890 > "$tmp/read.in"
echo >> "$tmp/read.in"
cp "$tmp/read.in" "$tmp/read.want"

# (10^60000 - 1) div (10^30000 - 1) = 10^30000 + 1
echo 'prog p int x, y; x <- 10 ^ 60000 - 1; y <- 10 ^ 30000 - 1; imprima x div y, "\n"; fimprog' \
  > "$tmp/divide.jox"
{ printf 1; rep 29999 0; echo 1; } > "$tmp/divide.want"
: > "$tmp/divide.in"

echo "prog p int x; x <- 10 ^ 77000; $(rep 145 'se (verdadeiro) { ')imprima x, \"\\n\";$(rep 145 ' }') fimprog" \
  > "$tmp/nested.jox"
{ printf 1; rep 77000 0; echo; } > "$tmp/nested.want"
: > "$tmp/nested.in"

failed=0
# check PROG STACK NAME ALLOWED: one run on the main thread, judged.
# ALLOWED: "run" (must complete) or "either" (complete, or exhaust).
check() {
  local prog=$1 stack=$2 name=$3 allowed=$4
  local args=("$tmp/$name.jox") want=$tmp/$name.want out=$tmp/out err=$tmp/err
  [ "$prog" = joxflow ] && args+=(0) && want=/dev/null
  (ulimit -s "$stack" && PATH="$fast:$PATH" LD_PRELOAD=$no_threads exec timeout 120 \
     "$build/apps/$prog" "${args[@]}") < "$tmp/$name.in" > "$out" 2> "$err"
  local status=$? verdict=bad
  case $status in
    0) cmp -s "$out" "$want" && [ ! -s "$err" ] && verdict=ok ;;
    2) [ "$allowed" = either ] && [ ! -s "$out" ] &&
       { cmp -s "$err" <(echo "$prog: program nested too deeply (stack exhausted)") ||
         cmp -s "$err" <(echo "$prog: out of memory"); } && verdict=ok ;;
  esac
  if [ "$verdict" != ok ]; then
    echo "FAIL $prog $name, ulimit -s $stack: status $status, stdout $(wc -c < "$out") bytes," \
         "stderr '$(head -c 300 "$err")'"
    failed=1
  fi
}

for prog in joxrun joxflow; do
  for stack in 64 128; do
    for name in print read divide; do check "$prog" "$stack" "$name" run; done
    check "$prog" "$stack" nested either
  done
done

echo 'prog p int x; x <- 1; imprima x; fimprog' > "$tmp/short.jox"
echo "prog p int x; x <- 1; $(rep 20000 'se (x == 1) { ')imprima x; $(rep 20000 '} ')fimprog" > "$tmp/deep.jox"
# drawn STACK SPACE WHERE NAME: joxflow against the stand-in, which must run
# to the end (status 0, nothing on stdout or stderr); a failed case is
# reported on stdout.  WHERE: main (threads fail) or thread.
drawn() {
  local stack=$1 space=$2 where=$3 name=$4 preload=""
  local base=$tmp/drawn.$stack.$space.$where.$name
  [ "$where" = main ] && preload=$no_threads
  (ulimit -s "$stack" && ulimit -v "$space" && PATH="$build/tools:$PATH" LD_PRELOAD=$preload \
     exec timeout 300 "$build/apps/joxflow" "$tmp/$name.jox" 0) < /dev/null > "$base.out" 2> "$base.err"
  local status=$?
  [ "$status" = 0 ] && [ ! -s "$base.out" ] && [ ! -s "$base.err" ] ||
    echo "FAIL joxflow $name with the stand-in, $where thread, ulimit -s $stack -v $space: status $status," \
         "stderr '$(head -c 300 "$base.err")'"
}
# (A sanitized build reserves a huge address space: no limit on it there.)
drawing=("64 unlimited main" "128 unlimited main" "1024 unlimited main")
[ "$sanitized" = 0 ] && drawing+=("8192 600000 thread" "8192 600000 main")
for setting in "${drawing[@]}"; do
  for name in short deep; do
    # shellcheck disable=SC2086
    drawn $setting "$name" > "$tmp/drawn.$(echo $setting | tr ' ' .).$name.report" &
  done
done
wait
cat "$tmp"/drawn.*.report
grep -q . "$tmp"/drawn.*.report && failed=1

[ "$failed" = 0 ] &&
  echo "ok: large integers on the main thread under 64 and 128 KiB stack limits; joxflow drawn in the stand-in there and under an address-space limit"
exit $failed
