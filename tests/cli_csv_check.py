#!/usr/bin/env python3
"""capbeam-cli batch read as a spreadsheet program reads it: the real binary,
its CSV taken apart by Python's csv module (not by anything of capbeam's),
the worked example's figures as the README gives them, each cell that is a
number a number a spreadsheet takes as one; and the points file the same way.

    cli_csv_check.py CLI
"""
import csv
import io
import subprocess
import sys

CURVE = ["--xo", "1000", "--yo", "2000", "--kj", "1000", "--xj", "1500", "--yj", "2000",
         "--b", "60", "--r", "500", "--p", "1", "--dr", "10"]

# The README's worked example, Kp 1020 and 980, by column title.
EXAMPLE = {
    "1020": {"中桩桩号 Kp": "K 1+ 20", "中桩桩号 Kp (米)": "1020",
             "中桩纵座标 X (米)": "1499.600", "中桩横座标 Y (米)": "2019.995",
             "内侧端点桩号 K": "K 1+ 26.475", "内侧端点桩号 K (米)": "1026.475",
             "内侧端点纵座标 X (米)": "1489.313", "内侧端点横座标 Y (米)": "2025.934", "内侧长度 L (米)": "11.878",
             "外侧端点桩号 K": "K 1+ 13.828", "外侧端点桩号 K (米)": "1013.828",
             "外侧端点纵座标 X (米)": "1509.805", "外侧端点横座标 Y (米)": "2014.103", "外侧长度 L (米)": "11.784"},
    "980": {"中桩桩号 Kp": "K 0+ 980", "中桩桩号 Kp (米)": "980",
            "中桩纵座标 X (米)": "1499.600", "中桩横座标 Y (米)": "1980.005",
            "内侧端点桩号 K": "K 0+ 985.374", "内侧端点桩号 K (米)": "985.374",
            "内侧端点纵座标 X (米)": "1489.790", "内侧端点横座标 Y (米)": "1985.669", "内侧长度 L (米)": "11.327",
            "外侧端点桩号 K": "K 0+ 974.865", "外侧端点桩号 K (米)": "974.865",
            "外侧端点纵座标 X (米)": "1509.356", "外侧端点横座标 Y (米)": "1974.373", "外侧长度 L (米)": "11.265"},
}

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(cli, args):
    p = subprocess.run([cli, "batch"] + CURVE + args, capture_output=True, timeout=60)
    return p.returncode, p.stdout.decode("utf-8"), p.stderr.decode("utf-8")


def main():
    cli = sys.argv[1]

    # A range down from 1020 to 980 every 20 m, with the byte-order mark a
    # spreadsheet needs: utf-8-sig takes it off, as a spreadsheet does.
    status, out, err = run(cli, ["--bom", "--from", "1020", "--to", "980", "--step", "-20"])
    check(status == 0 and err == "", f"range: status {status}, {err!r}")
    check(out.startswith("\ufeff"), "range: no byte-order mark")
    rows = list(csv.DictReader(io.StringIO(out.lstrip("\ufeff"), newline="")))
    check([r["中桩桩号 Kp (米)"] for r in rows] == ["1020", "1000", "980"], f"range: {len(rows)} rows")
    for r in rows:
        want = EXAMPLE.get(r["中桩桩号 Kp (米)"], {})
        for title, value in want.items():
            check(r[title] == value, f"Kp {r['中桩桩号 Kp (米)']}: {title} is {r[title]!r}, not {value!r}")
        # A spreadsheet sorts and sums these: every cell titled in metres is a
        # plain number; those computed have exactly three decimals.
        for title, cell in r.items():
            if "(米)" in title:
                try:
                    float(cell)
                except ValueError:
                    check(False, f"{title}: {cell!r} is not a number")
                if title != "中桩桩号 Kp (米)":
                    check(len(cell.partition(".")[2]) == 3, f"{title}: {cell!r} has not three decimals")
    # Sorted by the metres column, the rows run up the road.
    by_metres = [r["中桩桩号 Kp"] for r in sorted(rows, key=lambda r: float(r["中桩桩号 Kp (米)"]))]
    check(by_metres == ["K 0+ 980", "K 1+ 0", "K 1+ 20"], f"sorted by metres: {by_metres}")

    # The points file: name, code, Y, X, H, one point a line.
    status, out, err = run(cli, ["--format", "cass", "1020"])
    check(status == 0 and err == "", f"cass: status {status}, {err!r}")
    points = list(csv.reader(io.StringIO(out, newline="")))
    check(points == [["P1-C", "", "2019.995", "1499.600", ""], ["P1-IN", "", "2025.934", "1489.313", ""],
                     ["P1-OUT", "", "2014.103", "1509.805", ""]], f"cass: {points}")
    check(out.count("\r\n") == 3, "cass: lines do not end in CR LF")

    for f in failures:
        print(f, file=sys.stderr)
    return 1 if failures else 0


sys.exit(main())
