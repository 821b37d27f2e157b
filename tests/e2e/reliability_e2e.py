"""End to end under hostile networks: the real client and server through a lossy link, the real
server under a flood of datagrams from many sockets, and the real client flooded by a stranger."""

import multiprocessing
import os
import random
import re
import socket
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (SCRATCH, Client, SeatHolders, client_window, isolated_env,  # noqa: E402
                     lossy_proxy, scripted_game, start_server, update_message, wait_for,
                     xdotool)
from server_e2e import ScriptedClient  # noqa: E402
from soak_e2e import resident_kib  # noqa: E402

# The last copy of a release leaves a quarter of a second after it at 60 frames a second, and
# the link delays it by at most 0.15 s: after this the server has its final word.
SETTLE_SECONDS = 0.9


def flood(port, seconds, seed, sockets=20):
    """Sends datagrams to the port from many sockets on three loopback addresses for the given
    seconds, as fast as it can: joins, garbage of any length and well-formed records naming ids
    their senders do not own."""
    noise = random.Random(seed)
    senders = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(sockets)]
    for number, sender in enumerate(senders):
        sender.bind(("127.0.0.%d" % (2 + number % 3), 0))
    datagrams = [b"k1\x03\x01", b"k2\x05\x01", b"m1\0\0" + bytes(8), b"x3", b"d4",
                 b"t1HI" + bytes(28), b"jflooder".ljust(13, b"\0")]
    datagrams += [bytes(noise.randrange(256) for _ in range(noise.randrange(600)))
                  for _ in range(50)]
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        for data in datagrams:
            for sender in senders:
                try:
                    sender.sendto(data, ("127.0.0.1", port))
                except OSError:
                    pass  # a full buffer: the flood goes on
    for sender in senders:
        sender.close()


def position_of(name, update):
    return next((position for named, position in update if named == name), None)


class LossyLink(unittest.TestCase):
    """Ten sessions through a link that drops 30%, duplicates 10% and delays 0-150 ms each way:
    the client joins and keeps its seat, no key stays held after its release, and it ends with
    status 0."""

    def test_every_session_joins_and_every_release_stops_the_walk(self):
        stuck = []
        for session in range(10):
            with self.subTest(session=session):
                stuck += self.play(session)
        self.assertEqual(stuck, [])

    def play(self, seed):
        server, port = start_server(bots=0)
        proxy = lossy_proxy(port, seed)
        client = Client("127.0.0.1", str(proxy.port), "tester")
        stuck = []
        try:
            window = client_window(client)
            # The client has heard its id once it names it in what it sends.
            self.assertTrue(wait_for(lambda: any(d[:1] == b"x" and d[1:2] in b"1234"
                                                 for d in proxy.sent), 40),
                            "the client never learnt its id")
            xdotool("mousemove", "--window", window, "360", "240")
            time.sleep(0.5)
            for key in ("w", "s"):
                stuck += self.walk(proxy, key)
            self.assertIsNotNone(position_of("tester", proxy.updates[-1][1]), "lost its seat")
            client.interrupt()
            self.assertEqual(client.finish(), 0)
        finally:
            client.kill()
            proxy.close()
            server.stop()
        self.assertEqual(server.text().count("tester joined"), 1, server.text())
        self.assertNotIn("timed out", server.text())
        return stuck

    def walk(self, proxy, key):
        """Holds the key; the keys whose walk went on after the release."""
        pressed = time.monotonic()
        xdotool("keydown", key)
        time.sleep(0.5)
        xdotool("keyup", key)
        released = time.monotonic()
        time.sleep(SETTLE_SECONDS + 0.6)

        def ground_positions(start, end):
            return {(p[0], p[2]) for when, u in proxy.updates if start <= when <= end
                    for p in [position_of("tester", u)] if p}
        self.assertGreater(len(ground_positions(pressed, released + SETTLE_SECONDS)), 1,
                           "the press of %s never moved the player" % key)
        settled = ground_positions(released + SETTLE_SECONDS, released + SETTLE_SECONDS + 0.6)
        return [key] if len(settled) > 1 else []


