#!/usr/bin/python3
"""Writes real drawings of every DXF version with ezdxf as seeds of the DXF
reader's fuzz target: blocks (nested, with attributes, an anonymous one that
records the dynamic block it was made from), hatches (polyline and edge paths), ellipses, splines, MTEXT, dimensions, meshes and paper space,
each kind once and small.

  /usr/bin/python3 fuzz/make_dxf_seeds.py fuzz/corpus/dxf_reader
"""
import os
import sys

import ezdxf

VERSIONS = ("R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018")


def blocks(doc):
    pile = doc.blocks.new("PILE", base_point=(0.5, 0))
    pile.add_circle((0, 0), 0.5)
    pile.add_line((-0.5, 0), (0.5, 0))
    pile.add_attdef("NO", (0.6, 0), dxfattribs={"height": 0.3})
    tag = doc.blocks.new("TAG")
    tag.add_blockref("PILE", (1, 1), dxfattribs={"xscale": 0.5, "rotation": 30})
    tag.add_text("T", dxfattribs={"height": 0.2}).set_placement((0, 1))


def common(msp):
    msp.add_point((1, 2))
    msp.add_circle((3, 4), 0.6, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_arc((5, 5), 2, 10, 200)
    msp.add_line((0, 0), (9, 9), dxfattribs={"layer": "AXIS", "color": 3})
    msp.add_text("桩1", dxfattribs={"height": 2.5, "rotation": 15}).set_placement(
        (2, 3), align=ezdxf.enums.TextEntityAlignment.MIDDLE_CENTER)
    msp.add_polyline2d([(0, 0, 0, 0, 0.5), (4, 0, 0, 0, 0), (4, 3, 0, 0, -1)], format="xyseb",
                       close=True)
    msp.add_polymesh((2, 2)).set_mesh_vertex((1, 1), (1, 1, 1))
    ref = msp.add_blockref("PILE", (10, 10), dxfattribs={"rotation": 45})
    ref.add_attrib("NO", "7", (10.6, 10), dxfattribs={"height": 0.3})
    msp.add_blockref("TAG", (20, 0), dxfattribs={"xscale": 2, "yscale": -1})
    msp.add_solid([(0, 20), (2, 20), (0, 22), (2, 22)])
    msp.add_3dface([(4, 20), (6, 20), (6, 22)])
    msp.add_linear_dim(base=(0, -4), p1=(0, 0), p2=(9, 0)).render()


def later(msp):
    msp.add_lwpolyline([(0, 30, 0, 0, 0.4), (5, 30, 0, 0, 0), (5, 33, 0, 0, 0)], format="xyseb",
                       close=True)
    msp.add_mtext("{\\fArial|b1;说明}\\P第二行 \\S1^2;", dxfattribs={"char_height": 1,
                                                               "insert": (0, 40),
                                                               "attachment_point": 5})
    msp.add_ellipse((10, 30), major_axis=(3, 1), ratio=0.5, start_param=0.5, end_param=5)
    msp.add_spline(fit_points=[(0, 50), (5, 52), (9, 50)])
    shown = msp.doc.blocks.new_anonymous_block("U")
    shown.add_circle((0, 0), 0.5)
    msp.doc.appids.new("AcDbBlockRepBTag")
    shown.block_record.set_xdata("AcDbBlockRepBTag", [(1070, 1), (1005, msp.doc.blocks.get("PILE").block_record_handle)])
    msp.add_blockref(shown.name, (40, 40), dxfattribs={"layer": "AXIS"})
    msp.add_spline().apply_construction_tool(
        ezdxf.math.BSpline([(0, 55), (3, 58), (6, 55), (9, 58)]))
    hatch = msp.add_hatch()
    hatch.paths.add_polyline_path([(20, 30, 0.5), (25, 30, 0), (20, 33, 0)], is_closed=True)
    edges = hatch.paths.add_edge_path()
    edges.add_line((30, 30), (35, 30))
    edges.add_arc((35, 32), 2, -90, 90)
    edges.add_ellipse((33, 34), major_axis=(2, 0), ratio=0.5, start_angle=0, end_angle=180,
                      ccw=False)
    edges.add_spline(fit_points=[(31, 34), (30, 32), (30, 30)])


def drawing(version):
    doc = ezdxf.new(version)
    if version < "R2007":
        doc.encoding = "gbk"  # written as $DWGCODEPAGE ANSI_936
    doc.layers.add("AXIS")
    blocks(doc)
    msp = doc.modelspace()
    common(msp)
    if version != "R12":
        later(msp)
    doc.layout().add_line((0, 0), (420, 297))
    return doc


def main(folder):
    for version in VERSIONS:
        drawing(version).saveas(os.path.join(folder, "ezdxf_" + version))


if __name__ == "__main__":
    main(sys.argv[1])
