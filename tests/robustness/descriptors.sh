#!/usr/bin/env bash
# Standard descriptors closed at start, end to end: joxrun and joxflow with
# each of descriptors 0, 1 and 2 closed, alone and together.  A closed
# standard input reads as the end of input, exactly as /dev/null does; a
# closed standard error loses the failure report but keeps its status; a
# closed standard output is an error of joxrun's first write to it and
# nothing to joxflow, which never writes it.  joxflow's link to daVinci
# works as with the three open: daVinci receives exactly the same commands,
# and nothing meant for a standard descriptor.
#
#   descriptors.sh BUILD_DIR SANITIZED(0|1)
set -u
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export PATH="$build/tools:$PATH"

# Reads a line (none: the empty text), prints it, and fails or not.
cat > "$tmp/reads.jox" <<'EOF'
prog le
string s;
leia s;
imprima "[", s, "]\n";
fimprog
EOF
cat > "$tmp/fails.jox" <<'EOF'
prog falha
int zero;
string s;
leia s;
imprima "antes ", s, "\n";
zero <- 0;
imprima 1 div zero;
fimprog
EOF
fail_report=$(printf '\nFail: Divis\xe3o por zero.\n_')
fail_report=${fail_report%_}
bad_descriptor=$'\nFail: cannot write standard output: Bad file descriptor\n'

# run PROG PROGRAM CLOSED: runs with the descriptors listed in CLOSED (some
# of 0, 1, 2) closed and the others on /dev/null (input) and files; the
# stand-in's log records what daVinci received.
run() {
  local prog=$1 program=$2 closed=$3 args=("$tmp/$2.jox")
  [ "$prog" = joxflow ] && args+=(0)
  rm -f "$tmp/out" "$tmp/err" "$tmp/log"
  (
    if [[ $closed == *0* ]]; then exec 0<&-; else exec 0< /dev/null; fi
    if [[ $closed == *1* ]]; then exec 1>&-; else exec 1> "$tmp/out"; fi
    if [[ $closed == *2* ]]; then exec 2>&-; else exec 2> "$tmp/err"; fi
    DAVINCI_STANDIN_LOG=$tmp/log exec timeout 30 "$build/apps/$prog" "${args[@]}"
  )
  echo $?
}

failed=0
# same LABEL WHAT WANT FILE: FILE holds exactly the text WANT.
same() {
  if ! cmp -s <(printf '%s' "$3") "$4"; then
    echo "FAIL $1: $2 '$(head -c 200 "$4")', expected '$3'"
    failed=1
  fi
}

for prog in joxrun joxflow; do
  for program in reads fails; do
    for closed in "" 0 1 2 01 02 12 012; do
      label="$prog $program, closed: ${closed:-none}"
      want_status=0 want_out='[]'$'\n' want_err=""
      if [ "$program" = fails ]; then
        want_status=1 want_out='antes '$'\n' want_err=$fail_report
      elif [ "$prog" = joxrun ] && [[ $closed == *1* ]]; then
        # The run that would succeed fails at its first write.
        want_status=1 want_err=$bad_descriptor
      fi
      [ "$prog" = joxflow ] && want_out=""
      status=$(run "$prog" "$program" "$closed")
      [ "$status" = "$want_status" ] || { echo "FAIL $label: status $status, expected $want_status"; failed=1; }
      [[ $closed == *1* ]] || same "$label" stdout "$want_out" "$tmp/out"
      [[ $closed == *2* ]] || same "$label" stderr "$want_err" "$tmp/err"
      [ "$prog" = joxflow ] || continue
      # What daVinci receives with every descriptor open is the reference.
      [ -z "$closed" ] && cp "$tmp/log" "$tmp/reference.log"
      if [ ! -s "$tmp/log" ] || ! cmp -s "$tmp/reference.log" "$tmp/log"; then
        echo "FAIL $label: daVinci received other commands:"
        diff "$tmp/reference.log" "$tmp/log" | head -5
        failed=1
      fi
    done
  done
done

[ $failed = 0 ] && echo "ok: both programs with every set of standard descriptors closed"
exit $failed
