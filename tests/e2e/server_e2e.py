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
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (BUILD_DIR, Client, Server, client_window, free_port,  # noqa: E402
                     records_of, start_server, wait_for, window_grey, xdotool)

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

    def listen(self, own_id, seconds):
        """The server's chat lines and the updates' records in the next seconds, the seat kept
        meanwhile."""
        chat, updates = [], []
        end = time.monotonic() + seconds
        next_keep_alive = 0
        while (now := time.monotonic()) < end:
            if now >= next_keep_alive:
                self.send(b"x" + own_id)
                next_keep_alive = now + 0.5
            if select.select([self.sock], [], [], min(0.05, end - now))[0]:
                data = self.sock.recv(2048)
                if data[:2] == b"ts":
                    chat.append(data[2:].split(b"\0")[0].decode())
                elif data[:1] == b"u":
                    updates.append(records_of(data))
        return chat, updates


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
    """Five scripted clients and a bot through joins, the bot giving its seat to a human and
    taking one back, a refusal, chat, a leave and a timeout; every line stamped with the time it
    happened."""

    def test_each_event_is_a_stamped_line(self):
        started = datetime.datetime.now(datetime.timezone.utc)
        server, port = start_server(bots=1)
        self.addCleanup(server.kill)
        alice, bob, dave, eve, frank = (ScriptedClient(port) for _ in range(5))
        for client in (alice, bob, dave, eve, frank):
            self.addCleanup(client.sock.close)

        self.assertEqual(alice.join("alice"), b"s2")
        alice.send(b"t2" + b"HELLO THERE".ljust(30, b"\0"))
        eve.send(b"k0\x03\x01")  # input before the client has heard its id
        eve.send(b"q1")
        eve.send(b"")
        self.assertEqual(bob.join("bob"), b"s3")
        self.assertEqual(dave.join("dave"), b"s4")
        self.assertEqual(eve.join("eve"), b"s1")
        self.assertEqual(frank.join("frank"), b"f")
        bob.send(b"d3")

        def dave_timed_out():
            alice.send(b"x2")  # alice and eve keep talking; dave has fallen silent
            eve.send(b"x1")
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
                  if not re.fullmatch(r"bot_ann killed \w+", line)]
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
            "bot_ann left to free a seat for eve",
            "eve joined as 1 from " + eve.address,
            "refused frank from %s: server full" % frank.address,
            "bob left",
            "bot_ann joined as 3 (bot)",
            "dave timed out",
            "dropped 1 more malformed datagram from 127.0.0.1 in the last N s",
            "2 malformed datagrams dropped",
            "1 datagrams dropped from addresses that do not own the player id they name",
            "Server stopped"])
        joined, timed_out = (next(when for when, line in lines if line.startswith(what))
                             for what in ("dave joined", "dave timed out"))
        self.assertGreater(timed_out - joined, datetime.timedelta(seconds=4.9))


class Seats(unittest.TestCase):
    """Bots play in the seats humans leave free."""

    def test_a_human_takes_a_bots_seat_which_a_bot_takes_back_when_the_human_leaves(self):
        server, port = start_server(bots=4)
        self.addCleanup(server.kill)
        guest, friend = ScriptedClient(port), ScriptedClient(port)
        for client in (guest, friend):
            self.addCleanup(client.sock.close)
        self.assertEqual(guest.join("guest"), b"s4")
        self.assertEqual(friend.join("friend"), b"s3")
        guest.send(b"d4")
        chat, updates = friend.listen(b"3", 0.5)
        self.assertEqual(chat, ["friend joined", "guest left", "bot_cal joined"])
        self.assertEqual(sorted(name for _, name, *_ in updates[-1]),
                         ["bot_ann", "bot_ben", "bot_cal", "friend"])
        events = [line for line in server.text().splitlines() if " killed " not in line]
        self.assertEqual([line.split(" ", 1)[1] for line in events[5:]], [
            "bot_dot left to free a seat for guest",
            "guest joined as 4 from " + guest.address,
            "bot_cal left to free a seat for friend",
            "friend joined as 3 from " + friend.address,
            "guest left",
            "bot_cal joined as 4 (bot)"])


def corridor_map():
    """A map one cell wide and eight long with a floor cell at each end only: two players spawn
    at the ends, facing each other."""
    cells = ["1 1" if y == 0 and z in (0, 7) else "0 0" for y in range(5) for z in range(8)]
    return "1 5 8 " + " ".join(cells) + " "


class SpawnProtection(unittest.TestCase):
    """Two scripted players face each other down a corridor: the shooter holds fire from the
    moment the target spawns."""

    def test_the_just_spawned_are_spared_two_seconds_or_until_they_fire(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        path = os.path.join(folder.name, "corridor")
        with open(path, "w") as text:
            text.write(corridor_map())
        port = free_port()
        server = Server("--port", str(port), "--map", path)
        self.addCleanup(server.kill)
        shooter, target = ScriptedClient(port), ScriptedClient(port)
        for client in (shooter, target):
            self.addCleanup(client.sock.close)
        self.assertEqual(shooter.join("shooter"), b"s1")
        shooter.send(b"k1\x05\x01")
        self.assertEqual(target.join("target"), b"s2")

        def kills():
            """When the shooter killed the target; both keep their seats meanwhile."""
            shooter.send(b"x1")
            target.send(b"x2")
            return [when for when, line in stamped_lines(server.text())
                    if line == "shooter killed target"]
        self.assertTrue(wait_for(lambda: len(kills()) == 1, 10))
        spawned = next(when for when, line in stamped_lines(server.text())
                       if line.startswith("target joined"))
        self.assertGreaterEqual(kills()[0] - spawned, datetime.timedelta(seconds=2))
        self.assertLess(kills()[0] - spawned, datetime.timedelta(seconds=3))

        # Back after three seconds, the target fires at once and loses its protection.
        def respawned():
            """Whether the latest update shows the target alive; earlier ones wait unread."""
            shooter.send(b"x1")
            _, updates = target.listen(b"2", 0.1)
            return any(name == "target" and position[0] >= 0
                       for _, name, position, *_ in (updates or [[]])[-1])
        self.assertTrue(wait_for(respawned, 10))
        fired = datetime.datetime.now(datetime.timezone.utc)
        target.send(b"k2\x05\x01")
        time.sleep(0.1)
        target.send(b"k2\x05\x00")
        self.assertTrue(wait_for(lambda: len(kills()) == 2, 10))
        self.assertLess(kills()[1] - fired, datetime.timedelta(seconds=1))
        self.assertEqual(server.stop(), 0)


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
