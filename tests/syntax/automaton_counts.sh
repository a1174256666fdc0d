#!/usr/bin/env bash
# Builds the parser automaton from the grammar with Bison's state report and
# checks its shape: the number of states, shift entries (the end marker's
# included), gotos and states whose default action is a reduction, and that
# Bison found no conflict.
#
#   automaton_counts.sh BISON GRAMMAR.yy
set -u
bison=$1
grammar=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

if ! "$bison" --report=state -o "$tmp/parser.cc" "$grammar" 2> "$tmp/messages"; then
  cat "$tmp/messages"; exit 1
fi
report=$tmp/parser.output

states=$(grep -c '^State [0-9]' "$report")
shifts=$(grep -c 'shift, and go to state' "$report")
gotos=$(grep -Ec '^ +[A-Za-z_][A-Za-z_0-9]* +go to state' "$report")
defaults=$(grep -Ec '^ *[$]default +reduce using rule' "$report")
conflicts=$( (grep -i 'conflict' "$report"; cat "$tmp/messages") | wc -l)

ok=1
check() {  # label actual expected
  if [ "$2" != "$3" ]; then echo "$1: $2, expected $3"; ok=0; fi
}
check states "$states" 249
check "shift entries" "$shifts" 1922
check gotos "$gotos" 214
check "default reductions" "$defaults" 93
check "conflict reports and warnings" "$conflicts" 0
[ $ok = 1 ] && echo "automaton: $states states, $shifts shifts, $gotos gotos, $defaults default reductions"
[ $ok = 1 ]
