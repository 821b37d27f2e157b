"""Helpers for end-to-end tests under Xvfb: a scripted UDP peer that plays the game server, the
real programs as child processes, and xdotool and xwd for real input and the rendered frames."""

import ctypes
import heapq
import itertools
import os
import random
import select
import signal
import socket
import struct
import subprocess
import tempfile
import threading
import time

BUILD_DIR = os.environ.get("CUBEFRAY_BUILD_DIR",
                           os.path.join(os.path.dirname(__file__), "..", "..", "build"))
CLIENT = os.path.join(BUILD_DIR, "cubefray")
SERVER = os.path.join(BUILD_DIR, "cubefray-server")
SHUTDOWN = "Exiting game\nCleanup game\nDelete maincontext\nDestory mainwindow\nSDL_Quit()\n"
# One 60-byte player record of an update: rotation, eye, direction, name, points, shooting, id.
RECORD = struct.Struct("<4f3f3f12sibBxx")


def update_message(players):
    """An update listing (id, name, position, direction[, shooting]) players."""
    records = b"".join(RECORD.pack(0, 0, 0, 1, *p[2], *p[3], p[1].encode(), 0, int(p[4:] == (True,)),
                                   ord(p[0])) for p in players)
    return b"u\0\0\0" + records.ljust(240, b"\0")


def players_of(update):
    """The (name, position) of each player an update lists."""
    return [(name, position) for _, name, position, _, _ in records_of(update)]


def records_of(update):
    """The (id, name, position, direction, shooting) of each player an update lists."""
    records = [RECORD.unpack_from(update, offset) for offset in range(4, 244, RECORD.size)]
    return [(chr(r[13]), r[10].split(b"\0")[0].decode(errors="replace"), r[4:7], r[7:10],
             bool(r[12])) for r in records if r[13]]


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


# Programs started by the tests keep their settings and data in folders of their own, never in
# the home of the machine's user: removed when the tests end.
SCRATCH = tempfile.TemporaryDirectory(prefix="cubefray-e2e-")


class Client:
    """The real client, its standard output line-buffered and collected as it comes. Without an
    environment of the test's own, its settings and data folders are fresh and empty."""

    def __init__(self, *args, executable=CLIENT, env=None):
        if env is None:
            env = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(dir=SCRATCH.name),
                       XDG_DATA_HOME=tempfile.mkdtemp(dir=SCRATCH.name))
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


class Server(Client):
    """A server program run with the arguments, its log collected as it comes; it is up once it
    has logged its first line."""

    def __init__(self, *args, executable=SERVER, env=None):
        super().__init__(*args, executable=executable, env=env)
        if not wait_for(lambda: "Cubefray server on port" in self.text(), 10):
            self.kill()
            raise AssertionError("the server did not start: " + self.text())

    def stop(self):
        """Ends the server as a service manager does; its exit status."""
        self.process.terminate()
        return self.finish()


def start_server(bots):
    """The real server with bots on a free port: the server and the port."""
    port = free_port()
    return Server("--port", str(port), "--bots", str(bots)), port


class SeatHolders:
    """Players on loopback sockets that hold seats of a server, keeping them from a thread of
    their own and reading nothing but their ids. Humans take the seats of bots, so only humans
    fill a house for good."""

    def __init__(self, port, count):
        self.server = ("127.0.0.1", port)
        self.seats = []
        for number in range(count):
            sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            sock.bind(("127.0.0.1", 0))
            self.seats.append((sock, self._join(sock, "filler%d" % number)))
        self.running = True
        self.thread = threading.Thread(target=self._keep_seats, daemon=True)
        self.thread.start()

    def _join(self, sock, name):
        sock.sendto(b"j" + name.encode().ljust(12, b"\0"), self.server)
        deadline = time.monotonic() + 5
        while select.select([sock], [], [], max(0.0, deadline - time.monotonic()))[0]:
            data = sock.recv(2048)
            if data[:1] == b"s" and len(data) == 2:
                return data[1:]
        sock.close()
        raise AssertionError("no seat for " + name)

    def _keep_seats(self):
        next_keep_alive = 0
        while self.running:
            if time.monotonic() >= next_keep_alive:
                for sock, own_id in self.seats:
                    sock.sendto(b"x" + own_id, self.server)
                next_keep_alive = time.monotonic() + 0.5
            for sock in select.select([sock for sock, _ in self.seats], [], [], 0.05)[0]:
                sock.recv(2048)

    def close(self):
        self.running = False
        self.thread.join()
        for sock, _ in self.seats:
            sock.close()


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=10)


