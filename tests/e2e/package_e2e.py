"""The Debian package as a host gets it: built by CPack from the build folder, unpacked with
dpkg-deb (nothing is installed on this machine), its server started the way its systemd unit
starts it, and its client, under Xvfb, joining that server."""

import os
import re
import shlex
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import BUILD_DIR, Client, Server, client_window, free_port, wait_for  # noqa: E402
from query_e2e import HEARTBEAT, Peer, info_of  # noqa: E402

CPACK = os.environ.get("CUBEFRAY_CPACK", "cpack")
UNIT = "usr/lib/systemd/system/cubefray-server.service"
SETTINGS = "etc/default/cubefray-server"


def build_package(folder):
    subprocess.run([CPACK, "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"), "-B", folder],
                   check=True, capture_output=True, timeout=120)
    (package,) = [name for name in os.listdir(folder) if name.endswith(".deb")]
    return os.path.join(folder, package)


def control_field(package, field):
    return subprocess.run(["dpkg-deb", "--field", package, field], check=True,
                          capture_output=True, text=True).stdout.strip()


def assignments(words):
    """NAME=value pairs of Environment= words or of an environment file's lines, quotes
    removed as systemd removes them."""
    return dict(word.split("=", 1) for word in words if "=" in word)


def service_command(root, **settings):
    """The unit's ExecStart as systemd expands it, with the unit's defaults, the packaged settings
    over them and the settings given over those, pointing into the unpacked tree: the command
    and the environment it runs in."""
    with open(os.path.join(root, UNIT)) as unit:
        lines = dict(line.rstrip("\n").split("=", 1) for line in unit
                     if "=" in line and not line.startswith("#"))
    if lines["EnvironmentFile"] != "-/" + SETTINGS:
        raise AssertionError("the unit reads its settings from " + lines["EnvironmentFile"])
    environment = assignments(shlex.split(lines["Environment"]))
    with open(os.path.join(root, SETTINGS)) as packaged:
        environment.update(assignments(word for line in packaged
                                       if not line.lstrip().startswith("#")
                                       for word in shlex.split(line)))
    environment.update(settings)
    command = [re.sub(r"\$\{(\w+)\}", lambda match: environment[match[1]], word)
               .replace("$$", "$").replace("/usr/bin/", os.path.join(root, "usr/bin/"))
               for word in shlex.split(lines["ExecStart"])]
    return command, dict(os.environ, **environment)


