#!/usr/bin/python3
"""Reads and writes DXF files with ezdxf, independently of the program.

  ezdxf_tool.py write FILE   the test drawing of piles, labels and context
  ezdxf_tool.py rich VERSION CODEPAGE UCS FILE   12 piles with symbols, notes,
                             a dimension, a hatch and a layout (UCS 1: a saved UCS)
  ezdxf_tool.py check ORIGINAL SAVED   what the save changed: a line per
                             problem, then LABEL lines for the new entities
"""
import re
import sys

import ezdxf
import ezdxf.tools.codepage


def text_of(value):
    # Before AutoCAD 2007, characters outside the code page come as \U+XXXX.
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), value)


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


EAST, NORTH = 512300.0, 3386400.0


def rich(version, codepage, ucs, path):
    doc = ezdxf.new(version)
    doc.encoding = ezdxf.tools.codepage.toencoding(codepage)
    for name in ("PILES", "AXIS", "NOTES"):
        doc.layers.add(name)
    symbol = doc.blocks.new("PILE")
    symbol.add_circle((0, 0), 0.5)
    symbol.add_line((-0.7, 0), (0.7, 0))
    doc.blocks.new("TAG").add_blockref("PILE", (1, 1), dxfattribs={"xscale": 0.5})
    msp = doc.modelspace()
    for i in range(12):
        at = (EAST + 5 * (i % 4), NORTH + 5 * (i // 4))
        msp.add_point(at, dxfattribs={"layer": "PILES"})
        msp.add_blockref("PILE", at, dxfattribs={"layer": "PILES", "rotation": 15 * i})
    msp.add_blockref("TAG", (EAST - 5, NORTH))
    msp.add_line((EAST - 2, NORTH - 2), (EAST + 17, NORTH - 2), dxfattribs={"layer": "AXIS"})
    msp.add_linear_dim(base=(EAST, NORTH - 4), p1=(EAST, NORTH), p2=(EAST + 15, NORTH),
                       dxfattribs={"layer": "AXIS"}).render()
    msp.add_solid([(EAST, NORTH + 20), (EAST + 2, NORTH + 20), (EAST, NORTH + 22)])
    msp.add_3dface([(EAST + 4, NORTH + 20), (EAST + 6, NORTH + 20), (EAST + 6, NORTH + 22)])
    if version != "R12":
        msp.add_mtext("桩位说明\\P第二行", dxfattribs={"layer": "NOTES", "insert": (EAST, NORTH + 25)})
        msp.add_hatch(color=3).paths.add_polyline_path(
            [(EAST, NORTH + 30), (EAST + 5, NORTH + 30), (EAST + 5, NORTH + 33)], is_closed=True)
        msp.add_ellipse((EAST + 10, NORTH + 30), major_axis=(3, 0), ratio=0.5)
        msp.add_spline(fit_points=[(EAST, NORTH + 40), (EAST + 5, NORTH + 42), (EAST + 9, NORTH + 40)])
    doc.layout().add_line((0, 0), (420, 297))
    if ucs == "1":  # origin moved, axes turned 90°
        doc.header["$UCSORG"] = (EAST, NORTH, 0)
        doc.header["$UCSXDIR"] = (0, 1, 0)
        doc.header["$UCSYDIR"] = (-1, 0, 0)
    doc.saveas(path)


def objects(path):
    """The HEADER's variables and every other object with a handle, by
    name and handle, each with its groups as the file holds them."""
    lines = open(path, "rb").read().split(b"\n")
    pairs = [(int(lines[i]), lines[i + 1].rstrip(b"\r")) for i in range(0, len(lines) - 1, 2)]
    header, found, current, section, named = {}, {}, [], None, False
    for code, value in pairs:
        if section == b"HEADER" and code == 9:
            current = header.setdefault(value, [])
        elif code == 0:
            current, named = [], False
            if value not in (b"SECTION", b"ENDSEC") and section != b"HEADER":
                current.append((code, value))
        elif code == 2 and value in (b"HEADER", b"TABLES", b"BLOCKS", b"ENTITIES", b"OBJECTS",
                                     b"CLASSES", b"THUMBNAILIMAGE") and not current:
            section = value
        else:
            current.append((code, value))
            if code in (5, 105) and section != b"HEADER" and not named:
                found[value], named = current, True
    return found, header


def check(original, saved):
    before, header_before = objects(original)
    after, header_after = objects(saved)
    for handle, groups in before.items():
        if after.get(handle) != groups:
            print("changed", handle.decode(), groups[0][1].decode())
    header_before.pop(b"$HANDSEED", None)
    seed = header_after.pop(b"$HANDSEED", [(5, b"0")])[0][1]
    if header_before != header_after:
        print("header changed")
    doc, was = ezdxf.readfile(saved), ezdxf.readfile(original)
    auditor = doc.audit()
    for error in auditor.errors:
        print("audit:", error.message)
    names = lambda d: ([t.dxf.name for t in d.layers], [b.name for b in d.blocks],
                       d.layout_names(), [e.dxf.handle for e in d.layout()])
    if names(doc) != names(was):
        print("tables, blocks or layouts changed")
    if int(seed, 16) <= max(int(h, 16) for h in after):
        print("$HANDSEED", seed.decode(), "not above every handle")
    owner = doc.modelspace().block_record_handle
    for e in doc.modelspace():
        if e.dxf.handle.encode() not in before:
            fields = [e.dxftype(), text_of(e.dxf.text), e.dxf.height, e.dxf.halign]
            fields += list(e.dxf.align_point)[:2] + [e.dxf.owner == owner]
            print("LABEL|" + "|".join(str(f) for f in fields))


if __name__ == "__main__":
    {"write": write, "rich": rich, "check": check}[sys.argv[1]](*sys.argv[2:])
