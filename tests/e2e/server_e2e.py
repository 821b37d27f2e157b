"""End to end with the real server: its log as scripted clients come and go, and the real client
under Xvfb, where xdotool moves the mouse and xwd reads the rendered frames. The keys' bytes are
the client session's test and what the server does with them its own tests'; here the mirrored
picture answers the mouse as the server turns the player."""

import datetime
import os
import re
import select
import socket
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (BUILD_DIR, Client, client_window, start_server, wait_for,  # noqa: E402
                     window_grey, xdotool)

STAMP = re.compile(r"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3})Z (.*)")


class ScriptedClient:
    """A UDP socket that speaks the client's records to the server."""

    def __init__(self, port, ip="127.0.0.1"):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind((ip, 0))
        self.address = "%s:%d" % self.sock.getsockname()
        self.server = ("127.0.0.1", port)

    def send(self, data):
        self.sock.sendto(data, self.server)

    def join(self, name):
        """The server's answer to a join: b"s" and the id, or b"f"."""
        self.send(b"j" + name.encode().ljust(12, b"\0"))
        deadline = time.monotonic() + 5
        while select.select([self.sock], [], [], max(0.0, deadline - time.monotonic()))[0]:
            data = self.sock.recv(2048)
            if data[:1] in (b"s", b"f") and len(data) <= 2:
                return data
        raise AssertionError("no answer to the join of " + name)


def stamped_lines(text):
    """The log as (UTC time, line) pairs; every line must carry a stamp."""
    lines = []
    for line in text.splitlines():
        match = STAMP.fullmatch(line)
        if match is None:
            raise AssertionError("a line without a timestamp: %r" % line)
        when = datetime.datetime.strptime(match[1], "%Y-%m-%dT%H:%M:%S.%f")
        lines.append((when.replace(tzinfo=datetime.timezone.utc), match[2]))
    return lines


class Log(unittest.TestCase):
    """Four scripted clients and a bot through joins, a refusal, chat, a leave and a timeout;
    every line stamped with the time it happened."""

    def test_each_event_is_a_stamped_line(self):
        started = datetime.datetime.now(datetime.timezone.utc)
        server, port = start_server(bots=1)
        self.addCleanup(server.kill)
        alice, bob, dave, eve = (ScriptedClient(port) for _ in range(4))
        for client in (alice, bob, dave, eve):
            self.addCleanup(client.sock.close)

        self.assertEqual(alice.join("alice"), b"s2")
        alice.send(b"t2" + b"HELLO THERE".ljust(30, b"\0"))
        eve.send(b"k0\x03\x01")  # input before the client has heard its id
        eve.send(b"q1")
        eve.send(b"")
        self.assertEqual(bob.join("bob"), b"s3")
        self.assertEqual(dave.join("dave"), b"s4")
        self.assertEqual(eve.join("eve"), b"f")
        bob.send(b"d3")

        def dave_timed_out():
            alice.send(b"x2")  # alice keeps talking; dave has fallen silent
            return "dave timed out" in server.text()
        self.assertTrue(wait_for(dave_timed_out, 15), server.text())
        self.assertEqual(server.stop(), 0)
        stopped = datetime.datetime.now(datetime.timezone.utc)

        lines = stamped_lines(server.text())
        times = [when for when, _ in lines]
        self.assertEqual(times, sorted(times))
        self.assertGreaterEqual(times[0], started - datetime.timedelta(milliseconds=1))
        self.assertLessEqual(times[-1], stopped)
        # The bot may shoot someone meanwhile; a summary's span is the stop's.
        events = [re.sub(r"in the last \d+ s$", "in the last N s", line) for _, line in lines
                  if not re.fullmatch(r"bot_ann killed (alice|bob|dave)", line)]
        map_path = os.path.join(os.path.realpath(BUILD_DIR), "Contents", "Resources", "mapdata")
        self.assertEqual(events, [
            "Cubefray server on port %d, map %s, 1 bots" % (port, map_path),
            "bot_ann joined as 1 (bot)",
            "alice joined as 2 from " + alice.address,
            "chat alice: HELLO THERE",
            "dropped a datagram from %s naming a player id it does not own" % eve.address,
            "dropped a malformed datagram of 2 bytes from " + eve.address,
            "bob joined as 3 from " + bob.address,
            "dave joined as 4 from " + dave.address,
            "refused eve from %s: server full" % eve.address,
            "bob left",
            "dave timed out",
            "dropped 1 more malformed datagram from 127.0.0.1 in the last N s",
            "2 malformed datagrams dropped",
            "1 datagrams dropped from addresses that do not own the player id they name",
            "Server stopped"])
        joined, timed_out = (next(when for when, line in lines if line.startswith(what))
                             for what in ("dave joined", "dave timed out"))
        self.assertGreater(timed_out - joined, datetime.timedelta(seconds=4.9))


def picture_shift(before, after, horizontal=True, reach=60):
    """How far the picture moved between two grey frames, in pixels: right or down is positive.
    Of equally good fits the smallest shift wins, so an unchanged picture gives 0."""
    height, width = len(before), len(before[0])

    def cost(shift):
        diffs = [abs(before[y][x] - (after[y][x + shift] if horizontal else after[y + shift][x]))
                 for y in range(0, height, 2) for x in range(reach, width - reach, 2)
                 if horizontal or 0 <= y + shift < height]
        return sum(diffs) / max(len(diffs), 1), abs(shift)
    return min(range(1 - reach, reach), key=cost)


class Movement(unittest.TestCase):
    # Cleanups, unlike tearDown, also run when setUp fails.
    def setUp(self):
        self.server, port = start_server(bots=0)
        self.addCleanup(self.server.kill)
        self.client = Client("127.0.0.1", str(port), "tester")
        self.addCleanup(self.client.kill)
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: tester\n" in self.client.text(), 30),
                        "the client never appeared in an update")
        self.window = client_window(self.client)
        xdotool("mousemove", "--window", self.window, "360", "240")
        time.sleep(1.0)

    def frame(self):
        """The left of the picture around the horizon, clear of the overlay and the gun, once the
        view has settled."""
        time.sleep(0.4)
        return [row[60:340] for row in window_grey(self.window)[60:290]]

    def test_mouse_right_turns_the_view_right_and_mouse_down_looks_down(self):
        before = self.frame()
        xdotool("mousemove_relative", "--", "20", "0")
        self.assertLess(picture_shift(before, self.frame()), 0)
        before = self.frame()
        xdotool("mousemove_relative", "--", "0", "20")
        self.assertLess(picture_shift(before, self.frame(), horizontal=False), 0)


if __name__ == "__main__":
    unittest.main()
