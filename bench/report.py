"""Turns the figures that tools/bench.sh gathered in one folder into a table.

Each figure is read by the key that bench/Keys.h declares for the program that prints
it; a key that Keys.h does not declare for that program, or that a program which ran
did not print, stops the report with both names.
"""
import json
import os
import re
import statistics
import sys

work = sys.argv[1]


def stop(message):
    sys.exit(f"bench/report.py: {message}")


def declared_keys():
    keys, program = {}, None
    for line in open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "Keys.h")):
        found = re.match(r"namespace (\w+) \{", line)
        if found and found.group(1) != "keys":
            program = found.group(1)
        for key in re.findall(r"BENCH_KEY\((\w+)\)", line):
            keys.setdefault(program, set()).add(key)
    return keys


KEYS = declared_keys()


def check_declared(program, key):
    if key not in KEYS.get(program, ()):
        stop(f"reads '{key}' from bench/{program}, but bench/Keys.h declares no such key for it")


class Printed:
    """The "key value..." lines one program printed into one file, over all its runs.
    A file that is not there is a program that did not run: its figures are empty."""

    def __init__(self, program, name):
        self.program, self.name = program, name
        path = os.path.join(work, name)
        self.ran = os.path.exists(path)
        self.lines = [line.split() for line in open(path)] if self.ran else []

    def values(self, key, field=1):
        check_declared(self.program, key)
        found = [fields[field] for fields in self.lines if fields and fields[0] == key]
        if self.ran and not found:
            stop(f"{self.name} holds no '{key}', which bench/{self.program} should have printed")
        return found

    def numbers(self, key, field=1):
        return [float(value) for value in self.values(key, field)]


class Benchmarks:
    """The runs of one Google Benchmark program, from its JSON output."""

    def __init__(self, program, name):
        self.program, self.name = program, name
        data = json.load(open(os.path.join(work, name)))
        self.context = data["context"]
        self.medians, self.runs = {}, {}
        for entry in data["benchmarks"]:
            if entry.get("run_type") == "aggregate":
                if entry.get("aggregate_name") == "median":
                    self.medians[entry["run_name"]] = entry
            else:
                self.runs.setdefault(entry["run_name"], []).append(entry)

    def _name(self, key, argument):
        check_declared(self.program, key)
        return key if argument is None else f"{key}/{argument}"

    def median(self, key, argument=None):
        name = self._name(key, argument)
        for run, entry in self.medians.items():
            if run == name or run.startswith(name + "/"):
                return entry
        stop(f"{self.name} has no run '{name}', which bench/{self.program} should have given")

    def counter(self, key, argument, counter):
        entry = self.median(key, argument)
        check_declared(self.program, counter)
        if counter not in entry:
            stop(f"{self.name}: the run '{entry['run_name']}' has no counter '{counter}' of bench/{self.program}")
        return entry[counter]

    def run_spread(self, key, argument=None, field="real_time"):
        name = self._name(key, argument)
        for run, entries in self.runs.items():
            if run == name or run.startswith(name + "/"):
                return spread([ms(e, field) for e in entries])
        return "-"


def median(values):
    return statistics.median(values) if values else float("nan")


def spread(values):
    return f"{min(values):.4g}..{max(values):.4g}" if values else "-"


to_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def ms(entry, key="real_time"):
    return entry[key] * to_ms[entry["time_unit"]]


xvfb = {case: Printed("startup_timer", f"startup/xvfb-{case}.txt") for case in ("empty", "100k", "1m")}
offscreen = {case: Printed("startup_offscreen", f"startup/offscreen-{case}.txt") for case in ("empty", "100k", "1m")}
clicked = {case: Printed("startup_offscreen", f"startup/offscreen-{case}-click.txt") for case in ("100k", "1m")}
threaded = Printed("thread_fill", "startup/offscreen-1m-thread.txt")
lists = Benchmarks("bench_list", "list.json")
codecs = Benchmarks("bench_codec", "codec.json")
formats = Benchmarks("bench_formats", "formats.json")

rows = []


def row(what, figure, goal, reference, met):
    rows.append((what, figure, goal, reference, "-" if met is None else "yes" if met else "NO"))


