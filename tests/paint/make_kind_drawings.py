"""Writes drawings with ezdxf for checking what the drawing painter shows.

Usage: make_kind_drawings.py OUTDIR [crowded COUNT]

Writes OUTDIR/base.dxf (a frame, a path polyline on layer "Path" and a few plain
entities) and, for each entity kind, OUTDIR/<kind>.dxf: the base plus that kind
alone in its own cell of the frame. "frozen" and "off" add entities on a frozen
and an off layer, which must change nothing. Prints one line per kind drawing:
"<kind> <xmin> <ymin> <xmax> <ymax>", the cell the kind lies in.

With "crowded COUNT" it writes OUTDIR/crowded.dxf instead: every kind several
times and COUNT further plain entities spread over the frame.
Exit 77 when ezdxf is missing.
"""
import math
import os
import random
import sys

try:
    import ezdxf
    from ezdxf.math import Vec2
except ImportError:
    sys.exit(77)

CELL_W, CELL_H = 30, 22
FRAME = (0, 0, 200, 185)


def cell(index):
    col, row = index % 6, index // 6
    return 5 + col * 32, 30 + row * 25


def new_base():
    doc = ezdxf.new("R2018", setup=True)
    doc.header["$INSUNITS"] = 6
    doc.header["$LTSCALE"] = 1.0
    doc.layers.add("Frame", color=8)
    doc.layers.add("Path", color=3)
    doc.layers.add("Kerb", color=1, linetype="DASHED")
    doc.layers.add("Frozen", color=4).freeze()
    doc.layers.add("Off", color=5).off()
    msp = doc.modelspace()
    x0, y0, x1, y1 = FRAME
    msp.add_lwpolyline([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], close=True,
                       dxfattribs={"layer": "Frame"})
    msp.add_lwpolyline([(10, 12), (190, 12)], dxfattribs={"layer": "Path"})
    return doc


def add_blocks(doc):
    if "TREE" in doc.blocks:
        return
    tree = doc.blocks.new("TREE")
    tree.add_circle((0, 0), 2)
    tree.add_line((-2, 0), (2, 0), dxfattribs={"color": 0})  # by block
    tree.add_line((0, -2), (0, 2), dxfattribs={"layer": "Kerb"})
    pair = doc.blocks.new("PAIR")
    pair.add_blockref("TREE", (0, 0))
    pair.add_blockref("TREE", (6, 0), dxfattribs={"xscale": 0.5, "yscale": 0.5})
    arrow = doc.blocks.new("ARROW")
    arrow.add_lwpolyline([(0, 0), (6, 0), (4, 1), (6, 0), (4, -1)])
    tag = doc.blocks.new("TAG")
    tag.add_lwpolyline([(0, 0), (8, 0), (8, 3), (0, 3)], close=True)
    tag.add_attdef("ID", (0.5, 0.5), dxfattribs={"height": 2})
    hidden = doc.blocks.new("HIDDEN")
    hidden.add_line((0, 0), (10, 10), dxfattribs={"layer": "Frozen"})


# Each kind adds its entity inside the cell whose lower left corner is (x, y).
def k_line(msp, doc, x, y):
    msp.add_line((x + 2, y + 2), (x + 28, y + 20))


def k_arc(msp, doc, x, y):
    msp.add_arc((x + 15, y + 4), 10, 20, 160)


def k_circle(msp, doc, x, y):
    msp.add_circle((x + 15, y + 11), 8, dxfattribs={"color": 2})


def k_ellipse(msp, doc, x, y):
    msp.add_ellipse((x + 15, y + 11), major_axis=(12, 0), ratio=0.5)


def k_elliptic_arc(msp, doc, x, y):
    msp.add_ellipse((x + 15, y + 11), major_axis=(0, 9), ratio=0.6, start_param=0,
                    end_param=math.pi)


def k_spline_control(msp, doc, x, y):
    msp.add_open_spline([(x + 2, y + 2), (x + 8, y + 20), (x + 20, y + 2), (x + 28, y + 20)])


def k_spline_fit(msp, doc, x, y):
    msp.add_spline([(x + 2, y + 11), (x + 10, y + 20), (x + 20, y + 2), (x + 28, y + 11)])


def k_spline_rational(msp, doc, x, y):
    msp.add_rational_spline([(x + 2, y + 2), (x + 15, y + 20), (x + 28, y + 2)], [1, 3, 1],
                            degree=2)


def k_lwpolyline_bulge(msp, doc, x, y):
    msp.add_lwpolyline([(x + 3, y + 4, 0, 0, -1), (x + 27, y + 4, 0, 0, 0)], format="xyseb",
                       dxfattribs={"color": 6})


