#!/usr/bin/env bash
# Resource limits of joxrun and joxflow, end to end: huge or deeply nested
# programs, generated here at test time.  Each case either runs correctly
# (status 0, the expected output; or the program's own expected error) or,
# where it may, ends with the one-line exhaustion diagnostic and status 2.
# A signal, a hang, any other status 1 or any other diagnostic fails it.
#
#   limits.sh BUILD_DIR SANITIZED(0|1) [CASE...]
#
# Memory is limited with ulimit -v so that exhaustion comes quickly and
# safely.  A sanitized build reserves a huge address space for its shadow
# memory, and its operator new reports a failed allocation instead of
# throwing, so there no limit is set: the system's own size guards (a text
# holds at most 2^31 - 1 characters) stop the doubled string at 1 GiB.
set -u
build=$1
sanitized=${2:-0}
shift 2
. "$(dirname "$0")/common.sh"

N=100000      # nesting depth
TERMS=200000  # terms of one sum, commands of one program

# Each case: NAME ALLOWED EXPECTED; the program is made by gen_NAME.
# ALLOWED: "run" (must complete with EXPECTED as its output), "either"
# (complete so, or exhaust), "exhaust", or "fails" (the program's own error:
# status 1, "antes" on stdout, EXPECTED as the failure message; exhausting
# first is allowed as well).  A sign applies to a literal or a variable only,
# so a sign of a sign is such an error, found when it runs; an unset variable
# 100,000 parentheses deep fails from the bottom of the recursion.
gen_parens()   { echo "prog p int x; x <- $(rep $N '(')7$(rep $N ')'); imprima x, \"\\n\"; fimprog"; }
gen_signs()    { echo "prog p int x; imprima \"antes\\n\"; x <- $(rep $N '- ')7; fimprog"; }
gen_unset()    { echo "prog p int x, y; imprima \"antes\\n\"; x <- $(rep $N '(')y$(rep $N ')'); fimprog"; }
gen_not()      { echo "prog p logico b; b <- $(rep $N '!')verdadeiro; se (b) { imprima \"sim\\n\"; } fimprog"; }
gen_calls()    { echo "prog p int x; x <- $(rep $N 'abs(')-7$(rep $N ')'); imprima x, \"\\n\"; fimprog"; }
gen_index()    { echo "prog p int v[1]; v[0] <- 0; imprima $(rep $N 'v[')0$(rep $N ']'), \"\\n\"; fimprog"; }
gen_se()       { echo "prog p $(rep $N 'se (verdadeiro) { ')imprima \"fundo\\n\";$(rep $N ' }') fimprog"; }
gen_loops()    { echo "prog p int i; i <- 0; $(rep $N 'enquanto (i < 1) { ')i <- 1;$(rep $N ' }') imprima i, \"\\n\"; fimprog"; }
gen_sum()      { echo "prog p int x; x <- 0$(rep $TERMS ' + 1'); imprima x, \"\\n\"; fimprog"; }
gen_commands() { echo "prog p int x; x <- 0; $(rep $TERMS 'x <- x + 1; ') imprima x, \"\\n\"; fimprog"; }
gen_vector()   { echo "prog p int v[1000000000]; v[999999999] <- 3; imprima v[999999999], \"\\n\"; fimprog"; }
gen_formatar() { echo "prog p imprima formatar(1.5, 1000000000000), \"\\n\"; fimprog"; }
gen_doubling() { echo "prog p string s; s <- \"ab\"; enquanto (verdadeiro) { s <- strconcat(s, s); } fimprog"; }

cases=(
  "parens   either 7"
  "signs    fails  Operador negativo atribuido incorretamente. "
  "unset    fails  Vari\xe1vel y n\xe3o inicializada."
  "not      either sim"
  "calls    either 7"
  "index    either 0"
  "se       either fundo"
  "loops    either 1"
  "sum      either $TERMS"
  "commands run    $TERMS"
  "vector   either 3"
  "formatar exhaust -"
  "doubling exhaust -"
)

if [ "$sanitized" = 1 ]; then
  limit=unlimited
else
  limit=$((4 * 1024 * 1024))  # KiB: 4 GiB of address space
fi

# joxflow draws and animates these too (against the graph tool $fast).
flow_cases=" parens unset se sum commands "

failed=0
# check PROGRAM NAME ALLOWED WANT: runs $tmp/NAME.jox and judges the outcome.
check() {
  local prog=$1 name=$2 allowed=$3 want=$4
  local out=$tmp/$name.$prog.out err=$tmp/$name.$prog.err args=("$tmp/$name.$prog.jox")
  [ "$prog" = joxflow ] && args+=(0)
  # joxflow writes printed values into the flowchart, never to stdout.
  local before=antes
  [ "$prog" = joxflow ] && want=$([ "$allowed" = fails ] && echo "$want") && before=
  local start=$SECONDS
  (ulimit -v "$limit"; PATH="$fast:$PATH" exec timeout 600 "$build/apps/$prog" "${args[@]}") \
      < /dev/null > "$out" 2> "$err"
  local status=$?
  if [ "$sanitized" = 1 ]; then
    # AddressSanitizer warns once when a throw unwinds a very deep stack; the
    # system clears that stack's shadow itself, so the warning is harmless.
    grep -av -e 'ASan is ignoring requested __asan_handle_no_return' \
            -e '^False positive error reports may follow' \
            -e '^For details see https://github.com/google/sanitizers/issues/189' \
         "$err" > "$err.kept"
    mv "$err.kept" "$err"
  fi
  local took=$((SECONDS - start))
  local got message verdict=bad
  got=$(head -c 200 "$out" | tr -d '\n')
  message=$(head -c 300 "$err")
  case $status in
    0) { [ "$allowed" = run ] || [ "$allowed" = either ]; } && [ "$got" = "$want" ] &&
       [ ! -s "$err" ] && verdict=ok ;;
    1) [ "$allowed" = fails ] && [ "$got" = "$before" ] &&
       cmp -s "$err" <(printf "\nFail: $want\n") && verdict=ok ;;
    2) [ "$allowed" != run ] && { [ ! -s "$out" ] || [ "$got" = "$before" ]; } &&
       [ "$(wc -l < "$err")" = 1 ] && [[ "$message" =~ ^$prog:\ [a-z\ \(\)]+$ ]] &&
       verdict=ok ;;
  esac
  if [ "$verdict" = ok ]; then
    echo "ok   $prog $name: status $status in ${took}s ${message:+($message)}"
  else
    echo "FAIL $prog $name: status $status in ${took}s, stdout '$got', stderr '$message'"
    failed=1
  fi
}

for entry in "${cases[@]}"; do
  name=${entry%% *}; rest=${entry#"$name"}; rest=${rest#"${rest%%[! ]*}"}
  allowed=${rest%% *}; want=${rest#"$allowed"}; want=${want#"${want%%[! ]*}"}
  [ $# -gt 0 ] && [[ " $* " != *" $name "* ]] && continue
  "gen_$name" > "$tmp/$name.joxrun.jox"
  check joxrun "$name" "$allowed" "$want"
  if [[ "$flow_cases" == *" $name "* ]]; then
    # Animating costs far more under the sanitizers: a fifth of the size there.
    if [ "$sanitized" = 1 ]; then
      (N=$((N / 5)) TERMS=$((TERMS / 5)); "gen_$name") > "$tmp/$name.joxflow.jox"
    else
      cp "$tmp/$name.joxrun.jox" "$tmp/$name.joxflow.jox"
    fi
    check joxflow "$name" "$allowed" "$want"
  fi
done
exit $failed
