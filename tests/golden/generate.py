#!/usr/bin/env python3
"""Writes the sessions and batches whose outputs the golden test pins.

The cases are drawn from a seeded generator, so the same file comes out each
time: set-ups in all four quadrants, both curve directions, skews on both
sides of 90 and 90 itself, requests at, before, beyond and far from the design
chainage, and every refusal the prompts and the geometry know (bad numbers,
R <= 0, P = 0, D.MMSS with 60 minutes, J at O, Dr >= R, a beam that misses the
inner edge, a request before any set-up, Cancel at any prompt).

    generate.py > cases.in.jsonl            # inputs only
    record.py CLI cases.in.jsonl > cases.jsonl  # inputs with today's outputs
"""
import json
import math
import random

rng = random.Random(20261208)


def num(x, digits=None):
    if digits is None:
        digits = rng.choice([0, 1, 3, 6])
    s = f"{x:.{digits}f}"
    if s.startswith("-") and float(s) == 0:
        s = s[1:]
    return s


def dms(deg):
    d = int(deg)
    rest = (deg - d) * 60
    m = int(rest)
    s = round((rest - m) * 60)
    if s >= 60:
        s = 59
    return f"{d}.{m:02d}{s:02d}".rstrip("0").rstrip(".") if rng.random() < 0.5 else f"{d}.{m:02d}{s:02d}"


BAD_NUMBERS = ["", "abc", "1,000", "1e400", "--5", "12..3", "１２３．５", " 42 ", "0x10", "1e-400", "nan", "inf"]


def setup_values():
    """A plausible set-up: O somewhere, J at R from O (or a little off)."""
    Xo = rng.uniform(-5000, 50000)
    Yo = rng.uniform(-5000, 50000)
    R = rng.choice([30, 60, 180, 250, 500, 1200, 3000, 8000, 15000]) * rng.uniform(0.8, 1.2)
    a = rng.choice([rng.uniform(0, 360), 0, 90, 180, 270, 45, 315])
    off = rng.choice([0, 0, 0, 0.004, 0.03, 0.5])
    Xj = Xo + (R + off) * math.cos(math.radians(a))
    Yj = Yo + (R + off) * math.sin(math.radians(a))
    Kj = rng.choice([0, 1000, 12345.678, rng.uniform(0, 90000), -250])
    B = rng.choice([90, 90, rng.uniform(20, 160), rng.uniform(60, 89.9), rng.uniform(90.1, 120), 45, 135])
    P = rng.choice(["1", "-1", "2", "-3", "0.5"])
    return dict(Xo=num(Xo), Yo=num(Yo), Kj=num(Kj, 3), Xj=num(Xj, rng.choice([3, 6])),
                Yj=num(Yj, rng.choice([3, 6])), B=("90" if B == 90 else dms(B)), R=num(R, rng.choice([0, 3])), P=P,
                _R=R, _Kj=Kj)


def setup_lines(v, faults):
    lines = ["1"]
    for key in ["Xo", "Yo", "Kj", "Xj", "Yj", "B", "R", "P"]:
        if rng.random() < faults:
            lines.append(rng.choice(BAD_NUMBERS))
        if key == "R" and rng.random() < faults:
            lines.append(rng.choice(["0", "-5"]))
        if key == "P" and rng.random() < faults:
            lines.append("0")
        if key == "B" and rng.random() < faults:
            lines.append(rng.choice(["30.75", "0", "180", "-10", "30.6", "89.5960"]))
        lines.append(v[key])
    return lines


def request_lines(v, faults):
    R, Kj = v["_R"], v["_Kj"]
    kind = rng.random()
    if kind < 0.15:
        Kp = Kj
    elif kind < 0.75:
        Kp = Kj + rng.choice([-1, 1]) * rng.uniform(0.001, 0.25) * R
    elif kind < 0.9:
        Kp = Kj + rng.choice([-1, 1]) * rng.uniform(0.25, 1.6) * R
    else:
        Kp = Kj + rng.uniform(-8, 8) * R
    Dr = rng.choice([0, 5, 10.5, 12.25, rng.uniform(0, 0.4) * R])
    lines = ["2"]
    if rng.random() < faults:
        lines.append(rng.choice(BAD_NUMBERS))
    lines.append(num(Kp, 3) if kind >= 0.15 else v["Kj"])
    if rng.random() < faults:
        lines.append(rng.choice(["-1", num(R, 3), num(R * 1.5, 1)]))
    lines.append(num(Dr, rng.choice([0, 2, 3])))
    if rng.random() < faults:
        lines.append(rng.choice(BAD_NUMBERS))
    lines.append(rng.choice(["0.001", "0", "1e-5", "0.1234567891"]))
    return lines


