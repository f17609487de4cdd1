#!/usr/bin/env python3
"""Writes tests/data/encodings/: short phone books as Romanian users have them, each
shape of list in each encoding it can be written in, with the text it holds beside it.

    python3 tools/make_encoding_corpus.py                       the corpus of the tests
    python3 tools/make_encoding_corpus.py --random SEED FOLDER  400 lists drawn at random

For every file NAME.txt it writes NAME.expected, the lines in UTF-8, each ending in LF.
Python's standard library only; the output is the same on every run (and seed).
"""

import pathlib
import random
import sys

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
            yield shape, encoding, lines


# Words for the lists drawn at random: names, towns and institutions.
ROMANIAN_SURNAMES = """Popescu Ionescu Popa Pop Radu Dumitru Stan Stoica Gheorghe Matei Ciobanu Rusu
    Munteanu Constantinescu Dobre Barbu Nistor Florea Moldovan Lungu Ștefănescu Mureșan Răducanu
    Țurcanu Niță Bălan Preda Toma Vasilescu Iordache Bărbulescu Cârstea Tănase Șerban Făgărășanu
    Dănilă Păun Mocanu Cîrstea Neagoe Ioniță Mihăilă Sârbu Tătaru Oprea Gâlcă Bâlea Frățilă Roșu
    Dinu Voicu Enache Ispas Dragomir Jitaru Lăcătuș Tudose Ilie Marin Ghiță Zamfir Stănescu""".split()
ROMANIAN_NAMES = """Ion Maria Andrei Elena Mihai Ana Alexandru Ioana Gabriel Cristina Bogdan Adriana Vasile
    Gheorghe Daniela Ștefan Cătălina Răzvan Tudor Irina Mădălina Costel Ionuț Alina Florin Sorina
    Dănuț Laura Viorica Petru Aurel Doina Liviu Rodica Mircea Nicoleta Marius Ileana Remus Oana
    Cornel Iulia Viorel Luminița Constanța Ștefania Bianca Ovidiu""".split()
HUNGARIAN_NAMES = """Kovács Szabó Tóth Nagy Horváth Varga Kiss Molnár Németh Farkas Balogh Papp Takács
    Juhász Lakatos Mészáros Oláh Simon Rácz Fekete Szőke Győri Fűzesi Bíró Ödön Péter Ilona Ákos
    Éva Zoltán László Erzsébet Gábor Katalin Ferenc Júlia Sándor Gyöngyi Tünde Béla Lőrinc Ünige
    Csaba Réka Hajnal Böjte Fülöp""".split()
GERMAN_NAMES = """Müller Schäfer Weiß Günter Jürgen Brigitte Schmidt Schneider Fischer Meyer Wagner
    Becker Schulz Hoffmann Koch Bauer Richter Klein Wolf Schröder Neumann Schwarz Zimmermann Braun
    Krüger Hofmann Hartmann Lange Schmitt Werner Krause Meier Lehmann Köhler Maier Jäger Groß Fuchs
    Möller Stöckl Hänsel""".split()
TOWNS = """Brăila Tășnad Orăștie Câmpina Târgu-Jiu Bistrița Năsăud Mediaș Făgăraș Pitești Botoșani
    Iași Bârlad Călărași Slobozia Găești Mioveni Târgoviște Buzău Focșani Galați Tulcea Constanța
    Reșița Caransebeș Lugoj Timișoara Arad Oradea Zalău Dej Turda Blaj Sebeș Hunedoara Petroșani""".split()
INSTITUTIONS = ["Primăria", "Școala Gimnazială", "Spitalul Județean", "Poliția", "Casa de Cultură",
                "Biblioteca Județeană", "Pompierii", "Farmacia", "Liceul Teoretic", "Grădinița",
                "Judecătoria", "Centrul Medical", "Taxi", "Brutăria"]
ASCII_NAMES = "Pop Stan Rusu Dinu Ilie Marin Voicu Ispas Ion Ana Dan Mihai Elena".split()


def random_lists(seed):
    """Yields (name, lines) for 400 short lists drawn with this seed: Romanian, Hungarian and
    German names, institutions and towns, ASCII names, in mixed case or capitals, with
    comma-below or cedilla forms."""
    draw = random.Random(seed)

    def phone():
        return draw.choice([f"07{draw.randrange(100):02d} {draw.randrange(1000):03d} {draw.randrange(1000):03d}",
                            f"02{draw.randrange(70):02d} {draw.randrange(1000):03d} {draw.randrange(1000):03d}",
                            str(draw.choice([112, 981, 955]))])

    def line(kind):
        if kind == "romanian":
            return f"{draw.choice(ROMANIAN_SURNAMES)}  {draw.choice(ROMANIAN_NAMES)}  {phone()}"
        if kind == "hungarian":
            return f"{draw.choice(HUNGARIAN_NAMES)}  {draw.choice(HUNGARIAN_NAMES)}  {phone()}"
        if kind == "german":
            return f"{draw.choice(GERMAN_NAMES)}  {draw.choice(GERMAN_NAMES)}  {phone()}"
        if kind == "institution":
            return f"{draw.choice(INSTITUTIONS)} {draw.choice(TOWNS)}  {phone()}"
        return f"{draw.choice(ASCII_NAMES)}  {draw.choice(ASCII_NAMES)}  {phone()}"

    for number in range(400):
        kinds = draw.choice([["romanian"], ["romanian", "ascii"], ["institution"], ["hungarian", "german"],
                             ["romanian", "hungarian", "german", "institution"], ["ascii"] * 3 + ["romanian"]])
        lines = [line(draw.choice(kinds)) for _ in range(draw.choice([1, 1, 2, 3, 5, 8, 12]))]
        capitals = draw.random() < 1 / 3
        if capitals:
            lines = [text.upper() for text in lines]
        if draw.random() < 0.3:
            lines = [text.translate(COMMA_TO_CEDILLA) for text in lines]
        yield f"random{number:03d}-{'capitals' if capitals else 'mixed'}", lines


def write(target, name, encoding, lines, last_line_end=True):
    """Writes NAME.ENCODING.txt and its .expected; False where the page lacks a letter."""
    codec, bom, line_end = ENCODINGS[encoding]
    lines = [written_for(encoding, line) for line in lines]
    text = line_end.join(lines) + (line_end if last_line_end else "")
    try:
        data = bom + text.encode(codec)
    except UnicodeEncodeError:
        return False
    (target / f"{name}.{encoding}.txt").write_bytes(data)
    (target / f"{name}.{encoding}.expected").write_bytes("".join(line + "\n" for line in lines).encode("utf-8"))
    return True


def main():
    if len(sys.argv) == 4 and sys.argv[1] == "--random":
        target = pathlib.Path(sys.argv[3])
    elif len(sys.argv) == 1:
        target = pathlib.Path(__file__).resolve().parent.parent / "tests" / "data" / "encodings"
    else:
        sys.exit(__doc__)
    target.mkdir(parents=True, exist_ok=True)
    for old in list(target.glob("*.txt")) + list(target.glob("*.expected")):
        old.unlink()
    if len(sys.argv) == 4:
        for name, lines in random_lists(int(sys.argv[2])):
            for encoding in ENCODINGS:
                write(target, name, encoding, lines)
        return
    for shape, encoding, lines in files():
        assert write(target, shape, encoding, lines, last_line_end=shape != "ascii")


if __name__ == "__main__":
    main()
