#!/usr/bin/python3
"""Writes the benchmarks' winding path as a DXF drawing: alternating 45-degree
bends of radius 40 m joined by 10 m straights, cut to the given length.

usage: winding-drawing.py OUT.dxf METRES    (needs python3-ezdxf)
"""
import math
import random
import sys
import uuid

# The same GUIDs every time, so that the drawing (with a frozen clock) is the
# same byte for byte and results written from it can be compared.
_guids = random.Random(7)
uuid.uuid4 = lambda: uuid.UUID(int=_guids.getrandbits(128), version=4)

import ezdxf  # noqa: E402  (after the GUIDs are fixed)

doc = ezdxf.new("R2000", setup=False)
doc.units = ezdxf.units.M
doc.layers.add("Path", color=1)
radius, turn = 40.0, math.pi / 4
arc = radius * turn
total = float(sys.argv[2])
x = y = heading = length = 0.0
points, bend = [], 0
while True:
    points.append((x, y, 0.0))
    straight = min(10.0, total - length)
    x += straight * math.cos(heading)
    y += straight * math.sin(heading)
    length += straight
    if length + arc > total:
        break
    sign = -1.0 if bend % 2 else 1.0
    chord = 2 * radius * math.sin(turn / 2)
    points.append((x, y, sign * math.tan(turn / 4)))
    x += chord * math.cos(heading + sign * turn / 2)
    y += chord * math.sin(heading + sign * turn / 2)
    heading += sign * turn
    length += arc
    bend += 1
points.append((x, y, 0.0))
doc.modelspace().add_lwpolyline(points, format="xyb", dxfattribs={"layer": "Path"})
doc.saveas(sys.argv[1])
