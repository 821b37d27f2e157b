"""End to end: a real match against the real server with bots is recorded as the client plays it,
read with Python's zlib as the README describes the format, and played back under Xvfb: the same
players and scores, pauses, jumps, speeds and every player's eye, from the command line and from
the start screen; damaged files play what is sound or refuse with a line."""

import glob
import os
import random
import re
import struct
import sys
import tempfile
import time
import unittest
import zlib

sys.path.insert(0, os.path.dirname(__file__))
from harness import (SHUTDOWN, Client, client_window, isolated_env, start_server,  # noqa: E402
                     wait_for, window_rgb, xdotool)


def read_replay(data):
    """The header and the records of a replay file, read as the README describes it."""
    assert data[:8] == b"CFREPLAY", data[:8]
    end = data.index(b"\n\n")
    header = dict(line.split("=", 1) for line in data[8:end].decode().split("\n"))
    stream = zlib.decompressobj().decompress(data[end + 2:])
    records, at = [], 0
    while at + 6 <= len(stream):
        millis, length = struct.unpack_from("<IH", stream, at)
        records.append((millis, stream[at + 6:at + 6 + length]))
        at += 6 + length
    return header, records


def score_rows(rows):
    """Which of the first four score lines of a frame hold text (white or yellow pixels at the
    left)."""
    return [sum(1 for row in rows[top - 8:top + 8] for x in range(12, 150)
                if min(row[3 * x:3 * x + 3]) > 150 or (row[3 * x] > 200 and row[3 * x + 1] > 180))
            > 30 for top in range(20, 120, 25)]


class Replays(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.env = isolated_env(cls.folder.name, "lan_search = no\n")
        server, cls.port = start_server(bots=3)
        client = Client("127.0.0.1", str(cls.port), "tester", env=cls.env)
        try:
            window = client_window(client)
            time.sleep(5)
            cls.live_scores = score_rows(window_rgb(window))
            time.sleep(1)
            client.interrupt()
            assert client.finish() == 0
        finally:
            client.kill()
            server.stop()
        (cls.path,) = glob.glob(os.path.join(cls.folder.name, "data", "cubefray", "replays",
                                             "*.cfreplay"))
        with open(cls.path, "rb") as replay:
            cls.data = replay.read()

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def play(self, *args, env=None):
        client = Client(*args, env=env or self.env)
        self.addCleanup(client.kill)
        return client

    def test_the_file_is_as_the_readme_describes_it(self):
        header, records = read_replay(self.data)
        self.assertEqual((header["version"], header["server"], header["name"]),
                         ("1", "127.0.0.1:%d" % self.port, "tester"))
        self.assertRegex(header["start"], r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$")
        self.assertRegex(os.path.basename(self.path), r"^\d{4}-\d\d-\d\dT\d\d-\d\d-\d\dZ_127\.0\.0"
                                                       r"\.1-%d\.cfreplay$" % self.port)
        # The id notice first, then the stream of updates, every record a datagram as it came.
        self.assertEqual(records[0][1], b"s" + bytes([int(header["id"])]))
        updates = [r for r in records if r[1][:1] == b"u"]
        self.assertTrue(all(len(r[1]) == 244 for r in updates))
        self.assertEqual([r[0] for r in records], sorted(r[0] for r in records))
        self.assertGreater(len(updates), 55 * records[-1][0] / 1000)

    def test_it_plays_the_same_match_from_every_eye_at_any_pace(self):
        client = self.play("--replay", self.path)
        window = client_window(client)
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: tester\n" in client.text(), 10))
        for name in ("bot_ann", "bot_ben", "bot_cal"):
            self.assertIn("ADDING PLAYER: %s\n" % name, client.text())
        time.sleep(4.5)
        self.assertEqual(score_rows(window_rgb(window)), self.live_scores)
        self.assertEqual(self.live_scores, [True] * 4)
        xdotool("key", "space")
        xdotool("key", "Left")
        xdotool("key", "Up", "Up", "Down")
        for key in ("1", "2", "3", "4"):
            xdotool("key", key)
        self.assertTrue(wait_for(lambda: "eye of tester" in client.text(), 5), client.text())
        told = re.findall(r"Replay at ([\d.]+) s of ([\d.]+) s, speed ([\d.]+)x(, paused)?, "
                          r"(eye of \w+|free camera)\n", client.text())
        paused, back, faster, fastest, slower, *eyes = told
        self.assertEqual(paused[3], ", paused")
        self.assertAlmostEqual(float(back[0]), max(0.0, float(paused[0]) - 5), delta=0.2)
        self.assertEqual([t[2] for t in (faster, fastest, slower)], ["2", "4", "2"])
        self.assertEqual([e[4] for e in eyes],
                         ["eye of bot_ann", "eye of bot_ben", "eye of bot_cal", "eye of tester"])
        # Unpaused, the end comes and holds.
        xdotool("key", "space")
        self.assertTrue(wait_for(lambda: "Replay ends at" in client.text(), 10))
        xdotool("key", "Escape", "Up", "Return")
        self.assertEqual(client.finish(), 0)
        self.assertTrue(client.text().endswith(SHUTDOWN), client.text()[-300:])

    def test_the_start_screen_lists_the_replay_and_plays_it(self):
        client = self.play("--start")
        client_window(client)
        time.sleep(1)
        xdotool("key", "Down", "Down", "Down", "Down", "Return")
        time.sleep(0.5)
        xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: tester\n" in client.text(), 10))
        xdotool("key", "Escape", "Up", "Return")
        time.sleep(0.5)
        xdotool("key", "Escape", "Down", "Down", "Return")
        self.assertEqual(client.finish(), 0)
        self.assertTrue(client.text().endswith(SHUTDOWN), client.text()[-300:])

    def test_a_damaged_replay_plays_what_is_sound_or_says_why_it_cannot(self):
        chance = random.Random(3)
        stream = self.data.index(b"\n\n") + 2
        cut = self.data[:chance.randrange(stream + 200, len(self.data) - 10)]
        flipped = bytearray(self.data)
        for at in chance.sample(range(stream + 100, len(flipped)), 5):
            flipped[at] ^= 0x5a
        for data, line in ((cut, r"is damaged \(the file ends early\): it plays as far as it is "
                                 r"sound\n"),
                           (bytes(flipped), r"is damaged \([^)]+\): it plays as far as it is "
                                            r"sound\n")):
            with tempfile.NamedTemporaryFile(suffix=".cfreplay") as damaged:
                damaged.write(data)
                damaged.flush()
                client = self.play("--replay", damaged.name)
                client_window(client)
                self.assertRegex(client.text(), "Replay %s %s" % (re.escape(damaged.name), line))
                client.interrupt()
                self.assertEqual(client.finish(), 0)
        for data, reason in ((b"CFREPLAZ" + self.data[8:], "it is not a Cubefray replay"),
                             (self.data.replace(b"version=1", b"version=2", 1),
                              "version 2 is not one this client plays"),
                             (self.data[:stream - 1], "its header has no end")):
            with tempfile.NamedTemporaryFile(suffix=".cfreplay") as broken:
                broken.write(data)
                broken.flush()
                client = self.play("--replay", broken.name)
                self.assertEqual(client.finish(), 0)
                self.assertEqual(client.text(), "Replay %s cannot be played: %s\n" %
                                 (broken.name, reason))


if __name__ == "__main__":
    unittest.main()
