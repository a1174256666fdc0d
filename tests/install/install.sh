#!/usr/bin/env bash
# Installing, end to end: a staged install (DESTDIR) holds exactly the two
# programs under PREFIX/bin and the two icons where the flowchart names
# them; the installed programs run; the icons read back as 32x32 X bitmaps
# through an independent reader (netpbm's xbmtopbm), each a drawing of its
# own.
#
#   install.sh BUILD_DIR          stages two installs itself (the default
#                                 prefix, and another one)
#   install.sh BUILD_DIR STAGE    checks STAGE, made by
#                                 make install DESTDIR=STAGE
set -u
build=$(cd "$1" && pwd)
given_stage=${2:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
bad() { echo "FAIL $*"; failed=1; }

# Reads a line, so that the flowchart has a leia and an imprima node.
cat > "$tmp/eco.jox" <<'EOF'
prog eco
string s;
leia s;
imprima "eco: ", s, "\n";
fimprog
EOF

# An X bitmap read back: its size as the file declares it and as the reader
# finds it, and its pixels as text.
bitmap() {  # FILE NAME
  local file=$1 name=$2 declared read
  declared="$(sed -n "s/^#define ${name}_width \([0-9]*\)$/\1/p" "$file") $(sed -n "s/^#define ${name}_height \([0-9]*\)$/\1/p" "$file")"
  xbmtopbm "$file" > "$tmp/$name.pbm" 2> "$tmp/$name.why" || { bad "$file: not read: $(cat "$tmp/$name.why")"; return; }
  pnmtoplainpnm "$tmp/$name.pbm" > "$tmp/$name.plain" 2> /dev/null
  read="$(sed -n 2p "$tmp/$name.plain")"
  [ "$declared" = "32 32" ] || bad "$file: declares the size '$declared', not 32 32"
  [ "$read" = "$declared" ] || bad "$file: reads as $read, declares $declared"
  local set
  set=$(tail -n +3 "$tmp/$name.plain" | tr -cd 1 | wc -c)
  { [ "$set" -gt 100 ] && [ "$set" -lt 924 ]; } || bad "$file: $set of 1024 pixels set: not a drawing"
}

# check STAGE PREFIX: what an install into STAGE with PREFIX must hold.
check() {
  local stage=$1 prefix=$2 bin=$1$2/bin
  local want got
  want=$(printf '%s\n' "$prefix/bin/joxflow" "$prefix/bin/joxrun" \
                       /usr/local/jox/image/print.xbm /usr/local/jox/image/read.xbm | sort)
  got=$(cd "$stage" && find . -type f -o -type l | sed 's/^\.//' | sort)
  [ "$got" = "$want" ] || bad "install with prefix $prefix holds:"$'\n'"$got"$'\n'"instead of:"$'\n'"$want"

  # The installed programs run, from anywhere.
  local out
  out=$(cd "$tmp" && echo mundo | "$bin/joxrun" eco.jox 2>&1)
  [ "$out" = "eco: mundo" ] || bad "installed joxrun: '$out'"
  (cd "$tmp" && echo mundo | PATH="$build/tools:$PATH" DAVINCI_STANDIN_LOG=$tmp/log \
     "$bin/joxflow" eco.jox 0 > "$tmp/flow.out" 2>&1) || bad "installed joxflow: $(cat "$tmp/flow.out")"

  # The icons the flowchart names are where the install put them.
  local icons icon
  icons=$(grep -o '"ICONFILE","[^"]*"' "$tmp/log" | sed 's/.*,"\(.*\)"/\1/' | sort -u)
  [ "$(echo "$icons" | wc -l)" = 2 ] || bad "the flowchart names the icons '$icons'"
  for icon in $icons; do
    [ -f "$stage$icon" ] || bad "the flowchart's icon $icon is not installed"
  done
  rm -f "$tmp/log"

  bitmap "$stage/usr/local/jox/image/read.xbm" read
  bitmap "$stage/usr/local/jox/image/print.xbm" print
  cmp -s "$tmp/read.pbm" "$tmp/print.pbm" && bad "the two icons are the same picture"
}

if [ -n "$given_stage" ]; then
  check "$given_stage" /usr/local
else
  for prefix in /usr/local /opt/jox; do
    stage=$tmp/stage${prefix//\//-}
    DESTDIR=$stage cmake --install "$build" --prefix "$prefix" > "$tmp/install.log" 2>&1 ||
      { bad "install with prefix $prefix:"; cat "$tmp/install.log"; continue; }
    check "$stage" "$prefix"
  done
fi

[ $failed = 0 ] && echo "ok: installed programs and icons"
exit $failed
