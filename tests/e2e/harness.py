"""Helpers for end-to-end tests: a scripted UDP peer that plays the game server, the real
client binary as a child process, and xdotool for real input through the X server."""

import os
import signal
import socket
import struct
import subprocess
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
