"""The Debian packages as a host gets them: cubefray and cubefray-server built by CPack from the
build folder, each unpacked on its own with dpkg-deb (nothing is installed on this machine), the
server started the way its systemd units start it, and the client, under Xvfb, joining it."""

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
UNITS = "usr/lib/systemd/system/"
UNIT, TEMPLATE = UNITS + "cubefray-server.service", UNITS + "cubefray-server@.service"
SETTINGS = "etc/default/cubefray-server"


def build_packages(folder):
    """The packages by name."""
    subprocess.run([CPACK, "--config", os.path.join(BUILD_DIR, "CPackConfig.cmake"), "-B", folder],
                   check=True, capture_output=True, timeout=240)
    return {name.split("_")[0]: os.path.join(folder, name) for name in os.listdir(folder)
            if name.endswith(".deb")}


def control_field(package, field):
    return subprocess.run(["dpkg-deb", "--field", package, field], check=True,
                          capture_output=True, text=True).stdout.strip()


def assignments(words):
    """NAME=value pairs of Environment= words or of an environment file's lines, quotes
    removed as systemd removes them."""
    return dict(word.split("=", 1) for word in words if "=" in word)


def unit_lines(root, unit):
    with open(os.path.join(root, unit)) as text:
        return [line.rstrip("\n").split("=", 1) for line in text
                if "=" in line and not line.startswith("#")]


def service_command(root, unit=UNIT, instance="", folders="/", **settings):
    """The unit's ExecStart as systemd expands it for the instance, with the unit's defaults, the
    packaged settings and an instance's own over them and the settings given over those, pointing
    into the unpacked tree, its runtime and state folders below folders: the command and the
    environment it runs in."""
    name = os.path.basename(unit)[:-len(".service")].replace("@", "@" + instance)
    specifiers = {"%i": instance, "%N": name, "%t": os.path.join(folders, "run"),
                  "%S": os.path.join(folders, "var/lib")}

    def expanded(text):
        return re.sub(r"%[iNtS]", lambda match: specifiers[match[0]], text)
    lines = unit_lines(root, unit)
    environment = assignments(shlex.split(dict(lines)["Environment"]))
    for key, value in lines:
        if key == "EnvironmentFile":
            path = os.path.join(root, expanded(value).lstrip("-/"))
            if os.path.exists(path):
                with open(path) as packaged:
                    environment.update(assignments(word for line in packaged
                                                   if not line.lstrip().startswith("#")
                                                   for word in shlex.split(line)))
    environment.update(settings)
    command = [expanded(re.sub(r"\$\{(\w+)\}", lambda match: environment[match[1]], word))
               .replace("$$", "$").replace("/usr/bin/", os.path.join(root, "usr/bin/"))
               for word in shlex.split(dict(lines)["ExecStart"])]
    return command, dict(os.environ, **environment)


def option(command, name):
    return command[command.index(name) + 1]


