"""End to end: the start screen of the real client, driven by keys under Xvfb: a match against
bots and back, the server list filled through a stand-in master from real servers, a join from
the list, a full server marked, a cubefray:// link, and the search of the local network (in a
network namespace of its own: see LanSearch)."""

import os
import re
import select
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (SHUTDOWN, Client, LinkProxy, SeatHolders, Server,  # noqa: E402
                     client_window, free_port, isolated_env, wait_for, window_rgb, xdotool)

PREFIX = b"\xff\xff\xff\xff"


class StandInMaster:
    """A master server on the loopback address: it keeps the servers whose heartbeats arrive
    and answers getservers with them, or with the servers it is told to list instead."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", 0))
        self.port = self.sock.getsockname()[1]
        self.heartbeats = []
        self.listed = None
        self.asked = 0
        self.running = True
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        while self.running:
            if not select.select([self.sock], [], [], 0.05)[0]:
                continue
            data, sender = self.sock.recvfrom(2048)
            if data == PREFIX + b"heartbeat DarkPlaces\n":
                self.heartbeats.append(sender)
            elif data.startswith(PREFIX + b"getservers Cubefray 1"):
                self.asked += 1
                servers = self.listed if self.listed is not None else self.heartbeats
                entries = b"".join(b"\\" + socket.inet_aton(host) + struct.pack(">H", port)
                                   for host, port in dict.fromkeys(servers))
                self.sock.sendto(PREFIX + b"getserversResponse" + entries + b"\\EOT\0\0\0",
                                 sender)

    def close(self):
        self.running = False
        self.thread.join()
        self.sock.close()


def found(client, name):
    """The client's line for a server it listed, or None."""
    match = re.search(r"Found server: \*?\s*%s\s+(\d+)/(\d+)\s+\d+ ms\s+(\S+)(  FULL)?\n" %
                      re.escape(name), client.text())
    return match


