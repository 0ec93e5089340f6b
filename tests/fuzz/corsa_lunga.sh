#!/usr/bin/env bash
# The long fuzz run: both targets side by side, one core each, in stretches of
# 20 minutes, until stopped (Ctrl-C) or until a target finds something. Each
# target grows its own copy of its corpus in DIR, so a later run resumes where
# this one stopped. After every stretch one line goes to DIR/conteggio (time,
# target, libFuzzer's status, executions of the stretch): the tally survives a
# machine that stops midway, and
#   awk -F'execs=' '{s += $2} END {print s}' DIR/conteggio
# gives the executions in all. A finding keeps its input in DIR/reperti and
# its log beside it, and stops that target.
# To pause it, stop it (Ctrl-C) and start it again later: a process held
# with SIGSTOP, or starved of the processor by other work, counts the wait
# against the per-input time-out.
#
# usage, after cmake --preset fuzz && cmake --build --preset fuzz:
#   tests/fuzz/corsa_lunga.sh DIR
set -u
cd "$(dirname "$0")/../.."
dir=${1:?usage: tests/fuzz/corsa_lunga.sh DIR}
mkdir -p "$dir/reperti"
dir=$(cd "$dir" && pwd)
[ -d "$dir/corpus_fuzz_compila" ] || cp -r tests/fuzz/corpus "$dir/corpus_fuzz_compila"
[ -d "$dir/corpus_fuzz_letture" ] || cp -r tests/fuzz/corpus_letture "$dir/corpus_fuzz_letture"

# libFuzzer ends an interrupted run with this status, after its final stats.
interrotto=72

tratti() {
  local bersaglio=$1 stato eseguiti
  shift
  while true; do
    "build/fuzz/$bersaglio" -timeout=10 -rss_limit_mb=3072 -max_total_time=1200 \
      -entropic_scale_per_exec_time=1 -print_final_stats=1 -interrupted_exitcode=$interrotto \
      -artifact_prefix="$dir/reperti/" "$@" "$dir/corpus_$bersaglio" >"$dir/log_$bersaglio" 2>&1
    stato=$?
    eseguiti=$(awk '/^stat::number_of_executed_units/ {print $2}' "$dir/log_$bersaglio")
    # Killed without its final stats: the last progress line tells.
    [ -n "$eseguiti" ] || eseguiti=$(grep -o '^#[0-9]*' "$dir/log_$bersaglio" | tail -n 1 | tr -d '#')
    echo "$(date -u +%FT%TZ) $bersaglio status=$stato execs=${eseguiti:-0}" >>"$dir/conteggio"
    [ "$stato" -eq 0 ] && continue
    [ "$stato" -eq $interrotto ] && return 0
    cp "$dir/log_$bersaglio" "$dir/reperti/log_${bersaglio}_$(date +%s)"
    echo "$bersaglio: a finding, see $dir/reperti" >&2
    return 1
  done
}

tratti fuzz_compila -dict=tests/fuzz/sorgenti.dict &
tratti fuzz_letture &
# Ctrl-C reaches the fuzzers too (one process group); they write their stats.
trap 'wait' INT TERM
wait
awk -F'execs=' '{s += $2} END {print "executions in all: " s}' "$dir/conteggio"
