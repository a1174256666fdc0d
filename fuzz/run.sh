#!/usr/bin/env bash
# Builds the fuzz targets with clang++ and runs each for a bounded time, all
# of them at once, one process each.  Any crash, leak, sanitizer report,
# timeout or memory blow-up is a finding: the input that caused it is left in
# BUILD/findings/ and the run fails.
#
#   fuzz/run.sh [BUILD_DIR]        (default: build-fuzz)
# Environment:
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_TARGETS   the targets to run (default: every one that is built)
#   JOBS           parallel compile jobs (default 4)
set -u
cd "$(dirname "$0")/.."
src=$PWD
build=${1:-build-fuzz}
seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-4}

mkdir -p "$build"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJOX_FUZZ=ON \
      -DCMAKE_CXX_COMPILER=clang++ > "$build/configure.log" 2>&1 \
  || { cat "$build/configure.log"; exit 1; }
all="fuzz_parse fuzz_answer fuzz_command"
[ -f "$src/fuzz/fuzz_eval.cpp" ] && all="$all fuzz_eval"
targets=${FUZZ_TARGETS:-$all}
cmake --build "$build" -j"$jobs" --target $targets || exit 1

# Seeds: every fixture program for the targets that read source text (and a
# few programs with console input after a NUL byte for the evaluator), the
# hand-written answer lines for the answer reader, command lines as the
# flowchart run sends them for the command target.  The corpus a target grows
# lives in the build folder; the seed folders are only read.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/programs" "$build/findings"
for f in "$src"/tests/*/fixtures/*.jox; do
  sub=$(basename "$(dirname "$(dirname "$f")")")
  cp "$f" "$seeds/programs/$sub-$(basename "$f")"
done

pids=()
for t in $targets; do
  corpus=$build/corpus/$t
  mkdir -p "$corpus"
  dict=()
  case $t in
    fuzz_parse) extra=("$seeds/programs"); dict=(-dict="$src/fuzz/jox.dict") ;;
    fuzz_eval) extra=("$seeds/programs" "$src/fuzz/seeds/input"); dict=(-dict="$src/fuzz/jox.dict") ;;
    fuzz_answer) extra=("$src/fuzz/seeds/answer") ;;
    fuzz_command) extra=("$src/fuzz/seeds/command") ;;
    *) extra=() ;;
  esac
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/findings/$t-" \
      "${dict[@]}" "$corpus" "${extra[@]}" > "$build/$t.log" 2>&1 &
  pids+=("$!:$t")
done

failed=0
for entry in "${pids[@]}"; do
  pid=${entry%%:*}
  t=${entry#*:}
  if wait "$pid"; then
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/$t.log" | grep -o '[0-9]*$')
    echo "$t: no finding in ${seconds}s, ${runs:-?} executions"
  else
    echo "$t: FINDING (log: $build/$t.log)"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)' "$build/$t.log" | head -5
    failed=1
  fi
done
exit $failed
