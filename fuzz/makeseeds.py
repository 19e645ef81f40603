#!/usr/bin/env python3
"""Writes the fuzz targets' seed corpora, one folder per target, from the tests' data and the sample profiles.

Usage: makeseeds.py TEST_DATA SAMPLE_PROFILES REAL_CONFIGS OUT_FOLDER (REAL_CONFIGS may be missing)."""
import hashlib
import os
import re
import sys

CONFIG_MARKER = b"\0--config--\0"
SEED_LIMIT = 16 * 1024  # profiles are about 10 KiB
CONFIG_LIMIT = 4 * 1024  # larger seeds slow every run of the merge targets down


def lines_of(data):
    return re.split(rb"\r\n|\r|\n", data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


class Corpus:
    def __init__(self, root, target):
        self.folder = os.path.join(root, target)
        os.makedirs(self.folder, exist_ok=True)

    def add(self, data, limit=SEED_LIMIT):
        data = data[:limit]
        name = hashlib.sha1(data).hexdigest()
        with open(os.path.join(self.folder, name), "wb") as f:
            f.write(data)


def profile_parts(data):
    """The syntax template line, the tweaks (name, values) and the connection rules (bounds, rule) of a profile."""
    lines = lines_of(data)
    template = None
    loose = any(line.lower() == b"[loose spacing]" for line in lines)
    tweaks = []
    rules = []
    i = 0
    while i < len(lines):
        keyword = lines[i].lower()
        data_lines = lines[i + 1:]
        if keyword == b"[syntax]" and len(data_lines) >= 2:
            template = data_lines[1]
        elif keyword in (b"[add simple]", b"[add text]", b"[add multi]") and data_lines:
            presets_at = {b"[add simple]": 1, b"[add text]": 2, b"[add multi]": 3}[keyword]
            presets = data_lines[presets_at].split(b"|") if len(data_lines) > presets_at else [b""]
            if keyword == b"[add multi]" and len(data_lines) > 2:
                presets = data_lines[2].split(b"|")  # list tweaks write their entries' value texts
            tweaks.append((data_lines[0], presets))
        elif keyword == b"[add ping simple]" and len(data_lines) >= 2:
            rules.append((b"", data_lines[1]))
        elif keyword == b"[add ping text]" and len(data_lines) >= 3:
            rules.append((data_lines[1], data_lines[2]))
        i += 1
    if template is not None and loose:
        template = b"[loose spacing]" + template
    return template, tweaks, rules


def main():
    test_data, sample_profiles, real_configs, out = sys.argv[1:5]
    corpus = {t: Corpus(out, t) for t in ("profile", "configmerge", "configreader", "settings", "manifest",
                                          "connectionrule", "numbertext")}

    profiles = []
    for folder in (sample_profiles, os.path.join(test_data, "profiles"), os.path.join(test_data, "cli")):
        for name in sorted(os.listdir(folder)):
            if name.endswith(".tsm"):
                profiles.append(read(os.path.join(folder, name)))
    merges = []
    merge_root = os.path.join(test_data, "merge")
    for case in sorted(os.listdir(merge_root)):
        folder = os.path.join(merge_root, case)
        configs = [read(os.path.join(folder, n)) for n in ("before.cfg", "expected.cfg")
                   if os.path.exists(os.path.join(folder, n))]
        merges.append((read(os.path.join(folder, "profile.tsm")), configs))

    real = []
    if os.path.isdir(real_configs):
        for game in sorted(os.listdir(real_configs)):
            folder = os.path.join(real_configs, game)
            if os.path.isdir(folder):
                for name in sorted(os.listdir(folder)):
                    real.append(read(os.path.join(folder, name))[:CONFIG_LIMIT])

    configs = [c for _, cs in merges for c in cs]
    for profile in profiles:
        corpus["profile"].add(profile)
    for profile, cs in merges:
        corpus["profile"].add(profile)
        for config in cs:
            corpus["profile"].add(profile + CONFIG_MARKER + config)

    # Merges: each profile's tweaks with each of their preset values, into its own configs and into real ones.
    for profile, cs in merges + [(p, real[:3]) for p in profiles]:
        template, tweaks, _ = profile_parts(profile)
        if template is None:
            continue
        for column in range(4):
            items = b"".join(name + b"\t" + (values[column] if column < len(values) else b"") + b"\n"
                             for name, values in tweaks)
            for config in cs or [b""]:
                corpus["configmerge"].add(template + b"\n" + items + b"\n" + config, CONFIG_LIMIT)
    for config in real:
        names = [m.group(1) for m in re.finditer(rb'^seta? (\S+) ', config, re.M)][:20]
        items = b"".join(n + b"\t1\n" for n in names)
        corpus["configmerge"].add(b'seta cvar "value"\n' + items + b"\n" + config)
        # Hand-aligned columns, read with loose spacing.
        names = [m.group(1) for m in re.finditer(rb'^set[ \t]+(\S+)[ \t]', config, re.M)][:20]
        if names:
            items = b"".join(n + b"\t2\n" for n in names)
            corpus["configmerge"].add(b'[loose spacing]set cvar "value"\n' + items + b"\n" + config)

    for selector in range(24):
        for config in configs:
            corpus["configreader"].add(bytes([selector]) + config)
    for selector in range(3):  # the sample profiles come first: real configs of their games
        for config in real:
            corpus["configreader"].add(bytes([selector]) + config)

    for settings in (b"", b"upload|0\r\ndownload|0\r\n",
                     b"\r\n\r\nupload|5000\r\ndownload|12000\r\nbackups|0\r\nupdate|0\r\ndescriptions|1\r\n",
                     b"Example Game.tsm|/games/example\r\nExample Game.tsm|/games/other/\nOpenArena.tsm|C:\\Games\r",
                     b"upload| 2.5 \ndownload|-7\nupload|x\n|\nupdateurl|http://127.0.0.1/update.txt\n",
                     bytes(range(256))):
        for op in (b"Example Game.tsm|/games/new|6000|64000|seta r_|set r_",
                   b"OpenArena.tsm||0|0||", b"|C:\\Program Files\\Game|2147483647|-1|upload|Upload"):
            corpus["settings"].add(op + b"\n" + settings)

    for manifest in (b"[104]", b"[103]", b"[103]\r\n[1-1-2004|a.tsm]\r\n", b"[103]\r\n[5-6-2004|a.tsm]\r\n[1-1-2005|b.tsm]",
                     b"[103][1-1-2003|c d.tsm][9-9-1999|missing.tsm]",
                     b"[103]\n[1-1-2030|../../x]\n[1-1-2030|/etc/passwd]\n[1-1-2030|..\\x]\n[1-1-2030|.]",
                     b"<html><body>Not here</body></html>", b"[10x][][|][1-2|a.tsm][1-2-3-4|a.tsm|extra]",
                     b"5-6-2004|4-6-2004", b"1-1-32767|1-1--32768"):
        corpus["manifest"].add(manifest)

    speeds = (b"0 0", b"6000 12000", b"64000 1000000", b"2147483647 -2147483648")
    for profile in profiles:
        for bounds, rule in profile_parts(profile)[2]:
            for speed in speeds:
                corpus["connectionrule"].add(speed + b"\n" + bounds + b"\n" + rule)
    for rule in (b"us^2", b"ds/0", b"2^-1", b"-2^31", b"us>ds", b"7/2*2", b"1.5+us", b"us*", b"ds/3"):
        corpus["connectionrule"].add(b"6000 12000\n10|100000\n" + rule)

    for number in (b"0", b"42", b" -2.5 ", b"3.5", b"+.5", b"5.", b"2147483647", b"-2147483648", b"2147483647.5",
                   b"-2147483648.5", b"32767.4", b"-32768.6", b"1e5", b"0x10", b"1,000", b"\t1",
                   b"0.50000000000000000001", b"99999999999999999999", b"\x00\x00\x00\x00\x00\x00\xe0\x3f"):
        corpus["numbertext"].add(number)


if __name__ == "__main__":
    main()
