#!/usr/bin/env bash
# Writes the result drawings, JSON reports, summaries and exit codes of a fixed
# set of veerline-cli runs into OUT_DIR, with the clock frozen and a fixed seed,
# so that two builds can be compared with `diff -r`:
#   every vehicle of the default library on every example drawing (sweep lines,
#   outlines every 6 m), a reverse run, exact tracking, a two-leg manoeuvre,
#   three records of each standard library, clearance runs against the kerbs,
#   and the 1 km and 6.5 km winding paths of the benchmarks.
# usage: golden-outputs.sh BIN_DIR OUT_DIR   (BIN_DIR holds veerline-cli and the .vdt files)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bin="$(cd "${1:?usage: golden-outputs.sh BIN_DIR OUT_DIR}" && pwd)"
out="${2:?usage: golden-outputs.sh BIN_DIR OUT_DIR}"
mkdir -p "$out/inputs"
out="$(cd "$out" && pwd)"
cli="$bin/veerline-cli"
drawings="$root/examples/drawings"
frozen=(faketime -f "2026-01-01 00:00:00")

# run NAME ARGS...: one run writing NAME.dxf, NAME.json and NAME.txt (stdout,
# stderr and exit status).
run() {
  local name="$1"
  shift
  local status=0
  "${frozen[@]}" "$cli" run "$@" --seed 7 --out "$out/$name.dxf" --report "$out/$name.json" \
    >"$out/$name.txt" 2>"$out/$name.err" || status=$?
  echo "exit $status" >>"$out/$name.txt"
}

# Every vehicle of the default library on every example drawing.
records=$("$cli" library list "$bin/DefaultVehicles.vdt" | cut -f1)
for drawing in "$drawings"/*.dxf; do
  base="$(basename "$drawing" .dxf)"
  for record in $records; do
    run "$base-r$record" "$drawing" --path 33 --record "$record" --sweep --spacing 6
  done
done

# Reverse, exact tracking, no envelope, another speed unit.
run reverse-uturn "$drawings/uturn.dxf" --path 33 --record 2 --reverse --sweep --spacing 6
run exact-junction90 "$drawings/junction90.dxf" --path 33 --record 11 --exact --sweep --spacing 6
run noenvelope-scurve "$drawings/s-curve.dxf" --path 33 --record 6 --no-envelope --speed 30 \
  --speed-unit mph --spacing 4

# Three records of each standard library.
for library in "$bin"/*.vdt; do
  [ "$(basename "$library")" = DefaultVehicles.vdt ] && continue
  listed=$("$cli" library list "$library" | cut -f1)
  first=$(echo "$listed" | head -n 1)
  last=$(echo "$listed" | tail -n 1)
  middle=$(echo "$listed" | sed -n "$(( ($(echo "$listed" | wc -l) + 1) / 2 ))p")
  for record in $first $middle $last; do
    run "$(basename "$library" .vdt)-r$record" "$drawings/junction90.dxf" --path 33 \
      --library "$library" --record "$record" --sweep --spacing 6
  done
done

# Clearance to the kerbs, with a margin.
for drawing in "$drawings"/*.dxf; do
  base="$(basename "$drawing" .dxf)"
  run "clearance-$base" "$drawing" --path 33 --record 2 --obstacle-layer Kerb --clearance 0.5 \
    --sweep --spacing 6
done

# A manoeuvre: forward along a straight and a bend, then reverse from where the
# semitrailer stands (the second leg is drawn from the first leg's report).
"${frozen[@]}" /usr/bin/python3 - "$out/inputs/manoeuvre-leg1.dxf" <<'PY'
import math, random, sys, uuid
_guids = random.Random(7)
uuid.uuid4 = lambda: uuid.UUID(int=_guids.getrandbits(128), version=4)
import ezdxf
doc = ezdxf.new("R2000", setup=False)
doc.units = ezdxf.units.M
turn, r = math.pi / 4, 30.0
bx, by = 30.0, 0.0
ex, ey = bx + r * math.sin(turn), by - r * (math.cos(turn) - 1)
points = [(0, 0, 0), (bx, by, math.tan(turn / 4)), (ex, ey, 0),
          (ex + 60 * math.cos(turn), ey + 60 * math.sin(turn), 0)]
doc.modelspace().add_lwpolyline(points, format="xyb", dxfattribs={"layer": "Path"})
doc.saveas(sys.argv[1])
PY
"${frozen[@]}" "$cli" run "$out/inputs/manoeuvre-leg1.dxf" --record 2 --speed 0 --exact \
  --report "$out/inputs/manoeuvre-leg1.json" --seed 7 >/dev/null
"${frozen[@]}" /usr/bin/python3 - "$out/inputs/manoeuvre-leg1.dxf" "$out/inputs/manoeuvre-leg1.json" \
  "$out/inputs/manoeuvre.dxf" <<'PY'
import json, math, random, sys, uuid
_guids = random.Random(8)
uuid.uuid4 = lambda: uuid.UUID(int=_guids.getrandbits(128), version=4)
import ezdxf
doc = ezdxf.readfile(sys.argv[1])
report = json.load(open(sys.argv[2]))
x, y, heading = report["axles"][-1][-1]
h = math.radians(heading) + math.pi
doc.modelspace().add_lwpolyline([(x, y), (x + 30 * math.cos(h), y + 30 * math.sin(h))],
                                dxfattribs={"layer": "Path"})
doc.saveas(sys.argv[3])
PY
legs=$(/usr/bin/python3 -c "import ezdxf,sys; print(' '.join(e.dxf.handle for e in ezdxf.readfile(sys.argv[1]).modelspace()))" \
  "$out/inputs/manoeuvre.dxf")
set -- $legs
run manoeuvre "$out/inputs/manoeuvre.dxf" --leg "forward:$1" --leg "reverse:$2" --record 2 \
  --speed 0 --exact --sweep --spacing 6

# The benchmarks' winding paths with the triple trailer.
for metres in 1000 6500; do
  "${frozen[@]}" "$root/scripts/winding-drawing.py" "$out/inputs/winding-$metres.dxf" "$metres"
  run "winding-$metres" "$out/inputs/winding-$metres.dxf" --vehicle "WB-30T Triple trailer" \
    --speed 0 --sweep --spacing 10
done
echo "golden outputs written to $out"
