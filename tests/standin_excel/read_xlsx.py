#!/usr/bin/python3
"""Prints what a spreadsheet reader sees in the first sheet of an .xlsx file,
one fact per line, so a test can compare it with what it expects."""
import sys

import openpyxl


def number(value):
    return f"{value:.6f}".rstrip("0").rstrip(".")


def main(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    facts = [f"sheets {len(book.worksheets)}"]
    for area in sorted(str(r) for r in sheet.merged_cells.ranges):
        facts.append(f"merged {area}")
    for row in sheet.iter_rows():
        for cell in row:
            if type(cell).__name__ == "MergedCell":
                continue
            value = cell.value
            if value is not None:
                kind = "n" if isinstance(value, (int, float)) and not isinstance(value, bool) else (
                    "b" if isinstance(value, bool) else "s")
                shown = number(value) if kind == "n" else str(value)
                facts.append(f"value {cell.coordinate} {kind} {shown}")
            font = cell.font
            if font.b or (font.sz is not None and float(font.sz) != 11):
                facts.append(f"font {cell.coordinate} bold={int(bool(font.b))} size={number(float(font.sz))}")
            sides = [getattr(cell.border, side).style for side in ("left", "right", "top", "bottom")]
            if any(sides):
                facts.append(f"border {cell.coordinate} " + " ".join(s or "-" for s in sides))
            if cell.alignment.horizontal:
                facts.append(f"align {cell.coordinate} {cell.alignment.horizontal}")
    for key, dim in sorted(sheet.column_dimensions.items()):
        if dim.width is not None and dim.customWidth:
            for column in range(dim.min, dim.max + 1):
                letter = openpyxl.utils.get_column_letter(column)
                facts.append(f"width {letter} {number(dim.width)}")
    fmt = sheet.sheet_format
    if fmt.customHeight:
        facts.append(f"default-height {number(fmt.defaultRowHeight)}")
    for index, dim in sorted(sheet.row_dimensions.items()):
        if dim.ht is not None:
            facts.append(f"height {index} {number(dim.ht)}")
    facts.append(f"center-horizontally {int(bool(sheet.print_options.horizontalCentered))}")
    print("\n".join(facts))


if __name__ == "__main__":
    main(sys.argv[1])
