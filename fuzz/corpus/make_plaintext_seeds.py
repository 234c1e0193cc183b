#!/usr/bin/env python3
"""Writes the seed inputs of fuzz_plaintext_stream into corpus/plaintext/.

An input is: four header bytes (block sizes of the 8-bit and the UTF-16 stream), the streamed
text, then the edit script, which the fuzzer reads backwards from the end of the input.
"""
import os

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "plaintext")

SET_SEL, REPLACE_SEL, UNDO, REDO, SET_CHAR_FORMAT, STREAM_IN_SEL, TYPE, DELETE_BACK, \
    DELETE_FORWARD = range(9)

# Indexes into the fuzzer's list of inserted pieces.
EMPTY, X, A_UMLAUT, CR, LF, CRLF, WORDS, SOFT_BREAK, TAB, OBJECT, HIGH_SURROGATE, \
    LOW_SURROGATE, EMOJI, LINE_ENDS = range(14)


def op(kind, a=0, b=0, c=0):
    return [kind, a >> 8, a & 0xFF, b >> 8, b & 0xFF, c]


def sel(start, end):
    return op(SET_SEL, start + 1, end + 1)  # the fuzzer maps raw values to raw - 1


def script(*ops):
    consumed = [len(ops)]
    for o in ops:
        consumed += o
    return bytes(reversed(consumed))


def write(name, header, text, ops):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(bytes(header) + text + ops)


def utf16le_bom(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


os.makedirs(HERE, exist_ok=True)
write("utf8_umlauts", [15, 3, 15, 3],
      "Grüße aus Köln.\nÄrger über Öl – ça va? Ελληνικά, 日本語\n".encode("utf-8"),
      script(sel(3, 9), op(REPLACE_SEL, A_UMLAUT, 0, 1), op(SET_CHAR_FORMAT, 0, 0, 0x40),
             op(UNDO), op(REDO), op(TYPE, WORDS)))
write("utf16_bom", [0, 255, 1, 2],
      utf16le_bom("Zeile eins\r\nZeile zwei\n\U0001F600 Ende\r"),
      script(op(SET_SEL, 0, 0, 1), op(SET_CHAR_FORMAT, 0, 0, 0x49), op(DELETE_BACK, 0, 0, 1),
             op(UNDO), op(UNDO), op(REDO)))
write("windows1252", [7, 64, 7, 64],
      b"Gr\xfc\xdfe \x80 \x93zitiert\x94 caf\xe9\r\nna\xefve \x85\r\n",
      script(sel(0, 5), op(STREAM_IN_SEL, EMOJI, 0, 1), op(UNDO), op(STREAM_IN_SEL, LINE_ENDS)))
write("line_end_mix", [0, 0, 0, 0],
      b"a\r\nb\rc\n\r\n\n\rd\r",
      script(sel(2, 7), op(REPLACE_SEL, CRLF, 0, 0), op(DELETE_FORWARD, 0, 0, 1), op(UNDO),
             op(REDO), op(TYPE, CR)))
write("utf8_bom_breaks", [31, 8, 31, 8],
      b"\xef\xbb\xbfBOM first\n\tTabbed\x0bsoft break\n",
      script(sel(4, 4), op(TYPE, OBJECT), op(REPLACE_SEL, HIGH_SURROGATE, 0, 1),
             op(TYPE, LOW_SURROGATE), op(DELETE_BACK), op(UNDO), op(UNDO)))
write("empty", [0, 0, 0, 0], b"", b"")
