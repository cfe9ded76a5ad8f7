#!/usr/bin/env python3
"""Writes data/finalvelun.txt, the placeholder verse file shipped with Velun Saver.

The text is made up: words are strung together from invented syllables in
Arabic script, chapter names likewise, and the chapter lengths are drawn by a
seeded generator. Nothing here comes from any real text. The output is the same
on every run and every machine (the generator below is our own, so it does not
depend on the Python version).

Layout: 114 chapters. Each starts with a heading line "*name - number - count*";
then chapters 1 and 9 hold `count` verse lines, every other chapter an opening
line (verse 0) and `count` verse lines. The counts add up to 6236, so the file
holds 6348 verse lines. Lines end with CR LF; the file is UTF-8 without a byte
order mark and uses only characters that Windows-1256 can also hold.

Usage: python3 data/make_sample.py [output path]
"""
import hashlib
import math
import pathlib
import sys

CHAPTERS = 114
COUNT_TOTAL = 6236
NO_OPENING_LINE = (1, 9)
SEED = 0x5EED_1E55_0F_7E7


class Generator:
    """xorshift64*: small, fast and fixed for good."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF or 1

    def next64(self):
        x = self.state
        x ^= x >> 12
        x ^= (x << 25) & 0xFFFFFFFFFFFFFFFF
        x ^= x >> 27
        self.state = x
        return (x * 0x2545F4914F6CDD1D) & 0xFFFFFFFFFFFFFFFF

    def real(self):
        return (self.next64() >> 11) / float(1 << 53)

    def between(self, low, high):
        """A whole number from low to high, both included."""
        return low + int(self.real() * (high - low + 1))

    def pick(self, items):
        return items[int(self.real() * len(items))]


CONSONANTS = list("بتثجحخدذرزسشصضطظعغفقكلمنهوي")
# Short vowel marks (fatha, damma, kasra), each with the long vowel that goes with it.
VOWELS = [("\u064E", "ا"), ("\u064F", "و"), ("\u0650", "ي")]
SUKUN = "\u0652"
SHADDA = "\u0651"
MARKS = {mark for mark, _ in VOWELS} | {SUKUN, SHADDA}
WORD_ENDINGS = ["", "", "", "", "ة", "ى", "ون", "ين", "ات"]
# Invented words that happen to be the terms a real scripture uses for its own parts are
# never written. Only a hash of each is kept here, so that this file names none of them.
AVOIDED = {"fd27741fa91e9521", "a37a87553baea18b", "1c407b6da610154f", "0534ca959d51d21c",
           "3ec233dff670b94c", "6d125807614235c6", "fe71b89f16e055b4", "afb80d4d01eaa3b5",
           "c87571cb76025ce8", "78cbb551f87ae6c8"}


def avoided_hash(text):
    bare = "".join(c for c in text if c not in MARKS)
    digest = hashlib.sha256(bare.encode("utf-8")).hexdigest()[:16]
    return digest if digest in AVOIDED else None


def syllable(gen, marked):
    mark, long_vowel = gen.pick(VOWELS)
    text = gen.pick(CONSONANTS)
    if marked and gen.real() < 0.12:
        text += SHADDA
    if marked:
        text += mark
    roll = gen.real()
    if roll < 0.3:
        text += long_vowel
    elif roll < 0.5:
        text += gen.pick(CONSONANTS) + (SUKUN if marked else "")
    return text


def word(gen, marked):
    text = invented_word(gen, marked)
    while (digest := avoided_hash(text)) is not None:
        # Drawn again from a generator of its own, so the rest of the file stays as it was.
        text = invented_word(Generator(int(digest, 16)), marked)
    return text


def invented_word(gen, marked):
    text = "أ" if gen.real() < 0.08 else ""
    text += syllable(gen, marked)
    for _ in range(gen.between(0, 2)):
        text += syllable(gen, marked)
    if sum(1 for c in text if c not in MARKS) < 2:
        text += syllable(gen, marked)
    if text[-1] not in "اوي":
        text += gen.pick(WORD_ENDINGS)
    return text


def sentence(gen, words):
    marked = gen.real() < 0.4  # some verses carry their vowel marks
    parts = []
    for i in range(words):
        parts.append(word(gen, marked))
        if i + 1 < words and gen.real() < 0.05:
            parts[-1] += "\u060C"  # Arabic comma
    return " ".join(parts)


def verse_line(gen):
    roll = gen.real()
    if roll < 0.04:
        words = gen.between(55, 130)  # several lines on a full-HD screen at 30 pt
    elif roll < 0.30:
        words = gen.between(25, 55)
    else:
        words = gen.between(4, 25)
    return sentence(gen, words)


def chapter_name(gen, taken):
    while True:
        name = " ".join(word(gen, False) for _ in range(gen.between(1, 2)))
        if name not in taken:
            taken.add(name)
            return name


def verse_counts(gen):
    """114 counts, longer chapters first on the whole, adding up to COUNT_TOTAL."""
    weights = [(math.exp(-i / 17.0) * 9 + 0.25) * (0.55 + 0.9 * gen.real())
               for i in range(CHAPTERS)]
    scale = (COUNT_TOTAL - 3 * CHAPTERS) / sum(weights)
    counts = [3 + int(w * scale) for w in weights]
    while sum(counts) < COUNT_TOTAL:
        counts[gen.between(0, CHAPTERS // 2)] += 1
    while sum(counts) > COUNT_TOTAL:
        i = gen.between(0, CHAPTERS - 1)
        if counts[i] > 3:
            counts[i] -= 1
    return counts


def build():
    gen = Generator(SEED)
    counts = verse_counts(gen)
    names = set()
    lines = []
    for number, count in enumerate(counts, start=1):
        lines.append("*%s - %d - %d*" % (chapter_name(gen, names), number, count))
        if number not in NO_OPENING_LINE:
            lines.append(sentence(gen, gen.between(4, 8)))
        for _ in range(count):
            lines.append(verse_line(gen))
    return lines


def main():
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else \
        pathlib.Path(__file__).resolve().parent / "finalvelun.txt"
    lines = build()
    verse_lines = sum(1 for line in lines if "*" not in line)
    headings = len(lines) - verse_lines
    assert headings == CHAPTERS and verse_lines == 6348, (headings, verse_lines)
    text = "".join(line + "\r\n" for line in lines)
    text.encode("cp1256")  # every character must also exist in Windows-1256
    out.write_bytes(text.encode("utf-8"))
    print("%s: %d headings, %d verse lines, %d bytes" % (out, headings, verse_lines,
                                                        len(text.encode("utf-8"))))


if __name__ == "__main__":
    main()
