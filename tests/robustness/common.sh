# Sourced by robustness scripts: a scratch folder `tmp`, removed at the
# exit; `rep`; and `fast`, a folder holding a daVinci for joxflow that
# acknowledges every command at once and reads nothing of it (put it first
# on the PATH).
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A repetition of text: rep COUNT TEXT
rep() { awk -v n="$1" -v s="$2" 'BEGIN { for (i = 0; i < n; i++) printf "%s", s }'; }

fast=$tmp/fast
mkdir -p "$fast"
printf '#!/bin/sh\nexec 3<&0\ncat <&3 > /dev/null &\nexec yes ok 3<&-\n' > "$fast/daVinci"
chmod +x "$fast/daVinci"
