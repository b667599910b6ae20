#!/usr/bin/env python3
"""Writes the alignment runs whose outputs the golden test pins, and their inputs.

Roads are drawn from a seeded generator, so the same files come out each time:
JD tables with and without spirals, turning both ways, with long and short
chains; element tables with compound and egg-shaped curves; LandXML files of
straights and arcs; and jobs that place beams on them, with points along the
beams and a station. Each road is run through every alignment command:
`alignment`, `coord` (centre and offsets, K texts and stretches), `inverse`,
`batch --alignment` (both orientations, every form of B), and each job through
`points` (csv, cass, gsi), `stakeout` and `batch --job`.

    generate_alignment.py                     # writes alignment/ and alignment_cases.in.jsonl
    check.py --record CLI alignment_cases.jsonl   # after copying .in to the cases file

The runs name their files relative to the source tree's root, where check.py
runs them.
"""
import json
import math
import os
import random

rng = random.Random(20261209)
HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "alignment")
REL = "tests/golden/alignment"


def k_text(m):
    km = int(m // 1000)
    return f"K{km}+{m - km * 1000:.3f}".rstrip("0").rstrip(".")


def dms(deg):
    d = int(deg)
    rest = (deg - d) * 60
    mi = int(rest)
    s = min(59, round((rest - mi) * 60))
    return f"{d}.{mi:02d}{s:02d}"


def jd_road(n):
    """A JD table: legs long enough that no two tangents overlap."""
    x, y = rng.uniform(2_000_000, 3_500_000), rng.uniform(400_000, 600_000)
    az = rng.uniform(0, 360)
    start = rng.choice([0, 1000, 12345.678, 500])
    rows = [("QD", k_text(start), x, y)]
    jds = rng.randint(1, 4)
    prevT = 0
    turns = []
    for i in range(jds):
        R = rng.choice([150, 300, 600, 1200, 2500]) * rng.uniform(0.9, 1.1)
        alpha = rng.uniform(8, 55)
        Ls = rng.choice([0, 0, 40, 70, 100])
        Ls = min(Ls, 0.9 * R * math.radians(alpha))
        Ls2 = Ls if rng.random() < 0.7 else min(Ls + 20, 0.9 * R * math.radians(alpha) - Ls) if Ls else 0
        T = (R + Ls * Ls / 24 / R) * math.tan(math.radians(alpha) / 2) + max(Ls, Ls2)
        leg = prevT + T + rng.uniform(60, 300)
        x += leg * math.cos(math.radians(az))
        y += leg * math.sin(math.radians(az))
        turns.append((f"JD{i + 1}", x, y, R, Ls, Ls2))
        side = rng.choice([1, -1])
        az += side * alpha
        prevT = T
    leg = prevT + rng.uniform(80, 300)
    ex, ey = x + leg * math.cos(math.radians(az)), y + leg * math.sin(math.radians(az))
    lines = ["# 名称,桩号,X,Y,R,Ls1,Ls2" if rng.random() < 0.5 else "名称,桩号,X,Y,R,Ls1,Ls2"]
    lines.append(f"QD,{k_text(start)},{rows[0][2]:.3f},{rows[0][3]:.3f}")
    for name, jx, jy, R, Ls, Ls2 in turns:
        ls2 = "" if Ls2 == Ls and rng.random() < 0.5 else f"{Ls2:.3f}".rstrip("0").rstrip(".")
        lines.append(f"{name},,{jx:.6f},{jy:.6f},{R:.3f},{Ls:.3f},{ls2}".rstrip(","))
    lines.append(f"ZD,,{ex:.6f},{ey:.6f}")
    chains = []
    if rng.random() < 0.6:
        at = start + rng.uniform(100, 300)
        if rng.random() < 0.6:
            chains.append((at, at - rng.choice([5, 10, 12.5])))  # long chain
        else:
            chains.append((at, at + rng.choice([5, 20])))  # short chain
        lines.append(f"断链,{k_text(chains[0][0])},{k_text(chains[0][1])}")
    probes = [(r[1], r[2]) for r in turns] + [(rows[0][2], rows[0][3]), (ex, ey)]
    return "\n".join(lines) + "\n", start, chains, probes


def element_road(n):
    x, y = rng.uniform(-5000, 50000), rng.uniform(-5000, 50000)
    start = rng.choice([0, 250, 2000])
    az = rng.uniform(0, 360)
    lines = [f"QD,{k_text(start)},{x:.3f},{y:.3f},{dms(az)}"]
    first = rng.uniform(50, 200)
    lines.append(f"直线,{first:.3f},,,")
    side = rng.choice(["左", "右"])
    R1 = rng.choice([300, 500, 800])
    R2 = rng.choice([R1 * 2, R1 * 3])
    lines.append(f"缓和曲线,{rng.uniform(40, 90):.3f},∞,{R1},{side}")
    lines.append(f"圆曲线,{rng.uniform(50, 200):.3f},{R1},{R1},{side}")
    if rng.random() < 0.5:
        lines.append(f"卵形曲线,{rng.uniform(30, 70):.3f},{R1},{R2},{side}")
        lines.append(f"缓和曲线,{rng.uniform(40, 90):.3f},{R2},∞,{side}")
    else:
        lines.append(f"缓和曲线,{rng.uniform(40, 90):.3f},{R1},∞,{side}")
    lines.append(f"直线,{rng.uniform(100, 300):.3f},,,")
    total = sum(float(l.split(",")[1]) for l in lines[1:])
    a = math.radians(int(az) + int((az - int(az)) * 60) / 60)  # roughly the typed azimuth
    probes = [(x + d * math.cos(a) + o * math.sin(a), y + d * math.sin(a) - o * math.cos(a))
              for d, o in ((first / 3, 4), (first / 2, -9.5), (first * 0.9, 0))]
    return "# 名称,桩号,X,Y,方位角\n" + "\n".join(lines) + "\n", start, total, probes


def landxml_road(n):
    """A straight, an arc and a straight, in LandXML's northing-first order."""
    x0, y0 = rng.uniform(1000, 9000), rng.uniform(1000, 9000)
    az = math.radians(rng.uniform(0, 360))
    L1 = rng.uniform(80, 200)
    R = rng.choice([250, 400, 900])
    turn = math.radians(rng.uniform(15, 70))
    cw = rng.random() < 0.5
    x1, y1 = x0 + L1 * math.cos(az), y0 + L1 * math.sin(az)
    s = 1 if cw else -1
    cx, cy = x1 + R * math.cos(az + s * math.pi / 2), y1 + R * math.sin(az + s * math.pi / 2)
    back = math.atan2(y1 - cy, x1 - cx)
    a2 = back + s * turn
    x2, y2 = cx + R * math.cos(a2), cy + R * math.sin(a2)
    az2 = az + s * turn
    L3 = rng.uniform(80, 200)
    x3, y3 = x2 + L3 * math.cos(az2), y2 + L3 * math.sin(az2)
    sta = rng.choice([0, 1000, 500.5])
    total = L1 + R * turn + L3
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2">
<Units><Metric linearUnit="meter" areaUnit="squareMeter" volumeUnit="cubicMeter"/></Units>
<Alignments><Alignment name="L{n}" staStart="{sta}" length="{total:.6f}">
<CoordGeom>
<Line><Start>{x0:.6f} {y0:.6f}</Start><End>{x1:.6f} {y1:.6f}</End></Line>
<Curve rot="{'cw' if cw else 'ccw'}" radius="{R}"><Start>{x1:.6f} {y1:.6f}</Start><Center>{cx:.6f} {cy:.6f}</Center><End>{x2:.6f} {y2:.6f}</End></Curve>
<Line><Start>{x2:.6f} {y2:.6f}</Start><End>{x3:.6f} {y3:.6f}</End></Line>
</CoordGeom>
</Alignment></Alignments></LandXML>
""", sta, total, [(x1, y1), (cx + (R - 5) * math.cos(a2), cy + (R - 5) * math.sin(a2)), (x3, y3), (x0 - 30 * math.cos(az), y0 - 30 * math.sin(az))]


B_FORMS = ["75.3", "90", "60.3015", "105.4530", "75°18′00″", "75°18'00\"", "75 18 0", "75度18分0秒", "120"]


def chainage_args(start, length, chains):
    out = []
    for _ in range(rng.randint(3, 7)):
        m = start + rng.uniform(0, length)
        out.append(rng.choice([f"{m:.3f}", k_text(m)]))
    out.append(k_text(start))
    if chains:
        back, ahead = chains[0]
        if ahead < back:  # long chain: a chainage that occurs twice, both stretches and none
            mid = (back + ahead) / 2
            out += [f"{k_text(mid)}[0]", f"{k_text(mid)}[1]", k_text(mid)]
        else:
            out.append(k_text((back + ahead) / 2))  # in the gap of a short chain
    out.append(f"{start + length + 50:.3f}")  # beyond the end
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    cases = []

    def case(name, args, stdin=""):
        cases.append({"name": name, "args": args, "stdin": stdin})

    roads = []
    for n in range(6):
        text, start, chains, probes = jd_road(n)
        path = f"{REL}/jd-{n}.csv"
        open(os.path.join(OUT, f"jd-{n}.csv"), "w", encoding="utf-8").write(text)
        roads.append((path, start, 300, chains, "jd", text, probes))
    for n in range(3):
        text, start, total, probes = element_road(n)
        open(os.path.join(OUT, f"elements-{n}.csv"), "w", encoding="utf-8").write(text)
        roads.append((f"{REL}/elements-{n}.csv", start, total, [], "elements", text, probes))
    for n in range(3):
        text, sta, total, probes = landxml_road(n)
        open(os.path.join(OUT, f"road-{n}.xml"), "w", encoding="utf-8").write(text)
        roads.append((f"{REL}/road-{n}.xml", sta, total, [], "xml", text, probes))
    roads.append(("docs/example-jd.csv", 0, 786, [(700, 690)], "jd",
                  open(os.path.join(HERE, "../../docs/example-jd.csv"), encoding="utf-8").read(),
                  [(3200, 5010), (3500, 5100), (2990, 5000), (3776.3, 5115.04)]))

    for i, (path, start, length, chains, kind, text, probes) in enumerate(roads):
        tag = os.path.basename(path)
        case(f"alignment-{tag}", ["alignment", path])
        ks = chainage_args(start, length, chains)
        case(f"coord-{tag}", ["coord", "--alignment", path] + ks)
        off = rng.choice(["12.5", "-7.25", "0"])
        case(f"coord-offset-{tag}", ["coord", "--alignment", path, "--offset", off, "--angle", rng.choice(["90", "75.3", "120.1530"])] + ks[:3])
        case(f"coord-stdin-{tag}", ["coord", "--alignment", path], "\n".join(ks[:4]) + "\n")
        # Points about the road (its JDs, its ends, beside its straights) and far from it.
        pts = [f"{x + rng.uniform(-3, 3):.3f},{y + rng.uniform(-3, 3):.3f}" for x, y in probes]
        case(f"inverse-{tag}", ["inverse", "--alignment", path] + pts + ["0,0"])
        case(f"inverse-stdin-{tag}", ["inverse", "--alignment", path], "\n".join(p.replace(",", " ") for p in pts) + "\n")
        Kj = start + rng.uniform(0.2, 0.8) * min(length, 280)
        b = rng.choice(B_FORMS)
        dr = rng.choice(["10", "12.5", "6"])
        beams = [f"{Kj + d:.3f}" for d in (-60, -30, 0, 30, 60)]
        case(f"batch-{tag}", ["batch", "--alignment", path, "--kj", k_text(Kj), "--b", b, "--dr", dr] + beams)
        case(f"batch-tangent-{tag}", ["batch", "--alignment", path, "--kj", f"{Kj:.3f}", "--b", rng.choice(B_FORMS),
                                      "--dr", dr, "--dl", rng.choice(["8", "10"]), "--orientation", "tangent"] + beams)
        case(f"batch-stdin-{tag}", ["batch", "--alignment", path, "--kj", f"{Kj:.3f}", "--b", "90", "--dr", dr],
             " ".join(beams) + "\n")
        if kind == "jd":
            fields = {"Kj": k_text(Kj), "B": b, "DL": rng.choice(["", "9"]), "DR": dr}
            job = {
                "format": "capbeam-job", "version": 1, "minor": 1, "orientation": "parallel",
                "alignmentPage": {"alignment": {"kind": "jd", "name": tag, "table": text}, "fields": fields},
                "alignments": [{"kind": "jd", "name": tag, "table": text}],
                "journal": [{"action": "alignment-beams", "alignment": 0, "orientation": rng.choice(["parallel", "tangent"]),
                             "replies": fields, "chainages": [float(c) for c in beams]}],
                "pierNames": {"2": f"{i}#墩"},
                "deletedPiers": [4],
                "beamPoints": [{"name": "Z1", "along": -3.5, "across": 0}, {"name": "ZJ1", "along": 3.5, "across": 1.2},
                               {"name": "HZ1", "along": 20}],
            }
            jpath = f"{REL}/job-{i}.capbeam"
            open(os.path.join(OUT, f"job-{i}.capbeam"), "w", encoding="utf-8").write(json.dumps(job, ensure_ascii=False, indent=1) + "\n")
            case(f"points-job-{i}", ["points", "--job", jpath])
            case(f"points-cass-job-{i}", ["points", "--job", jpath, "--format", "cass"])
            case(f"points-gsi-job-{i}", ["points", "--job", jpath, "--format", "gsi"])
            case(f"batch-job-{i}", ["batch", "--job", jpath])
            case(f"stakeout-job-{i}", ["stakeout", "--job", jpath, "--station", "0,0", "--backsight", "100,100"])
            case(f"stakeout-azimuth-job-{i}", ["stakeout", "--job", jpath, "--station", "10,20", "--backsight-azimuth", "45.3015"])
    for job in ("docs/example.capbeam",):
        case("points-example", ["points", "--job", job])
        case("stakeout-example", ["stakeout", "--job", job, "--station", "1480.25,1990.5", "--backsight", "1600,2100.125"])
        case("batch-job-example", ["batch", "--job", job])
    with open(os.path.join(HERE, "alignment_cases.in.jsonl"), "w", encoding="utf-8") as f:
        for c in cases:
            f.write(json.dumps(c, ensure_ascii=False) + "\n")
    print(f"{len(cases)} cases")


main()