empty_x = median(xvfb["empty"].numbers("painted_ms"))
empty_o = median(offscreen["empty"].numbers("painted_ms"))
for case, goal, reference in (("100k", 1.5, "6.3 x before the list was filled in turns"),
                              ("1m", 3, "62 x before (2.9 s)")):
    painted_x, painted_o = xvfb[case].numbers("painted_ms"), offscreen[case].numbers("painted_ms")
    x, o = median(painted_x), median(painted_o)
    row(f"start-up to painted, {case} entries, Xvfb",
        f"{x / empty_x:.1f} x empty ({x:.0f} ms vs {empty_x:.0f} ms; runs {spread(painted_x)} ms)",
        f"<= {goal} x", reference, x / empty_x <= goal)
    row(f"start-up to painted, {case} entries, offscreen harness",
        f"{o / empty_o:.1f} x empty ({o:.0f} ms vs {empty_o:.1f} ms; runs {spread(painted_o)} ms)",
        "(for reference)", "", None)

ready = offscreen["1m"].numbers("ready_ms")
row("start-up to the list ready (fill ended), 1m entries, offscreen harness",
    f"{median(ready):.0f} ms, {median(ready) / empty_o:.0f} x empty (runs {spread(ready)} ms)",
    "<= 2900 ms", "the painted window before: 2.9 s", median(ready) <= 2900)
turns = offscreen["1m"].numbers("longest_turn_ms")
row("longest turn of the event loop from the paint to the list ready, 1m entries",
    f"{median(turns):.0f} ms (runs {spread(turns)} ms)", "<= 100 ms", "", median(turns) <= 100)
handover = threaded.numbers("gui_thread_handover_ms")
row("the other way: a document built on a worker thread, its hand-over to the box, 1m entries",
    f"{median(handover):.0f} ms in one turn (runs {spread(handover)} ms; the worker took "
    f"{median(threaded.numbers('worker_fill_ms')):.0f} ms)", "(why the fill goes in turns)", "", None)
for case in ("100k", "1m"):
    waits = clicked[case].numbers("show_wait_ms")
    row(f"first show clicked 100 ms after the window, {case} entries (the wait for the fill)",
        f"{median(waits):.0f} ms (runs {spread(waits)} ms)", "(for reference)", "", None)

for label, key, goal, reference in (
        ("Add at 1,000,000 lines, repaint included", "BM_Add", 1.0, "0.35 ms"),
        ("Delete of a middle line at 1,000,000 lines, repaint included", "BM_DeleteMiddle", 1.0,
         "QPlainTextEdit 0.7 ms; QTextEdit 350..900 ms")):
    e = lists.median(key, 1000000)
    row(label, f"{ms(e):.3f} ms (runs {lists.run_spread(key, 1000000)} ms)",
        f"<= {goal:g} ms", reference, ms(e) <= goal)

first = {counter: lists.counter("BM_FirstAfterLoad", 1000000, counter) for counter in ("add_ms", "show_ms", "delete_ms")}
shown = offscreen["1m"].numbers("list_shown_ms")
stall = max(first["add_ms"], first["show_ms"], first["delete_ms"], median(shown))
row("longest stall after loading 1,000,000 (first Add, first show, first Delete)",
    f"{stall:.1f} ms (add {first['add_ms']:.2f}, show {first['show_ms']:.1f}, delete {first['delete_ms']:.2f};"
    f" show in the program {median(shown):.1f})",
    "<= 100 ms", "QTextEdit 12 s on the first append", stall <= 100)

e = lists.median("BM_CaretPos", 1000000)
row("CaretPos at 1,000,000 lines", f"{ms(e) * 1e3:.3f} us", "<= 10 us", "0.1 us", ms(e) * 1e3 <= 10)
e = lists.median("BM_Text", 1000000)
row("Text at 1,000,000 lines", f"{ms(e):.0f} ms (cpu {ms(e, 'cpu_time'):.0f}; runs {lists.run_spread('BM_Text', 1000000)} ms)",
    "<= 150 ms", "toPlainText 95 ms; iterating blocks 500 ms", ms(e) <= 150)

for label, key, goal, reference in (("RTF writer, codec alone", "BM_WriteRtf", 500, "a simple writer 935 MB/s"),
                                    ("RTF reader, codec alone", "BM_ReadRtf", 400, "a simple reader 320..390 MB/s")):
    e = codecs.median(key)
    speeds = [r["bytes_per_second"] / 1e6 for r in codecs.runs[e["run_name"]]]
    row(label, f"{e['bytes_per_second'] / 1e6:.0f} MB/s (runs {spread(speeds)})", f">= {goal} MB/s", reference,
        e["bytes_per_second"] / 1e6 >= goal)

