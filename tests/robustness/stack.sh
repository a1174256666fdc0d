#!/usr/bin/env bash
# Stack and address-space limits, end to end: joxrun and joxflow under every
# pairing of a stack limit (ulimit -s) with an address-space limit (ulimit
# -v), with the work on the thread the programs reserve for it and, through
# a preloaded library that makes thread creation fail, on the main thread.
# A small program runs normally; a deeply nested expression or block either
# completes with its output or ends with the one-line exhaustion diagnostic
# and status 2.  A signal, any other status or any other text fails the case.
#
#   stack.sh BUILD_DIR SANITIZED(0|1) NO_THREADS_LIBRARY
#
# A sanitized build reserves a huge address space for its shadow memory, so
# there the address space is never limited.
set -u
build=$1
sanitized=${2:-0}
no_threads=$3
. "$(dirname "$0")/common.sh"

# The programs.  Under an address-space limit a deep case fails fast, so it
# can be deep enough to need more stack than the limit leaves; without one,
# a shallower case keeps the memory of the run small.
echo 'prog ola int x; x <- 6 * 7; imprima x, "\n"; fimprog' > "$tmp/hello.jox"
parens() { echo "prog p int x; x <- $(rep "$1" '(')7$(rep "$1" ')'); imprima x, \"\\n\"; fimprog"; }
blocks() { echo "prog p $(rep "$1" 'se (verdadeiro) { ')imprima \"fundo\\n\";$(rep "$1" ' }') fimprog"; }
parens 1000000 > "$tmp/parens-deepest.jox"
parens 500000 > "$tmp/parens-capped.jox"
parens 100000 > "$tmp/parens-free.jox"
blocks 200000 > "$tmp/blocks-capped.jox"
blocks 30000 > "$tmp/blocks-free.jox"

stacks="64 128 1024 8192 unlimited"  # KiB
spaces="unlimited 600000 1000000"  # KiB
[ "$sanitized" = 1 ] && spaces=unlimited
[ "$sanitized" = 1 ] && export ASAN_OPTIONS=verify_asan_link_order=0

# check PROG WHERE STACK SPACE PROGRAM ALLOWED OUTPUT: one run, judged; a
# failed case is reported on stdout.  WHERE: "thread" or "main"; ALLOWED:
# "run" (must complete with OUTPUT), "either" (complete so, or exhaust
# memory or stack) or "exhaust" (the stack).
check() {
  local prog=$1 where=$2 stack=$3 space=$4 program=$5 allowed=$6 output=$7
  local args=("$tmp/$program.jox") preload="" out=$tmp/$prog.$where.out err=$tmp/$prog.$where.err
  [ "$prog" = joxflow ] && args+=(0) && output=""
  [ "$where" = main ] && preload=$no_threads
  (ulimit -s "$stack" && ulimit -v "$space" &&
     PATH="$fast:$PATH" LD_PRELOAD=$preload exec timeout 120 "$build/apps/$prog" "${args[@]}") \
    < /dev/null > "$out" 2> "$err"
  local status=$? verdict=bad
  case $status in
    0) [ "$allowed" != exhaust ] && cmp -s "$out" <(printf '%b' "$output") && [ ! -s "$err" ] &&
       verdict=ok ;;
    2) [ "$allowed" != run ] && [ ! -s "$out" ] &&
       { cmp -s "$err" <(echo "$prog: program nested too deeply (stack exhausted)") ||
         { [ "$allowed" = either ] && cmp -s "$err" <(echo "$prog: out of memory"); }; } &&
       verdict=ok ;;
  esac
  [ "$verdict" = ok ] ||
    echo "FAIL $prog $program on the $where thread, ulimit -s $stack -v $space: status $status," \
         "stdout '$(head -c 100 "$out")', stderr '$(head -c 300 "$err")'"
}

# Every pairing of limits, for one program and one place of the work.
matrix() {
  local prog=$1 where=$2 stack space kind
  for stack in $stacks; do
    for space in $spaces; do
      kind=free
      [ "$space" != unlimited ] && kind=capped
      check "$prog" "$where" "$stack" "$space" hello run '42\n'
      check "$prog" "$where" "$stack" "$space" "parens-$kind" either '7\n'
      check "$prog" "$where" "$stack" "$space" "blocks-$kind" either 'fundo\n'
    done
  done
  # Too deep for the stack left under a limit on the address space, with no
  # limit on the stack: the guard must know the real bound.
  if [ "$sanitized" = 0 ]; then
    check "$prog" "$where" unlimited 600000 parens-deepest exhaust -
  fi
}

side_by_side matrix "ok: both programs, on either thread, under every pairing of limits"
