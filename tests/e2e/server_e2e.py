"""End to end with the real server and the real client under Xvfb: a proxy between them reads
the server's updates, xdotool types and moves the mouse, xwd reads the rendered frames."""

import math
import os
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (SERVER, Client, WatchingProxy, client_window, free_udp_port,  # noqa: E402
                     window_pixels, xdotool)

UP = (0.0, 1.0, 0.0)


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def unit(v):
    length = math.sqrt(dot(v, v))
    return tuple(x / length for x in v)


def screen_right(direction):
    """The world direction that the client's mirroring camera shows to the right: the first row
    of its view matrix, (-direction) x up."""
    return unit(cross(tuple(-x for x in direction), UP))


def project(eye, direction, point, width, height, fov=60.0):
    """Window pixel (x from the left, y from the top) of a world point, or None behind the eye."""
    right = screen_right(direction)
    forward = unit(direction)
    up = cross(right, tuple(-x for x in forward))
    rel = sub(point, eye)
    x, y, depth = dot(rel, right), dot(rel, up), dot(rel, forward)
    if depth <= 1:
        return None
    focal = 1 / math.tan(math.radians(fov / 2))
    aspect = width / height
    ndc_x, ndc_y = focal / aspect * x / depth, focal * y / depth
    return (ndc_x + 1) * (width - 1) / 2, (1 - ndc_y) * (height - 1) / 2


def gray_band(rows, top, bottom, left, right):
    return [[sum(p) / 3 for p in row[left:right]] for row in rows[top:bottom]]


def picture_shift(before, after, horizontal=True, reach=60):
    """How far the picture moved between two frames, in pixels: right or down is positive."""
    def cost(shift):
        total, count = 0.0, 0
        for y in range(0, len(before), 2):
            for x in range(reach, len(before[0]) - reach, 2):
                if horizontal:
                    a, b = before[y][x], after[y][x + shift]
                elif reach <= y + shift < len(before) - 0:
                    a, b = before[y][x], after[y + shift][x]
                else:
                    continue
                total += abs(a - b)
                count += 1
        return total / max(count, 1)
    return min(range(-reach + 1, reach), key=cost)


class ServerSession(unittest.TestCase):
    bots = 0

    def setUp(self):
        port = free_udp_port()
        self.server = subprocess.Popen([SERVER, "--port", str(port), "--bots", str(self.bots)],
                                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        time.sleep(0.3)
        self.proxy = WatchingProxy(port)
        self.client = Client("127.0.0.1", str(self.proxy.port), "tester")
        self.assertTrue(self.proxy.wait_for(lambda: self.proxy.own() is not None, 30),
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
        width, height, rows = window_pixels(self.window)
        return gray_band(rows, height // 4, height // 2, 60, width - 60)

    def hold(self, key, seconds):
        xdotool("keydown", key)
        time.sleep(seconds)
        xdotool("keyup", key)


class Movement(ServerSession):
    def test_w_moves_forward_and_a_d_move_the_view_left_and_right(self):
        start = self.settled_own()
        self.hold("w", 0.4)
        after_w = self.settled_own()
        walked = sub(after_w["position"], start["position"])
        self.assertGreater(dot(walked, unit((start["direction"][0], 0, start["direction"][2]))), 30)

        moved = 0
        for key, sign in (("a", -1), ("d", 1)):
            before = self.settled_own()
            picture_before = self.frame_band()
            self.hold(key, 0.2)
            after = self.settled_own()
            step = dot(sub(after["position"], before["position"]), screen_right(before["direction"]))
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
        self.assertGreater(dot(after["direction"], screen_right(before["direction"])), 0.02)
        self.assertLess(picture_shift(picture_before, self.frame_band()), 0)

        picture_before = self.frame_band()
        xdotool("mousemove_relative", "--", "0", "20")
        lower = self.settled_own()
        self.assertLess(lower["direction"][1], after["direction"][1] - 0.02)
        self.assertLess(picture_shift(picture_before, self.frame_band(), horizontal=False), 0)


class Bots(ServerSession):
    bots = 2

    def test_the_client_lists_the_bots_and_a_frame_shows_one(self):
        self.assertTrue(self.proxy.wait_for(lambda: len(self.proxy.snapshot()[0]) == 3))
        deadline = time.monotonic() + 40
        seen = False
        while time.monotonic() < deadline and not seen:
            players, own_id = self.proxy.snapshot()
            width, height, rows = window_pixels(self.window)
            me = players.get(own_id)
            if me is None or me["position"][0] < 0:
                continue
            for player_id, bot in players.items():
                if player_id == own_id or bot["position"][0] < 0:
                    continue
                spot = project(me["position"], me["direction"], bot["position"], width, height)
                if spot and 20 < spot[0] < width - 20 and 20 < spot[1] < height - 20:
                    r, g, b = rows[int(spot[1])][int(spot[0])]
                    # Bodies are drawn in a bright neutral grey; the map is darker or tinted.
                    seen = seen or (min(r, g, b) > 120 and max(r, g, b) - min(r, g, b) < 40)
            time.sleep(0.3)
        self.assertTrue(seen, "no bot body appeared where the projection puts it")
        self.client.interrupt()
        self.client.finish()
        text = self.client.text()
        for name in ("tester", "bot_ann", "bot_ben"):
            self.assertIn("ADDING PLAYER: " + name + "\n", text)


if __name__ == "__main__":
    unittest.main()
