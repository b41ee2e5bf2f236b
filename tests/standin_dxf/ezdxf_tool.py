#!/usr/bin/python3
"""Reads and writes DXF files with ezdxf, independently of the program.

  ezdxf_tool.py dump FILE    one line per model-space entity, fields split by |
  ezdxf_tool.py write FILE   the test drawing of piles, labels and context
"""
import re
import sys

import ezdxf


def text_of(value):
    # Before AutoCAD 2007, characters outside the code page come as \U+XXXX.
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), value)


def dump(path):
    doc = ezdxf.readfile(path)
    for e in doc.modelspace():
        kind = e.dxftype()
        fields = [kind, e.dxf.layer]
        if kind == "POINT":
            fields += list(e.dxf.location)
        elif kind == "CIRCLE":
            fields += list(e.dxf.center) + [e.dxf.radius]
        elif kind == "ARC":
            fields += list(e.dxf.center) + [e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle]
        elif kind == "LINE":
            fields += list(e.dxf.start) + list(e.dxf.end)
        elif kind == "TEXT":
            align = e.dxf.align_point if e.dxf.hasattr("align_point") else e.dxf.insert
            fields += [text_of(e.dxf.text), e.dxf.height, e.dxf.halign, e.dxf.valign]
            fields += list(e.dxf.insert) + list(align) + ["%.6f" % e.dxf.rotation]
        elif kind in ("POLYLINE", "LWPOLYLINE"):
            points = e.points() if kind == "POLYLINE" else e.get_points("xyb")
            fields += [int(e.is_closed)]
            for p in points:
                fields += [p[0], p[1]]
        print("|".join(repr(f) if isinstance(f, float) else str(f) for f in fields))


def write(path):
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    east, north = 512300.0, 3386400.0
    for i in range(4):
        msp.add_point((east + 6 * i, north + 10))
        msp.add_circle((east + 6 * i, north, 0), 0.6)
    msp.add_point((east + 6, north + 10))  # drawn twice
    # A circle drawn mirrored: its centre is given in its own coordinates.
    msp.add_circle((-(east + 30), north, 0), 0.6, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_lwpolyline([(east - 5, north - 5), (east + 40, north - 5, 0.5), (east + 40, north + 15)],
                       format="xyb", close=True)
    msp.add_line((east - 5, north + 5), (east + 40, north + 5))
    msp.add_arc((east + 18, north + 5), 3, 0, 180)
    msp.add_text("桩位图", dxfattribs={"height": 2.0, "rotation": 30}).set_placement(
        (east + 18, north + 20), align=ezdxf.enums.TextEntityAlignment.BOTTOM_CENTER)
    msp.add_mtext("说明")  # kept out: not an entity the workspace keeps
    doc.layout("Layout1").add_point((1, 1))  # paper space
    doc.saveas(path)


if __name__ == "__main__":
    {"dump": dump, "write": write}[sys.argv[1]](sys.argv[2])
