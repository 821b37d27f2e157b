"""End to end with the real server and the real client under Xvfb: a proxy between them reads
the server's updates, xdotool types and moves the mouse, xwd reads the rendered frames."""

import math
import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (Client, WatchingProxy, client_window, start_server, wait_for,  # noqa: E402
                     window_grey, xdotool)


def screen_right(direction):
    """The level world direction that the client's mirroring camera shows to the right: the first
    row of its view matrix, (-direction) x up."""
    x, _, z = direction
    return (z / math.hypot(x, z), 0.0, -x / math.hypot(x, z))


def moved_along(before, after, direction):
    return sum((a - b) * d for a, b, d in zip(after["position"], before["position"], direction))


def picture_shift(before, after, horizontal=True, reach=60):
    """How far the picture moved between two grey frames, in pixels: right or down is positive."""
    height, width = len(before), len(before[0])

    def cost(shift):
        diffs = [abs(before[y][x] - (after[y][x + shift] if horizontal else after[y + shift][x]))
                 for y in range(0, height, 2) for x in range(reach, width - reach, 2)
                 if horizontal or reach <= y + shift < height]
        return sum(diffs) / max(len(diffs), 1)
    return min(range(1 - reach, reach), key=cost)


class ServerSession(unittest.TestCase):
    bots = 0

    def setUp(self):
        self.server, port = start_server(self.bots)
        self.proxy = WatchingProxy(port)
        self.client = Client("127.0.0.1", str(self.proxy.port), "tester")
        self.assertTrue(wait_for(lambda: self.proxy.own() is not None, 30),
                        "the client never appeared in an update")
        self.window = client_window()
        xdotool("mousemove", "--window", self.window, "360", "240")
        time.sleep(1.0)

    def tearDown(self):
        self.client.interrupt()
        try:
            self.client.finish()
        finally:
            self.client.kill()
            self.proxy.close()
            self.server.terminate()
            self.server.communicate(timeout=10)

    def settled_own(self):
        time.sleep(0.4)
        return self.proxy.own()

    def frame_band(self):
        rows = window_grey(self.window)
        return [row[60:-60] for row in rows[len(rows) // 4:len(rows) // 2]]

    def hold(self, key, seconds):
        xdotool("keydown", key)
        time.sleep(seconds)
        xdotool("keyup", key)


class Movement(ServerSession):
    def test_w_moves_forward_and_a_d_move_the_view_left_and_right(self):
        start = self.settled_own()
        self.hold("w", 0.4)
        x, _, z = start["direction"]
        forward = (x / math.hypot(x, z), 0.0, z / math.hypot(x, z))
        self.assertGreater(moved_along(start, self.settled_own(), forward), 30)

        moved = 0
        for key, sign in (("a", -1), ("d", 1)):
            before = self.settled_own()
            picture_before = self.frame_band()
            self.hold(key, 0.2)
            step = moved_along(before, self.settled_own(), screen_right(before["direction"]))
            if abs(step) < 10:
                continue  # a wall in the way
            moved += 1
            self.assertEqual(math.copysign(1, step), sign, key)
            # Moving the view to the left slides the picture to the right, and the other way.
            self.assertEqual(math.copysign(1, picture_shift(picture_before, self.frame_band())),
                             -sign, key)
        self.assertGreater(moved, 0, "walls blocked both A and D")

    def test_mouse_right_turns_right_and_mouse_down_looks_down(self):
        before = self.settled_own()
        picture_before = self.frame_band()
        xdotool("mousemove_relative", "--", "20", "0")
        after = self.settled_own()
        right = screen_right(before["direction"])
        self.assertGreater(sum(a * r for a, r in zip(after["direction"], right)), 0.02)
        self.assertLess(picture_shift(picture_before, self.frame_band()), 0)

        picture_before = self.frame_band()
        xdotool("mousemove_relative", "--", "0", "20")
        self.assertLess(self.settled_own()["direction"][1], after["direction"][1] - 0.02)
        self.assertLess(picture_shift(picture_before, self.frame_band(), horizontal=False), 0)


class Bots(ServerSession):
    bots = 2

    # Where bodies are drawn is checked by the scene tests, on frames of known states.
    def test_the_client_lists_the_bots(self):
        self.assertTrue(wait_for(lambda: self.proxy.count() == 3))
        self.client.interrupt()
        self.client.finish()
        for name in ("tester", "bot_ann", "bot_ben"):
            self.assertIn("ADDING PLAYER: " + name + "\n", self.client.text())


if __name__ == "__main__":
    unittest.main()
