#!/usr/bin/env python3
"""The deb-src entries scripts/qt-windows-source.py derives from a machine's
apt sources: Debian's entries copied as source entries, everything else left
out, and a private configuration that points apt at them alone."""
import os
import runpy
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "scripts", "qt-windows-source.py")
# The script's functions, without running it as a program.
source = types.SimpleNamespace(**runpy.run_path(SCRIPT))

KEY = "/usr/share/keyrings/debian-archive-keyring.gpg"

DEB822 = [
    # name, .sources text, expected stanzas
    ("debian entry, comment dropped",
     f"Types: deb\n# http://archive.example/snapshot\nURIs: http://mirror.example/debian\n"
     f"Suites: bookworm bookworm-updates\nComponents: main\nSigned-By: {KEY}\n",
     [f"Types: deb-src\nURIs: http://mirror.example/debian\nSuites: bookworm bookworm-updates\n"
      f"Components: main\nSigned-By: {KEY}"]),
    ("binary and source types together",
     f"Types: deb deb-src\nURIs: http://m/debian\nSuites: bookworm\nComponents: main contrib\nSigned-By: {KEY}\n",
     [f"Types: deb-src\nURIs: http://m/debian\nSuites: bookworm\nComponents: main contrib\nSigned-By: {KEY}"]),
    ("source entry only: nothing to copy",
     f"Types: deb-src\nURIs: http://m/debian\nSuites: bookworm\nComponents: main\nSigned-By: {KEY}\n", []),
    ("another vendor's archive",
     "Types: deb\nURIs: https://deb.vendor.example/node_20.x\nSuites: nodistro\nComponents: main\n"
     "Signed-By: /usr/share/keyrings/vendor.gpg\n", []),
    ("two stanzas, the second Debian's, blank lines between",
     "Types: deb\nURIs: https://v.example/apt\nSuites: x\nComponents: main\nSigned-By: /k/v.gpg\n\n\n"
     f"Types: deb\nURIs: http://m/debian-security\nSuites: bookworm-security\nComponents: main\nSigned-By: {KEY}",
     [f"Types: deb-src\nURIs: http://m/debian-security\nSuites: bookworm-security\nComponents: main\n"
      f"Signed-By: {KEY}"]),
    ("empty file", "", []),
]

ONE_LINE = [
    ("plain Debian mirror", "deb http://m.example/debian bookworm main contrib\n",
     ["Types: deb-src\nURIs: http://m.example/debian\nSuites: bookworm\nComponents: main contrib"]),
    ("security archive, trailing slash, comment after",
     "deb http://m.example/debian-security/ bookworm-security main # security\n",
     ["Types: deb-src\nURIs: http://m.example/debian-security/\nSuites: bookworm-security\nComponents: main"]),
    ("signed by the Debian keyring at any address, options beside it",
     f"deb [arch=amd64 signed-by={KEY}] http://mirror.example/pub bookworm main\n",
     [f"Types: deb-src\nURIs: http://mirror.example/pub\nSuites: bookworm\nComponents: main\nSigned-By: {KEY}"]),
    ("another vendor's archive", "deb https://packages.vendor.example/apt cloud-sdk-bookworm main\n", []),
    ("commented out", "# deb http://m.example/debian bookworm main\n", []),
    ("already a source entry", "deb-src http://m.example/debian bookworm main\n", []),
]


class DerivedEntries(unittest.TestCase):
    def test_deb822(self):
        for name, text, want in DEB822:
            with self.subTest(name):
                self.assertEqual(source.from_deb822(text), want)

    def test_one_line(self):
        for name, text, want in ONE_LINE:
            with self.subTest(name):
                self.assertEqual(source.from_one_line(text), want)

    def test_copy_changes_only_the_type(self):
        # Every field of the Debian stanza a copy comes from, but Types, comes
        # over unchanged and in order.
        for name, text, _ in DEB822:
            stanzas = {dict(st)["URIs"]: st for st in source.deb822_stanzas(text)}
            for got in source.from_deb822(text):
                with self.subTest(name):
                    fields = [tuple(line.split(": ", 1)) for line in got.splitlines()]
                    original = stanzas[dict(fields)["URIs"]]
                    self.assertEqual([k for k, _ in fields], [k for k, _ in original])
                    self.assertEqual([f for f in fields if f[0] != "Types"],
                                     [f for f in original if f[0] != "Types"])


class PrivateConfiguration(unittest.TestCase):
    def test_points_apt_at_its_own_folder_only(self):
        with tempfile.TemporaryDirectory() as etc, tempfile.TemporaryDirectory() as out:
            os.makedirs(os.path.join(etc, "sources.list.d"))
            with open(os.path.join(etc, "sources.list.d", "debian.sources"), "w") as f:
                f.write(DEB822[0][1])
            with open(os.path.join(etc, "sources.list"), "w") as f:
                f.write(ONE_LINE[3][1])
            entries = source.debian_entries(etc)
            self.assertEqual(entries, DEB822[0][2])
            conf = source.write_configuration(out, entries)
            text = open(conf).read()
            self.assertIn('Dir::Etc::SourceList "/dev/null";', text)
            for setting in ("SourceParts", "Lists", "Dir::Cache "):
                line = next(l for l in text.splitlines() if setting in l)
                self.assertIn(out, line)
            with open(os.path.join(out, "sources.list.d", "debian-src.sources")) as f:
                self.assertEqual(f.read(), DEB822[0][2][0] + "\n")


if __name__ == "__main__":
    unittest.main()
