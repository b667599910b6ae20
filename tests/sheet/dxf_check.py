#!/usr/bin/python3
"""The DXF files of write_samples read back by ezdxf (Debian's python3-ezdxf),
an implementation that shares nothing with the writer, and checked against
what the inputs say (the .json beside each file):

- the code page is GBK and the four layers come back with their Chinese names;
- every point is a POINT on 点 at its coordinates (DXF X the easting, Y the
  northing), to the last digit, and its name a TEXT on 点 beside it;
- every beam a LINE on 盖梁 from its inner (left) to its outer (right) end;
- single curves: the arcs about each curve's centre at R on 中线 and at
  R - Dr and R + Dr on 路基边线, and every beam end on an edge arc within its sweep;
- the road: straights as LINE, arcs as ARC about the centre the element's
  start gives, spirals as polylines whose every point of the true spiral
  (integrated here, from the element's start) lies within 1 mm of them.

    dxf_check.py SAMPLES-FOLDER
"""
import json
import math
import sys

import ezdxf

LAYERS = {"中线", "路基边线", "盖梁", "点"}
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def read(folder, name):
    doc = ezdxf.readfile(f"{folder}/{name}.dxf")
    with open(f"{folder}/{name}.json", encoding="utf-8") as f:
        truth = json.load(f)
    return doc, truth


def common(doc, truth, label):
    check(doc.dxfversion == "AC1009", f"{label}: version {doc.dxfversion}")
    check(doc.encoding.lower() in ("gbk", "cp936"), f"{label}: encoding {doc.encoding}")
    names = {layer.dxf.name for layer in doc.layers}
    check(LAYERS <= names, f"{label}: layers {names}")
    msp = doc.modelspace()
    for e in msp:
        check(e.dxf.layer in LAYERS, f"{label}: {e.dxftype()} on layer {e.dxf.layer}")
    points = [e for e in msp if e.dxftype() == "POINT"]
    texts = [e for e in msp if e.dxftype() == "TEXT"]
    check(all(e.dxf.layer == "点" for e in points + texts), f"{label}: a point or a name off the layer 点")
    at = {(p.dxf.location.x, p.dxf.location.y) for p in points}
    names = {}
    for t in texts:
        names[t.dxf.text] = (t.dxf.insert.x, t.dxf.insert.y)
    check(len(points) == len(truth["points"]), f"{label}: {len(points)} POINTs for {len(truth['points'])} points")
    for p in truth["points"]:
        check((p["Y"], p["X"]) in at, f"{label}: no POINT at {p['name']} E {p['Y']} N {p['X']}")
        where = names.get(p["name"])
        check(where is not None and math.hypot(where[0] - p["Y"], where[1] - p["X"]) < 2,
              f"{label}: the name {p['name']} is not beside its point")
    lines = [(e.dxf.start, e.dxf.end) for e in msp.query("LINE") if e.dxf.layer == "盖梁"]
    check(len(lines) == len(truth["beams"]), f"{label}: {len(lines)} beam lines for {len(truth['beams'])} beams")
    for Xin, Yin, Xout, Yout in truth["beams"]:
        check(any(s.x == Yin and s.y == Xin and e.x == Yout and e.y == Xout for s, e in lines),
              f"{label}: no beam line from E {Yin} N {Xin}")
    return msp


def on_arc(arc, x, y, tolerance):
    """Whether (x, y) lies on the arc (DXF angles, counter-clockwise)."""
    c = arc.dxf.center
    if abs(math.hypot(x - c.x, y - c.y) - arc.dxf.radius) > tolerance:
        return False
    a = math.degrees(math.atan2(y - c.y, x - c.x)) % 360
    sweep = (arc.dxf.end_angle - arc.dxf.start_angle) % 360
    return (a - arc.dxf.start_angle) % 360 <= sweep + 1e-7 or (a - arc.dxf.start_angle) % 360 >= 360 - 1e-7


def check_single(folder):
    doc, truth = read(folder, "single")
    msp = common(doc, truth, "single")
    arcs = list(msp.query("ARC"))
    for curve in truth["curves"]:
        centre = (curve["Yo"], curve["Xo"])
        mine = [a for a in arcs if (a.dxf.center.x, a.dxf.center.y) == centre]
        check(any(a.dxf.layer == "中线" and a.dxf.radius == curve["R"] for a in mine),
              f"single: no centre line of R {curve['R']} about {centre}")
        for r in set(curve["edges"]):
            check(any(a.dxf.layer == "路基边线" and a.dxf.radius == r for a in mine),
                  f"single: no edge of radius {r} about {centre}")
    check(all(a.dxf.layer in ("中线", "路基边线") for a in arcs), "single: an arc off the road's layers")
    # A parallel beam's inner end was computed on R - Dr in single precision:
    # off the edge by that rounding, far below a millimetre.
    for Xin, Yin, Xout, Yout in truth["beams"]:
        for x, y in ((Yin, Xin), (Yout, Xout)):
            check(any(a.dxf.layer == "路基边线" and on_arc(a, x, y, max(1e-6, a.dxf.radius * 2 ** -24)) for a in arcs),
                  f"single: the beam end E {x} N {y} is on no edge arc")