class StartScreen(unittest.TestCase):
    def start_server(self, name, bots, master):
        port = free_port()
        server = Server("--port", str(port), "--bots", str(bots), "--name", name, "--master",
                        "127.0.0.1:%d" % master.port)
        self.addCleanup(server.kill)
        return server, port

    @staticmethod
    def own_server_of(client):
        """The process id of the server the client started itself, or None."""
        found = subprocess.run(["pgrep", "-P", str(client.process.pid), "cubefray-serv"],
                               capture_output=True, text=True).stdout.split()
        return int(found[0]) if found else None

    @staticmethod
    def gone(pid):
        # A process that ended but has not been reaped by its parent yet is gone as well.
        try:
            with open("/proc/%d/stat" % pid) as stat:
                return stat.read().split(") ")[1].startswith("Z")
        except FileNotFoundError:
            return True

    def test_bots_then_the_list_then_a_join_all_by_keys(self):
        master = StandInMaster()
        self.addCleanup(master.close)
        alpha, alpha_port = self.start_server("Alpha", 1, master)
        beta, beta_port = self.start_server("Beta", 0, master)
        gamma, gamma_port = self.start_server("Gamma", 0, master)
        house = SeatHolders(gamma_port, 4)
        self.addCleanup(house.close)
        self.assertTrue(wait_for(lambda: len(set(master.heartbeats)) == 3, 10))
        # The list is sorted by ping: relays of 40 and 90 ms each way put Alpha second and Gamma
        # third, whatever the machine's pace.
        relays = [LinkProxy(alpha_port, 1, delay=(0.04, 0.04)),
                  LinkProxy(gamma_port, 2, delay=(0.09, 0.09))]
        for relay in relays:
            self.addCleanup(relay.close)
        master.listed = [("127.0.0.1", beta_port), ("127.0.0.1", relays[0].port),
                         ("127.0.0.1", relays[1].port)]
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        settings = ("lan_search = no\nname = tester\nbots = 2\nbot_skill = hard\n"
                    "masters = 127.0.0.1:%d\n" % master.port)
        client = Client("--start", env=isolated_env(folder.name, settings))
        self.addCleanup(client.kill)
        window = client_window(client)
        xdotool("mousemove", "--window", window, "700", "470")
        time.sleep(1)

        # Play against bots: the game's own server with two hard bots, a real match, then Leave.
        xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: bot_ben\n" in client.text(), 30),
                        client.text()[-1500:])
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: tester\n" in client.text(), 10))
        own = self.own_server_of(client)
        self.assertIsNotNone(own)
        with open("/proc/%d/cmdline" % own) as arguments:
            self.assertIn("\0".join(["--bots", "2", "--bot-skill", "hard"]), arguments.read())
        time.sleep(1)
        match = window_rgb(window)
        xdotool("key", "Escape", "Up", "Return")
        self.assertTrue(wait_for(lambda: "Cleanup game\n" in client.text(), 10))
        self.assertTrue(wait_for(lambda: self.gone(own), 10))
        time.sleep(0.5)
        self.assertNotEqual(window_rgb(window), match)

        # Find a game: three servers, the one humans fill marked, fastest first.
        xdotool("key", "Down", "Return")
        self.assertTrue(wait_for(lambda: all(found(client, n) for n in ("Alpha", "Beta", "Gamma")),
                                 10), client.text()[-1500:])
        self.assertEqual(found(client, "Alpha").groups()[:2], ("1", "4"))
        self.assertEqual(found(client, "Beta").groups()[:2], ("0", "4"))
        self.assertEqual(found(client, "Gamma").groups()[1:], ("4", "127.0.0.1:%d" % relays[1].port,
                                                               "  FULL"))
        self.assertIsNone(found(client, "Alpha").groups()[3])
        time.sleep(1)
        # The second line is Alpha: Down and Return join it, and its log shows the join.
        xdotool("key", "Down", "Return")
        self.assertTrue(wait_for(lambda: re.search(r"tester joined as \d from 127\.0\.0\.1",
                                                   alpha.text()), 15), alpha.text())
        self.assertNotIn("tester joined", beta.text() + gamma.text())
        xdotool("key", "Escape", "Up", "Return")
        self.assertTrue(wait_for(lambda: client.text().count("Cleanup game\n") == 2, 10))
        self.assertTrue(wait_for(lambda: "tester left" in alpha.text(), 10))

        # Back on the list it was left from; Escape goes to the items, Find a game still chosen.
        time.sleep(0.5)
        xdotool("key", "Escape", "Up", "Up", "Return")
        self.assertEqual(client.finish(), 0)
        self.assertTrue(client.text().endswith(SHUTDOWN), client.text()[-300:])
        with open(os.path.join(folder.name, "config", "cubefray", "settings")) as kept:
            self.assertIn("recent = 127.0.0.1:%d\n" % relays[0].port, kept.read())

    def test_the_games_own_server_ends_with_the_client_however_it_ends(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        client = Client("--start", env=isolated_env(folder.name, "lan_search = no\nbots = 1\n"))
        self.addCleanup(client.kill)
        client_window(client)
        time.sleep(1)
        xdotool("key", "Return")
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: bot_ann\n" in client.text(), 30))
        own = self.own_server_of(client)
        self.assertIsNotNone(own)
        client.process.kill()
        client.finish()
        self.assertTrue(wait_for(lambda: self.gone(own), 10))

    def test_a_link_opens_the_start_screen_and_joins_its_server(self):
        server = Server("--port", str(free_port()), "--bots", "0")
        self.addCleanup(server.kill)
        port = re.search(r"on port (\d+)", server.text()).group(1)
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        client = Client("cubefray://127.0.0.1:%s" % port,
                        env=isolated_env(folder.name, "lan_search = no\nname = linked\n"))
        self.addCleanup(client.kill)
        self.assertTrue(wait_for(lambda: "linked joined as 1" in server.text(), 30),
                        client.text()[-1000:])
        client.interrupt()
        self.assertEqual(client.finish(), 0)


class LanSearch(unittest.TestCase):
    """Run alone in a network namespace whose only interface is loopback (the test suite starts
    it with unshare), so that the broadcast cannot leave the machine."""

    def test_the_local_network_is_searched_on_the_first_ports(self):
        interfaces = subprocess.run(["ip", "-o", "link"], capture_output=True, text=True).stdout
        self.assertEqual([line.split(":")[1].strip() for line in interfaces.splitlines()], ["lo"])
        server = Server("--port", "4002", "--bots", "1", "--name", "Nearby")
        self.addCleanup(server.kill)
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        client = Client("--start", env=isolated_env(folder.name, "lan_search = yes\n"))
        self.addCleanup(client.kill)
        client_window(client)
        time.sleep(1)
        xdotool("key", "Down", "Return")
        self.assertTrue(wait_for(lambda: found(client, "Nearby"), 10), client.text()[-1000:])
        self.assertEqual(found(client, "Nearby").group(3), "127.0.0.1:4002")
        client.interrupt()
        self.assertEqual(client.finish(), 0)


if __name__ == "__main__":
    unittest.main()
