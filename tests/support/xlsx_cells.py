#!/usr/bin/env python3
"""Prints the cells of an .xlsx file as JSON: {"sheets": [names], "cells": {sheet: {"A1": [type, value]}}}.
Type is "n" (number), "s" (text), "b" (Boolean); tests read exported files back with it."""
import json
import re
import sys
import xml.etree.ElementTree as ET
import zipfile

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
      "r": "http://schemas.openxmlformats.org/officeDocument/2006/relationships"}

with zipfile.ZipFile(sys.argv[1]) as book:
    shared = []
    if "xl/sharedStrings.xml" in book.namelist():
        for si in ET.fromstring(book.read("xl/sharedStrings.xml")).findall("m:si", NS):
            shared.append("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"])))
    rels = {r.get("Id"): r.get("Target") for r in ET.fromstring(book.read("xl/_rels/workbook.xml.rels"))}
    result = {"sheets": [], "cells": {}}
    for sheet in ET.fromstring(book.read("xl/workbook.xml")).find("m:sheets", NS):
        name = sheet.get("name")
        target = rels[sheet.get("{%s}id" % NS["r"])]
        result["sheets"].append(name)
        cells = result["cells"].setdefault(name, {})
        for c in ET.fromstring(book.read("xl/" + re.sub("^/?xl/", "", target))).iter("{%s}c" % NS["m"]):
            kind, v = c.get("t", "n"), c.find("m:v", NS)
            if v is None:
                continue
            cells[c.get("r")] = ["s", shared[int(v.text)]] if kind == "s" else [kind, float(v.text)]
    json.dump(result, sys.stdout)
