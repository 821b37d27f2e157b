"""Helpers for end-to-end tests under Xvfb: a scripted UDP peer that plays the game server, the
real programs as child processes, and xdotool and xwd for real input and the rendered frames."""

import os
import select
import signal
import socket
import struct
import subprocess
import threading
import time

BUILD_DIR = os.environ.get("CUBEFRAY_BUILD_DIR",
                           os.path.join(os.path.dirname(__file__), "..", "..", "build"))
CLIENT = os.path.join(BUILD_DIR, "cubefray")
SERVER = os.path.join(BUILD_DIR, "cubefray-server")
# One 60-byte player record of an update: rotation, eye, direction, name, points, shooting, id.
RECORD = struct.Struct("<4f3f3f12sibBxx")


def update_message(players):
    """An update listing (id, name, position, direction) players."""
    records = b"".join(RECORD.pack(0, 0, 0, 1, *position, *direction, name.encode(), 0, 0, ord(pid))
                       for pid, name, position, direction in players)
    return b"u\0\0\0" + records.ljust(240, b"\0")


def wait_for(condition, timeout=20.0):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.05)
    return True


class FakeServer:
    """A UDP socket on the loopback address standing in for the game server."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.client = None

    def receive(self, timeout=10.0):
        """The next datagram from the client but keep-alives, or None when none comes in time."""
        deadline = time.monotonic() + timeout
        while select.select([self.sock], [], [], max(0.0, deadline - time.monotonic()))[0]:
            data, self.client = self.sock.recvfrom(2048)
            if data[:1] != b"x":
                return data
        return None

    def receive_all(self, quiet=1.0):
        """Every datagram until the client has been quiet for a while, keep-alives left out."""
        received = []
        while (data := self.receive(quiet)) is not None:
            received.append(data)
        return received

    def send(self, data):
        self.sock.sendto(data, self.client)


class Client:
    """The real client, its standard output line-buffered and collected as it comes."""

    def __init__(self, *args, executable=CLIENT, env=None):
        self.process = subprocess.Popen(["stdbuf", "-oL", executable, *args],
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
        self.output = b""
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.process.stdout:
            self.output += line

    def finish(self, timeout=20):
        self.process.wait(timeout)
        self.reader.join()
        self.process.stdout.close()
        return self.process.returncode

    def interrupt(self):
        self.process.send_signal(signal.SIGINT)

    def text(self):
        return self.output.decode(errors="replace")

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.finish()


def free_port():
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    probe.bind(("127.0.0.1", 0))
    port = probe.getsockname()[1]
    probe.close()
    return port


def start_server(bots):
    """The real server with bots on a free port: the process and the port."""
    port = free_port()
    server = subprocess.Popen([SERVER, "--port", str(port), "--bots", str(bots)],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    time.sleep(0.3)
    return server, port


class Server(Client):
    """A server program run with the arguments, its log collected as it comes; it is up once it
    has logged its first line."""

    def __init__(self, *args, executable=SERVER):
        super().__init__(*args, executable=executable)
        if not wait_for(lambda: "Cubefray server on port" in self.text(), 10):
            self.kill()
            raise AssertionError("the server did not start: " + self.text())


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=10)


def client_window(timeout=15):
    """The id of the client's window once it is mapped."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        ids = subprocess.run(["xdotool", "search", "--name", "^Cubefray$"], capture_output=True,
                             text=True).stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.2)
    raise AssertionError("no client window appeared")


def window_grey(window):
    """The window's pixels from xwd, as rows of grey levels."""
    dump = subprocess.run(["xwd", "-id", window, "-silent"], capture_output=True,
                          check=True).stdout
    header = struct.unpack(">25I", dump[:100])
    if header[11] != 32:
        raise AssertionError("expected 32 bits a pixel, got %d" % header[11])
    start = header[0] + header[19] * 12
    width, height, bytes_per_line = header[4], header[5], header[12]
    # Least significant byte first is blue, green, red, pad; else pad, red, green, blue.
    first = start + (0 if header[7] == 0 else 1)
    rows = [dump[first + y * bytes_per_line:first + y * bytes_per_line + 4 * width]
            for y in range(height)]
    return [[sum(row[4 * x:4 * x + 3]) / 3 for x in range(width)] for row in rows]
