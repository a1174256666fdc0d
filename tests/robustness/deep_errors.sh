#!/usr/bin/env bash
# Error reports after deep nesting, end to end: a syntax or lexical error
# that follows an expression nested 100,000 deep (parentheses, or unary
# minus) ends joxrun and joxflow exactly as it ends the same program nested
# one deep: the same bytes on stderr, status 1, nothing on stdout.  On the
# work thread and, through a preloaded library that makes thread creation
# fail, on the main thread; under small and large stack limits, with and
# without a limit on the address space.  Where the limit leaves too little
# memory for the parse, the run ends with the one-line exhaustion diagnostic
# and status 2 instead.  A signal or any other outcome fails the case.
# So does a division by zero inside se commands nested 20,000 deep, which
# joxflow reports after drawing the program in the real stand-in daVinci
# (which inherits the preload), under a 64 KiB stack limit.
#
#   deep_errors.sh BUILD_DIR SANITIZED(0|1) NO_THREADS_LIBRARY
#
# A sanitized build reserves a huge address space for its shadow memory, so
# there the address space is never limited.
set -u
build=$1
sanitized=${2:-0}
no_threads=$3
. "$(dirname "$0")/common.sh"

# nested OPEN DEPTH TAIL: an assignment nested DEPTH deep, closed, then TAIL,
# all on line 3.
nested() { printf 'prog p\nint x;\nx <- %s1%s%s;\nfimprog\n' "$(rep "$2" "$1")" "$(rep "$2" ')')" "$3"; }

N=100000
for kind in parens minus; do
  open='1+('
  [ "$kind" = minus ] && open='-('
  nested "$open" "$N" ')' > "$tmp/$kind-syntax.jox"
  nested "$open" 1 ')' > "$tmp/$kind-syntax-shallow.jox"
  nested "$open" "$N" '$' > "$tmp/$kind-lexical.jox"
  nested "$open" 1 '$' > "$tmp/$kind-lexical-shallow.jox"
done
# Too deep for what the tight limit below leaves: the parse runs out of
# memory (or the check out of stack), with or without the error at its end.
nested '1+(' 200000 '' > "$tmp/valid-tight.jox"
nested '1+(' 200000 ')' > "$tmp/syntax-tight.jox"
# divided DEPTH: a division by zero inside DEPTH nested se commands.
divided() { printf 'prog p\nint x;\nx <- 0;\n%simprima 1 div x;\n%s\nfimprog\n' "$(rep "$1" 'se (x == 0) { ')" "$(rep "$1" '} ')"; }
divided 20000 > "$tmp/divided.jox"
divided 1 > "$tmp/divided-shallow.jox"
printf '\nFail: Divis\343o por zero.\n' > "$tmp/divided.want"
printf '\nFail: Erro sintatico na linha 3\n\n' > "$tmp/syntax.want"
printf '\nFail: Utilizacao impropria do caracter "$"\n' > "$tmp/lexical.want"

stacks_main="64 1024 8192 unlimited"  # KiB
stacks_thread="64 unlimited"
spaces="unlimited 600000"  # KiB
tight=150000
if [ "$sanitized" = 1 ]; then
  spaces=unlimited
  export ASAN_OPTIONS=verify_asan_link_order=0
fi

# run PROG WHERE STACK SPACE PROGRAM: one run; leaves .status, .out, .err.
# joxflow draws into the daVinci found in $graph_tool, the acknowledging one
# unless the caller sets it.
run() {
  local prog=$1 where=$2 stack=$3 space=$4 program=$5
  local args=("$tmp/$program.jox") preload="" base=$tmp/$prog.$where.$program
  [ "$prog" = joxflow ] && args+=(0)
  [ "$where" = main ] && preload=$no_threads
  (ulimit -s "$stack" && ulimit -v "$space" &&
     PATH="${graph_tool:-$fast}:$PATH" LD_PRELOAD=$preload exec timeout 120 "$build/apps/$prog" "${args[@]}") \
    < /dev/null > "$base.out" 2> "$base.err"
  echo $? > "$base.status"
}

# check PROG WHERE STACK SPACE PROGRAM ALLOWED [WANT]: judges one run; a
# failed case is reported on stdout.  ALLOWED: "report" (exactly the report
# in the file WANT), "either" (that, or exhaustion) or "exhaust".
check() {
  local prog=$1 where=$2 stack=$3 space=$4 program=$5 allowed=$6 want=${7:-}
  local base=$tmp/$prog.$where.$program status verdict=bad
  run "$prog" "$where" "$stack" "$space" "$program"
  status=$(cat "$base.status")
  case $status in
    1) [ "$allowed" != exhaust ] && [ ! -s "$base.out" ] && cmp -s "$base.err" "$want" && verdict=ok ;;
    2) [ "$allowed" != report ] && [ ! -s "$base.out" ] &&
       { cmp -s "$base.err" <(echo "$prog: out of memory") ||
         cmp -s "$base.err" <(echo "$prog: program nested too deeply (stack exhausted)"); } &&
       verdict=ok ;;
  esac
  [ "$verdict" = ok ] ||
    echo "FAIL $prog $program on the $where thread, ulimit -s $stack -v $space: status $status," \
         "stderr '$(head -c 200 "$base.err" | od -An -c | tr -s ' ' | head -c 300)'"
}

# Every case for one program and one place of the work.
cases() {
  local prog=$1 where=$2 stack space kind error stacks=$stacks_thread
  [ "$where" = main ] && stacks=$stacks_main
  for stack in $stacks; do
    for space in $spaces; do
      for kind in parens minus; do
        for error in syntax lexical; do
          check "$prog" "$where" "$stack" "$space" "$kind-$error-shallow" report "$tmp/$error.want"
          check "$prog" "$where" "$stack" "$space" "$kind-$error" report "$tmp/$error.want"
        done
      done
    done
  done
  if [ "$sanitized" = 0 ]; then
    check "$prog" "$where" unlimited "$tight" valid-tight exhaust
    check "$prog" "$where" unlimited "$tight" syntax-tight either "$tmp/syntax.want"
  fi
  if [ "$prog" = joxflow ]; then
    local graph_tool=$build/tools
    for space in $spaces; do
      check joxflow "$where" 64 "$space" divided-shallow report "$tmp/divided.want"
      check joxflow "$where" 64 "$space" divided report "$tmp/divided.want"
    done
  fi
}

side_by_side cases "ok: both programs, on either thread, report errors after deep nesting as after shallow"