def start_service(root, **settings):
    """The unpacked server started as its unit starts it."""
    (program, *arguments), environment = service_command(root, **settings)
    return Server(*arguments, executable=program, env=environment)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.package = build_package(os.path.join(cls.folder.name, "package"))
        cls.root = os.path.join(cls.folder.name, "root")
        subprocess.run(["dpkg-deb", "-x", cls.package, cls.root], check=True, timeout=60)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_declares_what_it_needs_and_holds_what_a_host_uses(self):
        self.assertEqual(control_field(self.package, "Package"), "cubefray")
        depends = control_field(self.package, "Depends")
        for library in ("libsdl2-2.0-0", "libepoxy0", "liblodepng0", "libopenal1", "libgl1",
                        "libstdc++6"):
            self.assertRegex(depends, r"(^|, )%s\b" % re.escape(library))
        self.assertIn("/" + SETTINGS, subprocess.run(
            ["dpkg-deb", "--info", self.package, "conffiles"], capture_output=True,
            text=True).stdout.split())
        for path in ("usr/bin/cubefray", "usr/bin/cubefray-server", "usr/share/cubefray/mapdata",
                     "usr/share/cubefray/fsLight", "usr/share/doc/cubefray/LICENSE",
                     "usr/share/doc/cubefray/README.md", "usr/share/applications/cubefray.desktop",
                     "usr/share/applications/cubefray-link.desktop",
                     "usr/share/icons/hicolor/128x128/apps/cubefray.png",
                     "usr/share/man/man6/cubefray.6.gz", "usr/share/man/man6/cubefray-server.6.gz",
                     UNIT, SETTINGS):
            self.assertTrue(os.path.isfile(os.path.join(self.root, path)), path)
        version = subprocess.run([os.path.join(self.root, "usr/bin/cubefray"), "--version"],
                                 capture_output=True, text=True, timeout=10)
        self.assertEqual(version.stdout, "cubefray %s\n" % control_field(self.package, "Version"))

    def test_the_unit_is_valid_for_systemd(self):
        # Verified against the unpacked server, with the unpacked manual pages for its
        # Documentation= line.
        with open(os.path.join(self.root, UNIT)) as unit:
            text = unit.read().replace("/usr/bin/", os.path.join(self.root, "usr/bin/"))
        checked = os.path.join(self.folder.name, "cubefray-server.service")
        with open(checked, "w") as unit:
            unit.write(text)
        manuals = os.path.join(self.root, "usr/share/man")
        result = subprocess.run(["systemd-analyze", "verify", checked], capture_output=True,
                                text=True, timeout=60, env=dict(os.environ, MANPATH=manuals))
        # It warns of unknown keys and bad values, and still ends with 0.
        self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""))

    def test_the_unpacked_client_joins_the_unpacked_server(self):
        port = free_port()
        server = start_service(self.root, CUBEFRAY_PORT=str(port))
        self.addCleanup(server.kill)
        mapdata = os.path.join(os.path.realpath(self.root), "usr/share/cubefray/mapdata")
        self.assertIn("Cubefray server on port %d, map %s, 0 bots\n" % (port, mapdata),
                      server.text())
        self.assertNotIn("master", server.text())
        client = Client("127.0.0.1", str(port), "packaged",
                        executable=os.path.join(self.root, "usr/bin/cubefray"))
        self.addCleanup(client.kill)
        self.assertTrue(wait_for(lambda: "ADDING PLAYER: packaged\n" in client.text(), 30),
                        client.text())
        self.assertRegex(server.text(), r"Z packaged joined as 1 from 127\.0\.0\.1:\d+\n")
        client.interrupt()
        self.assertEqual(client.finish(), 0)
        self.assertTrue(wait_for(lambda: "packaged left" in server.text(), 10), server.text())
        self.assertEqual(server.stop(), 0)
        self.assertIn("Server stopped\n", server.text())

    def test_the_menu_entry_opens_the_start_screen_and_links_have_a_handler(self):
        entries = {}
        for name in ("cubefray.desktop", "cubefray-link.desktop"):
            with open(os.path.join(self.root, "usr/share/applications", name)) as entry:
                entries[name] = dict(line.strip().split("=", 1) for line in entry
                                     if "=" in line)
        self.assertEqual(entries["cubefray.desktop"]["Exec"], "cubefray --start")
        self.assertEqual(entries["cubefray-link.desktop"]["Exec"], "cubefray %u")
        self.assertIn("x-scheme-handler/cubefray;", entries["cubefray-link.desktop"]["MimeType"])
        program, *arguments = entries["cubefray.desktop"]["Exec"].split()
        client = Client(*arguments, executable=os.path.join(self.root, "usr/bin", program))
        self.addCleanup(client.kill)
        client_window(client)
        client.interrupt()
        self.assertEqual(client.finish(), 0)
        self.assertNotIn("usage", client.text())

    def test_the_unit_passes_the_name_and_each_master(self):
        masters = [Peer(self), Peer(self)]
        server = start_service(self.root, CUBEFRAY_PORT=str(free_port()),
                               CUBEFRAY_NAME="Packaged arena", CUBEFRAY_MASTERS=" ".join(
                                   "127.0.0.1:%d" % master.sock.getsockname()[1]
                                   for master in masters))
        self.addCleanup(server.kill)
        for master in masters:
            ((beat, sender),) = master.received()
            self.assertEqual(beat, HEARTBEAT)
            master.ask(sender, "packaged")
            ((reply, _),) = master.received()
            self.assertEqual(info_of(reply)["hostname"], "Packaged arena")
        self.assertEqual(server.stop(), 0)


if __name__ == "__main__":
    unittest.main()
