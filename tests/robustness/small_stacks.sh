#!/usr/bin/env bash
# Integers of tens of thousands of digits under the smallest stack limits,
# end to end: with the work on the main thread (a preloaded library makes
# thread creation fail) and ulimit -s 64 or 128, joxrun and joxflow print,
# read and divide them as under any other limit (GNU MP takes tens of KiB of
# stack for that).  joxrun's output is compared digit for digit; joxflow
# writes it into the flowchart and must end with status 0 and nothing on
# stderr.  Printing such an integer inside nested se commands completes, or
# ends with the one-line exhaustion diagnostic.
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
[ "$failed" = 0 ] && echo "ok: large integers on the main thread under 64 and 128 KiB stack limits"
exit $failed
