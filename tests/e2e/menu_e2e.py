"""End to end: the in-game menu, the settings it keeps and fullscreen, with real keys and mouse on
the real client under Xvfb against a scripted server. Each client gets a config folder of its
own."""

import os
import struct
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (SHUTDOWN, count_pixels, scripted_game, white, window_grey,  # noqa: E402
                     window_rgb, xdotool)

ME = ("1", "tester", (1024.0, 200.0, 600.0), (0.0, 0.0, 1.0))


class Session:
    """A client with its own settings folder, admitted by a scripted server."""

    def __init__(self, test, config):
        self.server, self.client, self.window = scripted_game(
            test, [ME], env=dict(os.environ, XDG_CONFIG_HOME=config,
                                 XDG_DATA_HOME=os.path.join(config, "data")))

    def mouse_sent(self, dx, dy):
        """What the server gets for a real mouse motion: the sums of the motion records."""
        xdotool("mousemove_relative", "--", str(dx), str(dy))
        moves = [struct.unpack("<ccxxii", d) for d in self.server.receive_all() if d[:1] == b"m"]
        return sum(m[2] for m in moves), sum(m[3] for m in moves)

    def frame(self):
        time.sleep(0.4)
        return window_rgb(self.window)


def key_presses(datagrams):
    """The controls of the key messages that press, in order, repeats left out."""
    presses = []
    for data in datagrams:
        if data[:1] == b"k" and data[3] == 1 and (not presses or presses[-1] != data[2]):
            presses.append(data[2])
    return presses


class MenuAndSettings(unittest.TestCase):
    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.config = folder.name
        self.settings = os.path.join(self.config, "cubefray", "settings")

    def test_a_binding_from_the_file_moves_the_key_and_the_controls_page_binds_anew(self):
        os.makedirs(os.path.dirname(self.settings))
        with open(self.settings, "w") as settings:
            settings.write("bind_forward = Up, Nonsense\nbind_jump = J\n")
        game = Session(self, self.config)
        # The unknown name is said and its action keeps W; J jumps, Space does nothing.
        self.assertIn('The settings name no input "Nonsense": its action keeps its default\n',
                      game.client.text())
        xdotool("key", "w", "space", "j")
        self.assertEqual(key_presses(game.server.receive_all()), [3, 4])
        # On the Controls page (the fifth item): Return on Forward, then Up binds it.
        xdotool("key", "Escape", "Down", "Down", "Down", "Down", "Return", "Return", "Up",
                "Escape", "Escape")
        time.sleep(0.5)
        xdotool("key", "w", "Up", "j")
        self.assertEqual(key_presses(game.server.receive_all()), [3, 4])
        with open(self.settings) as kept:
            text = kept.read()
        self.assertIn("bind_forward = Up\n", text)
        self.assertIn("bind_jump = J\n", text)
        game.client.interrupt()
        self.assertEqual(game.client.finish(), 0)

    def test_the_menu_sets_the_mouse_a_restart_keeps_it_and_quit_closes_the_window(self):
        game = Session(self, self.config)
        xdotool("key", "Escape")
        menu = game.frame()
        self.assertGreater(count_pixels(menu, 200, 130, 520, 350, white), 800)
        # Down to the sensitivity, three quarters up from 1; down to inversion, on; Escape back to
        # the game.
        xdotool("key", "Down", *["Right"] * 3, "Down", "Return", "Escape")
        self.assertLess(count_pixels(game.frame(), 200, 130, 520, 350, white), 200)
        self.assertEqual(game.mouse_sent(64, 64), (-125, -125))
        with open(self.settings) as saved:
            self.assertIn("sensitivity = 1.953125\ninvert_mouse = yes\n", saved.read())
        # Quit sits at the end: Up from the top reaches it.
        xdotool("key", "Escape", "Up", "Return")
        self.assertEqual(game.client.finish(), 0)
        self.assertTrue(game.client.text().endswith(SHUTDOWN), game.client.text()[-200:])
        self.assertEqual([d for d in game.server.receive_all() if d[:1] == b"d"], [b"d1"])
        self.assertEqual(Session(self, self.config).mouse_sent(64, 64), (-125, -125))

    def test_settings_survive_a_restart_and_damage_gives_the_defaults(self):
        pictures = {}
        for name, text in (("default", None), ("wide", "field_of_view = 100\n"),
                           ("damaged", "field_of_view = wide\n")):
            if text is not None:
                os.makedirs(os.path.dirname(self.settings), exist_ok=True)
                with open(self.settings, "w") as settings:
                    settings.write(text)
            game = Session(self, self.config)
            pictures[name] = window_grey(game.window)
            game.client.interrupt()
            self.assertEqual(game.client.finish(), 0)
            if name == "damaged":
                self.assertIn("Settings file %s is damaged (line 1 is not name = value): using "
                              "the defaults\n" % self.settings, game.client.text())

        def difference(a, b):
            return sum(abs(x - y) for row_a, row_b in zip(a, b) for x, y in zip(row_a, row_b))
        self.assertGreater(difference(pictures["default"], pictures["wide"]), 1e6)
        self.assertLess(difference(pictures["default"], pictures["damaged"]), 1e4)

    def test_escape_cancels_a_chat_line_and_f11_fills_the_display(self):
        game = Session(self, self.config)
        xdotool("key", "t", "h", "i", "Escape", "w")
        sent = game.server.receive_all()
        self.assertFalse([d for d in sent if d[:1] == b"t"], sent)
        # The chat line is gone and no menu opened: W walks again.
        self.assertIn(b"k1\x03\x01", sent)

        def size():
            geometry = subprocess.run(["xdotool", "getwindowgeometry", game.window],
                                      capture_output=True, text=True).stdout
            return geometry.split("Geometry: ")[1].split()[0]
        self.assertEqual(size(), "720x480")
        xdotool("key", "F11")
        time.sleep(0.5)
        self.assertEqual(size(), "1280x1024")
        self.assertEqual(len(game.frame()), 1024)
        xdotool("key", "alt+Return")
        time.sleep(0.5)
        self.assertEqual(size(), "720x480")


if __name__ == "__main__":
    unittest.main()
