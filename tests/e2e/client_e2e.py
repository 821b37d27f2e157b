"""End-to-end tests of the real client binary against a scripted server, under Xvfb."""

import os
import re
import shutil
import struct
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (CLIENT, Client, FakeServer, client_window, player_record,  # noqa: E402
                     update_message, xdotool)

SHUTDOWN = "Exiting game\nCleanup game\nDelete maincontext\nDestory mainwindow\nSDL_Quit()\n"


class Arguments(unittest.TestCase):
    def test_wrong_argument_count_prints_usage_without_a_window(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        for args in ([], ["127.0.0.1"], ["127.0.0.1", "4000"], ["a", "1", "b", "c"]):
            client = Client(*args, env=env)
            self.assertEqual(client.finish(), 0)
            self.assertEqual(client.text(), "usage: server_address port player_name\n")

    def test_unresolvable_host_ends_before_any_window(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        client = Client("no-such-host.invalid", "4000", "alice", env=env)
        self.assertEqual(client.finish(), 0)
        self.assertEqual(client.text(), "error init network stuff\n")


class MissingResources(unittest.TestCase):
    def run_without(self, resource):
        folder = tempfile.mkdtemp()
        try:
            shutil.copy(CLIENT, folder)
            shutil.copytree(os.path.join(os.path.dirname(CLIENT), "Contents"),
                            os.path.join(folder, "Contents"))
            missing = os.path.join(folder, "Contents", "Resources", resource)
            os.remove(missing)
            client = Client("127.0.0.1", "4000", "alice", executable=os.path.join(folder, "cubefray"))
            return client.finish(), client.text(), missing
        finally:
            shutil.rmtree(folder)

    def test_missing_image_stops_after_the_decoder_error(self):
        status, text, path = self.run_without("crosshairs.png")
        self.assertEqual(status, 0)
        self.assertIn("Loading image file: " + path + "\nLodePNG decoder error 78: ", text)
        self.assertTrue(text.endswith("EXITING\n\n"), text[-200:])
        self.assertNotIn("g36Tex.png", text)

    def test_missing_map_names_the_full_path(self):
        status, text, path = self.run_without("mapdata")
        self.assertEqual(status, 0)
        self.assertTrue(text.endswith("Error reading file at: " + path), text[-200:])
        self.assertNotIn("MutexInit", text)

    def test_missing_shader_names_the_file(self):
        status, text, path = self.run_without("fsLight")
        self.assertEqual(status, 0)
        self.assertTrue(text.endswith("Compiling Fragment Shader: fsLight\nCan't open: " + path + "\n"),
                        text[-200:])


class Session(unittest.TestCase):
    """One client joins, learns its id, sees two players and sends real input."""

    def setUp(self):
        self.server = FakeServer()
        self.client = Client("127.0.0.1", str(self.server.port), "averyveryverylongname")

    def tearDown(self):
        self.client.kill()
        self.server.close()

    def join(self):
        join = self.server.receive(timeout=30)
        self.assertEqual(join, b"javeryveryve\0")
        self.server.send(b"s1")
        players = [player_record("1", "averyveryve", (1024.0, 200.0, 600.0)),
                   player_record("2", "bob", (1024.0, 200.0, 1200.0), (0.0, 0.0, -1.0))]
        for _ in range(3):
            self.server.send(update_message(players))
            time.sleep(0.05)

    def test_startup_join_and_orderly_shutdown(self):
        self.join()
        time.sleep(1.0)
        self.client.interrupt()
        self.assertEqual(self.client.finish(), 0)
        text = self.client.text()
        startup = re.match(
            r"OpenGL Version: [^\n]*Core Profile[^\n]*\nGL depth size: \d+\n"
            r"(Loading Shader Code\n.*?Returning Program ID: \d+\n\n){3}"
            r"(Loading image file: [^\n]*\nImage Size: [^\n]*\nReturning texture ID\n\n){4}"
            r"uvs.size\(\): 1024\nsprites.size\(\): 256\n"
            r"MutexInit: 0  PThreadCreate: 0\nName: averyveryve\n", text, re.S)
        self.assertIsNotNone(startup, text[:2000])
        self.assertIn("ADDING PLAYER: averyveryve\nDONE ADDING PLAYER: averyveryve\n"
                      "ADDING PLAYER: bob\nDONE ADDING PLAYER: bob\n", text)
        self.assertTrue(text.endswith(SHUTDOWN), text[-300:])
        leaves = [d for d in self.server.receive_all() if d[:1] == b"d"]
        self.assertEqual(leaves, [b"d1"])

    def test_keyboard_mouse_and_chat_reach_the_server(self):
        self.join()
        window = client_window()
        xdotool("mousemove", "--window", window, "100", "100")
        time.sleep(0.5)
        self.server.receive_all(quiet=0.5)

        xdotool("keydown", "w")
        time.sleep(0.2)
        xdotool("keyup", "w")
        self.assertEqual(self.server.receive_all(), [b"k1\x03\x01", b"k1\x03\x00"])

        xdotool("click", "1")
        self.assertEqual(self.server.receive_all(), [b"k1\x05\x01", b"k1\x05\x00"])

        xdotool("mousemove_relative", "--", "7", "3")
        moves = [struct.unpack("<ccxxii", d) for d in self.server.receive_all() if d[:1] == b"m"]
        self.assertTrue(moves, "no mouse message")
        self.assertEqual(sum(m[2] for m in moves), -7)
        self.assertEqual(sum(m[3] for m in moves), 3)
        self.assertTrue(all(m[1] == b"1" for m in moves))

        xdotool("key", "t", "h", "i", "w", "Return")
        chat = self.server.receive_all()
        # Typing W sends no key-down, but its release still goes out.
        self.assertIn(b"k1\x03\x00", chat)
        self.assertNotIn(b"k1\x03\x01", chat)
        self.assertIn(b"t1HIW" + b"\0" * 27, chat)

        self.client.interrupt()
        self.assertEqual(self.client.finish(), 0)
        self.assertTrue(self.client.text().endswith(SHUTDOWN))


if __name__ == "__main__":
    unittest.main()
