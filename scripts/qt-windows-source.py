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


def debian_entries():
    """deb-src stanzas for every Debian binary entry of the machine's sources."""
    out = []
    for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
        with open(path, encoding="utf-8") as f:
            for stanza in deb822_stanzas(f.read()):
                d = dict(stanza)
                if "deb" not in d.get("Types", "").split():
                    continue
                if KEYRING not in d.get("Signed-By", ""):
                    continue
                out.append("\n".join(
                    f"{k}: {'deb-src' if k == 'Types' else v}" for k, v in stanza))
    # One-line entries: `deb [options] URI suite components...` of the Debian archive.
    for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
        if not os.path.exists(path):
            continue
        with open(path, encoding="utf-8") as f:
            for line in f:
                m = re.match(r"\s*deb\s+(\[[^\]]*\]\s+)?(\S+)\s+(\S+)\s+(.*)", line)
                if not m:
                    continue
                opts, uri, suite, comps = m.groups()
                if KEYRING not in (opts or "") and not re.search(r"/debian(-security)?/?$", uri):
                    continue
                stanza = [("Types", "deb-src"), ("URIs", uri), ("Suites", suite),
                          ("Components", comps.split("#")[0].strip())]
                if KEYRING in (opts or ""):
                    stanza.append(("Signed-By", re.search(r"signed-by=(\S+?)\]?(\s|$)", opts).group(1)))
                out.append("\n".join(f"{k}: {v}" for k, v in stanza))
    return out


def main():
    root = os.path.abspath(sys.argv[1])
    entries = debian_entries()
    if not entries:
        sys.exit("no Debian entry among this machine's apt sources")
    for sub in ("sources.list.d", "lists/partial", "cache/archives/partial"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    with open(os.path.join(root, "sources.list.d", "debian-src.sources"), "w") as f:
        f.write("\n\n".join(entries) + "\n")
    with open(os.path.join(root, "apt.conf"), "w") as f:
        f.write(f"""Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "{root}/sources.list.d";
Dir::State::Lists "{root}/lists";
Dir::Cache "{root}/cache";
Dir::Cache::pkgcache "";
Dir::Cache::srcpkgcache "";
APT::Sandbox::User "root";
""")
    print(os.path.join(root, "apt.conf"))


if __name__ == "__main__":
    main()