def session():
    faults = rng.choice([0, 0, 0.1, 0.3])
    lines = []
    if rng.random() < 0.1:
        lines += ["2"]  # a request before any set-up
    if rng.random() < 0.05:
        lines += ["hello", ""]
    v = setup_values()
    for _ in range(rng.choice([1, 1, 2])):
        lines += setup_lines(v, faults)
        if rng.random() < 0.05:
            # J at O
            lines += ["1", v["Xo"], v["Yo"], v["Kj"], v["Xo"], v["Yo"], v["B"], v["R"], v["P"]]
        for _ in range(rng.choice([1, 2, 3, 5])):
            lines += request_lines(v, faults)
        if rng.random() < 0.5:
            v = setup_values()
    # Cancel somewhere: cut the input short, or end with 3.
    if rng.random() < 0.15:
        lines = lines[: rng.randrange(1, len(lines))]
    elif rng.random() < 0.5:
        lines.append("3")
        if rng.random() < 0.3:
            lines += ["2", "1"]  # nothing after the end
    return "".join(line + "\n" for line in lines)


def batch():
    v = setup_values()
    opts = {"xo": v["Xo"], "yo": v["Yo"], "kj": v["Kj"], "xj": v["Xj"], "yj": v["Yj"], "b": v["B"], "r": v["R"],
            "p": v["P"], "dr": num(rng.choice([0, 5, 10, 12.5]), 1)}
    if rng.random() < 0.5:
        opts["mb"] = "0.001"
    if rng.random() < 0.4:
        opts["orientation"] = rng.choice(["parallel", "tangent"])
    r = rng.random()
    if r < 0.04:
        opts["r"] = "0"
    elif r < 0.08:
        opts["p"] = "0"
    elif r < 0.12:
        opts["b"] = "30.75"
    elif r < 0.15:
        opts["dr"] = num(v["_R"] * 2, 0)
    elif r < 0.17:
        opts["orientation"] = "sideways"
    elif r < 0.19:
        del opts["kj"]
    elif r < 0.21:
        opts["xj"] = opts["xo"]
        opts["yj"] = opts["yo"]
    args = ["batch"]
    for k, val in opts.items():
        if rng.random() < 0.3:
            args.append(f"--{k}={val}")
        else:
            args += [f"--{k}", val]
    if rng.random() < 0.2:
        args.append("--bom")
    R, Kj = v["_R"], v["_Kj"]
    ks = []
    for _ in range(rng.choice([1, 3, 10, 40])):
        x = rng.random()
        if x < 0.1:
            ks.append(v["Kj"])
        elif x < 0.15:
            ks.append(rng.choice(["abc", "1e400", "１２３４"]))
        else:
            ks.append(num(Kj + rng.uniform(-0.8, 0.8) * R, rng.choice([0, 3])))
    stdin = ""
    if rng.random() < 0.5:
        if any(k.startswith("-") for k in ks):
            args.append("--")
        args += ks
    else:
        seps = [" ", ",", ";", "\n", "，"]
        stdin = "".join(k + rng.choice(seps) for k in ks) + "\n"
    if rng.random() < 0.02:
        args.append("--help")
    return args, stdin


def main():
    cases = []
    for i in range(260):
        cases.append({"name": f"session-{i:03d}", "args": ["--fields"], "stdin": session()})
    for i in range(25):
        cases.append({"name": f"picture-{i:03d}", "args": [], "stdin": session()})
    for i in range(140):
        args, stdin = batch()
        cases.append({"name": f"batch-{i:03d}", "args": args, "stdin": stdin})
    cases.append({"name": "help", "args": ["--help"], "stdin": ""})
    cases.append({"name": "batch-help", "args": ["batch", "--help"], "stdin": ""})
    cases.append({"name": "unknown-option", "args": ["--nope"], "stdin": ""})
    cases.append({"name": "batch-unknown-option", "args": ["batch", "--nope", "1"], "stdin": ""})
    for c in cases:
        print(json.dumps(c, ensure_ascii=False))


main()