def client_window(client, timeout=30):
    """The id of the client's window once it is mapped, or how the client ended instead."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if client.process.poll() is not None:
            raise AssertionError("the client ended with %d: %s" % (client.process.returncode,
                                                                     client.text()[-500:]))
        if "sprites.size()" in client.text():
            # By the process: a window of an earlier client may still be going.
            ids = subprocess.run(["xdotool", "search", "--pid", str(client.process.pid), "--name",
                                  "^Cubefray$"], capture_output=True, text=True).stdout.split()
            if ids:
                return ids[-1]
        time.sleep(0.1)
    raise AssertionError("no client window appeared: " + client.text()[-500:])


def scripted_game(test, players, name="tester", env=None):
    """The real client admitted as id 1 by a scripted server that then sends it the players, with
    the mouse over its window and what it sent meanwhile read: the server (its join kept as
    joined), the client and the window."""
    server = FakeServer()
    test.addCleanup(server.sock.close)
    client = Client("127.0.0.1", str(server.port), name, env=env)
    test.addCleanup(client.kill)
    server.joined = server.receive(timeout=30)
    test.assertIsNotNone(server.joined, "the client sent no join")
    server.send(b"s1")
    for _ in range(3):
        server.send(update_message(players))
        time.sleep(0.05)
    window = client_window(client)
    xdotool("mousemove", "--window", window, "360", "240")
    time.sleep(0.5)
    server.receive_all(quiet=0.5)
    return server, client, window


def window_rgb(window):
    """The window's pixels from xwd, as rows of bytes r, g, b, r, g, b, ..."""
    dump = subprocess.run(["xwd", "-id", window, "-silent"], capture_output=True,
                          check=True).stdout
    header = struct.unpack(">25I", dump[:100])
    if header[11] != 32 or header[7] != 0:
        raise AssertionError("expected 32-bit pixels, blue, green, red and pad: %s" % (header,))
    start = header[0] + header[19] * 12
    width, height, bytes_per_line = header[4], header[5], header[12]
    rows = []
    for y in range(height):
        line = dump[start + y * bytes_per_line:start + y * bytes_per_line + 4 * width]
        red, green, blue = line[2::4], line[1::4], line[0::4]
        rows.append(bytes(c for pixel in zip(red, green, blue) for c in pixel))
    return rows


