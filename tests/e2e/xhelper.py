#!/usr/bin/python3
"""Small X11 helper for the end-to-end test: finds the program's window, sends the
close request a window manager's close button would send, and grabs and inspects
screenshots. Uses python3-xlib only."""
import struct
import sys
import zlib

from Xlib import X, display, protocol

CAPTION_PREFIX = "Dazozi Redov by Vesk"


def window_name(d, w):
    for atom in ("_NET_WM_NAME", "WM_NAME"):
        try:
            prop = w.get_full_property(d.intern_atom(atom), X.AnyPropertyType)
        except Exception:
            prop = None
        if prop and prop.value:
            v = prop.value
            return v.decode("utf-8", "replace") if isinstance(v, bytes) else str(v)
    return ""


def find_window(d):
    stack = [d.screen().root]
    while stack:
        w = stack.pop()
        try:
            if window_name(d, w).startswith(CAPTION_PREFIX):
                attrs = w.get_attributes()
                if attrs.map_state == X.IsViewable:
                    return w
            stack.extend(w.query_tree().children)
        except Exception:
            continue
    return None


def cmd_find(d):
    w = find_window(d)
    if w is None:
        return 1
    g = w.get_geometry()
    print(f"{w.id} {g.width} {g.height} {window_name(d, w)}")
    return 0


def cmd_close(d, wid):
    w = d.create_resource_object("window", int(wid))
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    ev = protocol.event.ClientMessage(window=w, client_type=protocols,
                                      data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    w.send_event(ev, event_mask=X.NoEventMask)
    # A flush only hands the request to the socket; exiting right after it can drop the
    # request with the connection. sync() returns once the server has processed it, so the
    # client message has been delivered to the program's queue by then.
    d.sync()
    return 0


def grab(d, wid):
    w = d.create_resource_object("window", int(wid))
    g = w.get_geometry()
    img = w.get_image(0, 0, g.width, g.height, X.ZPixmap, 0xFFFFFFFF)
    data = img.data
    if isinstance(data, str):
        data = data.encode("latin-1")
    rows = []
    for y in range(g.height):
        row = data[y * g.width * 4:(y + 1) * g.width * 4]
        # BGRX -> RGB
        rgb = bytearray(g.width * 3)
        rgb[0::3] = row[2::4]
        rgb[1::3] = row[1::4]
        rgb[2::3] = row[0::4]
        rows.append(bytes(rgb))
    return g.width, g.height, rows


def write_png(path, width, height, rows):
    def chunk(tag, body):
        c = struct.pack(">I", len(body)) + tag + body
        return c + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + r for r in rows)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def cmd_shot(d, wid, path, box=None):
    w, h, rows = grab(d, wid)
    if box:  # "X0,Y0,X1,Y1": only that part of the window
        x0, y0, x1, y1 = (int(v) for v in box.split(","))
        rows = [r[3 * x0:3 * x1] for r in rows[y0:y1]]
        w, h = x1 - x0, y1 - y0
    write_png(path, w, h, rows)
    return 0


def count_colour(rows, r, g, b, box=None, tol=0):
    count = 0
    y0, y1 = (0, len(rows)) if box is None else (box[1], box[3])
    for y in range(max(0, y0), min(len(rows), y1)):
        row = rows[y]
        width = len(row) // 3
        x0, x1 = (0, width) if box is None else (max(0, box[0]), min(width, box[2]))
        for x in range(x0, x1):
            pr, pg, pb = row[3 * x], row[3 * x + 1], row[3 * x + 2]
            if abs(pr - r) <= tol and abs(pg - g) <= tol and abs(pb - b) <= tol:
                count += 1
    return count


def cmd_count(d, wid, rgb, tol, box=None):
    _, _, rows = grab(d, wid)
    r, g, b = (int(v) for v in rgb.split(","))
    area = None if box is None else [int(v) for v in box.split(",")]
    print(count_colour(rows, r, g, b, box=area, tol=int(tol)))
    return 0


def cmd_diff(d, wid, before_path, box, threshold):
    """Counts pixels inside box that differ from the saved screenshot."""
    _, _, rows = grab(d, wid)
    with open(before_path, "rb") as f:
        blob = f.read()
    # Only our own PNGs are read here: one IDAT stream, filter 0, RGB.
    pos, idat, width = 8, b"", 0
    while pos < len(blob):
        length, tag = struct.unpack(">I4s", blob[pos:pos + 8])
        body = blob[pos + 8:pos + 8 + length]
        if tag == b"IHDR":
            width = struct.unpack(">I", body[:4])[0]
        elif tag == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = 1 + width * 3
    x0, y0, x1, y1 = (int(v) for v in box.split(","))
    changed = 0
    for y in range(y0, y1):
        old = raw[y * stride + 1:(y + 1) * stride]
        new = rows[y]
        for x in range(x0, x1):
            delta = sum(abs(old[3 * x + i] - new[3 * x + i]) for i in range(3))
            if delta > int(threshold):
                changed += 1
    print(changed)
    return 0


def main(argv):
    d = display.Display()
    cmd = argv[1]
    if cmd == "find":
        return cmd_find(d)
    if cmd == "close":
        return cmd_close(d, argv[2])
    if cmd == "shot":
        return cmd_shot(d, argv[2], argv[3], argv[4] if len(argv) > 4 else None)
    if cmd == "count":
        return cmd_count(d, argv[2], argv[3], argv[4] if len(argv) > 4 else 0,
                         argv[5] if len(argv) > 5 else None)
    if cmd == "diff":
        return cmd_diff(d, argv[2], argv[3], argv[4], argv[5] if len(argv) > 5 else 60)
    print(f"unknown command {cmd}", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
