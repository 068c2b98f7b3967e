#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for the
# given number of seconds (default 600), two at a time. Corpora grow in
# build-fuzz/corpus/<target>, seeded from fuzz/seeds/ and examples/; findings
# land in build-fuzz/findings/<target>/. Replay one with
#   build-fuzz/fuzz/fuzz_<target> <file>
# and keep it in tests/hardening/crashes/<target>/ once it is fixed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-600}"
build_dir="${BUILD_DIR:-$root/build-fuzz}"
jobs="${FUZZ_PARALLEL:-2}"
targets=(${FUZZ_TARGETS:-DxfReader VehicleFile NumberRule WholeRun})

# clang and its fuzzer runtime come from Debian's packages.
if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed"; then
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEERLINE_FUZZ=ON -DVEERLINE_BUILD_GUI=OFF \
  -DVEERLINE_BUILD_TESTS=OFF -DVEERLINE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" --target veerline-cli $(printf 'fuzz_%s ' "${targets[@]}")

# Seeds: the committed ones, the example drawings and a library built from
# the example vehicles.
for t in "${targets[@]}"; do
  mkdir -p "$build_dir/corpus/$t" "$build_dir/findings/$t"
  if [ -d "$root/fuzz/seeds/$t" ]; then cp -n "$root/fuzz/seeds/$t"/* "$build_dir/corpus/$t/" 2>/dev/null || true; fi
done
if [[ " ${targets[*]} " == *" DxfReader "* ]]; then
  cp -n "$root"/examples/drawings/*.dxf "$build_dir/corpus/DxfReader/" || true
fi
if [[ " ${targets[*]} " == *" VehicleFile "* ]]; then
  library="$build_dir/corpus/VehicleFile/DefaultVehicles.vdt"
  if [ ! -f "$library" ]; then
    "$build_dir/bin/veerline-cli" library import "$library" "$root/examples/DefaultVehicles.json" --quiet ||
      rm -f "$library"
  fi
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
run_one() {
  local t="$1"
  echo "fuzz: $t for ${seconds}s"
  "$build_dir/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$build_dir/findings/$t/" \
    "$build_dir/corpus/$t" >"$build_dir/findings/$t.log" 2>&1 || echo "fuzz: $t stopped with a finding, see $build_dir/findings/$t.log"
  grep -E "stat::number_of_executed_units|cov:" "$build_dir/findings/$t.log" | tail -n 2 || true
}
status=0
running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n || status=1; running=$((running - 1)); fi
done
wait || status=1
found=$(find "$build_dir/findings" -mindepth 2 -type f | wc -l)
echo "fuzz: $found finding(s) in $build_dir/findings"
[ "$found" -eq 0 ] && [ "$status" -eq 0 ]
