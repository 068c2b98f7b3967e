"""Loads a DXF file with ezdxf and audits it.

Exit codes: 0 clean, 1 audit errors or fixes, 2 the file did not load,
77 ezdxf is not installed (the calling test skips).
"""
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(77)


def main(path):
    try:
        doc = ezdxf.readfile(path)
    except Exception as error:  # any load failure is a finding
        print(f"load failed: {error}")
        return 2
    auditor = doc.audit()
    for entry in auditor.errors:
        print(f"error: {entry.message}")
    for entry in auditor.fixes:
        print(f"fix: {entry.message}")
    counts = {}
    for entity in doc.modelspace():
        counts[entity.dxftype()] = counts.get(entity.dxftype(), 0) + 1
    print("modelspace:", " ".join(f"{k}={v}" for k, v in sorted(counts.items())))
    return 1 if auditor.errors or auditor.fixes else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
