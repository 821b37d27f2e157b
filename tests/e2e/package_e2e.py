"""The Debian package as a host gets it: built by CPack from the build folder, unpacked with
dpkg-deb (nothing is installed on this machine), its server started the way its systemd unit
starts it, and its client, under Xvfb, joining that server."""

import os
import re
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from harness import BUILD_DIR, Client, Server, free_port, wait_for  # noqa: E402

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


def assignments(lines):
    """NAME=value pairs of an environment file or of Environment= settings."""
    return dict(re.findall(r"(\w+)=(\S*)", "\n".join(line for line in lines
                                                      if not line.lstrip().startswith("#"))))


def service_command(root, port):
    """The unit's ExecStart with the unit's defaults, the packaged settings over them and the
    port given, pointing into the unpacked tree."""
    with open(os.path.join(root, UNIT)) as unit:
        settings = dict(line.rstrip("\n").split("=", 1) for line in unit
                        if "=" in line and not line.startswith("#"))
    if settings["EnvironmentFile"] != "-/" + SETTINGS:
        raise AssertionError("the unit reads its settings from " + settings["EnvironmentFile"])
    environment = assignments([settings["Environment"].replace(" ", "\n")])
    with open(os.path.join(root, SETTINGS)) as packaged:
        environment.update(assignments(packaged.readlines()))
    environment["CUBEFRAY_PORT"] = str(port)
    words = re.sub(r"\$\{(\w+)\}", lambda match: environment[match[1]],
                   settings["ExecStart"]).split()
    return [root + words[0]] + words[1:]


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
        program, *arguments = service_command(self.root, port)
        server = Server(*arguments, executable=program)
        self.addCleanup(server.kill)
        mapdata = os.path.join(os.path.realpath(self.root), "usr/share/cubefray/mapdata")
        self.assertIn("Cubefray server on port %d, map %s, 0 bots\n" % (port, mapdata),
                      server.text())
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


if __name__ == "__main__":
    unittest.main()
