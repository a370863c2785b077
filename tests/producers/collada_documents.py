#!/usr/bin/python3
"""Writes the COLLADA test documents in the full layout a modelling tool's exporter writes.

Usage: collada_documents.py OUT_DIR
The reader only needs the geometry subset; these documents also carry what an exporter puts
around it (namespace, asset block, accessors with their params, material bindings, a visual
scene), so the reader is shown to skip what it does not use. Each document is written three
times: with blank-separated numbers (NAME.dae), and with the numbers of every float_array and p
separated by line ends (NAME_newline.dae) and by tabs (NAME_tab.dae).
"""
import os
import re
import sys

# A unit square in the xy plane as two triangles, and a second normal for the far side.
SQUARE_POSITIONS = [0, 0, 0, 2, 0, 0, 0, 3, 0, 2, 3, 0]
SQUARE_NORMALS = [0, 0, 1, 0, 0, -1]
SQUARE_UVS = [0, 0, 1, 0, 0, 1, 1, 1]


def numbers(values):
    return " ".join(repr(float(v)) for v in values)


def source(source_id, values, params):
    stride = len(params)
    param_text = "".join('<param type="float" name="%s"/>' % p for p in params)
    return (
        '<source id="%s">\n'
        '<float_array id="%s-array" count="%d">%s</float_array>\n'
        '<technique_common><accessor source="#%s-array" count="%d" stride="%d">%s</accessor></technique_common>\n'
        '</source>\n' % (source_id, source_id, len(values), numbers(values), source_id, len(values) // stride, stride,
                         param_text))


def document(name, inputs, indices, vcounts, with_uv=True, normals=SQUARE_NORMALS):
    sources = source("sq-pos", SQUARE_POSITIONS, "XYZ") + source("sq-nrm", normals, "XYZ")
    if with_uv:
        sources += source("sq-uv", SQUARE_UVS, "ST")
    input_text = "".join(
        '<input offset="%d" semantic="%s" source="%s"%s/>\n'
        % (offset, semantic, "#geometry0-vertices" if semantic == "VERTEX" else src,
           ' set="0"' if semantic == "TEXCOORD" else "")
        for offset, semantic, src in inputs)
    return (
        '<?xml version="1.0" encoding="utf-8"?>\n'
        '<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">\n'
        '<asset><contributor><authoring_tool>mornglow tests</authoring_tool></contributor>'
        '<created>2026-01-01T00:00:00</created><modified>2026-01-01T00:00:00</modified>'
        '<unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>\n'
        '<library_effects><effect id="material0-fx"><profile_COMMON><technique sid="common"><lambert>'
        '<diffuse><color>0.8 0.8 0.8 1</color></diffuse></lambert></technique></profile_COMMON></effect>'
        '</library_effects>\n'
        '<library_materials><material id="material0" name="material0"><instance_effect url="#material0-fx"/>'
        '</material></library_materials>\n'
        '<library_geometries>\n<geometry id="geometry0" name="%s">\n<mesh>\n%s'
        '<vertices id="geometry0-vertices"><input semantic="POSITION" source="#sq-pos"/></vertices>\n'
        '<polylist count="%d" material="material0">\n%s<vcount>%s</vcount>\n<p>%s</p>\n</polylist>\n'
        '</mesh>\n</geometry>\n</library_geometries>\n'
        '<library_visual_scenes><visual_scene id="scene0"><node id="node0" name="node0">'
        '<instance_geometry url="#geometry0"><bind_material><technique_common>'
        '<instance_material symbol="material0" target="#material0"/></technique_common></bind_material>'
        '</instance_geometry></node></visual_scene></library_visual_scenes>\n'
        '<scene><instance_visual_scene url="#scene0"/></scene>\n'
        '</COLLADA>\n' % (name, sources, len(vcounts), input_text, " ".join(str(v) for v in vcounts),
                          " ".join(str(i) for i in indices)))


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
    for name, text in DOCUMENTS.items():
        with open(os.path.join(out_dir, name + ".dae"), "w") as f:
            f.write(text)
        for suffix, separator in (("newline", "\n"), ("tab", "\t")):
            with open(os.path.join(out_dir, "%s_%s.dae" % (name, suffix)), "w") as f:
                f.write(separated(text, separator))


if __name__ == "__main__":
    main()
