#!/usr/bin/env bash
# Times whole veerline-cli processes from outside: the WB-30T triple trailer of
# the default library at speed 0 along the 1 km and 6.5 km winding paths, with
# outlines every 10 m, sweep lines and envelope; once with the result drawing
# and the JSON report written, once without files. Medians from hyperfine, peak
# memory from /usr/bin/time -v.
# usage: bench-cli-run.sh [BIN_DIR] [WORK_DIR]   (RUNS=20 by default)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$(cd "${1:-$root/build/bin}" && pwd)"
work="${2:-/tmp/veerline-bench-cli}"
runs="${RUNS:-20}"
mkdir -p "$work"
command -v hyperfine >/dev/null || { echo "needs hyperfine (apt-get install hyperfine)" >&2; exit 1; }

for metres in 1000 6500; do
  drawing="$work/winding-$metres.dxf"
  [ -f "$drawing" ] || "$root/scripts/winding-drawing.py" "$drawing" "$metres"
  base=("$bin/veerline-cli" run "$drawing" --vehicle "WB-30T Triple trailer" --speed 0 --sweep
        --spacing 10 --seed 7)
  files=(--out "$work/winding-$metres-result.dxf" --report "$work/winding-$metres-report.json")
  for variant in files none; do
    if [ "$variant" = files ]; then args=("${base[@]}" "${files[@]}"); else args=("${base[@]}"); fi
    "${args[@]}" >/dev/null 2>&1  # once, so that a failing run stops here
    printf -v cmd '%q ' "${args[@]}"
    median=$(hyperfine --warmup 2 --runs "$runs" --shell=none --export-json "$work/h.json" "$cmd" \
               >/dev/null 2>&1 && /usr/bin/python3 -c \
               "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; \
print('%.1f ms median (%.1f-%.1f)' % (r['median']*1e3, r['min']*1e3, r['max']*1e3))" "$work/h.json")
    peak=$(/usr/bin/time -v "${args[@]}" 2>&1 >/dev/null | awk '/Maximum resident/ {printf "%.0f MB", $6 / 1024}')
    echo "$metres m, $( [ "$variant" = files ] && echo "DXF and report" || echo "no files"): $median, peak $peak"
  done
done
