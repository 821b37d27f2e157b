"""End to end with the real server on a port the system picks: getinfo on its game port from
loopback sockets, and a small stand-in master that hears its heartbeats and asks it back, as a
master does."""

import os
import re
import select
import socket
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import Server  # noqa: E402
from server_e2e import ScriptedClient  # noqa: E402

PREFIX = b"\xff\xff\xff\xff"
HEARTBEAT = PREFIX + b"heartbeat DarkPlaces\n"
INFO_HEAD = PREFIX + b"infoResponse\n\\"


def start_listed_server(*args):
    """The real server on the loopback address and a port the system picks, as the client's
    "Play against bots" starts it: the server and the port its first line names."""
    server = Server("--address", "127.0.0.1", "--port", "0", *args)
    return server, int(re.search(r"Cubefray server on port (\d+),", server.text())[1])


def info_of(datagram):
    """The pairs of an infoResponse."""
    if not datagram.startswith(INFO_HEAD):
        raise AssertionError("no infoResponse: %r" % datagram)
    fields = datagram[len(INFO_HEAD):].decode().split("\\")
    return dict(zip(fields[::2], fields[1::2]))


class Peer:
    """A UDP socket on a loopback address."""

    def __init__(self, test, ip="127.0.0.1"):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind((ip, 0))
        test.addCleanup(self.sock.close)

    def ask(self, to, challenge, times=1):
        for _ in range(times):
            self.sock.sendto(PREFIX + b"getinfo " + challenge.encode(), to)

    def received(self, quiet=0.5):
        """Every (datagram, sender) until nothing has come for a while."""
        got = []
        while select.select([self.sock], [], [], quiet)[0]:
            got.append(self.sock.recvfrom(2048))
        return got


class Query(unittest.TestCase):
    def test_getinfo_is_answered_with_its_challenge_ten_times_a_second_at_most(self):
        server, port = start_listed_server("--bots", "2", "--name", "Loopback arena")
        self.addCleanup(server.kill)
        asker = Peer(self)
        asker.ask(("127.0.0.1", port), "x7")
        ((reply, _),) = asker.received()
        self.assertLess(len(reply), 512)
        self.assertEqual(info_of(reply), {
            "gamename": "Cubefray", "protocol": "1", "clients": "2", "bots": "2",
            "sv_maxclients": "4", "challenge": "x7", "mapname": "mapdata",
            "hostname": "Loopback arena"})
        asker.ask(("127.0.0.1", port), "bad\\one")
        asker.ask(("127.0.0.1", port), "x" * 65)
        self.assertEqual(asker.received(), [])

        # From an address of its own, so that the answer above does not count.
        flooder = Peer(self, "127.0.0.2")
        flooder.ask(("127.0.0.1", port), "burst", 30)
        self.assertEqual(len(flooder.received()), 10)
        asker.ask(("127.0.0.1", port), "again")
        self.assertEqual(len(asker.received()), 1)

        self.assertEqual(server.stop(), 0)
        # Nothing logged for any query, and none counted as malformed.
        self.assertEqual([line.split(" ", 1)[1] for line in server.text().splitlines()[1:]], [
            "bot_ann joined as 1 (bot)", "bot_ben joined as 2 (bot)",
            "0 malformed datagrams dropped",
            "0 datagrams dropped from addresses that do not own the player id they name",
            "Server stopped"])


class Heartbeat(unittest.TestCase):
    def test_the_master_hears_the_server_at_start_and_when_it_fills_or_no_longer_is_full(self):
        master = Peer(self)
        master_port = master.sock.getsockname()[1]
        server, port = start_listed_server("--bots", "3", "--master", "127.0.0.1:%d" % master_port)
        self.addCleanup(server.kill)
        self.assertIn("heartbeats to master 127.0.0.1 at 127.0.0.1:%d\n" % master_port,
                      server.text())

        def heard(clients, challenge):
            """The one heartbeat that came, and the server's answer to the master asking back."""
            ((beat, sender),) = master.received(quiet=2.0)
            self.assertEqual((beat, sender), (HEARTBEAT, ("127.0.0.1", port)))
            master.ask(sender, challenge)
            ((reply, _),) = master.received()
            info = info_of(reply)
            self.assertEqual((info["clients"], info["challenge"]), (clients, challenge))

        heard("3", "start")
        player = ScriptedClient(port)
        self.addCleanup(player.sock.close)
        self.assertEqual(player.join("filler"), b"s4")
        heard("4", "full")
        player.send(b"d4")
        heard("3", "left")
        self.assertEqual(server.stop(), 0)


if __name__ == "__main__":
    unittest.main()
