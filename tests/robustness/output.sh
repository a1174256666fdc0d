#!/usr/bin/env bash
# Output that goes nowhere, end to end against the real binaries: a reader
# that goes away ends joxrun quietly (by SIGPIPE, nothing on standard error),
# unless the run already failed with its own report; and a failure report
# that cannot be written keeps the failure's exit status.  (A run that fails
# after a write found the reader gone has ended by then, quietly.)
#
#   output.sh BUILD_DIR SANITIZED(0|1)
set -u
build=$1
joxrun=$build/apps/joxrun
joxflow=$build/apps/joxflow
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0

cat > "$tmp/endless.jox" <<'EOF'
prog semfim
int i;
i <- 0;
enquanto (verdadeiro) {
  imprima "linha ", i, "\n";
  i++;
}
fimprog
EOF
# A line still in the output buffer when the run fails.
cat > "$tmp/fails.jox" <<'EOF'
prog falha
int zero;
zero <- 0;
imprima "antes\n";
imprima 1 div zero;
fimprog
EOF
fail_report=$(printf '\nFail: Divis\xe3o por zero.')

# check NAME WANT_STATUS WANT_STDERR GOT_STATUS STDERR_FILE
check() {
  local got_err
  got_err=$(cat "$5")
  if [ "$4" != "$2" ] || [ "$got_err" != "$3" ]; then
    echo "FAIL $1: status $4 (expected $2), stderr '$got_err' (expected '$3')"
    failed=1
  fi
}

# The reader reads one byte and goes away, or reads nothing at all.
for reader in "head -c 1" "true"; do
  timeout 60 "$joxrun" "$tmp/endless.jox" 2> "$tmp/err" | $reader > /dev/null
  check "endless | $reader" 141 "" "${PIPESTATUS[0]}" "$tmp/err"
  timeout 60 "$joxrun" "$tmp/fails.jox" 2> "$tmp/err" | $reader > /dev/null
  check "own failure | $reader" 1 "$fail_report" "${PIPESTATUS[0]}" "$tmp/err"
done

# A failure report that cannot be written: the status stays 1.
timeout 60 "$joxrun" "$tmp/fails.jox" > /dev/null 2> /dev/full
check "joxrun report to a full stderr" 1 "" "$?" /dev/null
timeout 60 "$joxflow" "$tmp/missing.jox" 0 > /dev/null 2> /dev/full
check "joxflow report to a full stderr" 1 "" "$?" /dev/null
timeout 60 "$joxrun" "$tmp/fails.jox" > /dev/null 2>&-
check "joxrun report to a closed stderr" 1 "" "$?" /dev/null

[ $failed = 0 ] && echo "all output cases pass"
exit $failed