def k_lwpolyline_width(msp, doc, x, y):
    msp.add_lwpolyline([(x + 3, y + 11, 3, 3, 0), (x + 15, y + 11, 3, 0, 0),
                        (x + 27, y + 11, 0, 0, 0)], format="xyseb")


def k_polyline2d(msp, doc, x, y):
    p = msp.add_polyline2d([(x + 3, y + 3), (x + 27, y + 3), (x + 15, y + 19)], close=True)
    p.dxf.default_start_width = 1
    p.dxf.default_end_width = 1


def k_polyline3d(msp, doc, x, y):
    msp.add_polyline3d([(x + 3, y + 3, 0), (x + 27, y + 19, 5), (x + 27, y + 3, 2)])


def k_text(msp, doc, x, y):
    msp.add_text("Kerb 12", dxfattribs={"height": 4, "rotation": 15}).set_placement(
        (x + 15, y + 11), align=ezdxf.enums.TextEntityAlignment.MIDDLE_CENTER)


def k_mtext(msp, doc, x, y):
    msp.add_mtext("Ladezone\\P{\\fArial|b1;Nord} \\H1.5x;gross",
                  dxfattribs={"char_height": 2.5, "insert": (x + 2, y + 20),
                              "attachment_point": 1})


def k_insert(msp, doc, x, y):
    msp.add_blockref("TREE", (x + 15, y + 11), dxfattribs={"color": 1})


def k_insert_nested(msp, doc, x, y):
    msp.add_blockref("PAIR", (x + 8, y + 11), dxfattribs={"rotation": 30})


def k_insert_mirrored(msp, doc, x, y):
    msp.add_blockref("ARROW", (x + 22, y + 11), dxfattribs={"xscale": -3, "yscale": 2})


def k_insert_array(msp, doc, x, y):
    ref = msp.add_blockref("TREE", (x + 4, y + 4), dxfattribs={"xscale": 0.8, "yscale": 0.8})
    ref.grid(size=(3, 4), spacing=(7, 7))


def k_insert_attribs(msp, doc, x, y):
    ref = msp.add_blockref("TAG", (x + 4, y + 8), dxfattribs={"xscale": 2, "yscale": 2})
    ref.add_auto_attribs({"ID": "K-7"})


def k_dimension(msp, doc, x, y):
    msp.add_linear_dim(base=(x + 15, y + 16), p1=(x + 3, y + 4), p2=(x + 27, y + 4),
                       dimstyle="EZDXF").render()


def k_hatch_solid(msp, doc, x, y):
    hatch = msp.add_hatch(color=4)
    hatch.paths.add_polyline_path([(x + 2, y + 2), (x + 28, y + 2), (x + 28, y + 20),
                                   (x + 2, y + 20)], is_closed=True)
    hatch.paths.add_polyline_path([(x + 10, y + 8), (x + 20, y + 8), (x + 20, y + 14),
                                   (x + 10, y + 14)], is_closed=True)


def k_hatch_pattern(msp, doc, x, y):
    hatch = msp.add_hatch(color=5)
    hatch.set_pattern_fill("ANSI31", scale=0.5)
    hatch.paths.add_polyline_path([(x + 2, y + 2), (x + 28, y + 2), (x + 15, y + 20)],
                                  is_closed=True)


def k_hatch_edges(msp, doc, x, y):
    hatch = msp.add_hatch(color=30)
    path = hatch.paths.add_edge_path()
    path.add_line((x + 5, y + 3), (x + 20, y + 3))
    path.add_arc((x + 20, y + 11), 8, -90, 90)
    path.add_line((x + 20, y + 19), (x + 5, y + 19))
    path.add_ellipse((x + 5, y + 11), major_axis=(0, 8), ratio=0.5, start_angle=0,
                     end_angle=180)


def k_solid(msp, doc, x, y):
    msp.add_solid([(x + 3, y + 3), (x + 27, y + 3), (x + 3, y + 19), (x + 27, y + 19)],
                  dxfattribs={"color": 2})


def k_trace(msp, doc, x, y):
    msp.add_trace([(x + 3, y + 9), (x + 27, y + 9), (x + 3, y + 13), (x + 27, y + 13)],
                  dxfattribs={"color": 3})


def k_3dface(msp, doc, x, y):
    msp.add_3dface([(x + 3, y + 3, 0), (x + 27, y + 3, 0), (x + 27, y + 19, 2),
                    (x + 3, y + 19, 2)])


def k_point(msp, doc, x, y):
    for i in range(5):
        msp.add_point((x + 5 + 5 * i, y + 11))


