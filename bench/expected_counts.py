#!/usr/bin/env python3
"""Expected results of engine-bench's statements over a generated list.

    expected_counts.py DATA/emails-1M.csv

Prints, for the email column, what each statement must give: the row count
(non-null values), the number of distinct lower-cased values of each class
(invalid, erroneous, valid), and the domain statistics (number of domains,
the first ten with their counts).  Works on bytes; letter case folds A-Z
only, as the engine does.  Assumes what the generator writes: no quoted
fields, the email column ASCII.  A few seconds per million rows.
"""
import collections
import sys


def classify(e):
    at = e.find(b"@")
    if at < 0 or e.find(b".", at + 1) < 0:
        return "invalid"
    last = e[-1:]
    if (b" " in e or b"@." in e or b"@@" in e or e.startswith(b"@") or b".." in e[at:]
            or not (last.isalpha() or last == b",")):
        return "error"
    return "valid"


def main():
    path = sys.argv[1]
    rows = 0
    distinct = {"invalid": set(), "error": set(), "valid": set()}
    domains = collections.Counter()
    shown = {}      # folded domain -> first spelling
    with open(path, "rb") as f:
        header = f.readline().rstrip(b"\r\n").split(b";")
        col = header.index(b"email")
        for line in f:
            fields = line.rstrip(b"\r\n").split(b";")
            e = fields[col] if col < len(fields) else b""
            if not e:
                continue                      # null
            rows += 1
            low = e.lower()
            cls = classify(e)
            distinct[cls].add(low)
            if cls != "invalid":              # the basic shape
                d = e[e.index(b"@") + 1:]
                key = d.lower()
                domains[key] += 1
                shown.setdefault(key, d)
    print("count      rcount=%d" % rows)
    for k in ("invalid", "error", "valid"):
        print("%-10s %d distinct" % (k, len(distinct[k])))
    # Stable by first occurrence among equal counts: Counter keeps insertion order.
    top = sorted(domains.items(), key=lambda kv: -kv[1])
    print("domainsall %d domains" % len(top))
    for key, n in top[:10]:
        print("  %s=%d" % (shown[key].decode("latin-1"), n))


if __name__ == "__main__":
    main()
