#!/usr/bin/env python3
"""Writes the hand-made seed inputs of the fuzz corpora (run from the
repository root). The game's own small assets are copied in as well."""
import json
import os
import struct
import zlib

ROOT = os.path.join("fuzz", "corpus")


def put(target, name, data):
    os.makedirs(os.path.join(ROOT, target), exist_ok=True)
    mode = "wb" if isinstance(data, bytes) else "w"
    with open(os.path.join(ROOT, target, name), mode) as f:
        f.write(data)


def bmp(width, height, pixel=lambda x, y: (x * 40, y * 60, 200), image_size=None, bits=24,
        offset=54, compression=0):
    row = (width * 3 + 3) & ~3
    rows = abs(height)
    body = bytearray()
    for y in range(rows):
        line = bytearray()
        for x in range(width):
            line += bytes(c & 0xFF for c in pixel(x, y))
        line += b"\0" * (row - len(line))
        body += line
    size = len(body) if image_size is None else image_size
    header = b"BM" + struct.pack("<IHHI", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size, 2835, 2835,
                       0, 0)
    return header + info + b"\0" * (offset - 54) + bytes(body)


def png(width, height, colour_type, depth, rows, interlace=0, extra=b""):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(
            ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    ihdr = struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, interlace)
    raw = b"".join(b"\0" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def model(vertices, triangles, animations=None):
    doc = {"model": {
        "vertices": [{"x": x, "y": y, "z": z} for x, y, z in vertices],
        "uvs": [{"u": x, "v": y} for x, y, _ in vertices],
        "colors": [{"r": 1, "g": 0.5, "b": 0} for _ in vertices],
        "indices": [{"a": a, "b": b, "c": c} for a, b, c in triangles]}}
    if animations is not None:
        doc["animations"] = animations
    return json.dumps(doc, separators=(",", ":"))


def keyframe(t, vertices, shift):
    return {"startTime": t,
            "vertices": [{"x": x + shift, "y": y, "z": z} for x, y, z in vertices],
            "uvs": [{"u": x, "v": y} for x, y, _ in vertices],
            "colors": [{"r": shift, "g": 0, "b": 1} for _ in vertices]}


def main():
    # BMP, both readers.
    for target in ("read_bmp", "read_bmp_alpha"):
        put(target, "whitepixel.bmp", open("data/whitepixel.bmp", "rb").read())
        put(target, "4x2.bmp", bmp(4, 2))
        put(target, "3x3_padded.bmp", bmp(3, 3))
        put(target, "2x2_top_down.bmp", bmp(2, -2))
        put(target, "size_field_zero.bmp", bmp(4, 1, image_size=0))
        put(target, "offset_gap.bmp", bmp(4, 1, offset=70))
        put(target, "truncated.bmp", bmp(4, 4)[:70])
        put(target, "header_only.bmp", bmp(1, 1)[:54])
        put(target, "32bit.bmp", bmp(2, 2, bits=32))
        put(target, "rle.bmp", bmp(2, 2, compression=1))
    put("read_bmp", "grass.bmp", open("data/grass.bmp", "rb").read())

    # PNG: the game's texture and each colour type / depth libpng converts.
    put("read_png", "road6.png", open("data/road6.png", "rb").read())
    put("read_png", "rgba8.png", png(2, 3, 6, 8, [bytes(range(i, i + 8)) for i in range(3)]))
    put("read_png", "rgb8.png", png(2, 2, 2, 8, [b"\x10\x20\x30\x40\x50\x60"] * 2))
    put("read_png", "gray1.png", png(9, 2, 0, 1, [b"\xa5\x80"] * 2))
    put("read_png", "gray_alpha16.png", png(1, 2, 4, 16, [b"\x12\x34\x56\x78"] * 2))
    put("read_png", "rgba16.png", png(1, 1, 6, 16, [bytes(range(8))]))
    plte = struct.pack(">I", 6) + b"PLTE" + b"\xff\0\0\0\xff\0"
    plte += struct.pack(">I", zlib.crc32(b"PLTE\xff\0\0\0\xff\0") & 0xFFFFFFFF)
    trns = struct.pack(">I", 1) + b"tRNS" + b"\x80"
    trns += struct.pack(">I", zlib.crc32(b"tRNS\x80") & 0xFFFFFFFF)
    put("read_png", "palette_trns.png", png(4, 1, 3, 2, [b"\x1b"], extra=plte + trns))
    put("read_png", "interlaced.png",
        png(5, 5, 6, 8, [bytes((x * 7 + y) & 0xFF for x in range(20)) for y in range(5)],
            interlace=1))
    put("read_png", "truncated.png", open("data/road6.png", "rb").read()[:200])

    # JSON models, with and without animations.
    quad = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)]
    tris = [(0, 1, 2), (0, 2, 3)]
    put("mesh_json", "quad.json", open("data/quad.json").read())
    put("mesh_json", "wood.json", open("data/meshes/display/wood.json").read())
    put("mesh_json", "triangle.json", model(quad[:3], tris[:1]))
    put("mesh_json", "animated_array.json", model(quad, tris, [
        [[keyframe(0, quad, 0), keyframe(1, quad, 1), keyframe(2, quad, 2)]],
        [[keyframe(0, quad, 3), keyframe(0.5, quad, 4)]]]))
    put("mesh_json", "animated_object.json", model(quad[:3], tris[:1], {
        "walk": {"frames": [keyframe(-1, quad[:3], 0), keyframe(4, quad[:3], 1)]},
        "idle": {"frames": [keyframe(0, quad[:3], 5)]}}))
    put("mesh_json", "no_model.json", '{"name":"x","other":[1,2,3]}')
    put("mesh_json", "wrong_types.json",
        '{"model":{"vertices":{"x":1},"uvs":[],"colors":"red","indices":[{"a":-1}]}}')

    # Binary models: 8 + 32 N + 6 T bytes, with and without the trailer.
    def binary(n, t, indices, trailer=b""):
        data = struct.pack("<ii", n, t)
        data += b"".join(struct.pack("<fff", i, i * 2, 0) for i in range(n))
        data += b"".join(struct.pack("<fff", 1, 0.5, 0) for _ in range(n))
        data += b"".join(struct.pack("<ff", i, 1) for i in range(n))
        data += b"".join(struct.pack("<HHH", *tri) for tri in indices)
        return data + trailer
    put("mesh_binary", "quad.bin", binary(4, 2, tris))
    put("mesh_binary", "quad_trailer.bin", binary(4, 2, tris, b"\x01\x00"))
    put("mesh_binary", "empty_counts.bin", struct.pack("<ii", 0, 0))
    put("mesh_binary", "short.bin", binary(4, 2, tris)[:40])
    put("mesh_binary", "huge_counts.bin", struct.pack("<Ii", 0xFFFFFFFF, 0x7FFFFFFF))

    # Colliders.
    put("collider", "quadCollider.json", open("data/meshes/colliders/quadCollider.json").read())
    put("collider", "two_colliders.json",
        '{"collider":{"vertices":[{"x":0,"y":0}],"indices":[],"circles":[]},'
        '"other":1,"collider":{"vertices":[],"indices":[{"a":0,"b":-5}],'
        '"circles":[{"x":1,"y":2,"radius":-3,"z":4}]}}')
    put("collider", "wrong_types.json",
        '{"collider":{"vertices":[{"x":"0","y":0}],"indices":{},"circles":[1]}}')

    # Bitmap text: zero-separated strings, the first byte is also the size.
    put("bitmap_text", "game_texts.txt",
        b"ca marche!\0x3\0x1\0" + b"12345\0NORMAL\0PRESS SPACE TO START\0PRESS F1 FOR EASY MODE\0"
        b"PRESS F2 FOR RANDOM MODE\0\0-1 -1")
    put("bitmap_text", "high_bytes.txt", bytes(range(1, 256)) + b"\0" + bytes(range(255, 0, -1)))
    put("bitmap_text", "longest.txt", b"Z" * 16390 + b"\0" + b"short\0" + b"Y" * 16384)

    # The GL state shadow: every byte is a choice, so any bytes make calls;
    # a fixed generator gives a few sequences of about 300 calls.
    state = 25
    for n in range(4):
        choices = bytearray()
        for _ in range(1200):
            state = (state * 6364136223846793005 + 1442695040888963407) % 2**64
            choices.append(state >> 56)
        put("gl_shadow", "sequence%d.bin" % n, bytes(choices))


if __name__ == "__main__":
    main()
