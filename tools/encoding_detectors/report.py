#!/usr/bin/env python3
"""Turns measure_encodings' lines (file, reader, answer, ok|wrong) into Markdown tables:
the share each reader reads as written, by encoding and by shape of list, the grid of
encodings and shapes for each reader, and the files each reader got wrong."""

import collections
import sys

ENCODINGS = ["utf-8", "utf-8-bom", "utf-16le-bom", "utf-16be-bom", "utf-16le", "utf-16be",
             "windows-1250", "iso-8859-2", "iso-8859-16", "cp852"]
SHAPES = ["mixed", "capitals", "capitals-pairs", "single", "hungarian-german", "ascii", "foreign", "ordinal"]


def share(right, total):
    return f"{right}/{total} ({100 * right / total:.0f} %)" if total else "-"


def main():
    rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1], encoding="utf-8") if line.strip()]
    readers = list(dict.fromkeys(reader for _, reader, _, _ in rows))
    result = {}
    for file, reader, answer, ok in rows:
        shape, encoding, _ = file.rsplit(".", 2)
        result[(reader, encoding, shape)] = (ok == "ok", answer, file)

    shapes = [shape for shape in SHAPES if any(s == shape for (_, _, s) in result)]

    def table(title, keys, pick):
        print(f"| {title} | " + " | ".join(readers) + " |")
        print("|---" * (len(readers) + 1) + "|")
        totals = collections.Counter()
        for key in keys:
            cells = []
            for reader in readers:
                found = [ok for (r, e, s), (ok, _, _) in result.items() if r == reader and pick(e, s) == key]
                totals[(reader, "right")] += sum(found)
                totals[(reader, "all")] += len(found)
                cells.append(share(sum(found), len(found)))
            print(f"| {key} | " + " | ".join(cells) + " |")
        print("| all | " + " | ".join(share(totals[(r, "right")], totals[(r, "all")]) for r in readers) + " |")
        print()

    print("Read as written, by encoding:\n")
    table("encoding", ENCODINGS, lambda e, s: e)
    if not shapes:
        for reader in readers:
            wrong = sorted(file for (r, _, _), (ok, _, file) in result.items() if r == reader and not ok)
            print(f"{reader} reads wrong: " + (", ".join(wrong) or "none"))
        return
    print("Read as written, by shape of list:\n")
    table("shape", shapes, lambda e, s: s)
    for reader in readers:
        print(f"What {reader} reads as written (yes), reads wrong (NO); empty: no such file:\n")
        print("| encoding | " + " | ".join(shapes) + " |")
        print("|---" * (len(shapes) + 1) + "|")
        for encoding in ENCODINGS:
            cells = []
            for shape in shapes:
                found = result.get((reader, encoding, shape))
                cells.append("" if found is None else ("yes" if found[0] else "NO"))
            print(f"| {encoding} | " + " | ".join(cells) + " |")
        print()
    for reader in readers:
        wrong = sorted((file, answer) for (r, _, _), (ok, answer, file) in result.items() if r == reader and not ok)
        print(f"{reader} reads wrong: " + (", ".join(f"{f} ({a})" if a != "-" else f for f, a in wrong) or "none"))


if __name__ == "__main__":
    main()
