#!/usr/bin/python3
"""Writes and checks DXF files with ezdxf, independently of the program.

  ezdxf_tool.py rich VERSION CODEPAGE UCS FILE   12 piles with symbols, notes,
      a dimension, a hatch, a layout and two entities drawn mirrored (UCS 1: a
      saved, turned UCS)
  ezdxf_tool.py check ORIGINAL SAVED   a line per change the save made beyond
      adding labels, then a LABEL line for each new entity
"""
import re
import sys

import ezdxf
import ezdxf.tools.codepage

E, N = 512300.0, 3386400.0


def rich(version, codepage, ucs, path):
    doc = ezdxf.new(version)
    doc.encoding = ezdxf.tools.codepage.toencoding(codepage)
    for name in ("PILES", "AXIS", "NOTES"):
        doc.layers.add(name)
    doc.blocks.new("PILE").add_circle((0, 0), 0.5)
    doc.blocks.new("TAG").add_blockref("PILE", (1, 1), dxfattribs={"xscale": 0.5})
    msp = doc.modelspace()
    for i in range(12):
        at = (E + 5 * (i % 4), N + 5 * (i // 4))
        msp.add_point(at, dxfattribs={"layer": "PILES"})
        msp.add_blockref("PILE", at, dxfattribs={"layer": "PILES", "rotation": 15 * i})
    msp.add_blockref("TAG", (E - 5, N))
    # Drawn mirrored: given in their own coordinates, which run against world X.
    msp.add_circle((-(E + 30), N, 0), 0.6, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_polyline2d([(-(E + 50), N, 0, 0, 0.5), (-(E + 60), N, 0, 0, 0)], format="xyseb",
                       dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_linear_dim(base=(E, N - 4), p1=(E, N), p2=(E + 15, N), dxfattribs={"layer": "AXIS"}).render()
    msp.add_solid([(E, N + 20), (E + 2, N + 20), (E, N + 22)])
    msp.add_3dface([(E + 4, N + 20), (E + 6, N + 20), (E + 6, N + 22)])
    if version != "R12":
        msp.add_mtext("桩位说明\\P第二行", dxfattribs={"layer": "NOTES", "insert": (E, N + 25)})
        msp.add_hatch().paths.add_polyline_path([(E, N + 30), (E + 5, N + 30), (E, N + 33)])
        msp.add_ellipse((E + 10, N + 30), major_axis=(3, 0), ratio=0.5)
        msp.add_spline(fit_points=[(E, N + 40), (E + 5, N + 42), (E + 9, N + 40)])
    doc.layout().add_line((0, 0), (420, 297))
    if ucs == "1":  # origin at the first pile, X along world Y
        for name, value in (("$UCSORG", (E, N, 0)), ("$UCSXDIR", (0, 1, 0)), ("$UCSYDIR", (-1, 0, 0))):
            doc.header[name] = value
    doc.saveas(path)


def objects(path):
    """HEADER variables by name and other objects by handle, with their groups as written."""
    lines = open(path, "rb").read().split(b"\n")
    pairs = [(int(lines[i]), lines[i + 1].rstrip(b"\r")) for i in range(0, len(lines) - 1, 2)]
    found, section = [], None
    for i, (code, value) in enumerate(pairs):
        if code == 2 and pairs[i - 1][1] == b"SECTION":
            section = value
        if code == (9 if section == b"HEADER" else 0):
            found.append([])
        if found:
            found[-1].append((code, value))
    keys = [g[0][1] if g[0][0] == 9 else next((v for c, v in g if c in (5, 105)), None) for g in found]
    return {key: groups for key, groups in zip(keys, found) if key}


def check(original, saved):
    before, after = objects(original), objects(saved)
    before.pop(b"$HANDSEED", None)
    seed = after.pop(b"$HANDSEED", [(9, b""), (5, b"0")])[1][1]
    for key, groups in before.items():
        if after.get(key) != groups:
            print("changed", key.decode(), groups[0][1].decode())
    if int(seed, 16) <= max(int(key, 16) for key in after if not key.startswith(b"$")):
        print("$HANDSEED", seed.decode(), "not above every handle")
    doc, was = ezdxf.readfile(saved), ezdxf.readfile(original)
    for error in doc.audit().errors:
        print("audit:", error.message)
    names = lambda d: ([t.dxf.name for t in d.layers], [b.name for b in d.blocks],
                       d.layout_names(), [e.dxf.handle for e in d.layout()])
    if names(doc) != names(was):
        print("tables, blocks or layouts changed")
    for e in doc.modelspace():
        if e.dxf.handle.encode() not in before:
            text = re.sub(r"\\U\+([0-9A-F]{4})", lambda m: chr(int(m.group(1), 16)), e.dxf.text)
            fields = [e.dxftype(), text, e.dxf.height, e.dxf.halign] + list(e.dxf.align_point)[:2]
            raw = after[e.dxf.handle.encode()]  # as written, before ezdxf mends anything
            owner = dict(raw).get(330) == doc.modelspace().block_record_handle.encode()
            fields += [owner, ",".join(str(code) for code, value in raw)]
            print("LABEL|" + "|".join(map(str, fields)))


if __name__ == "__main__":
    {"rich": rich, "check": check}[sys.argv[1]](*sys.argv[2:])
