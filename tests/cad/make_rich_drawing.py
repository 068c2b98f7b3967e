"""Writes a drawing with ezdxf that holds what real project drawings hold: styles,
linetypes, layers in every state, xdata, extension dictionaries, groups, paper space
with a viewport, and entities of many kinds, plus one path polyline on layer "Path".

Usage: make_rich_drawing.py VERSION OUT.dxf   (VERSION: R12, R2000 ... R2018)
Prints the path's handle. Exit 77 when ezdxf is missing.
"""
import sys

try:
    import ezdxf
    from ezdxf.math import Vec2
except ImportError:
    sys.exit(77)


def main(version, out):
    doc = ezdxf.new(version, setup=True)
    modern = doc.dxfversion > "AC1009"
    doc.header["$INSUNITS"] = 6
    doc.header["$LTSCALE"] = 2.0
    doc.layers.add("Kerb", color=1, linetype="DASHED")
    doc.layers.add("Path", color=3)
    doc.layers.add("Frozen", color=4).freeze()
    doc.layers.add("Off", color=5).off()
    doc.layers.add("Zufahrt Süd", color=6)
    doc.appids.add("VEERLINE_TEST")
    msp = doc.modelspace()

    # The path: a straight leg, a quarter turn of radius 30 and another leg.
    bulge = 0.41421356237309503  # tan(22.5 deg)
    points = [(0, 0, 0, 0, bulge), (60, 0, 0, 0, 0), (90, 30, 0, 0, 0), (90, 120, 0, 0, 0)]
    if modern:
        path = msp.add_lwpolyline([(x, y, s, e, b) for x, y, s, e, b in points],
                                  format="xyseb", dxfattribs={"layer": "Path"})
    else:
        path = msp.add_polyline2d([(x, y) for x, y, *_ in points], dxfattribs={"layer": "Path"})
        path.vertices[1].dxf.bulge = bulge
    # (the bulge belongs to the vertex that starts the arc)
    if modern:
        pts = list(path.get_points("xyseb"))
        pts[0] = (0, 0, 0, 0, 0)
        pts[1] = (60, 0, 0, 0, bulge)
        path.set_points(pts, format="xyseb")

    kerb = msp.add_line((0, -8), (60, -8), dxfattribs={"layer": "Kerb"})
    if modern:
        kerb.dxf.lineweight = 35
        kerb.rgb = (200, 120, 40)
    kerb.set_xdata("VEERLINE_TEST", [(1000, "kerb line"), (1040, 0.15)])
    msp.add_arc((60, 38), 30, 270, 360, dxfattribs={"layer": "Kerb"})
    msp.add_circle((75, 20), 1.5, dxfattribs={"layer": "Kerb"})
    msp.add_text("Zufahrt Süd – 5 m", dxfattribs={"layer": "Zufahrt Süd", "height": 2.5,
                                                   "style": "OpenSans"}).set_placement((5, 5))
    msp.add_point((10, 10))
    msp.add_solid([(100, 0), (110, 0), (100, 10), (110, 10)], dxfattribs={"color": 2})
    msp.add_3dface([(120, 0, 0), (130, 0, 0), (130, 10, 0), (120, 10, 0)])
    msp.add_line((0, 200), (50, 200), dxfattribs={"layer": "Frozen"})
    msp.add_line((0, 210), (50, 210), dxfattribs={"layer": "Off"})

    bollard = doc.blocks.new("BOLLARD")
    bollard.add_circle((0, 0), 0.5)
    bollard.add_attdef("ID", (0.8, 0), dxfattribs={"height": 0.5})
    ref = msp.add_blockref("BOLLARD", (70, 10))
    ref.add_auto_attribs({"ID": "B-1"})

    dim = msp.add_linear_dim(base=(0, -20), p1=(0, -8), p2=(60, -8), dimstyle="EZDXF")
    dim.render()

    if modern:
        msp.add_mtext("Ladezone\\PNord {\\fArial|b1;fett}", dxfattribs={"char_height": 2}) \
            .set_location((20, 40))
        msp.add_spline([(0, 50), (10, 60), (20, 50), (30, 60)], dxfattribs={"layer": "Kerb"})
        msp.add_ellipse((50, 60), major_axis=(10, 0), ratio=0.5, start_param=0, end_param=3)
        hatch = msp.add_hatch(color=4)
        hatch.paths.add_polyline_path([(100, 20), (110, 20), (110, 30), (100, 30)], is_closed=True)
        pattern = msp.add_hatch(color=5)
        pattern.set_pattern_fill("ANSI31", scale=0.5)
        pattern.paths.add_polyline_path([(120, 20), (130, 20), (130, 30)], is_closed=True)
        leader = msp.add_leader([(40, 70), (50, 80), (60, 80)])
        if hasattr(msp, "add_multileader_mtext"):
            ml = msp.add_multileader_mtext("Standard")
            ml.set_content("Poller", char_height=1.0)
            ml.add_leader_line(ezdxf.render.mleader.ConnectionSide.left, [Vec2(60, 90)])
            ml.build(insert=Vec2(70, 95))
        image_def = doc.add_image_def(filename="site-photo.png", size_in_pixel=(640, 480))
        msp.add_image(image_def, insert=(140, 0), size_in_units=(6.4, 4.8))
        kerb_dict = kerb.new_extension_dict()
        record = kerb_dict.add_xrecord("VEERLINE_NOTE")
        record.reset([(1, "surveyed 2026"), (40, 1.5)])
        doc.groups.new("KERBS").extend([kerb])

    sheet = doc.layouts.new("Sheet 1")
    if modern:
        sheet.add_viewport(center=(100, 100), size=(150, 100), view_center_point=(60, 40),
                           view_height=120)
    sheet.add_text("Blatt 1 – Übersicht", dxfattribs={"height": 5}).set_placement((20, 20))
    sheet.add_line((0, 0), (200, 0))

    doc.saveas(out)
    print(path.dxf.handle)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
