#!/usr/bin/python3
"""Reads the sheets in a folder with pdftotext, pdfinfo and pdffonts; see
sheet_check.sh."""
import json
import math
import re
import subprocess
import sys

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def text_of(pdf):
    return subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True, text=True).stdout


def pages_and_fonts(pdf, label):
    info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
    pages = int(re.search(r"Pages:\s+(\d+)", info).group(1))
    check("A4" in info, f"{label}: not A4: {info}")
    fonts = subprocess.run(["pdffonts", pdf], check=True, capture_output=True, text=True).stdout.splitlines()[2:]
    check(fonts, f"{label}: no fonts")
    for line in fonts:
        check(re.search(r"\s(yes)\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$", line) is not None,
              f"{label}: a font not embedded: {line}")
    text = text_of(pdf)
    numbers = [int(m) for m in re.findall(r"第\s*(\d+)\s*页\s*共\s*" + str(pages) + r"\s*页", text)]
    check(numbers == list(range(1, pages + 1)), f"{label}: page numbers {numbers} of {pages} pages")
    return text


def has_all(text, words, label):
    for w in words:
        check(w in text, f"{label}: no '{w}'")


def f3(v):
    return f"{v:.3f}"


def dmmss(degrees):
    """D.MMSS to 0.1 second, written here independently of the program."""
    tenths = round(degrees * 36000)
    d, rest = divmod(tenths, 36000)
    m, t = divmod(rest, 600)
    return f"{d}.{m:02d}{t // 10:02d}{t % 10}"


def main():
    out = sys.argv[1]
    common = ["盖梁端点坐标计算书", "计算约定", "输入数据", "盖梁中桩及端点座标", "盖梁上各点座标", "设站放样数据",
              "平面图", "比例 1:", "北", "计算：", "复核："]

    # The example job: the worked example's rows as the README gives them.
    text = pages_and_fonts(f"{out}/example.pdf", "example")
    has_all(text, common, "example")
    has_all(text, ["K 1+ 20", "1499.600", "2019.995", "K 1+ 26.475", "1489.313", "2025.934", "11.878",
                   "K 1+ 13.828", "1509.805", "2014.103", "11.784",
                   "1499.600", "1980.005", "K 0+ 985.374", "1489.790", "1985.669", "11.327",
                   "K 0+ 974.865", "1509.356", "1974.373", "11.265",
                   "正偏", "example"], "example")

    # The example job's drawing: its five beams and their fifteen points, the
    # curve about O (E 2000, N 1000) at R = 500 and its edges at Dr = 10.
    import ezdxf
    msp = ezdxf.readfile(f"{out}/example.dxf").modelspace()
    check(len([e for e in msp.query("LINE") if e.dxf.layer == "盖梁"]) == 5, "example.dxf: not five beams")
    check(len(msp.query("POINT")) == 15, "example.dxf: not fifteen points")
    arcs = {(a.dxf.layer, a.dxf.radius) for a in msp.query("ARC") if (a.dxf.center.x, a.dxf.center.y) == (2000, 1000)}
    check(arcs == {("中线", 500), ("路基边线", 490), ("路基边线", 510)}, f"example.dxf: arcs {arcs}")
    at = {(t.dxf.text) for t in msp.query("TEXT")}
    check({"P5-C", "P5-IN", "P5-OUT"} <= at, f"example.dxf: names {sorted(at)}")
    points = {(p.dxf.location.x, p.dxf.location.y) for p in msp.query("POINT")}
    near = lambda x, y: any(abs(px - x) < 5e-4 and abs(py - y) < 5e-4 for px, py in points)
    check(near(2019.995, 1499.6) and near(2025.934, 1489.313) and near(2014.103, 1509.805),
          "example.dxf: the README's Kp 1020 beam is not there")

    # Generated work: every point with its coordinates, every stake-out row
    # computed here from the station the sheet names.
    with open(f"{out}/single.json", encoding="utf-8") as f:
        truth = json.load(f)
    text = pages_and_fonts(f"{out}/single.pdf", "single")
    has_all(text, common, "single")
    flat = re.sub(r"\s+", " ", text)
    station = re.search(r"测站 KZ1 \((-?[\d.]+), (-?[\d.]+)\)", text)
    check(station is not None, "single: no station line")
    for p in truth["points"]:
        if "#" not in p["name"]:
            continue
        check(re.search(re.escape(p["name"]) + r" +" + re.escape(f3(p["X"])) + r" +" + re.escape(f3(p["Y"])), flat),
              f"single: no row {p['name']} {f3(p['X'])} {f3(p['Y'])}")
        if station:
            sx, sy = float(station.group(1)), float(station.group(2))
            dx, dy = p["X"] - sx, p["Y"] - sy
            azimuth = math.degrees(math.atan2(dy, dx)) % 360
            row = f"{p['name']} {dmmss(azimuth)} {dmmss(azimuth)} {f3(math.hypot(dx, dy))}"
            check(row in flat, f"single: no stake-out row '{row}'")

    with open(f"{out}/road.json", encoding="utf-8") as f:
        truth = json.load(f)
    text = pages_and_fonts(f"{out}/road.pdf", "road")
    has_all(text, common, "road")
    has_all(text, ["JD1", "JD2", "3199.250", "152.450", "60.000", "400.000", "22.33000右", "22.33000左", "ZH", "HY", "QZ",
                   "左侧", "右侧", "本作业没有设站放样数据"], "road")
    for p in truth["points"]:
        if p["name"].endswith("-L") or p["name"].endswith("-R"):
            has_all(text, [f3(p["X"]), f3(p["Y"])], "road")

    for f in failures[:40]:
        print("FAIL", f)
    if failures:
        print(f"{len(failures)} failures")
        return 1
    print("the sheets' text holds the tables")
    return 0


if __name__ == "__main__":
    sys.exit(main())
