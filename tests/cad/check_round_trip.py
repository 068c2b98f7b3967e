"""Checks a drawing written from another: every record of IN (a 0 tag and the tags
after it) is in OUT's same section, unchanged and in order, with only new records
between them; only table counts and $HANDSEED may differ; the version is kept. Then
ezdxf loads OUT and its audit must report nothing.

Usage: check_round_trip.py IN OUT   Exit 0 clean, 1 a finding, 77 no ezdxf.
"""
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(77)

MAY_CHANGE = {"$HANDSEED"}


def sections(path):
    lines = open(path, "rb").read().decode("utf-8", "surrogateescape").lstrip("\ufeff").splitlines()
    tags = [(int(lines[i]), lines[i + 1].rstrip()) for i in range(0, len(lines) - 1, 2)]
    result, name, records = {}, None, None
    for index, (code, value) in enumerate(tags):
        if code == 0 and value == "SECTION":
            name, records = tags[index + 1][1], []
        elif code == 0 and value == "ENDSEC":
            result[name] = records
            records = None
        elif records is not None:
            if code == 0 or not records:
                records.append([])
            records[-1].append((code, value))
    return result


def comparable(record, header):
    if record[0] == (0, "TABLE"):
        return tuple(t for t in record if t[0] != 70)
    return tuple(record)


def header_variables(records):
    flat = [t for r in records for t in r]
    out, name = {}, None
    for code, value in flat:
        if code == 9:
            name = value
            out[name] = []
        elif name:
            out[name].append((code, value))
    return out


def main(a, b):
    problems = []
    A, B = sections(a), sections(b)
    ha, hb = header_variables(A.get("HEADER", [])), header_variables(B.get("HEADER", []))
    for name, value in ha.items():
        if name not in MAY_CHANGE and hb.get(name) != value:
            problems.append(f"header {name}: {value} became {hb.get(name)}")
    for name, records in A.items():
        if name == "HEADER":
            continue
        out = [comparable(r, False) for r in B.get(name, [])]
        at = 0
        for record in records:
            wanted = comparable(record, False)
            while at < len(out) and out[at] != wanted:
                at += 1
            if at == len(out):
                problems.append(f"{name}: record {record[:3]} lost or changed")
                break
            at += 1
    doc = ezdxf.readfile(b)
    auditor = doc.audit()
    problems += [f"audit error: {e.message}" for e in auditor.errors]
    r12 = doc.dxfversion == "AC1009"
    for fix in auditor.fixes:
        # ezdxf's R12 loader leaves a spare SEQEND behind for each polyline in a
        # block and drops its own paper-space block record whenever the handle
        # seed has moved; it does so on drawings it edits and saves itself.
        if r12 and ("Deleted SEQEND" in fix.message or "orphaned layout BLOCK_RECORD" in fix.message):
            continue
        problems.append(f"audit fix: {fix.message}")
    for p in problems[:10]:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
