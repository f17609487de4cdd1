"""Turns the raw figures that tools/bench.sh gathered in one directory into a table."""
import json
import os
import statistics
import sys

work = sys.argv[1]


def median(values):
    return statistics.median(values) if values else float("nan")


def spread(values):
    return f"{min(values):.4g}..{max(values):.4g}" if values else "-"


startup = {}
for line in open(os.path.join(work, "startup.txt")):
    fields = line.split()
    if fields[0] == "xvfb":
        startup.setdefault(("xvfb", fields[1], "painted_ms"), []).append(float(fields[2]))
    else:
        startup.setdefault(("offscreen", fields[1], fields[2]), []).append(float(fields[3]))


def start(platform, case, key="painted_ms"):
    return startup.get((platform, case, key), [])


def benchmarks(name):
    data = json.load(open(os.path.join(work, name)))
    medians, runs = {}, {}
    for entry in data["benchmarks"]:
        if entry.get("run_type") == "aggregate":
            if entry.get("aggregate_name") == "median":
                medians[entry["run_name"]] = entry
        else:
            runs.setdefault(entry["run_name"], []).append(entry)
    return medians, runs


lists, list_runs = benchmarks("list.json")
lists_context = json.load(open(os.path.join(work, "list.json")))["context"]
codecs, codec_runs = benchmarks("codec.json")

to_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def ms(entry, key="real_time"):
    return entry[key] * to_ms[entry["time_unit"]]


def find(table, prefix):
    for name, entry in table.items():
        if name.startswith(prefix):
            return entry
    return None


def run_spread(runs, prefix, key="real_time"):
    for name, entries in runs.items():
        if name.startswith(prefix):
            return spread([ms(e, key) for e in entries])
    return "-"


rows = []


def row(what, figure, goal, reference, met):
    rows.append((what, figure, goal, reference, "-" if met is None else "yes" if met else "NO"))


empty_x = median(start("xvfb", "empty"))
empty_o = median(start("offscreen", "empty"))
for case, goal, reference in (("100k", 1.5, "6.3 x before the list was filled in turns"),
                              ("1m", 3, "62 x before (2.9 s)")):
    x = median(start("xvfb", case))
    o = median(start("offscreen", case))
    row(f"start-up to painted, {case} entries, Xvfb",
        f"{x / empty_x:.1f} x empty ({x:.0f} ms vs {empty_x:.0f} ms; runs {spread(start('xvfb', case))} ms)",
        f"<= {goal} x", reference, x / empty_x <= goal)
    row(f"start-up to painted, {case} entries, offscreen harness",
        f"{o / empty_o:.1f} x empty ({o:.0f} ms vs {empty_o:.1f} ms; runs {spread(start('offscreen', case))} ms)",
        "(for reference)", "", None)

ready = start("offscreen", "1m", "ready_ms")
row("start-up to the list ready (fill ended), 1m entries, offscreen harness",
    f"{median(ready):.0f} ms, {median(ready) / empty_o:.0f} x empty (runs {spread(ready)} ms)",
    "<= 2900 ms", "the painted window before: 2.9 s", median(ready) <= 2900)
turns = start("offscreen", "1m", "longest_turn_ms")
row("longest turn of the event loop from the paint to the list ready, 1m entries",
    f"{median(turns):.0f} ms (runs {spread(turns)} ms)", "<= 100 ms", "", median(turns) <= 100)
handover = start("offscreen", "1m", "gui_thread_handover_ms")
row("the other way: a document built on a worker thread, its hand-over to the box, 1m entries",
    f"{median(handover):.0f} ms in one turn (runs {spread(handover)} ms; the worker took "
    f"{median(start('offscreen', '1m', 'worker_fill_ms')):.0f} ms)", "(why the fill goes in turns)", "", None)
for case in ("100k", "1m"):
    waits = start("offscreen", case, "show_wait_ms")
    row(f"first show clicked 100 ms after the window, {case} entries (the wait for the fill)",
        f"{median(waits):.0f} ms (runs {spread(waits)} ms)", "(for reference)", "", None)

for label, prefix, goal, reference in (
        ("Add at 1,000,000 lines, repaint included", "BM_Add/1000000", 1.0, "0.35 ms"),
        ("Delete of a middle line at 1,000,000 lines, repaint included", "BM_DeleteMiddle/1000000", 1.0,
         "QPlainTextEdit 0.7 ms; QTextEdit 350..900 ms")):
    e = find(lists, prefix)
    row(label, f"{ms(e):.3f} ms (runs {run_spread(list_runs, prefix)} ms)",
        f"<= {goal:g} ms", reference, ms(e) <= goal)

first = find(lists, "BM_FirstAfterLoad/1000000")
shown = start("offscreen", "1m", "list_shown_ms")
stall = max(first["add_ms"], first["show_ms"], first["delete_ms"], median(shown))
row("longest stall after loading 1,000,000 (first Add, first show, first Delete)",
    f"{stall:.1f} ms (add {first['add_ms']:.2f}, show {first['show_ms']:.1f}, delete {first['delete_ms']:.2f};"
    f" show in the program {median(shown):.1f})",
    "<= 100 ms", "QTextEdit 12 s on the first append", stall <= 100)

e = find(lists, "BM_CaretPos/1000000")
row("CaretPos at 1,000,000 lines", f"{ms(e) * 1e3:.3f} us", "<= 10 us", "0.1 us", ms(e) * 1e3 <= 10)
e = find(lists, "BM_Text/1000000")
row("Text at 1,000,000 lines", f"{ms(e):.0f} ms (cpu {ms(e, 'cpu_time'):.0f}; runs {run_spread(list_runs, 'BM_Text/1000000')} ms)",
    "<= 150 ms", "toPlainText 95 ms; iterating blocks 500 ms", ms(e) <= 150)

