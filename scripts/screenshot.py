"""Takes the README's screenshot: the real client against a scripted server showing four
players, shots and chat. Run under Xvfb from the repository root:

    xvfb-run -a -s "-screen 0 1280x1024x24" python3 scripts/screenshot.py docs/screenshot.png
"""

import math
import os
import struct
import sys
import time
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from harness import RECORD, Client, FakeServer, client_window, window_rgb  # noqa: E402


def save_png(rows, path):
    """Writes rows of r, g, b bytes as a PNG file."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))
    header = struct.pack(">IIBBBBB", len(rows[0]) // 3, len(rows), 8, 2, 0, 0, 0)
    pixels = zlib.compress(b"".join(b"\0" + row for row in rows))
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", pixels) +
                  chunk(b"IEND", b""))


def facing(direction):
    """The rotation that turns the gun from -z towards the horizontal part of direction."""
    yaw = math.atan2(-direction[0], -direction[2])
    return (0.0, math.sin(yaw / 2), 0.0, math.cos(yaw / 2))


def player_record(player_id, name, position, direction, points=0, shooting=False,
                  rotation=(0.0, 0.0, 0.0, 1.0)):
    return RECORD.pack(*rotation, *position, *direction, name.encode(), points, int(shooting),
                       ord(player_id))


def update_message(records):
    return b"u\0\0\0" + b"".join(records).ljust(240, b"\0")


def unit(v):
    length = math.sqrt(sum(c * c for c in v))
    return tuple(c / length for c in v)


def main(out):
    server = FakeServer()
    client = Client("127.0.0.1", str(server.port), "alice")
    server.receive(timeout=30)
    server.send(b"s1")
    me = unit((0.0, -0.15, 1.0))
    for tick in range(150):
        bob = unit((0.3, 0.0, -1.0))
        carol = unit((-0.5, 0.0, -1.0))
        dave = unit((-1.0, 0.0, 0.2))
        server.send(update_message([
            player_record("1", "alice", (1024.0, 230.0, 400.0), me, 3, rotation=facing(me)),
            player_record("2", "bob", (900.0, 139.0, 900.0), bob, 5, tick % 6 == 0, facing(bob)),
            player_record("3", "carol", (1250.0, 139.0, 1100.0), carol, 1, tick % 9 == 0,
                          facing(carol)),
            player_record("4", "dave", (1100.0, 139.0, 700.0), dave, 0, rotation=facing(dave)),
        ]))
        if tick == 20:
            server.send(b"tsbob joined")
            server.send(b"t2nice shot")
            server.send(b"t3GG")
        time.sleep(1 / 60)
    window = client_window(client)
    save_png(window_rgb(window), out)
    client.interrupt()
    client.finish()
    server.sock.close()


if __name__ == "__main__":
    main(sys.argv[1])
