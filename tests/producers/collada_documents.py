#!/usr/bin/python3
"""Writes the COLLADA test documents with pycollada, an independent COLLADA writer.

Usage: collada_documents.py OUT_DIR
Each document is written three times: as pycollada writes it (blank-separated numbers), and
with the numbers of every float_array and p separated by line ends (NAME_newline.dae) and by
tabs (NAME_tab.dae).
"""
import os
import re
import sys

import collada
import numpy

# A unit square in the xy plane as two triangles, and a second normal for the far side.
SQUARE_POSITIONS = [0, 0, 0, 2, 0, 0, 0, 3, 0, 2, 3, 0]
SQUARE_NORMALS = [0, 0, 1, 0, 0, -1]
SQUARE_UVS = [0, 0, 1, 0, 0, 1, 1, 1]


def document(name, inputs, indices, vcounts, with_uv=True, normals=SQUARE_NORMALS):
    mesh = collada.Collada()
    sources = [
        collada.source.FloatSource("sq-pos", numpy.array(SQUARE_POSITIONS, dtype=float), ("X", "Y", "Z")),
        collada.source.FloatSource("sq-nrm", numpy.array(normals, dtype=float), ("X", "Y", "Z")),
    ]
    if with_uv:
        sources.append(collada.source.FloatSource("sq-uv", numpy.array(SQUARE_UVS, dtype=float), ("S", "T")))
    geometry = collada.geometry.Geometry(mesh, "geometry0", name, sources)
    input_list = collada.source.InputList()
    for offset, semantic, source in inputs:
        input_list.addInput(offset, semantic, source)
    polylist = geometry.createPolylist(numpy.array(indices), numpy.array(vcounts), input_list, "material0")
    geometry.primitives.append(polylist)
    mesh.geometries.append(geometry)
    return mesh


DOCUMENTS = {
    # Corners: position, normal, texture coordinate; the second triangle faces the other way.
    "offsets": document(
        "hull_main",
        [(0, "VERTEX", "#sq-pos"), (1, "NORMAL", "#sq-nrm"), (2, "TEXCOORD", "#sq-uv")],
        [0, 0, 0, 1, 0, 1, 2, 0, 2, 1, 1, 1, 3, 1, 3, 2, 1, 2],
        [3, 3],
    ),
    "no_texcoords": document(
        "plate",
        [(0, "VERTEX", "#sq-pos"), (1, "NORMAL", "#sq-nrm")],
        [0, 0, 1, 0, 2, 0, 1, 1, 3, 1, 2, 1],
        [3, 3],
        with_uv=False,
    ),
    # Position and normal share one index per corner: half the indices the fixed layout needs.
    "shared_offset": document(
        "plate",
        [(0, "VERTEX", "#sq-pos"), (0, "NORMAL", "#sq-nrm")],
        [0, 1, 2, 1, 3, 2],
        [3, 3],
        with_uv=False,
        normals=[0, 0, 1] * 4,
    ),
    "quad": document(
        "plate",
        [(0, "VERTEX", "#sq-pos"), (1, "NORMAL", "#sq-nrm")],
        [0, 0, 1, 0, 3, 0, 2, 0],
        [4],
        with_uv=False,
    ),
}

NUMBER_TEXT = re.compile(r"(<(float_array|p)\b[^>]*>)([^<]*)(</\2>)")


def separated(text, separator):
    return NUMBER_TEXT.sub(lambda m: m.group(1) + separator.join(m.group(3).split()) + m.group(4), text)


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, mesh in DOCUMENTS.items():
        path = os.path.join(out_dir, name + ".dae")
        mesh.write(path)
        with open(path) as f:
            text = f.read()
        for suffix, separator in (("newline", "\n"), ("tab", "\t")):
            with open(os.path.join(out_dir, "%s_%s.dae" % (name, suffix)), "w") as f:
                f.write(separated(text, separator))


if __name__ == "__main__":
    main()