for label, name, goal, reference in (("RTF writer, codec alone", "BM_WriteRtf", 500, "a simple writer 935 MB/s"),
                                     ("RTF reader, codec alone", "BM_ReadRtf", 400, "a simple reader 320..390 MB/s")):
    e = codecs[name]
    speeds = [r["bytes_per_second"] / 1e6 for r in codec_runs[name]]
    row(label, f"{e['bytes_per_second'] / 1e6:.0f} MB/s (runs {spread(speeds)})", f">= {goal} MB/s", reference,
        e["bytes_per_second"] / 1e6 >= goal)

e = find(lists, "BM_SaveToFile/1000000")
row("Save of 1,000,000 entries, end to end", f"{ms(e):.0f} ms (cpu {ms(e, 'cpu_time'):.0f}; runs {run_spread(list_runs, 'BM_SaveToFile/1000000')} ms)",
    "<= 400 ms", "", ms(e) <= 400)

peak = median(start("offscreen", "1m", "peak_rss_bytes"))
base = median(start("offscreen", "empty", "peak_rss_bytes"))
per_entry = (peak - base) / 1e6
row("peak memory at 1,000,000 entries, list shown",
    f"{per_entry:.0f} B/entry ({peak / 2**20:.0f} MiB peak, {base / 2**20:.0f} MiB with an empty list)",
    "<= 251 B/entry", "251 B before the list was filled in turns; QPlainTextEdit 550 B", per_entry <= 251)

ours = ms(find(lists, "BM_LoadFromFileRtf/100000")) / 1e3
others = {}
if os.path.exists(os.path.join(work, "others.txt")):
    for line in open(os.path.join(work, "others.txt")):
        name, begin, end = line.split()
        others.setdefault(name, []).append(float(end) - float(begin))
for name, reference in (("pandoc", "pandoc 5.2 s"), ("soffice", "LibreOffice 7.8 s")):
    if name in others:
        theirs = median(others[name])
        row(f"loading 100,000 entries of RTF vs {name}", f"{theirs / ours:.0f} x faster ({ours * 1e3:.0f} ms vs {theirs:.2f} s)",
            ">= 20 x", reference, theirs / ours >= 20)
    else:
        row(f"loading 100,000 entries of RTF vs {name}", f"{name} not installed", ">= 20 x", reference, False)

paste = {}
for line in open(os.path.join(work, "paste.txt")):
    fields = line.split()
    if len(fields) >= 6 and fields[2].endswith("_ms") and fields[4] == "cpu":
        key = (fields[0], fields[1], fields[2][:-3])
        paste.setdefault(key, {"wall": [], "cpu": []})
        paste[key]["wall"].append(float(fields[3]))
        paste[key]["cpu"].append(float(fields[5]))

for platform, source, label, reference in (
        ("xvfb", "plain", "plain text from another program, Xvfb", "before: 2.4 x (14.1 s vs 5.8 s; cpu 2.3 x)"),
        ("offscreen", "plain", "plain text, offscreen", "before: 2.6 x (cpu 2.3 x)"),
        ("offscreen", "copy", "copied in the box itself, offscreen", "before: 8.7 x, through Qt's HTML"),
        ("xvfb", "copy", "copied in another run of the program, Xvfb", "before: nothing pasted (Qt waits 5 s for the data)"),
        ("offscreen", "both", "HTML and plain text, as another Qt program copies them, offscreen",
         "Qt's HTML parser; before 4.6 x")):
    pasted, loaded = paste.get((platform, source, "paste")), paste.get((platform, source, "load"))
    if not pasted or not loaded:
        row(f"paste vs load, 1m lines: {label}", "not run", "<= 1.5 x load", reference, False)
        continue
    wall = median(pasted["wall"]) / median(loaded["wall"])
    cpu = median(pasted["cpu"]) / median(loaded["cpu"])
    undo, redo = paste[(platform, source, "undo")], paste[(platform, source, "redo")]
    row(f"paste vs load, 1m lines: {label}",
        f"{wall:.2f} x ({median(pasted['wall']):.0f} ms vs {median(loaded['wall']):.0f} ms; cpu {cpu:.2f} x; "
        f"paste runs {min(pasted['wall']):.0f}..{max(pasted['wall']):.0f} ms; "
        f"undo {median(undo['wall']):.0f}, redo {median(redo['wall']):.0f} ms)",
        "<= 1.5 x load", reference, wall <= 1.5)

widths = [max(len(r[i]) for r in rows + [("what", "measured", "goal", "reference", "met")]) for i in range(5)]


def line(cells):
    return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"


print("load average when the list benchmarks began: "
      + ", ".join(f"{x:.2f}" for x in lists_context.get("load_avg", [])))
print()
print(line(("what", "measured", "goal", "reference", "met")))
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for r in rows:
    print(line(r))

print()
print("| Google Benchmark (median of repetitions) | wall | cpu (for manual_time rows: the whole loop, untimed parts too) |")
print("|---|---|---|")
for name, entry in list(lists.items()) + list(codecs.items()):
    extra = f" ({entry['bytes_per_second'] / 1e6:.0f} MB/s)" if "bytes_per_second" in entry else ""
    print(f"| {name} | {ms(entry):.4g} ms{extra} | {ms(entry, 'cpu_time'):.4g} ms |")
