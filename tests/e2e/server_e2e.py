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


def level(direction):
    x, _, z = direction
    return (x / math.hypot(x, z), 0.0, z / math.hypot(x, z))


def screen_right(direction):
    """The world direction that the client's mirroring camera shows to the right: the first row of
    its view matrix, (-direction) x up."""
    x, _, z = level(direction)
    return (z, 0.0, -x)


def along(vector, direction):
    return sum(v * d for v, d in zip(vector, direction))


def moved(before, after):
    return tuple(a - b for a, b in zip(after["position"], before["position"]))


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
    def setUp(self):
        self.server, port = start_server(bots=0)
        self.proxy = WatchingProxy(port)
        self.client = Client("127.0.0.1", str(self.proxy.port), "tester")
        self.assertTrue(wait_for(lambda: self.proxy.own is not None, 30),
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
        return self.proxy.own

    def frame_band(self):
        """The left of the picture around the horizon, clear of the overlay and the gun."""
        return [row[60:340] for row in window_grey(self.window)[60:290]]

    def hold(self, key, seconds):
        xdotool("keydown", key)
        time.sleep(seconds)
        xdotool("keyup", key)


    # Strafes are checked against the server's positions: their pictures mix the parallax of near
    # and far walls. The turns below check the mirrored picture itself.
    def test_w_moves_forward_and_a_d_move_the_view_left_and_right(self):
        start = self.settled_own()
        self.hold("w", 0.4)
        self.assertGreater(along(moved(start, self.settled_own()), level(start["direction"])), 30)
        strafed = 0
        for key, sign in (("a", -1), ("d", 1)):
            before = self.settled_own()
            self.hold(key, 0.2)
            step = along(moved(before, self.settled_own()), screen_right(before["direction"]))
            if abs(step) < 10:
                continue  # a wall in the way
            strafed += 1
            self.assertEqual(math.copysign(1, step), sign, key)
        self.assertGreater(strafed, 0, "walls blocked both A and D")

    def test_mouse_right_turns_right_and_mouse_down_looks_down(self):
        before = self.settled_own()
        picture_before = self.frame_band()
        xdotool("mousemove_relative", "--", "20", "0")
        after = self.settled_own()
        self.assertGreater(along(after["direction"], screen_right(before["direction"])), 0.02)
        self.assertLess(picture_shift(picture_before, self.frame_band()), 0)

        picture_before = self.frame_band()
        xdotool("mousemove_relative", "--", "0", "20")
        self.assertLess(self.settled_own()["direction"][1], after["direction"][1] - 0.02)
        self.assertLess(picture_shift(picture_before, self.frame_band(), horizontal=False), 0)


if __name__ == "__main__":
    unittest.main()
