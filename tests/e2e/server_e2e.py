"""End to end with the real server and the real client under Xvfb: xdotool moves the mouse, xwd
reads the rendered frames. The keys' bytes are the client session's test and what the server does
with them its own tests'; here the mirrored picture answers the mouse as the server turns the
player."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import Client, client_window, start_server, wait_for, window_grey, xdotool  # noqa: E402


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
        self.addCleanup(self.server.communicate, timeout=10)
        self.addCleanup(self.server.terminate)
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
