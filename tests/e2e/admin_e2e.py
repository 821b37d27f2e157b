"""End to end: a host administers the real server through its admin socket with the real
`cubefray-server admin`: every command, a kicked real client losing its connection, a ban that
outlasts a restart, the socket's mode keeping out users outside its group, and a socket file left
by a dead server taken over while a live server's is not."""

import calendar
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import (SERVER, Client, Server, client_window, free_port, wait_for,  # noqa: E402
                     window_rgb)
from hud_e2e import banner_width  # noqa: E402
from server_e2e import ScriptedClient  # noqa: E402

NOBODY = "65534"


class Host:
    """A folder that any user may enter, for the server's socket and state and a copy of the
    program that runs the admin command: users other than root must reach both for the socket's
    own mode to decide."""

    def __init__(self, test):
        self.folder = tempfile.mkdtemp(prefix="cubefray-admin-")
        test.addCleanup(shutil.rmtree, self.folder)
        os.chmod(self.folder, 0o755)
        self.program = shutil.copy(SERVER, self.folder)
        self.socket = os.path.join(self.folder, "admin.sock")
        self.state = os.path.join(self.folder, "state")
        os.mkdir(self.state)
        self.test = test

    def start(self, port, *args):
        server = Server("--port", str(port), "--admin", self.socket, "--state", self.state,
                        *args)
        self.test.addCleanup(server.kill)
        return server

    def admin(self, *command, user=()):
        """The admin command's status, output and errors, run as the user setpriv's options
        make."""
        prefix = ["setpriv", *user] if user else []
        result = subprocess.run([*prefix, self.program, "admin", "--socket", self.socket,
                                 *command], capture_output=True, text=True, timeout=10)
        return result.returncode, result.stdout, result.stderr

    def ok(self, *command):
        status, out, err = self.admin(*command)
        self.test.assertEqual((status, err), (0, ""), command)
        return out


class Player(ScriptedClient):
    """A scripted player on a loopback address of its own that keeps its seat and collects the
    server's chat lines."""

    def __init__(self, test, port, ip, name):
        super().__init__(port, ip)
        test.addCleanup(self.sock.close)
        self.name = name
        self.id = self.join(name)[1:2]

    def chat(self, seconds=0.3):
        """The server's chat lines in the next seconds; updates keep coming meanwhile."""
        self.send(b"x" + self.id)
        lines = []
        end = time.monotonic() + seconds
        while select.select([self.sock], [], [], max(0.0, end - time.monotonic()))[0]:
            data = self.sock.recv(2048)
            if data[:2] == b"ts":
                lines.append(data[2:].split(b"\0")[0].decode())
        return lines


