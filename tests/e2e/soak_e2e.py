"""A soak: the real server with three bots and the real client (four players, a full house
fighting) for a few minutes. Neither program may crash, and neither may grow in memory once warmed
up. Garbage datagrams are the flood test's and the fuzzers'."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import Client, start_server  # noqa: E402

SOAK_SECONDS = float(os.environ.get("CUBEFRAY_SOAK_SECONDS", "120"))
WARM_UP_SECONDS = 20


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        return int(status.read().split("VmRSS:")[1].split()[0])


class Soak(unittest.TestCase):
    def test_a_full_house_runs_for_minutes_without_crash_or_growth(self):
        server, port = start_server(bots=3)
        self.addCleanup(server.kill)
        client = Client("127.0.0.1", str(port), "soaker")
        self.addCleanup(client.kill)
        programs = {"server": server.process, "client": client.process}
        start = time.monotonic()
        warm = {}
        while time.monotonic() - start < WARM_UP_SECONDS + SOAK_SECONDS:
            for name, process in programs.items():
                self.assertIsNone(process.poll(), "the %s ended" % name)
            if not warm and time.monotonic() - start > WARM_UP_SECONDS:
                warm = {name: resident_kib(process.pid) for name, process in programs.items()}
            time.sleep(0.5)
        grown = {name: resident_kib(process.pid) - warm[name] for name, process in programs.items()}
        self.assertLess(grown["server"], 2048, grown)
        self.assertLess(grown["client"], 8192, grown)
        client.interrupt()
        self.assertEqual(client.finish(), 0)
        for name in ("soaker", "bot_ann", "bot_ben", "bot_cal"):
            self.assertIn("ADDING PLAYER: %s\n" % name, client.text())
        self.assertEqual(server.stop(), 0, server.text()[-500:])
        self.assertIn("Server stopped", server.text())


if __name__ == "__main__":
    unittest.main()