class Flood(unittest.TestCase):
    def test_the_server_keeps_its_rate_memory_and_a_short_log_under_a_flood(self):
        # The honest client and three more fill the house: every join of the flood is refused.
        server, port = start_server(bots=0)
        honest = ScriptedClient(port)
        self.addCleanup(honest.sock.close)
        self.addCleanup(server.kill)
        own_id = honest.join("honest")[1:2]
        house = SeatHolders(port, 3)
        self.addCleanup(house.close)
        # Past the ten seconds one summary covers, so that one is written while the flood goes on.
        flooder = multiprocessing.Process(target=flood, args=(port, 12, 1))
        try:
            self.updates_during(honest, own_id, 2)
            before = resident_kib(server.process.pid)
            logged = len(server.text())
            flooder.start()
            self.updates_during(honest, own_id, 0.5)
            rate = self.updates_during(honest, own_id, 11) / 11
        finally:
            flooder.join(10)
        grown = resident_kib(server.process.pid) - before
        self.assertGreater(rate, 54)
        self.assertLess(grown, 1024)
        self.assertEqual(server.stop(), 0)
        self.assertIn("honest joined", server.text())
        self.assertNotIn("timed out", server.text())
        self.assert_log_bounded(server.text()[logged:])

    def assert_log_bounded(self, text):
        """Of each kind of flooded event, at most a line in full and a summary each ten seconds
        (here: a window, and the rest at the stop), and the summaries lose no datagram."""
        lines = [line.split(" ", 1)[1] for line in text.splitlines()
                 if not re.search(r" killed |Server stopped$", line)]
        kinds = {"refused": r"refused ([\d,]+) more joins? from 3 addresses in the last \d+ s",
                 "malformed": r"dropped ([\d,]+) more malformed datagrams? from 3 addresses in",
                 "unowned": r"dropped ([\d,]+) more datagrams? naming a player id"}
        counted = {kind: [int(match[1].replace(",", "")) for line in lines
                          for match in [re.match(pattern, line)] if match]
                   for kind, pattern in kinds.items()}
        self.assertLessEqual(len(lines), 3 * 3 + 2, lines[:12])
        self.assertLess(len(text), 2000)
        for kind, counts in counted.items():
            self.assertIn(len(counts), (1, 2), (kind, lines))
        self.assertGreater(sum(counted["refused"]), 10000, lines)
        closing = int(re.search(r"(\d+) malformed datagrams dropped", text)[1])
        self.assertEqual(1 + sum(counted["malformed"]), closing)

    def updates_during(self, honest, own_id, seconds):
        """How many updates the honest client received in the seconds; it keeps itself alive."""
        count = 0
        end = time.monotonic() + seconds
        next_keep_alive = 0
        honest.sock.settimeout(0.05)
        while (now := time.monotonic()) < end:
            if now >= next_keep_alive:
                honest.send(b"x" + own_id)
                next_keep_alive = now + 0.5
            try:
                count += honest.sock.recv(2048)[:1] == b"u"
            except socket.timeout:
                pass
        return count

    def test_the_client_keeps_its_frame_rate_while_a_stranger_floods_it(self):
        log = tempfile.NamedTemporaryFile(suffix=".frames")
        self.addCleanup(log.close)
        me = ("1", "player", (1024.0, 200.0, 600.0), (0, 0, 1))
        server, client, _ = scripted_game(self, [me], "player",
                                          env=isolated_env(tempfile.mkdtemp(dir=SCRATCH.name),
                                                           CUBEFRAY_FRAME_LOG=log.name))
        # Four shooters aiming at the sky: each update would cost the client long shots.
        shooters = update_message([(str(i), "ghost%d" % i, (300.0 + 50 * i, 200.0, 600.0),
                                    (0, 1, 0), True) for i in range(1, 5)])
        own = update_message([me])
        stranger = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.addCleanup(stranger.close)
        baseline, flooded = 4.0, 4.0
        start = time.monotonic()
        while time.monotonic() - start < baseline + flooded:
            server.send(own)
            if time.monotonic() - start > baseline:
                for _ in range(400):  # 24,000 a second, more than a frame may handle
                    stranger.sendto(shooters, server.client)
            time.sleep(1 / 60)
        client.interrupt()
        self.assertEqual(client.finish(), 0)
        self.assertNotIn("ghost", client.text())
        with open(log.name) as frames:
            times = [float(line.split()[0]) / 1000 for line in frames if line.strip()]
        end = times[-1]
        rate_before = sum(end - flooded - 3 <= t < end - flooded for t in times) / 3
        rate_during = sum(end - flooded + 0.5 <= t for t in times) / (flooded - 0.5)
        self.assertGreater(rate_during, 0.8 * rate_before, (rate_before, rate_during))


if __name__ == "__main__":
    unittest.main()
