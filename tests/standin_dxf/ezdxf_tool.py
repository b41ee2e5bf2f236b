#!/usr/bin/python3
"""Writes and checks DXF files with ezdxf, independently of the program.

  ezdxf_tool.py rich VERSION CODEPAGE UCS FILE   12 piles with symbols, notes,
      a dimension, a hatch, a layout and two entities drawn mirrored (UCS 1: a
      saved, turned UCS)
  ezdxf_tool.py piles VERSION CODEPAGE FILE   piles drawn as blocks, circles
      and points (below), for picking piles by a sample
  ezdxf_tool.py check ORIGINAL SAVED   a line per change the save made beyond
      adding labels, then a LABEL line for each new entity

The piles drawing (E = 512300, N = 3386400; layers "桩位" and "其他"):
  row N:      block ZH-1 at E, E+5, E+10 on 桩位 (E+5 with an attribute NO,
              E+10 turned 30° and scaled 2), at E+15 on 其他; block ZH.1 at
              E+20 on 桩位 (a name that "ZH.1" unescaped takes for ZH-1 too)
  row N+5:    dynamic block ZH-DYN shown through anonymous blocks: *U1 at E
              and E+5, *U2 at E+10 (both recording ZH-DYN), on 桩位; *U3,
              recording nothing, at E+15 on 桩位
  row N+10:   circles (radius 0.5) at E, E+5 on 桩位, at E+10, E+15 on 其他
  row N+15:   points at E, E+5 on 桩位, at E+10 on 其他
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


def pile_symbol(block):
    block.add_circle((0, 0), 0.4)
    block.add_line((-0.6, 0), (0.6, 0))
    block.add_line((0, -0.6), (0, 0.6))


def piles(version, codepage, path):
    doc = ezdxf.new(version)
    doc.encoding = ezdxf.tools.codepage.toencoding(codepage)
    for name in ("桩位", "其他"):
        doc.layers.add(name)
    doc.appids.new("AcDbBlockRepBTag")
    plain = doc.blocks.new("ZH-1")
    pile_symbol(plain)
    plain.add_attdef("NO", (0.5, 0.5), dxfattribs={"height": 0.3})
    pile_symbol(doc.blocks.new("ZH.1"))
    dynamic = doc.blocks.new("ZH-DYN")
    pile_symbol(dynamic)
    shown = []
    for tagged in (True, True, False):
        block = doc.blocks.new_anonymous_block("U")
        pile_symbol(block)
        if tagged:  # the anonymous block of a dynamic block names the block it was made from
            block.block_record.set_xdata("AcDbBlockRepBTag", [(1070, 1), (1005, dynamic.block_record_handle)])
        shown.append(block.name)
    msp = doc.modelspace()
    on = lambda layer, **more: dict(layer=layer, **more)
    msp.add_blockref("ZH-1", (E, N), dxfattribs=on("桩位"))
    msp.add_blockref("ZH-1", (E + 5, N), dxfattribs=on("桩位")).add_auto_attribs({"NO": "ZH-2"})
    msp.add_blockref("ZH-1", (E + 10, N), dxfattribs=on("桩位", rotation=30, xscale=2, yscale=2))
    msp.add_blockref("ZH-1", (E + 15, N), dxfattribs=on("其他"))
    msp.add_blockref("ZH.1", (E + 20, N), dxfattribs=on("桩位"))
    for x, name in ((E, shown[0]), (E + 5, shown[0]), (E + 10, shown[1]), (E + 15, shown[2])):
        msp.add_blockref(name, (x, N + 5), dxfattribs=on("桩位"))
    for x, layer in ((E, "桩位"), (E + 5, "桩位"), (E + 10, "其他"), (E + 15, "其他")):
        msp.add_circle((x, N + 10), 0.5, dxfattribs=on(layer))
    for x, layer in ((E, "桩位"), (E + 5, "桩位"), (E + 10, "其他")):
        msp.add_point((x, N + 15), dxfattribs=on(layer))
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
    {"rich": rich, "piles": piles, "check": check}[sys.argv[1]](*sys.argv[2:])
