#!/usr/bin/env bash
# Wall time of one veerline-cli run: the WB-30T triple trailer of the default
# library along a 1 km winding path, with outlines, sweep lines, envelope and
# the result drawing written. Uses hyperfine when installed, else a timed loop.
# Needs a Release build in build-bench/ (or BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build-bench}"
cli="$build_dir/bin/veerline-cli"
work="$build_dir/bench-cli"
mkdir -p "$work"
if [ ! -d "$build_dir" ]; then
  cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEERLINE_BUILD_GUI=OFF \
    -DVEERLINE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build_dir" --target veerline-cli default_library

# The drawing: alternating 45-degree bends of radius 40 m joined by 10 m
# straights, 1000 m in all (the same path as the whole-run benchmarks).
# The Debian python3 carries ezdxf (python3-ezdxf).
/usr/bin/python3 - "$work/winding-1km.dxf" <<'PY'
import math, sys
import ezdxf
doc = ezdxf.new("R2000", setup=False)
doc.units = ezdxf.units.M
doc.layers.add("Path", color=1)
radius, turn = 40.0, math.pi / 4
arc = radius * turn
x = y = heading = length = 0.0
points, bend = [], 0
while True:
    points.append((x, y, 0.0))
    straight = min(10.0, 1000.0 - length)
    x += straight * math.cos(heading); y += straight * math.sin(heading)
    length += straight
    if length + arc > 1000.0:
        break
    sign = -1.0 if bend % 2 else 1.0
    chord = 2 * radius * math.sin(turn / 2)
    points.append((x, y, sign * math.tan(turn / 4)))
    x += chord * math.cos(heading + sign * turn / 2); y += chord * math.sin(heading + sign * turn / 2)
    heading += sign * turn
    length += arc
    bend += 1
points.append((x, y, 0.0))
doc.modelspace().add_lwpolyline(points, format="xyb", dxfattribs={"layer": "Path"})
doc.saveas(sys.argv[1])
PY

cmd=("$cli" run "$work/winding-1km.dxf" --vehicle "WB-30T Triple trailer" --sweep --spacing 20
     --out "$work/winding-1km-result.dxf")
"${cmd[@]}" >/dev/null  # once, so that a failing run stops here
if command -v hyperfine >/dev/null; then
  hyperfine --warmup 3 --runs "${RUNS:-20}" --shell=none "$(printf '%q ' "${cmd[@]}")"
else
  runs="${RUNS:-20}"
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "${cmd[@]}" >/dev/null; done
  end=$(date +%s%N)
  echo "mean wall time: $(( (end - start) / runs / 1000000 )) ms over $runs runs"
fi
