"""End to end: what the overlay tells the player, in real frames of the real client under Xvfb.
The window stays at 720 x 480 (Xvfb has no window manager); rows count from the top."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (Client, FakeServer, SeatHolders, Server, client_window,  # noqa: E402
                     count_pixels, free_port, scripted_game, start_server, update_message,
                     wait_for, white, window_rgb)

WIDTH, HEIGHT = 720, 480


def yellow(r, g, b):
    return r > 200 and g > 170 and b < 120


def red(r, g, b):
    return r > 110 and r > 2 * g and r > 2 * b


def cyan(r, g, b):
    return r < 90 and g > 150 and b > 150


def banner_width(rows):
    """How wide the connection banner's text runs, in pixels; 0 without one."""
    columns = [x for x in range(WIDTH)
               if any(yellow(*rows[y][3 * x:3 * x + 3]) for y in range(100, 141, 2))]
    return max(columns) - min(columns) if columns else 0


class Statuses(unittest.TestCase):
    def client_against(self, port):
        """A client against the port, the only one on the display."""
        for earlier in getattr(self, "clients", []):
            earlier.kill()
        client = Client("127.0.0.1", str(port), "tester")
        self.addCleanup(client.kill)
        self.clients = [client]
        return client, client_window(client)

    def test_no_answer_a_full_server_and_a_lost_connection_each_show(self):
        silent = FakeServer()
        self.addCleanup(silent.sock.close)
        _, window = self.client_against(silent.port)
        time.sleep(4.5)
        # "No answer from 127.0.0.1:PORT" fills the width; when it follows "Connecting to ..." is
        # the unit test's.
        self.assertGreater(banner_width(window_rgb(window)), 450)

        full, port = start_server(bots=0)
        self.addCleanup(full.kill)
        house = SeatHolders(port, 4)
        self.addCleanup(house.close)
        client, window = self.client_against(port)
        time.sleep(4.0)
        self.assertTrue(250 < banner_width(window_rgb(window)) < 450, "no 'Server is full' banner")

        server, port = start_server(bots=0)
        self.addCleanup(server.kill)
        client, window = self.client_against(port)
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: tester\n" in client.text(), 30))
        time.sleep(0.5)
        self.assertEqual(banner_width(window_rgb(window)), 0)
        server.stop()
        time.sleep(3.8)
        rows = window_rgb(window)
        self.assertTrue(250 < banner_width(rows) < 450, "no 'Connection lost' banner")

    def test_a_restarted_server_takes_the_player_back(self):
        port = free_port()
        server = Server("--port", str(port), "--bots", "1")
        self.addCleanup(lambda: server.kill())
        client, window = self.client_against(port)
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: tester\n" in client.text(), 30))
        server.stop()
        time.sleep(5.8)
        # "Reconnecting to 127.0.0.1:PORT..." runs wider than "Connection lost".
        self.assertGreater(banner_width(window_rgb(window)), 450)
        server = Server("--port", str(port), "--bots", "1")
        self.assertTrue(wait_for(lambda: server.text().count(" joined as ") == 2, 10),
                        server.text())
        self.assertIn("tester joined as 2 from 127.0.0.1", server.text())
        self.assertTrue(wait_for(lambda: client.text().count("ADDING PLAYER: tester\n") == 2, 10))
        time.sleep(0.5)
        self.assertEqual(banner_width(window_rgb(window)), 0)