def window_grey(window):
    """The window's pixels from xwd, as rows of grey levels."""
    return [[sum(row[3 * x:3 * x + 3]) / 3 for x in range(len(row) // 3)]
            for row in window_rgb(window)]


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def count_pixels(rows, left, top, right, bottom, test):
    """How many pixels of the rectangle (y from the top) pass test(r, g, b)."""
    return sum(test(*row[3 * x:3 * x + 3]) for row in rows[top:bottom] for x in range(left, right))


class LinkProxy:
    """A UDP relay between one client and a server that loses a share of the datagrams each way,
    repeats a share and holds each for a delay drawn from a range (seconds). sent lists what the
    client sent, updates what the server sent."""

    def __init__(self, server_port, seed, loss=0.0, repeat=0.0, delay=(0.0, 0.0)):
        self.front = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.front.bind(("127.0.0.1", 0))
        self.port = self.front.getsockname()[1]
        self.back = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.back.connect(("127.0.0.1", server_port))
        self.chance = random.Random(seed)
        self.loss, self.repeat, self.delay = loss, repeat, delay
        self.client = None
        self.sent = []
        self.pending = []
        self.order = itertools.count()
        self.updates = []
        self.update_records = []
        self.running = True
        self.thread = threading.Thread(target=self._relay, daemon=True)
        self.thread.start()

    def _schedule(self, send, data):
        if self.chance.random() < self.loss:
            return
        copies = 2 if self.chance.random() < self.repeat else 1
        for _ in range(copies):
            heapq.heappush(self.pending, (time.monotonic() + self.chance.uniform(*self.delay),
                                          next(self.order), send, data))

    def _relay(self):
        while self.running:
            wait = 0.005 if not self.pending else max(0.0, min(0.005, self.pending[0][0] -
                                                               time.monotonic()))
            ready = select.select([self.front, self.back], [], [], wait)[0]
            if self.front in ready:
                data, self.client = self.front.recvfrom(2048)
                self.sent.append(data)
                self._schedule(self.back.send, data)
            if self.back in ready:
                data = self.back.recv(2048)
                if data[:1] == b"u":
                    self.updates.append((time.monotonic(), players_of(data)))
                    self.update_records.append((time.monotonic(), records_of(data)))
                if self.client:
                    self._schedule(lambda d: self.front.sendto(d, self.client), data)
            while self.pending and self.pending[0][0] <= time.monotonic():
                _, _, send, data = heapq.heappop(self.pending)
                send(data)

    def close(self):
        self.running = False
        self.thread.join()
        self.front.close()
        self.back.close()


class XTest:
    """The pointer as a device moves and clicks it, through the X server's XTest extension: each
    event reaches the server at once, without a program started for it."""

    def __init__(self):
        self.xlib = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.xlib.XOpenDisplay.restype = ctypes.c_void_p
        self.xlib.XFlush.argtypes = [ctypes.c_void_p]
        self.xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeRelativeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int,
                                                            ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                    ctypes.c_ulong]
        self.display = self.xlib.XOpenDisplay(None)
        if not self.display:
            raise AssertionError("no X display")

    def move(self, dx, dy):
        self.xtst.XTestFakeRelativeMotionEvent(self.display, dx, dy, 0)
        self.xlib.XFlush(self.display)

    def button(self, pressed):
        self.xtst.XTestFakeButtonEvent(self.display, 1, int(pressed), 0)
        self.xlib.XFlush(self.display)

    def close(self):
        self.xlib.XCloseDisplay(self.display)


def monotonic_ms():
    """The system's monotonic clock as the client's frame log has it."""
    return time.clock_gettime(time.CLOCK_MONOTONIC) * 1000


def read_frame_log(path):
    """The client's frame log: (presented at, CPU time, heading, pitch, hash) a frame."""
    with open(path) as log:
        return [(float(f[0]), float(f[1]), float(f[2]), float(f[3]), int(f[4]))
                for f in (line.split() for line in log) if len(f) >= 5]


def isolated_env(folder, settings="", **extra):
    """An environment whose settings and data live in the folder, with the settings text given;
    no test reads or writes the user's own."""
    config = os.path.join(folder, "config")
    os.makedirs(os.path.join(config, "cubefray"), exist_ok=True)
    with open(os.path.join(config, "cubefray", "settings"), "w") as out:
        out.write(settings)
    return dict(os.environ, XDG_CONFIG_HOME=config, XDG_DATA_HOME=os.path.join(folder, "data"),
                **extra)


def lossy_proxy(server_port, seed):
    """A link that loses 30%, repeats 10% and delays 0 to 150 ms of the datagrams each way."""
    return LinkProxy(server_port, seed, loss=0.3, repeat=0.1, delay=(0.0, 0.15))