e = lists.median("BM_SaveToFile", 1000000)
row("Save of 1,000,000 entries, end to end", f"{ms(e):.0f} ms (cpu {ms(e, 'cpu_time'):.0f}; runs {lists.run_spread('BM_SaveToFile', 1000000)} ms)",
    "<= 400 ms", "", ms(e) <= 400)

peak = median(offscreen["1m"].numbers("peak_rss_bytes"))
base = median(offscreen["empty"].numbers("peak_rss_bytes"))
per_entry = (peak - base) / 1e6
row("peak memory at 1,000,000 entries, list shown",
    f"{per_entry:.0f} B/entry ({peak / 2**20:.0f} MiB peak, {base / 2**20:.0f} MiB with an empty list)",
    "<= 251 B/entry", "251 B before the list was filled in turns; QPlainTextEdit 550 B", per_entry <= 251)

ours = ms(lists.median("BM_LoadFromFileRtf", 100000)) / 1e3
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

for platform, source, label, reference in (
        ("xvfb", "plain", "plain text from another program, Xvfb", "before: 2.4 x (14.1 s vs 5.8 s; cpu 2.3 x)"),
        ("offscreen", "plain", "plain text, offscreen", "before: 2.6 x (cpu 2.3 x)"),
        ("offscreen", "copy", "copied in the box itself, offscreen", "before: 8.7 x, through Qt's HTML"),
        ("xvfb", "copy", "copied in another run of the program, Xvfb", "before: nothing pasted (Qt waits 5 s for the data)"),
        ("offscreen", "both", "HTML and plain text, as another Qt program copies them, offscreen",
         "Qt's HTML parser; before 4.6 x")):
    timer = Printed("paste_timer", f"paste/{platform}-{source}.txt")
    if not timer.ran:
        row(f"paste vs load, 1m lines: {label}", "not run", "<= 1.5 x load", reference, False)
        continue
    # Each "KEY WALL cpu CPU".
    pasted, loaded = timer.numbers("paste_ms"), timer.numbers("load_ms")
    wall = median(pasted) / median(loaded)
    cpu = median(timer.numbers("paste_ms", 3)) / median(timer.numbers("load_ms", 3))
    row(f"paste vs load, 1m lines: {label}",
        f"{wall:.2f} x ({median(pasted):.0f} ms vs {median(loaded):.0f} ms; cpu {cpu:.2f} x; "
        f"paste runs {min(pasted):.0f}..{max(pasted):.0f} ms; "
        f"undo {median(timer.numbers('undo_ms')):.0f}, redo {median(timer.numbers('redo_ms')):.0f} ms)",
        "<= 1.5 x load", reference, wall <= 1.5)

widths = [max(len(r[i]) for r in rows + [("what", "measured", "goal", "reference", "met")]) for i in range(5)]


def line(cells):
    return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"


print("load average when the list benchmarks began: "
      + ", ".join(f"{x:.2f}" for x in lists.context.get("load_avg", [])))
print()
print(line(("what", "measured", "goal", "reference", "met")))
print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
for r in rows:
    print(line(r))

print()
print("| Google Benchmark (median of repetitions) | wall | cpu (for manual_time rows: the whole loop, untimed parts too) |")
print("|---|---|---|")
for benchmarks in (lists, codecs, formats):
    for name, entry in benchmarks.medians.items():
        extra = f" ({entry['bytes_per_second'] / 1e6:.0f} MB/s)" if "bytes_per_second" in entry else ""
        print(f"| {name} | {ms(entry):.4g} ms{extra} | {ms(entry, 'cpu_time'):.4g} ms |")

print()
print("printing to a PDF file (bench/print_timer, offscreen):")
print()
print("| lines | print | pages | PDF | resident before | peak | last entry on the last page |")
print("|---|---|---|---|---|---|---|")
for lines in (1000, 100000, 1000000):
    printed = Printed("print_timer", f"print/{lines}.txt")
    if not printed.ran:
        print(f"| {lines:,} | not run | | | | | |")
        continue
    figure = {key: printed.values(key)[-1] for key in ("print_ms", "pages", "pdf_bytes", "rss_before_bytes",
                                                       "peak_rss_bytes", "last_line")}
    print(f"| {lines:,} | {float(figure['print_ms']):.0f} ms | {figure['pages']} "
          f"| {int(figure['pdf_bytes']) / 2**20:.1f} MiB | {int(figure['rss_before_bytes']) / 2**20:.0f} MiB "
          f"| {int(figure['peak_rss_bytes']) / 2**20:.0f} MiB | {figure['last_line']} |")