def k_leader(msp, doc, x, y):
    msp.add_leader([(x + 3, y + 3), (x + 15, y + 18), (x + 27, y + 18)])


def k_multileader(msp, doc, x, y):
    ml = msp.add_multileader_mtext("Standard")
    ml.set_content("Poller", char_height=2.0)
    ml.add_leader_line(ezdxf.render.mleader.ConnectionSide.left, [Vec2(x + 3, y + 3)])
    ml.build(insert=Vec2(x + 14, y + 16))


def k_image(msp, doc, x, y):
    image_def = doc.add_image_def(filename="site-photo.png", size_in_pixel=(640, 480))
    msp.add_image(image_def, insert=(x + 3, y + 3), size_in_units=(24, 18))


def k_wipeout(msp, doc, x, y):
    # Without its frame a wipeout shows only by what it hides.
    msp.add_line((x + 2, y + 8), (x + 28, y + 8))
    msp.add_wipeout([(x + 3, y + 3), (x + 27, y + 3), (x + 15, y + 19)])


def k_extrusion(msp, doc, x, y):
    # Seen from below: the arc's centre at OCS x = -(x + 15) lies at world x + 15.
    msp.add_arc((-(x + 15), y + 4), 10, 20, 160, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_circle((-(x + 25), y + 15), 3, dxfattribs={"extrusion": (0, 0, -1)})


KINDS = [(name[2:], fn) for name, fn in sorted(globals().items()) if name.startswith("k_")]


def add_hidden(msp, doc, layer, x, y):
    msp.add_line((x + 2, y + 2), (x + 28, y + 20), dxfattribs={"layer": layer})
    # A frozen reference hides all it inserts; one that is off only what takes
    # its layer, so the off case inserts a block drawn on layer 0 alone.
    msp.add_blockref("TREE" if layer == "Frozen" else "ARROW", (x + 15, y + 11),
                     dxfattribs={"layer": layer})
    msp.add_text("hidden", dxfattribs={"layer": layer, "height": 3}).set_placement((x, y))
    if layer == "Frozen":
        msp.add_blockref("HIDDEN", (x + 5, y + 5))  # its line lies on the frozen layer


def write_kinds(out):
    base = new_base()
    add_blocks(base)
    base.saveas(os.path.join(out, "base.dxf"))
    for index, (name, fn) in enumerate(KINDS):
        doc = new_base()
        add_blocks(doc)
        x, y = cell(index)
        fn(doc.modelspace(), doc, x, y)
        doc.saveas(os.path.join(out, name + ".dxf"))
        print(name, x, y, x + CELL_W, y + CELL_H)
    for layer in ("Frozen", "Off"):
        doc = new_base()
        add_blocks(doc)
        x, y = cell(len(KINDS))
        add_hidden(doc.modelspace(), doc, layer, x, y)
        doc.saveas(os.path.join(out, layer.lower() + ".dxf"))
        print(layer.lower(), x, y, x + CELL_W, y + CELL_H)


def write_crowded(out, count):
    doc = new_base()
    add_blocks(doc)
    msp = doc.modelspace()
    for index, (name, fn) in enumerate(KINDS):
        x, y = cell(index)
        fn(msp, doc, x, y)
    rng = random.Random(7)
    layers = ["Kerb", "Frame", "0"]
    for i in range(count):
        x, y = rng.uniform(FRAME[0], FRAME[2] - 5), rng.uniform(FRAME[1], FRAME[3] - 5)
        attribs = {"layer": layers[i % 3], "color": rng.choice([256, 1, 2, 3, 4, 7, 40])}
        kind = i % 4
        if kind == 0:
            msp.add_line((x, y), (x + rng.uniform(-5, 5), y + rng.uniform(-5, 5)),
                         dxfattribs=attribs)
        elif kind == 1:
            msp.add_circle((x, y), rng.uniform(0.2, 2), dxfattribs=attribs)
        elif kind == 2:
            msp.add_lwpolyline([(x, y), (x + 3, y + 1), (x + 4, y + 4)], dxfattribs=attribs)
        else:
            msp.add_blockref("TREE", (x, y), dxfattribs={"xscale": 0.3, "yscale": 0.3})
    doc.saveas(os.path.join(out, "crowded.dxf"))


if __name__ == "__main__":
    os.makedirs(sys.argv[1], exist_ok=True)
    if len(sys.argv) > 3 and sys.argv[2] == "crowded":
        write_crowded(sys.argv[1], int(sys.argv[3]))
    else:
        write_kinds(sys.argv[1])
