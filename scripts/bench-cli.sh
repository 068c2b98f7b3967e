#!/usr/bin/env bash
# Wall time and peak memory of veerline-cli runs: the WB-30T triple trailer of
# the default library along a 1 km and a 6.5 km winding path, speed 0, with
# outlines every 10 m, sweep lines, envelope, the result drawing and the JSON
# report written. Uses hyperfine when installed, else a timed loop; peak memory
# from /usr/bin/time when installed. Needs a Release build in build-bench/ (or
# BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build-bench}"
cli="$build_dir/bin/veerline-cli"
work="$build_dir/bench-cli"
mkdir -p "$work"
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEERLINE_BUILD_GUI=OFF \
    -DVEERLINE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build_dir" --target veerline-cli default_library

# The drawings: alternating 45-degree bends of radius 40 m joined by 10 m
# straights, 1000 m and 6500 m in all (the paths of the whole-run benchmarks).
# The Debian python3 carries ezdxf (python3-ezdxf).
for metres in 1000 6500; do
/usr/bin/python3 "$root/scripts/winding-drawing.py" "$work/winding-$metres.dxf" "$metres"
done

# One run of the case on the path of the given length.
case_command() {
  printf '%q ' "$cli" run "$work/winding-$1.dxf" --vehicle "WB-30T Triple trailer" --speed 0 \
    --sweep --spacing 10 --out "$work/winding-$1-result.dxf" --report "$work/winding-$1-report.json"
}

for metres in 1000 6500; do
  cmd="$(case_command "$metres")"
  eval "$cmd" >/dev/null 2>&1  # once, so that a failing run stops here
  echo "== $metres m"
  if command -v hyperfine >/dev/null; then
    hyperfine --warmup 2 --runs "${RUNS:-10}" --shell=none "$cmd"
  else
    runs="${RUNS:-10}"
    start=$(date +%s%N)
    for _ in $(seq "$runs"); do eval "$cmd" >/dev/null 2>&1; done
    end=$(date +%s%N)
    echo "mean wall time: $(( (end - start) / runs / 1000000 )) ms over $runs runs"
  fi
  if [ -x /usr/bin/time ]; then
    eval "/usr/bin/time -f 'peak memory: %M KB' $cmd" 2>&1 >/dev/null | tail -n 1
  fi
done
