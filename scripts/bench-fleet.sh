#!/bin/sh
# Fleet check against single runs: every vehicle of every shipped standard
# library over examples/drawings/junction90.dxf, once as one "veerline-cli run"
# after another and once as "veerline-cli fleet" on all cores. Both write the
# same report and picture per vehicle. Prints the two times and their ratio.
# Usage: scripts/bench-fleet.sh [BUILD_DIR]   (default build-rel, a Release build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-rel}
if [ ! -x "$build/bin/veerline-cli" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEERLINE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target veerline-cli standard_libraries >/dev/null
cli=$build/bin/veerline-cli
drawing=$root/examples/drawings/junction90.dxf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }

single=0
fleet=0
vehicles=0
for lib in "$build"/bin/*.vdt; do
  [ "$(basename "$lib")" = DefaultVehicles.vdt ] && continue
  records=$("$cli" library list "$lib" | cut -f1)
  start=$(now)
  for r in $records; do
    "$cli" run "$drawing" --library "$lib" --record "$r" --seed 1 \
      --report "$work/single.json" --picture "$work/single.png" >/dev/null 2>&1 || true
    vehicles=$((vehicles + 1))
  done
  single=$(awk "BEGIN{print $single + $(now) - $start}")
  start=$(now)
  "$cli" fleet "$drawing" --library "$lib" --seed 1 --out-dir "$work/$(basename "$lib" .vdt)" >/dev/null
  fleet=$(awk "BEGIN{print $fleet + $(now) - $start}")
done
echo "vehicles: $vehicles, cores: $(nproc)"
echo "single runs one after another: ${single} s"
echo "fleet check: ${fleet} s"
echo "ratio: $(awk "BEGIN{printf \"%.3f\", $fleet / $single}")"
