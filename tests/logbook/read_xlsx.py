# Prints an .xlsx file's first sheet as the tests compare it, read with the
# standard library alone: a line "frozen=N" (rows frozen at the top), then
# one line per row, its cells separated by tabs, each "kind:value" where kind
# is str, num, date (a number in a date format, shown yyyy-mm-dd) or bold (a
# text in a bold font).
import datetime
import re
import sys
import zipfile
import xml.etree.ElementTree as ET

NS = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}

z = zipfile.ZipFile(sys.argv[1])
styles = ET.fromstring(z.read("xl/styles.xml"))
formats = {int(f.get("numFmtId")): f.get("formatCode") for f in styles.iterfind("m:numFmts/m:numFmt", NS)}
fonts = [f.find("m:b", NS) is not None for f in styles.iterfind("m:fonts/m:font", NS)]
xfs = []
for xf in styles.iterfind("m:cellXfs/m:xf", NS):
    fmt = int(xf.get("numFmtId", "0"))
    code = formats.get(fmt, "")
    is_date = fmt in range(14, 23) or bool(re.search(r"[dy]", code))
    xfs.append((is_date, fonts[int(xf.get("fontId", "0"))]))
shared = []
if "xl/sharedStrings.xml" in z.namelist():
    for si in ET.fromstring(z.read("xl/sharedStrings.xml")).iterfind("m:si", NS):
        shared.append("".join(t.text or "" for t in si.iter("{%s}t" % NS["m"])))
sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
pane = sheet.find("m:sheetViews/m:sheetView/m:pane", NS)
frozen = pane.get("ySplit") if pane is not None and pane.get("state") == "frozen" else "0"
out = ["frozen=" + frozen]


def column(ref):
    n = 0
    for ch in re.match(r"[A-Z]+", ref).group(0):
        n = n * 26 + ord(ch) - 64
    return n - 1


for row in sheet.iterfind("m:sheetData/m:row", NS):
    cells = {}
    for c in row.iterfind("m:c", NS):
        t = c.get("t", "n")
        is_date, bold = xfs[int(c.get("s", "0"))]
        if t == "s":
            value, kind = shared[int(c.find("m:v", NS).text)], "str"
        elif t == "inlineStr":
            value, kind = "".join(x.text or "" for x in c.iter("{%s}t" % NS["m"])), "str"
        else:
            v = float(c.find("m:v", NS).text)
            if is_date:
                value, kind = (datetime.date(1899, 12, 30) + datetime.timedelta(days=v)).isoformat(), "date"
            else:
                value, kind = ("%g" % v), "num"
        if bold and kind == "str":
            kind = "bold"
        cells[column(c.get("r"))] = kind + ":" + value
    width = max(cells) + 1 if cells else 0
    out.append("\t".join(cells.get(i, "") for i in range(width)))
sys.stdout.write("\n".join(out) + "\n")
