# Sourced by robustness scripts: a scratch folder `tmp`, removed at the
# exit; `rep`; `fast`, a folder holding a daVinci for joxflow that
# acknowledges every command at once and reads nothing of it (put it first
# on the PATH); and `side_by_side`.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A repetition of text: rep COUNT TEXT
rep() { awk -v n="$1" -v s="$2" 'BEGIN { for (i = 0; i < n; i++) printf "%s", s }'; }

fast=$tmp/fast
mkdir -p "$fast"
printf '#!/bin/sh\nexec 3<&0\ncat <&3 > /dev/null &\nexec yes ok 3<&-\n' > "$fast/daVinci"
chmod +x "$fast/daVinci"

# side_by_side FUNCTION MESSAGE: FUNCTION PROG WHERE for both programs, with
# the work on either thread, the four side by side (each one process on one
# core); each reports its failed cases on stdout.  Then those reports, and
# exit status 1 if there are any; otherwise MESSAGE.
side_by_side() {
  local prog where
  for prog in joxrun joxflow; do
    for where in thread main; do
      "$1" "$prog" "$where" > "$tmp/$prog.$where.report" &
    done
  done
  wait
  cat "$tmp"/*.report > "$tmp/failures"
  cat "$tmp/failures"
  [ -s "$tmp/failures" ] && exit 1
  echo "$2"
}
