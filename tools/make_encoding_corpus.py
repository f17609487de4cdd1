#!/usr/bin/env python3
"""Writes tests/data/encodings/: short phone books as Romanian users have them, each
shape of list in each encoding it can be written in, with the text it holds beside it.

Run from anywhere: python3 tools/make_encoding_corpus.py
For every file NAME.txt it writes NAME.expected, the lines in UTF-8, each ending in LF.
Python's standard library only; the output is the same on every run.
"""

import pathlib

# Shapes of list. Romanian s and t are written here with a comma below, as new files
# hold them, or with a cedilla, as old ones do; a code page that has only the other
# form gets that one (see written_for).
SHAPES = {
    # Names and institutions in upper and lower case, the letters where words have them.
    "mixed": [
        "Ștefănescu  Ion  0744 555 010",
        "Mureșan  Cătălina  0722 123 456",
        "Țurcanu  Ionuț  0733 900 111",
        "Bălan  Irina  0766 101 202",
        "Niță  Dănuț  0745 321 654",
        "Popescu  Maria  0721 000 999",
        "Câmpeanu  Sorina  0264 431 220",
        "Întreprinderea de Apă  0232 210 300",
    ],
    # An old list of institutions in capitals, cedillas and all.
    "capitals": [
        "PRIMĂRIA MUNICIPIULUI BRĂILA  0239 694 947",
        "ŞCOALA GIMNAZIALĂ NR. 3 ÎNSURĂŢEI  0239 632 110",
        "SPITALUL JUDEŢEAN DE URGENŢĂ  0264 597 852",
        "POLIŢIA ORAŞULUI TÂRGU JIU  0253 211 211",
        "CASA DE CULTURĂ ŞTEFAN LUCHIAN  0231 512 300",
    ],
    # Capitals whose every accented letter stands before an S with cedilla: in
    # Windows-1250 and both ISO pages the whole file is valid UTF-8 by accident.
    "capitals-pairs": [
        "PRIMARIA TĂŞNAD  0261 825 001",
        "PRIMARIA ORĂŞTIE  0254 241 513",
        "CÂŞTIG SRL  0244 111 222",
        "PRIMARIA BĂŞCOV  0248 270 001",
        "FARMACIA CENTRALA  0261 825 100",
    ],
    # One accented letter in the whole list.
    "single": [
        "Popescu  Ion  0744 555 010",
        "Ionescu  Maria  0722 123 456",
        "Bălan  Irina  0766 101 202",
        "Stan  Mihai  0733 900 111",
        "Rusu  Cristina  0766 101 202",
    ],
    # Hungarian and German names, as lists in Transylvania and the Banat hold them.
    "hungarian-german": [
        "Kovács  Péter  0744 210 310",
        "Szőke  Ilona  0265 212 818",
        "Győri  Ákos  0722 450 617",
        "Fűzesi  Éva  0745 118 923",
        "Müller  Jürgen  0268 413 550",
        "Schäfer  Günter  0256 190 775",
        "Weiß  Brigitte  0269 211 094",
        "Bíró  Ödön  0266 371 018",
    ],
    # Nothing but ASCII, the last line without a line end.
    "ascii": [
        "Popescu  Ion  0744 555 010",
        "Ionescu  Maria  0722 123 456",
        "Stan  Mihai  0733 900 111",
        "Pompieri  112",
    ],
    # Letters and signs of other languages, which only Unicode holds all of.
    "foreign": [
        "Str. Lunga nº 5  0721 000 111",
        "Café Müller  0264 590 112",
        "José Álvarez  0744 908 070",
        "Ana-Maria Dupré  0745 555 123",
        "Bistro Ça Va  0256 200 300",
        "Cabinet 2º etaj  0231 400 500",
    ],
    # An ordinal sign the only character beyond ASCII.
    "ordinal": [
        "Popescu  Ion  0744 555 010",
        "Str. Lunga nº 5  0721 000 111",
        "Stan  Mihai  0733 900 111",
    ],
}

SINGLE_BYTE_SHAPES = ["mixed", "capitals", "capitals-pairs", "single", "hungarian-german", "ascii"]

# Encoding name -> (Python codec, byte order mark, line end).
ENCODINGS = {
    "utf-8": ("utf-8", b"", "\n"),
    "utf-8-bom": ("utf-8", b"\xef\xbb\xbf", "\r\n"),
    "utf-16le-bom": ("utf-16-le", b"\xff\xfe", "\r\n"),
    "utf-16be-bom": ("utf-16-be", b"\xfe\xff", "\r\n"),
    "utf-16le": ("utf-16-le", b"", "\r\n"),
    "utf-16be": ("utf-16-be", b"", "\n"),
    "windows-1250": ("cp1250", b"", "\r\n"),
    "iso-8859-2": ("iso8859_2", b"", "\n"),
    "iso-8859-16": ("iso8859_16", b"", "\n"),
    "cp852": ("cp852", b"", "\r\n"),
}

COMMA_TO_CEDILLA = str.maketrans("ȘșȚț", "ŞşŢţ")
CEDILLA_TO_COMMA = str.maketrans("ŞşŢţ", "ȘșȚț")


def written_for(encoding, line):
    """The line as a file in this encoding holds it: ISO-8859-16 has s and t only with
    a comma below, the other single-byte pages only with a cedilla."""
    if encoding == "iso-8859-16":
        return line.translate(CEDILLA_TO_COMMA)
    if not encoding.startswith("utf-"):
        return line.translate(COMMA_TO_CEDILLA)
    return line


def files():
    for shape, lines in SHAPES.items():
        for encoding in ENCODINGS:
            if not encoding.startswith("utf-") and shape not in SINGLE_BYTE_SHAPES:
                continue
            yield shape, encoding, [written_for(encoding, line) for line in lines]


def main():
    target = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "encodings"
    target.mkdir(parents=True, exist_ok=True)
    for old in list(target.glob("*.txt")) + list(target.glob("*.expected")):
        old.unlink()
    for shape, encoding, lines in files():
        codec, bom, line_end = ENCODINGS[encoding]
        text = line_end.join(lines)
        if shape != "ascii":
            text += line_end
        name = f"{shape}.{encoding}"
        (target / f"{name}.txt").write_bytes(bom + text.encode(codec))
        (target / f"{name}.expected").write_bytes("".join(line + "\n" for line in lines).encode("utf-8"))


if __name__ == "__main__":
    main()
