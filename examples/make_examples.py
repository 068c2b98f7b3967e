#!/usr/bin/python3
"""Writes the sample drawings in examples/drawings/ (metres, DXF R2000).

Each drawing holds one path polyline on layer "Path" and some context (kerbs,
road markings) on other layers. Run again after changing a drawing here.
"""
import math
import os
import sys

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "drawings")


def bulge_for(angle_deg):
    """Bulge of an arc with the given included angle (positive: counter-clockwise)."""
    return math.tan(math.radians(angle_deg) / 4.0)


def new_drawing():
    doc = ezdxf.new("R2000", setup=False)
    doc.units = ezdxf.units.M
    doc.layers.add("Path", color=1)
    doc.layers.add("Kerb", color=8)
    doc.layers.add("RoadMarking", color=7, linetype="Continuous")
    doc.layers.add("Notes", color=3)
    return doc, doc.modelspace()


def path(msp, points, closed=False):
    """points: (x, y, bulge) triples."""
    return msp.add_lwpolyline(points, format="xyb", close=closed, dxfattribs={"layer": "Path"})


def note(msp, text, x, y, height=2.0):
    msp.add_text(text, height=height, dxfattribs={"layer": "Notes", "insert": (x, y)})


def junction90():
    """A left turn from the eastbound lane into the northbound lane, radius 15 m."""
    doc, msp = new_drawing()
    r = 15.0
    x0 = 1.75 - r
    path(msp, [(-60, -1.75, 0), (x0, -1.75, bulge_for(90)), (1.75, -1.75 + r, 0), (1.75, 60, 0)])
    kerb = {"layer": "Kerb"}
    # East-west road, 7 m wide; north-south road, 7 m wide; corner radii 12 m.
    msp.add_line((-70, -3.5), (70, -3.5), dxfattribs=kerb)
    msp.add_line((-70, 3.5), (-15.5, 3.5), dxfattribs=kerb)
    msp.add_arc((-15.5, 15.5), 12, 270, 360, dxfattribs=kerb)
    msp.add_line((-3.5, 15.5), (-3.5, 70), dxfattribs=kerb)
    msp.add_line((3.5, 15.5), (3.5, 70), dxfattribs=kerb)
    msp.add_arc((15.5, 15.5), 12, 180, 270, dxfattribs=kerb)
    msp.add_line((15.5, 3.5), (70, 3.5), dxfattribs=kerb)
    msp.add_line((-70, 0), (70, 0), dxfattribs={"layer": "RoadMarking"})
    msp.add_line((0, 3.5), (0, 70), dxfattribs={"layer": "RoadMarking"})
    note(msp, "90-degree junction turn", -60, -12)
    return doc


def roundabout():
    """Approach, one full lap of a 16 m radius roundabout, and exit."""
    doc, msp = new_drawing()
    r = 16.0
    path(msp, [(-70, -r, 0), (0, -r, 1.0), (0, r, 1.0), (0, -r, 0), (70, -r, 0)])
    msp.add_circle((0, 0), r - 5.5, dxfattribs={"layer": "Kerb"})
    msp.add_circle((0, 0), r + 5.5, dxfattribs={"layer": "Kerb"})
    msp.add_circle((0, 0), r - 7.5, dxfattribs={"layer": "Kerb"})
    note(msp, "Roundabout, full circle", -60, -30)
    return doc


def uturn():
    """A U-turn of 5.5 m centre-line radius: too tight for long combinations."""
    doc, msp = new_drawing()
    path(msp, [(-50, 0, 0), (0, 0, 1.0), (0, 11, 0), (-50, 11, 0)])
    msp.add_line((-55, -4), (4, -4), dxfattribs={"layer": "Kerb"})
    msp.add_arc((4, 5), 9, 270, 90, dxfattribs={"layer": "Kerb"})
    msp.add_line((-55, 14), (4, 14), dxfattribs={"layer": "Kerb"})
    msp.add_line((-55, 5), (-2, 5), dxfattribs={"layer": "RoadMarking"})
    note(msp, "U-turn, radius 5.5 m", -50, -10)
    return doc


def s_curve():
    """An S-curve made of two arcs (bulges) between straights."""
    doc, msp = new_drawing()
    path(msp, [(0, 0, 0), (40, 0, bulge_for(40)), (75, 13, 0), (90, 20, bulge_for(-40)),
               (125, 33, 0), (170, 33, 0)])
    for offset in (-4.0, 4.0):
        msp.add_lwpolyline([(0, offset, 0), (40, offset, bulge_for(40)),
                            (75 - offset * math.sin(math.radians(40)) * 0.5,
                             13 + offset * math.cos(math.radians(40)), 0)],
                           format="xyb", dxfattribs={"layer": "Kerb"})
    note(msp, "S-curve with arcs", 0, -12)
    return doc


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, make in [("junction90", junction90), ("roundabout", roundabout),
                       ("uturn", uturn), ("s-curve", s_curve)]:
        doc = make()
        doc.saveas(os.path.join(OUT, name + ".dxf"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
