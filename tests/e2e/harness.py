"""Helpers for end-to-end tests: a scripted UDP peer that plays the game server, the real
client binary as a child process, and xdotool for real input through the X server."""

import os
import select
import signal
import socket
import struct
import subprocess
import threading
import time

BUILD_DIR = os.environ.get("CUBEFRAY_BUILD_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "build"))
CLIENT = os.path.join(BUILD_DIR, "cubefray")

def player_record(player_id, name, position, direction=(0.0, 0.0, 1.0), points=0,
                  shooting=False, rotation=(0.0, 0.0, 0.0, 1.0)):
    """One 60-byte record of an update: rotation, eye, direction, name, points, flags."""
    body = struct.pack("<4f3f3f12si", *rotation, *position, *direction, name.encode()[:12], points)
    return body + bytes([1 if shooting else 0, ord(player_id), 0, 0])


def update_message(records):
    payload = b"".join(records)
    payload += b"\0" * (240 - len(payload))
    return b"u\0\0\0" + payload


class FakeServer:
    """A UDP socket on the loopback address standing in for the game server."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.client = None

    def receive(self, timeout=10.0, skip_keepalive=True):
        """The next datagram from the client, or None when none comes in time."""
        deadline = time.monotonic() + timeout
        while True:
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return None
            self.sock.settimeout(remaining)
            try:
                data, self.client = self.sock.recvfrom(2048)
            except socket.timeout:
                return None
            if skip_keepalive and data[:1] == b"x":
                continue
            return data

    def receive_all(self, quiet=1.0):
        """Every datagram until the client has been quiet for a while, keep-alives left out."""
        received = []
        while True:
            data = self.receive(timeout=quiet)
            if data is None:
                return received
            received.append(data)

    def send(self, data):
        self.sock.sendto(data, self.client)

    def close(self):
        self.sock.close()


class Client:
    """The real client, its standard output line-buffered and collected."""

    def __init__(self, *args, executable=CLIENT, env=None):
        self.process = subprocess.Popen(
            ["stdbuf", "-oL", executable, *args], stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT, env=env or os.environ.copy())
        self.output = b""

    def finish(self, timeout=20):
        out, _ = self.process.communicate(timeout=timeout)
        self.output += out
        return self.process.returncode

    def interrupt(self):
        self.process.send_signal(signal.SIGINT)

    def text(self):
        return self.output.decode(errors="replace")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.communicate()


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=10)


def client_window(timeout=15):
    """The id of the client's window once it is mapped."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--name", "^Cubefray$"],
                               capture_output=True, text=True)
        ids = found.stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.2)
    raise AssertionError("no client window appeared")


SERVER = os.path.join(BUILD_DIR, "cubefray-server")
RECORD = struct.Struct("<4f3f3f12sibBxx")


def free_udp_port():
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def parse_update(data):
    """The players of a 244-byte update as dicts, up to the first record with id 0."""
    players = {}
    for i in range(4):
        fields = RECORD.unpack_from(data, 4 + 60 * i)
        player_id = fields[13]
        if player_id == 0:
            break
        players[chr(player_id)] = {
            "rotation": fields[0:4], "position": fields[4:7], "direction": fields[7:10],
            "name": fields[10].split(b"\0")[0].decode(errors="replace"), "points": fields[11],
            "shooting": fields[12]}
    return players


class WatchingProxy:
    """Stands between the client and the real server, forwarding both ways and keeping the
    client's id and the latest update."""

    def __init__(self, server_port):
        self.front = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.front.bind(("127.0.0.1", 0))
        self.port = self.front.getsockname()[1]
        self.back = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.back.connect(("127.0.0.1", server_port))
        self.client = None
        self.own_id = None
        self.players = {}
        self.updates = 0
        self.lock = threading.Lock()
        self.running = True
        self.thread = threading.Thread(target=self._forward, daemon=True)
        self.thread.start()

    def _forward(self):
        while self.running:
            ready, _, _ = select.select([self.front, self.back], [], [], 0.1)
            for sock in ready:
                if sock is self.front:
                    data, self.client = self.front.recvfrom(2048)
                    self.back.send(data)
                else:
                    data = self.back.recv(2048)
                    self._watch(data)
                    if self.client:
                        self.front.sendto(data, self.client)

    def _watch(self, data):
        with self.lock:
            if data[:1] == b"s" and len(data) >= 2:
                self.own_id = chr(data[1])
            elif data[:1] == b"u" and len(data) == 244:
                self.players = parse_update(data)
                self.updates += 1

    def own(self):
        with self.lock:
            return self.players.get(self.own_id)

    def snapshot(self):
        with self.lock:
            return dict(self.players), self.own_id

    def wait_for(self, condition, timeout=20.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if condition():
                return True
            time.sleep(0.05)
        return False

    def close(self):
        self.running = False
        self.thread.join()
        self.front.close()
        self.back.close()


def window_pixels(window):
    """The window's pixels from xwd as (width, height, rows of (r, g, b) tuples)."""
    dump = subprocess.run(["xwd", "-id", window, "-silent"], capture_output=True,
                          check=True).stdout
    header = struct.unpack(">25I", dump[:100])
    header_size, width, height = header[0], header[4], header[5]
    byte_order, bits_per_pixel, bytes_per_line, colors = header[7], header[11], header[12], header[19]
    if bits_per_pixel != 32:
        raise AssertionError("expected 32 bits a pixel, got %d" % bits_per_pixel)
    start = header_size + colors * 12
    rows = []
    for y in range(height):
        line = dump[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        if byte_order == 0:
            rows.append([(line[4 * x + 2], line[4 * x + 1], line[4 * x]) for x in range(width)])
        else:
            rows.append([(line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]) for x in range(width)])
    return width, height, rows