def true_curve(element, offset, steps):
    """Points of the element at `offset` (+ right) from its start, by
    Simpson's rule on the azimuth's cosine and sine."""
    X, Y = element["X"], element["Y"]
    a0 = math.radians(element["azimuth"])
    k0, L = element["k0"], element["length"]
    dk = (element["k1"] - k0) / L

    def theta(s):
        return a0 + k0 * s + dk * s * s / 2

    out = []
    h = L / steps
    for i in range(steps + 1):
        s = i * h
        if i > 0:
            s0 = s - h
            ts = (theta(s0), theta(s0 + h / 2), theta(s))
            X += h / 6 * (math.cos(ts[0]) + 4 * math.cos(ts[1]) + math.cos(ts[2]))
            Y += h / 6 * (math.sin(ts[0]) + 4 * math.sin(ts[1]) + math.sin(ts[2]))
        t = theta(s)
        # DXF (east, north) of the point `offset` to the right.
        out.append((Y + offset * math.sin(t + math.pi / 2), X + offset * math.cos(t + math.pi / 2)))
    return out


def distance_to_polyline(p, vertices):
    best = float("inf")
    for (ax, ay), (bx, by) in zip(vertices, vertices[1:]):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((p[0] - ax) * dx + (p[1] - ay) * dy) / (dx * dx + dy * dy or 1)))
        best = min(best, math.hypot(p[0] - ax - t * dx, p[1] - ay - t * dy))
    return best


def check_road(folder):
    doc, truth = read(folder, "road")
    msp = common(doc, truth, "road")
    arcs = list(msp.query("ARC"))
    road_lines = [e for e in msp.query("LINE") if e.dxf.layer != "盖梁"]
    polylines = [[(v.dxf.location.x, v.dxf.location.y) for v in p.vertices] for p in msp.query("POLYLINE")]
    spirals = 0
    for n, element in enumerate(truth["elements"]):
        for offset, layer in ((0, "中线"), (-truth["DL"], "路基边线"), (truth["DR"], "路基边线")):
            what = f"road: element {n + 1} at {offset}"
            points = true_curve(element, offset, 400)
            start, end = points[0], points[-1]
            if element["k0"] == 0 and element["k1"] == 0:
                check(any(e.dxf.layer == layer and math.hypot(e.dxf.start.x - start[0], e.dxf.start.y - start[1]) < 1e-6
                          and math.hypot(e.dxf.end.x - end[0], e.dxf.end.y - end[1]) < 1e-6 for e in road_lines),
                      f"{what}: no LINE from {start} to {end}")
            elif element["k0"] == element["k1"]:
                rho = 1 / abs(element["k0"])
                side = 1 if element["k0"] > 0 else -1
                a = math.radians(element["azimuth"]) + side * math.pi / 2
                centre = (element["Y"] + rho * math.sin(a), element["X"] + rho * math.cos(a))
                found = [e for e in arcs if e.dxf.layer == layer and abs(e.dxf.radius - (rho - side * offset)) < 1e-6
                         and math.hypot(e.dxf.center.x - centre[0], e.dxf.center.y - centre[1]) < 1e-6]
                check(len(found) == 1, f"{what}: {len(found)} arcs about {centre} of radius {rho - side * offset}")
                check(all(on_arc(found[0], x, y, 1e-5) for x, y in points) if found else False,
                      f"{what}: the true arc leaves the ARC")
            else:
                spirals += 1
                mine = [p for p in polylines if math.hypot(p[0][0] - start[0], p[0][1] - start[1]) < 1e-5]
                check(len(mine) == 1, f"{what}: {len(mine)} polylines start at {start}")
                if mine:
                    worst = max(distance_to_polyline(p, mine[0]) for p in true_curve(element, offset, 2000))
                    check(worst <= 0.001, f"{what}: the spiral strays {worst * 1000:.3f} mm from its polyline")
                    check(math.hypot(mine[0][-1][0] - end[0], mine[0][-1][1] - end[1]) < 1e-5,
                          f"{what}: the polyline ends at {mine[0][-1]}, the spiral at {end}")
    check(spirals >= 6, f"road: only {spirals} spiral pieces checked")


def main():
    folder = sys.argv[1]
    check_single(folder)
    check_road(folder)
    for f in failures[:40]:
        print("FAIL", f)
    if failures:
        print(f"{len(failures)} failures")
        return 1
    print("DXF read back by ezdxf", ezdxf.__version__, ": every entity where it belongs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
