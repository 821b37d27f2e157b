"""End-to-end tests of the real client binary against a scripted server, under Xvfb."""

import os
import re
import shutil
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import CLIENT, SHUTDOWN, Client, scripted_game, xdotool  # noqa: E402


class Arguments(unittest.TestCase):
    def test_bad_arguments_end_with_a_reason_before_any_window(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        usage = "usage: server_address port player_name\n"
        help_text = usage + (
            "Joins the Cubefray game server at server_address (a host name or an IPv4 address)\n"
            "on UDP port port (1 to 65535) as player_name, of which the first 11 characters "
            "count.\n"
            "W, A, S and D move, Space jumps, the mouse looks and any button fires, T opens a\n"
            "chat line and Escape frees the mouse.\n"
            "  --record FILE        before the three arguments: record the match into FILE\n"
            "  --replay FILE        play a recorded match\n"
            "  --start              open the start screen: play against bots, find a game\n"
            "  cubefray://HOST:PORT open the start screen and join that server\n"
            "  --help               print this help\n"
            "  --version            print the version\n")
        bad_port = "port must be a number from 1 to 65535, got '%s'\n"
        for args, text in (([], usage), (["127.0.0.1", "4000"], usage),
                           (["a", "1", "b", "c"], usage), (["--help", "me"], usage),
                           (["-h"], usage), (["--help"], help_text), (["--start", "x"], usage),
                           (["cubefray:/x"], usage), (["--replay"], usage),
                           (["--record", "f", "127.0.0.1", "4000"], usage),
                           (["no-such-host.invalid", "4000", "alice"], "error init network stuff\n"),
                           (["no-such-host.invalid", "port", "alice"], bad_port % "port"),
                           (["127.0.0.1", "0", "alice"], bad_port % "0"),
                           (["127.0.0.1", "65536", "alice"], bad_port % "65536"),
                           (["127.0.0.1", "4000x", "alice"], bad_port % "4000x"),
                           (["127.0.0.1", "", "alice"], bad_port % "")):
            client = Client(*args, env=env)
            self.assertEqual(client.finish(), 0, args)
            self.assertEqual(client.text(), text)
        client = Client("--version", env=env)
        self.assertEqual(client.finish(), 0)
        self.assertRegex(client.text(), r"\Acubefray \d+\.\d+\.\d+\n\Z")


class MissingResources(unittest.TestCase):
    def test_a_missing_resource_stops_the_client_saying_which(self):
        for resource, ending in (
                ("crosshairs.png",
                 "Loading image file: %s\nLodePNG decoder error 78: [^\n]+\nEXITING\n\n"),
                ("mapdata", "Error reading file at: %s"),
                ("fsLight", "Compiling Fragment Shader: fsLight\nCan't open: %s\n")):
            with self.subTest(resource), tempfile.TemporaryDirectory() as folder:
                shutil.copy(CLIENT, folder)
                shutil.copytree(os.path.join(os.path.dirname(CLIENT), "Contents"),
                                os.path.join(folder, "Contents"))
                missing = os.path.join(folder, "Contents", "Resources", resource)
                os.remove(missing)
                client = Client("127.0.0.1", "4000", "alice",
                                executable=os.path.join(folder, "cubefray"))
                self.assertEqual(client.finish(), 0)
                self.assertRegex(client.text(), ending % re.escape(missing) + r"\Z")


def key_changes(datagrams):
    """The key messages without the copies that repeat a key's last message."""
    last = {}
    changes = []
    for data in datagrams:
        if data[:1] == b"k" and last.get(data[2]) != data:
            last[data[2]] = data
            changes.append(data)
    return changes


class Session(unittest.TestCase):
    """One client joins, learns its id, sees two players, sends real input and leaves."""

    def test_join_input_and_orderly_shutdown(self):
        server, client, _ = scripted_game(
            self, [("1", "averyveryve", (1024.0, 200.0, 600.0), (0, 0, 1)),
                   ("2", "bob", (1024.0, 200.0, 1200.0), (0, 0, -1))], "averyveryverylongname")
        self.assertEqual(server.joined, b"javeryveryve\0")

        # W, A, D, S and Space are game keys 3, 0, 1, 2 and 4; keys the server does not know send
        # nothing. Each change goes out again in the next frames.
        xdotool("key", "w", "a", "d", "s", "space", "1")
        self.assertEqual(key_changes(server.receive_all()),
                         [b"k1" + bytes([key, pressed]) for key in (3, 0, 1, 2, 4) for pressed in (1, 0)])
        xdotool("click", "1")
        self.assertEqual(key_changes(server.receive_all()), [b"k1\x05\x01", b"k1\x05\x00"])

        # The client sends horizontal motion negated.
        xdotool("mousemove_relative", "--", "7", "3")
        moves = [struct.unpack("<ccxxii", d) for d in server.receive_all() if d[:1] == b"m"]
        self.assertEqual((sum(m[2] for m in moves), sum(m[3] for m in moves), {m[1] for m in moves}),
                         (-7, 3, {b"1"}))

        xdotool("key", "t", "h", "i", "w", "Return")
        chat = server.receive_all()
        # Typing W sends no key-down, but its release still goes out.
        self.assertIn(b"k1\x03\x00", chat)
        self.assertNotIn(b"k1\x03\x01", chat)
        self.assertIn(b"t1HIW" + b"\0" * 27, chat)
        # 29 characters: letters past them are refused, Backspace removes the 29th, the blank
        # takes its place.
        xdotool("key", "t", *(chr(ord("a") + i % 26) for i in range(31)), "BackSpace", "space",
                "Return")
        self.assertIn(b"t1ABCDEFGHIJKLMNOPQRSTUVWXYZAB \0", server.receive_all())
        # Digits and punctuation type as the layout makes them; letters still in upper case.
        xdotool("key", "t", "h", "i", "space", "a", "l", "l", "comma", "space", "g", "g", "exclam",
                "space", "1", "2", "3", "question", "Return")
        self.assertIn(b"t1HI ALL, GG! 123?" + b"\0" * 14, server.receive_all())

        client.interrupt()
        self.assertEqual(client.finish(), 0)
        text = client.text()
        startup = re.match(
            r"OpenGL Version: [^\n]*Core Profile[^\n]*\nGL depth size: \d+\n"
            r"(Loading Shader Code\n.*?Returning Program ID: \d+\n\n){3}"
            r"(Loading image file: [^\n]*\nImage Size: [^\n]*\nReturning texture ID\n\n){4}"
            r"uvs.size\(\): 1024\nsprites.size\(\): 256\n"
            r"MutexInit: 0  PThreadCreate: 0\nName: averyveryve\n"
            # Xvfb has no sound card: one line says so, and nothing of the sound libraries.
            r"No audio device: the game runs without sound\nADDING PLAYER", text, re.S)
        self.assertIsNotNone(startup, text[:2000])
        self.assertEqual(text.count("audio"), 1)
        self.assertIn("ADDING PLAYER: averyveryve\nDONE ADDING PLAYER: averyveryve\n"
                      "ADDING PLAYER: bob\nDONE ADDING PLAYER: bob\n", text)
        self.assertTrue(text.endswith(SHUTDOWN), text[-300:])
        self.assertEqual([d for d in server.receive_all() if d[:1] == b"d"], [b"d1"])


if __name__ == "__main__":
    unittest.main()
