#!/bin/sh
# Runs every fuzz target of the build folder for a bounded time from its seeds, then prints
# executions and coverage per target. Usage: run-fuzzers.sh BUILD_DIR SECONDS
set -u
build="$1"
seconds="$2"
here="$(cd "$(dirname "$0")" && pwd)"
summary="$build/fuzz-summary.txt"
targets="fuzz_ini fuzz_connection_string fuzz_jet_dialect fuzz_conversions fuzz_phone_mask fuzz_nivel"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen

failed=""
printf '%-24s %12s %8s %8s %s\n' target executions cov ft result > "$summary"
for t in $targets; do
  work="$build/corpus/$t"
  artifacts="$build/artifacts/$t"
  mkdir -p "$work" "$artifacts"
  log="$build/$t.log"
  # New inputs go to the work folder; the checked-in seeds are only read.
  "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$work" "$here/corpus/$t" > "$log" 2>&1
  rc=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  last="$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)"
  cov="$(echo "$last" | sed -n 's/.*cov: \([0-9]*\).*/\1/p')"
  ft="$(echo "$last" | sed -n 's/.*ft: \([0-9]*\).*/\1/p')"
  result=ok
  if [ $rc -ne 0 ]; then
    result="FALHOU (veja $log e $artifacts)"
    failed="$failed $t"
  fi
  printf '%-24s %12s %8s %8s %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$result" | tee -a "$summary"
done
if [ -n "$failed" ]; then
  echo "Fuzzing encontrou falhas em:$failed" >&2
  exit 1
fi
echo "Resumo em $summary"