class Commands(unittest.TestCase):
    def test_every_command_reaches_the_players_and_a_ban_outlasts_a_restart(self):
        host = Host(self)
        port = free_port()
        server = host.start(port, "--bots", "1")
        tester = Client("127.0.0.1", str(port), "tester")
        self.addCleanup(tester.kill)
        window = client_window(tester)
        self.assertTrue(wait_for(lambda: "tester joined as 2" in server.text()))
        lis, guest = Player(self, port, "127.0.0.1", "lis"), Player(self, port, "127.0.0.2", "guest")
        self.assertEqual((lis.id, guest.id), (b"3", b"4"))

        def heard():
            """What lis heard; guest keeps its seat meanwhile."""
            guest.chat(0.05)
            return lis.chat()
        status = host.ok("status")
        self.assertIn("port: %d\nmap: mapdata\n" % port, status)
        self.assertIn("seats: 4 of 4\n", status)
        self.assertRegex(status, r"\n2 +tester +human +127\.0\.0\.1:\d+ +0 +0\n")
        heard()
        self.assertEqual(host.ok("say", "Welcome", "all"), "said\n")
        self.assertEqual(heard(), ["Welcome all"])

        # The real client stops hearing the server at once, and says so.
        self.assertEqual(host.ok("kick", "tester", "camping"), "kicked tester\n")
        self.assertEqual(heard(), ["tester was kicked: camping", "tester left"])
        for _ in range(8):
            heard()
        self.assertTrue(250 < banner_width(window_rgb(window)) < 450, "no 'Connection lost'")
        self.assertEqual(host.ok("bots", "2"), "2 bots\n")
        self.assertEqual(heard(), ["bot_ben joined"])

        banned = host.ok("ban", "127.0.0.2", "60")
        self.assertRegex(banned, r"^banned 127\.0\.0\.2 until \S+Z\n$")
        ends = calendar.timegm(time.strptime(banned.split()[-1], "%Y-%m-%dT%H:%M:%SZ"))
        self.assertAlmostEqual(ends, time.time() + 3600, delta=5)
        self.assertEqual(heard(), ["guest was kicked: banned", "guest left"])
        self.assertEqual(guest.join("guest"), b"f")
        self.assertEqual(host.ok("ban", "127.0.0.9"), "banned 127.0.0.9 for good\n")
        self.assertEqual(server.stop(), 0)
        for line in ("notice: Welcome all", "tester was kicked: camping",
                     "banned 127.0.0.9 for good", "refused guest from %s: banned" % guest.address):
            self.assertIn(line, server.text())

        server = host.start(port)
        self.assertIn("2 bans kept in %s/bans\n" % host.state, server.text())
        self.assertEqual(guest.join("guest"), b"f")
        self.assertEqual(host.ok("bans"), banned[len("banned "):] + "127.0.0.9 for good\n")
        self.assertEqual(host.ok("unban", "127.0.0.2"), "unbanned 127.0.0.2\n")
        self.assertEqual(guest.join("guest"), b"s1")
        self.assertEqual(host.admin("unban", "127.0.0.2"),
                         (1, "", "cubefray-server admin: 127.0.0.2 is not banned\n"))
        self.assertEqual(server.stop(), 0)


class Socket(unittest.TestCase):
    def test_the_socket_refuses_a_user_outside_its_group(self):
        host = Host(self)
        server = host.start(free_port())
        self.assertEqual(os.stat(host.socket).st_mode & 0o777, 0o660)
        # Root's group is the server's: nobody with it as a supplementary group may ask.
        inside = ["--reuid=" + NOBODY, "--regid=" + NOBODY, "--groups=0"]
        status, out, _ = host.admin("status", user=inside)
        self.assertEqual(status, 0)
        self.assertIn("seats: 0 of 4", out)
        outside = ["--reuid=" + NOBODY, "--regid=" + NOBODY, "--clear-groups"]
        self.assertEqual(host.admin("status", user=outside), (
            1, "", "cubefray-server admin: no server listening at %s: Permission denied\n" %
            host.socket))
        self.assertEqual(server.stop(), 0)
        self.assertFalse(os.path.exists(host.socket))

    def test_a_dead_servers_socket_is_replaced_and_a_live_ones_refused(self):
        host = Host(self)
        first = host.start(free_port())
        taken = subprocess.run([SERVER, "--port", str(free_port()), "--admin", host.socket],
                               capture_output=True, text=True, timeout=10)
        self.assertEqual((taken.returncode, taken.stderr), (
            1, "cubefray-server: cannot listen on %s: another server listens there\n" %
            host.socket))
        first.process.send_signal(signal.SIGKILL)
        first.finish()
        self.assertTrue(os.path.exists(host.socket))
        self.assertEqual(host.admin("status")[0], 1)
        second = host.start(free_port())
        self.assertIn("seats: 0 of 4", host.ok("status"))
        self.assertEqual(second.stop(), 0)
        self.assertEqual(host.admin("bots", "2")[2],
                         "cubefray-server admin: no server listening at %s: No such file or "
                         "directory\n" % host.socket)


if __name__ == "__main__":
    unittest.main()
