#!/usr/bin/env python3
"""Writes NAME.expected-lines.txt beside each corpus file whose source gives its
expected text, converted to this program's line convention:

* one line per paragraph, each ending in '\\n'; a line break inside a paragraph
  (\\line, \\page) is U+2028; table cells are joined by TAB, with no TAB after the
  last cell of a row;
* rtf.js: read from the expected HTML, one line per <div>, dropping the empty
  paragraph rtf.js adds after the final \\par;
* striprtf: '|' (cell) becomes TAB, a '|' ending a row is dropped;
* rtfparserkit: the TAB it writes after every cell of a row is dropped.

Only conventions are converted; per-file notes below say where a source's own
rendering (a hyperlink's URL, \\line as a new line) differs from ours.

Usage: python3 convert_expectations.py /path/to/shared/rtf-corpus
"""

import html
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
LINE_SEPARATOR = "\u2028"


def from_html(text):
    body = re.search(r"<body[^>]*>(.*)</body>", text, re.S)
    text = body.group(1) if body else text
    lines = []
    # Innermost blocks only: RtfPipe wraps its <p> paragraphs in one <div>.
    block = r"<(div|p)\b[^>]*>((?:(?!<(?:div|p)\b).)*?)</\1>"
    for match in re.finditer(block, text, re.S):
        inner = match.group(2)
        # "<p><br></p>" is how HTML shows an empty paragraph.
        if re.fullmatch(r"\s*<br\s*/?>\s*", inner):
            inner = ""
        inner = re.sub(r"<br\s*/?>", LINE_SEPARATOR, inner)
        inner = inner.replace("\n", "")   # the pretty-printer's, not the document's
        inner = re.sub(r"<[^>]+>", "", inner)
        lines.append(html.unescape(inner))
    return lines


def split_lines(text):
    lines = text.split("\n")
    if text.endswith("\n"):
        lines.pop()
    return lines


def striprtf_lines(text, has_table=True):
    lines = split_lines(text)
    if has_table:
        lines = [re.sub(r"\|$", "", line).replace("|", "\t") for line in lines]
    return lines


# Per-file conversions of a source's rendering into ours.
def fix_textedit_hyperlink(lines):
    # striprtf prints a hyperlink as text("url"); we keep the field result only.
    return [re.sub(r'\("[^"]*"\)', "", line) for line in lines]


def join_at(indices):
    # striprtf writes \line as a new line; ours keeps it inside the paragraph.
    def fix(lines):
        for index in sorted(indices, reverse=True):
            lines[index:index + 2] = [lines[index] + LINE_SEPARATOR + lines[index + 1]]
        return lines
    return fix


def page_as_line_break(index):
    # rtfparserkit writes \page as an empty line; ours is a line break in a paragraph.
    def fix(lines):
        lines[index] = LINE_SEPARATOR
        return lines
    return fix


def spaces_kept_by_nbsp(lines):
    # RtfPipe writes a run of spaces as " &nbsp;" so that HTML keeps it; the file
    # holds plain spaces.
    return [line.replace(" \u00a0", "  ") for line in lines]


def leading_empty_paragraph(lines):
    # The file starts with "\pard\f0\fs17\par": an empty first line that rtf.js drops.
    return [""] + lines


SOURCES = {
    "rtfjs__": ("html", None),
    "rtfpipe__": ("html", None),
    "striprtf__": ("striprtf", None),
    "rtfpk__": ("rtfpk", None),
}
FIXES = {
    "striprtf__mac_textedit_hyperlink.rtf": fix_textedit_hyperlink,
    "striprtf__ansicpg1250.rtf": join_at([1]),
    "rtfpk__testTextConversion.rtf": page_as_line_break(6),
    "rtfjs__colors.rtf": leading_empty_paragraph,
    "rtfpipe__os_x_text_edit_faces_mixed.rtf": spaces_kept_by_nbsp,
}
# The source's rendering of these loses what our convention keeps (table rows,
# nested rows, paragraphs inside cells; rtf.js also shows hidden text and list
# labels), so their lines come from LibreOffice: see libreoffice_expectations.py.
FROM_LIBREOFFICE = {
    "rtfjs__sample.rtf", "rtfpipe__Issue34.rtf", "striprtf__calcium_score.rtf",
    "striprtf__nested_table.rtf",
}
NO_TABLE = {"striprtf__TX_RTF32_18.0.541.501.rtf"}   # its '|' is text
# Files kept here under another name than in the shared corpus.
RENAMED = {"striprtf__specialchars.rtf": "striprtf__symbols.rtf"}


def main():
    corpus = pathlib.Path(sys.argv[1])
    for rtf in sorted(corpus.glob("*.rtf")):
        name = rtf.name
        kind = next((k for prefix, (k, _) in SOURCES.items() if name.startswith(prefix)), None)
        if kind is None or name in FROM_LIBREOFFICE:
            continue
        txt = corpus / (name + ".expected.txt")
        htm = corpus / (name + ".expected.html")
        if kind == "html" and htm.exists():
            lines = from_html(htm.read_text(encoding="utf-8"))
            if name.startswith("rtfjs__") and lines and lines[-1] == "":
                lines.pop()
        elif kind == "striprtf" and txt.exists():
            lines = striprtf_lines(txt.read_text(encoding="utf-8"), name not in NO_TABLE)
        elif kind == "rtfpk" and txt.exists():
            lines = [line[:-1] if line.endswith("\t") else line
                     for line in split_lines(txt.read_text(encoding="utf-8"))]
        else:
            continue
        if name in FIXES:
            lines = FIXES[name](lines)
        (HERE / (RENAMED.get(name, name) + ".expected-lines.txt")).write_text(
            "".join(line + "\n" for line in lines), encoding="utf-8")


if __name__ == "__main__":
    main()