class ScriptedCombat(unittest.TestCase):
    """A scripted server high above the map, where nothing stands in a line of fire."""

    ME = ("1", "tester", (1024.0, 700.0, 400.0), (0.0, 0.0, 1.0))
    # Whoever has just come into play, the own player on joining too, is kept from harm for two
    # seconds; the shots of these tests fly later.
    SETTLE = 2.1

    def setUp(self):
        self.server, _, self.window = scripted_game(self, [self.ME])

    def play(self, players, seconds):
        for _ in range(int(seconds * 60)):
            self.server.send(update_message(players))
            time.sleep(1 / 60)

    def test_a_hit_from_ahead_flashes_the_top_but_leaves_the_scores_white(self):
        ahead = ("2", "ahead", (1024.0, 700.0, 700.0), (0.0, 0.0, -1.0))
        self.play([self.ME, ahead], self.SETTLE)
        calm = window_rgb(self.window)
        self.play([self.ME, ahead + (True,)], 0.3)
        rows = window_rgb(self.window)
        self.assertGreater(count_pixels(rows, 200, 0, 520, 30, red), 3000)
        # The cores of the white letters stay white; only their soft edges meet another ground.
        cores = [(x, y) for y in range(8, 60) for x in range(10, 170)
                 if min(calm[y][3 * x:3 * x + 3]) > 250]
        self.assertGreater(len(cores), 100)
        self.assertLess(sum(not white(*rows[y][3 * x:3 * x + 3]) for x, y in cores), 5)

    def test_a_player_just_in_play_shows_its_shield_for_two_seconds(self):
        fresh = ("2", "fresh", (1000.0, 700.0, 700.0), (0.0, 0.0, -1.0))
        blue = lambda r, g, b: b > r + 60  # noqa: E731
        self.play([self.ME, fresh], 0.5)
        self.assertGreater(count_pixels(window_rgb(self.window), 295, 140, 355, 340, blue), 5000)
        self.play([self.ME, fresh], 2.0)
        self.assertLess(count_pixels(window_rgb(self.window), 295, 140, 355, 340, blue), 100)

    def test_a_hit_from_the_left_flashes_the_left_edge(self):
        # Looking along +z, the mirrored picture shows world -x on the left.
        lefty = ("2", "lefty", (724.0, 700.0, 500.0), (0.948683, 0.0, -0.316228))
        self.play([self.ME, lefty], self.SETTLE)
        self.play([self.ME, lefty + (True,)], 0.3)
        rows = window_rgb(self.window)
        left = count_pixels(rows, 0, 0, 30, HEIGHT, red)
        right = count_pixels(rows, WIDTH - 30, 0, WIDTH, HEIGHT, red)
        self.assertGreater(left, 3000)
        self.assertLess(right, left / 10)

    def test_own_shots_kill_a_target_against_the_sky(self):
        target = ("2", "target", (1024.0, 700.0, 700.0), (0.0, 0.0, -1.0))
        self.play([self.ME, target], self.SETTLE)
        calm = window_rgb(self.window)
        self.play([self.ME + (True,), target], 0.25)
        rows = window_rgb(self.window)
        # The target explodes where the shot enters it, at the crosshair, under the marker.
        self.assertGreater(count_pixels(rows, 300, 180, 420, 300, cyan), 500)
        diagonal = (WIDTH // 2 + 6, HEIGHT // 2 - 12, WIDTH // 2 + 13, HEIGHT // 2 - 5)
        self.assertGreater(count_pixels(rows, *diagonal, white),
                           count_pixels(calm, *diagonal, white) + 5)
        self.play([self.ME, ("2", "target", (-1000.0, -1000.0, -1000.0), (0.0, 0.0, -1.0))], 0.3)
        feed = lambda r, g, b: r > 200 and 150 < g < 240 and b < 110  # noqa: E731
        self.assertGreater(count_pixels(window_rgb(self.window), WIDTH - 260, 5, WIDTH - 5, 35,
                                        feed), 150)


def stray_white(rows, reference, left, top, right, bottom):
    """White pixels of the rectangle with no white pixel at or beside them in the reference:
    text drawn where the reference frame has none."""
    def near_white(x, y):
        return any(white(*reference[y + dy][3 * (x + dx):3 * (x + dx) + 3])
                   for dy in (-1, 0, 1) for dx in (-1, 0, 1))
    return sum(1 for y in range(top, bottom) for x in range(left, right)
               if white(*rows[y][3 * x:3 * x + 3]) and not near_white(x, y))


class NameTags(unittest.TestCase):
    """While the own player awaits respawn every other player's name shows where it stands."""

    ME = ("1", "tester", (1024.0, 700.0, 400.0), (0.0, 0.0, 1.0))
    DEAD = ("1", "tester", (-1000.0, -1000.0, -1000.0), (0.0, 0.0, 1.0))
    SCORES = (10, 8, 170, 105)
    CHAT = (25, 325, 200, 385)

    def frame(self, positions):
        """The frame once the players stand at the positions, the own one dead, with chat."""
        server, _, window = scripted_game(self, [self.ME])
        others = [(str(i + 2), name, position, (0.0, 0.0, -1.0))
                  for i, (name, position) in enumerate(positions)]
        for _ in range(30):
            server.send(update_message([self.ME] + others))
            time.sleep(1 / 60)
        for line in (b"first line", b"second line", b"third line"):
            server.send(b"ts" + line.ljust(30, b"\0"))
        for _ in range(45):
            server.send(update_message([self.DEAD] + others))
            time.sleep(1 / 60)
        return window_rgb(window)

    def test_tags_keep_inside_the_window_and_off_the_scores_and_the_chat(self):
        # Where the camera puts "lefty" on the score list, "chatty" on the chat lines and
        # "edgewise" past the right edge; then all three in the open.
        crowded = self.frame([("lefty", (716.0, 887.0, 800.0)), ("chatty", (735.0, 589.0, 800.0)),
                              ("edgewise", (1341.0, 738.0, 800.0))])
        open_air = self.frame([("lefty", (1200.0, 780.0, 800.0)),
                               ("chatty", (1300.0, 650.0, 800.0)),
                               ("edgewise", (1100.0, 720.0, 800.0))])
        for box in (self.SCORES, self.CHAT):
            self.assertEqual(stray_white(crowded, open_air, *box), 0)
        self.assertGreater(count_pixels(crowded, 12, 106, 170, 140, white), 100, "lefty moved off")
        self.assertGreater(count_pixels(crowded, 30, 290, 200, 324, white), 100, "chatty moved off")
        # "edgewise" whole, against the right edge.
        columns = [x for x in range(WIDTH // 2, WIDTH)
                   if any(white(*crowded[y][3 * x:3 * x + 3]) for y in range(180, 220))]
        self.assertGreater(min(columns), WIDTH - 135)
        self.assertLess(max(columns), WIDTH - 1)
        self.assertGreater(max(columns) - min(columns), 100)


class BotKill(unittest.TestCase):
    def test_a_bot_kills_the_player_who_then_sees_the_death_view(self):
        server, port = start_server(bots=3)
        self.addCleanup(server.kill)
        client = Client("127.0.0.1", str(port), "tester")
        self.addCleanup(client.kill)
        window = client_window(client)
        self.assertTrue(wait_for(lambda: "killed tester" in server.text(), 90),
                        "no bot killed the player")
        time.sleep(0.6)
        rows = window_rgb(window)
        # "Killed by bot_..." in red, "Respawning..." in white under it, over the dimmed view.
        self.assertGreater(count_pixels(rows, 150, 165, 570, 200, red), 300)
        self.assertGreater(count_pixels(rows, 200, 235, 520, 275, white), 300)
        self.assertGreater(count_pixels(rows, 0, 300, WIDTH, HEIGHT, lambda r, g, b: r + g + b > 30),
                           1000)


if __name__ == "__main__":
    unittest.main()
