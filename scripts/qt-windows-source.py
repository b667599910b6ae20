#!/usr/bin/env python3
"""Writes a private apt configuration that can fetch Debian source packages.

The deb-src entry is derived from this machine's own apt sources: each Debian
entry (signed by the Debian archive keyring) is copied with `Types: deb-src`.
Nothing is written into /etc; apt is pointed at DIR with APT_CONFIG=DIR/apt.conf.

    qt-windows-source.py DIR
"""
import glob
import os
import re
import sys

KEYRING = "debian-archive-keyring"


def deb822_stanzas(text):
    """The stanzas of a .sources file as lists of (field, value) pairs."""
    stanzas, fields = [], []
    for line in text.splitlines() + [""]:
        if line.startswith("#"):
            continue
        if not line.strip():
            if fields:
                stanzas.append(fields)
            fields = []
        elif line[0] in " \t" and fields:
            fields[-1] = (fields[-1][0], fields[-1][1] + "\n" + line)
        else:
            name, _, value = line.partition(":")
            fields.append((name.strip(), value.strip()))
    return stanzas


def from_deb822(text):
    """deb-src stanzas for the Debian binary entries of a .sources file."""
    out = []
    for stanza in deb822_stanzas(text):
        d = dict(stanza)
        if "deb" not in d.get("Types", "").split() or KEYRING not in d.get("Signed-By", ""):
            continue
        out.append("\n".join(f"{k}: {'deb-src' if k == 'Types' else v}" for k, v in stanza))
    return out


def from_one_line(text):
    """deb-src stanzas for the Debian entries of a one-line sources.list:
    `deb [options] URI suite components...`, signed by the Debian keyring or
    at a .../debian or .../debian-security address."""
    out = []
    for line in text.splitlines():
        m = re.match(r"\s*deb\s+(\[[^\]]*\]\s+)?(\S+)\s+(\S+)\s+([^#]*)", line)
        if not m:
            continue
        opts, uri, suite, comps = m.groups()
        opts = opts or ""
        if KEYRING not in opts and not re.search(r"/debian(-security)?/?$", uri):
            continue
        stanza = [("Types", "deb-src"), ("URIs", uri), ("Suites", suite), ("Components", comps.strip())]
        signed = re.search(r"signed-by=([^\s\]]+)", opts)
        if signed:
            stanza.append(("Signed-By", signed.group(1)))
        out.append("\n".join(f"{k}: {v}" for k, v in stanza))
    return out


def debian_entries(etc="/etc/apt"):
    """deb-src stanzas for every Debian binary entry of the machine's sources."""
    out = []
    for path in sorted(glob.glob(os.path.join(etc, "sources.list.d", "*.sources"))):
        with open(path, encoding="utf-8") as f:
            out += from_deb822(f.read())
    lists = [os.path.join(etc, "sources.list")] + sorted(glob.glob(os.path.join(etc, "sources.list.d", "*.list")))
    for path in lists:
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                out += from_one_line(f.read())
    return out


def write_configuration(root, entries):
    """Writes the entries and an apt.conf that reads them alone into root;
    returns the apt.conf's path, for APT_CONFIG."""
    root = os.path.abspath(root)
    for sub in ("sources.list.d", "lists/partial", "cache/archives/partial"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    with open(os.path.join(root, "sources.list.d", "debian-src.sources"), "w") as f:
        f.write("\n\n".join(entries) + "\n")
    conf = os.path.join(root, "apt.conf")
    with open(conf, "w") as f:
        f.write(f"""Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "{root}/sources.list.d";
Dir::State::Lists "{root}/lists";
Dir::Cache "{root}/cache";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
APT::Sandbox::User "root";
""")
    return conf


def main():
    entries = debian_entries()
    if not entries:
        sys.exit("no Debian entry among this machine's apt sources")
    print(write_configuration(sys.argv[1], entries))


if __name__ == "__main__":
    main()