def start_service(root, **options):
    """The unpacked server started as its unit starts it, in the folders systemd makes for it."""
    (program, *arguments), environment = service_command(root, **options)
    os.makedirs(os.path.dirname(option(arguments, "--admin")))
    os.makedirs(option(arguments, "--state"))
    return Server(*arguments, executable=program, env=environment)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        cls.packages = build_packages(os.path.join(cls.folder.name, "packages"))
        cls.roots = {}
        for name, package in cls.packages.items():
            cls.roots[name] = os.path.join(cls.folder.name, name)
            subprocess.run(["dpkg-deb", "-x", package, cls.roots[name]], check=True, timeout=60)
        cls.client, cls.server = cls.roots["cubefray"], cls.roots["cubefray-server"]

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def files_of(self, name):
        return {os.path.relpath(os.path.join(folder, file), self.roots[name])
                for folder, _, files in os.walk(self.roots[name]) for file in files}

    def test_each_package_declares_what_it_needs_and_holds_what_it_uses(self):
        self.assertEqual(sorted(self.packages), ["cubefray", "cubefray-server"])
        game, server = self.packages["cubefray"], self.packages["cubefray-server"]
        depends = control_field(game, "Depends")
        for library in ("libsdl2-2.0-0", "libepoxy0", "liblodepng0", "libopenal1", "libgl1",
                        "libstdc++6"):
            self.assertRegex(depends, r"(^|, )%s\b" % re.escape(library))
        self.assertEqual(control_field(game, "Recommends"), "cubefray-server")
        # The server depends on nothing that draws or sounds.
        self.assertRegex(control_field(server, "Depends"), r"(^|, )libstdc\+\+6\b")
        self.assertNotRegex(control_field(server, "Depends"), r"sdl|epoxy|openal|libgl|lodepng")
        self.assertIn("/" + SETTINGS, subprocess.run(
            ["dpkg-deb", "--info", server, "conffiles"], capture_output=True,
            text=True).stdout.split())
        self.assertIn("groupadd --system cubefray", subprocess.run(
            ["dpkg-deb", "--info", server, "postinst"], capture_output=True, text=True).stdout)

        game_files, server_files = self.files_of("cubefray"), self.files_of("cubefray-server")
        self.assertEqual(game_files & server_files, set(), "dpkg installs no file twice")
        self.assertLessEqual({
            "usr/bin/cubefray", "usr/share/cubefray/mapdata", "usr/share/cubefray/fsLight",
            "usr/share/doc/cubefray/LICENSE", "usr/share/doc/cubefray/README.md",
            "usr/share/applications/cubefray.desktop",
            "usr/share/applications/cubefray-link.desktop",
            "usr/share/icons/hicolor/128x128/apps/cubefray.png",
            "usr/share/man/man6/cubefray.6.gz"}, game_files)
        self.assertLessEqual({
            "usr/bin/cubefray-server", "usr/share/cubefray-server/mapdata",
            "usr/share/doc/cubefray-server/LICENSE", "usr/share/man/man6/cubefray-server.6.gz",
            UNIT, TEMPLATE, SETTINGS}, server_files)
        maps = []
        for root, folder in ((self.client, "cubefray"), (self.server, "cubefray-server")):
            with open(os.path.join(root, "usr/share", folder, "mapdata"), "rb") as mapdata:
                maps.append(mapdata.read())
        self.assertEqual(maps[0], maps[1])
        version = subprocess.run([os.path.join(self.client, "usr/bin/cubefray"), "--version"],
                                 capture_output=True, text=True, timeout=10)
        self.assertEqual(version.stdout, "cubefray %s\n" % control_field(game, "Version"))

    def test_the_units_are_valid_for_systemd(self):
        # Verified against the unpacked server, with the unpacked manual pages for their
        # Documentation= line.
        for unit in (UNIT, TEMPLATE):
            with open(os.path.join(self.server, unit)) as text:
                checked = os.path.join(self.folder.name, os.path.basename(unit))
                with open(checked, "w") as copy:
                    copy.write(text.read().replace("/usr/bin/",
                                                   os.path.join(self.server, "usr/bin/")))
            manuals = os.path.join(self.server, "usr/share/man")
            result = subprocess.run(["systemd-analyze", "verify", checked], capture_output=True,
                                    text=True, timeout=60, env=dict(os.environ, MANPATH=manuals))
            # It warns of unknown keys and bad values, and still ends with 0.
            self.assertEqual((result.returncode, result.stdout + result.stderr), (0, ""), unit)

    def test_the_unpacked_client_joins_the_unpacked_server(self):
        port = free_port()
        server = start_service(self.server, folders=tempfile.mkdtemp(dir=self.folder.name),
                               CUBEFRAY_PORT=str(port))
        self.addCleanup(server.kill)
        mapdata = os.path.join(os.path.realpath(self.server), "usr/share/cubefray-server/mapdata")
        self.assertIn("Cubefray server on port %d, map %s, 0 bots\n" % (port, mapdata),
                      server.text())
        self.assertNotIn("master", server.text())
        client = Client("127.0.0.1", str(port), "packaged",
                        executable=os.path.join(self.client, "usr/bin/cubefray"))
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
            with open(os.path.join(self.client, "usr/share/applications", name)) as entry:
                entries[name] = dict(line.strip().split("=", 1) for line in entry
                                     if "=" in line)
        self.assertEqual(entries["cubefray.desktop"]["Exec"], "cubefray --start")
        self.assertEqual(entries["cubefray-link.desktop"]["Exec"], "cubefray %u")
        self.assertIn("x-scheme-handler/cubefray;", entries["cubefray-link.desktop"]["MimeType"])
        program, *arguments = entries["cubefray.desktop"]["Exec"].split()
        client = Client(*arguments, executable=os.path.join(self.client, "usr/bin", program))
        self.addCleanup(client.kill)
        client_window(client)
        client.interrupt()
        self.assertEqual(client.finish(), 0)
        self.assertNotIn("usage", client.text())

    def test_the_unit_passes_the_name_and_each_master(self):
        masters = [Peer(self), Peer(self)]
        server = start_service(self.server, folders=tempfile.mkdtemp(dir=self.folder.name),
                               CUBEFRAY_PORT=str(free_port()), CUBEFRAY_NAME="Packaged arena",
                               CUBEFRAY_MASTERS=" ".join("127.0.0.1:%d" % master.sock.getsockname()[1]
                                                         for master in masters))
        self.addCleanup(server.kill)
        for master in masters:
            ((beat, sender),) = master.received()
            self.assertEqual(beat, HEARTBEAT)
            master.ask(sender, "packaged")
            ((reply, _),) = master.received()
            self.assertEqual(info_of(reply)["hostname"], "Packaged arena")
        self.assertEqual(server.stop(), 0)

    def test_an_instance_serves_its_port_and_its_socket_is_where_the_admin_command_looks(self):
        port = str(free_port())
        with open(os.path.join(self.server, SETTINGS + "@" + port), "w") as own:
            own.write('CUBEFRAY_NAME="Instance %s"\nCUBEFRAY_PORT=1\n' % port)
        self.addCleanup(os.remove, os.path.join(self.server, SETTINGS + "@" + port))
        folders = tempfile.mkdtemp(dir=self.folder.name)
        server = start_service(self.server, unit=TEMPLATE, instance=port, folders=folders)
        self.addCleanup(server.kill)
        self.assertIn("Cubefray server on port %s," % port, server.text())

        program = os.path.join(self.server, "usr/bin/cubefray-server")
        socket_path = "run/cubefray-server@%s/admin.sock" % port

        def admin(*arguments):
            return subprocess.run([program, "admin", *arguments], capture_output=True,
                                  text=True, timeout=10)
        status = admin("--socket", os.path.join(folders, socket_path), "status")
        self.assertIn("name: Instance %s\nport: %s\n" % (port, port), status.stdout)
        admin("--socket", os.path.join(folders, socket_path), "ban", "127.0.0.5")
        with open(os.path.join(folders, "var/lib/cubefray-server@%s/bans" % port)) as bans:
            self.assertIn("127.0.0.5 never\n", bans.read())
        self.assertEqual(server.stop(), 0)
        # On a host the folders are systemd's, below /run; nothing listens there on this one.
        for arguments, path in ((["--instance", port], "/" + socket_path),
                                ([], option(service_command(self.server)[0], "--admin"))):
            self.assertIn("no server listening at %s:" % path, admin(*arguments, "status").stderr)


if __name__ == "__main__":
    unittest.main()
