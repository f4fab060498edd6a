#!/usr/bin/env python3
"""How well a bigram dictionary (bigram.cbg) knows text it was not made from.

  scripts/bigram-heldout.py DICT TEXT [TEXT...]

TEXT: UTF-8, EUC-JP or CP932, plain or gzip. Prints, for the kanji compounds of the text
(runs of 2 to 5 kanji), the share of their adjacent pairs that the dictionary holds (by
occurrence and by distinct pair) and the mean pair term of the string recognizer's
search (conditional log-probability, with the dictionary's backoff when it has one); the
same mean over every pair of the running text, and its log-likelihood per character
(monogram at the start of a run, pair terms after); and the monogram ranks of everyday kanji
among the dictionary's kanji.
"""
import bisect, gzip, math, re, struct, sys

EVERYDAY = "日人年大本中出時行見月生上下今学円子気小山話女北午書先名川水男西電校語土木聞食車何南毎白天母右読友左休父雨花犬"


def load(path):
    b = open(path, "rb").read()
    assert b[:6] == b"CBG1.1", "not a bigram dictionary"
    flags = b[6]
    prob = struct.unpack_from("<256f", b, 7)
    total, pairs, n = struct.unpack_from("<iih", b, 1031)
    at = 1041
    codes = list(struct.unpack_from("<%dH" % n, b, at)); at += 2 * n
    mono = [0.0] * n
    if flags & 1:
        mono = list(struct.unpack_from("<%df" % n, b, at)); at += 4 * n
    seconds = []
    for _ in range(n):
        (m,) = struct.unpack_from("<h", b, at); at += 2
        sc = struct.unpack_from("<%dH" % m, b, at); at += 2 * m
        tg = b[at:at + m]; at += m
        seconds.append(dict(zip(sc, tg)))
    backoff = [math.log(max(1 - sum(math.exp(prob[t]) for t in s.values()), 1e-4)) for s in seconds]
    return dict(flags=flags, prob=prob, total=total, codes=codes, mono=mono, seconds=seconds,
                backoff=backoff)


def index(d, c):
    i = bisect.bisect_left(d["codes"], c)
    return i if i < len(d["codes"]) and d["codes"][i] == c else -1


def monogram(d, c):
    i = index(d, c)
    return d["mono"][i] if i >= 0 else -math.log(max(d["total"], 1))


def pair(d, a, b):
    """(seen, conditional log-probability as the search's pair term)"""
    i = index(d, a)
    t = d["seconds"][i].get(b, 0) if i >= 0 else 0
    if d["flags"] & 7 == 7:
        bo = (d["backoff"][i] if i >= 0 else 0.0) + monogram(d, b)
        return t != 0, bo if t == 0 else max(d["prob"][t], bo)
    return t != 0, d["prob"][t]


def read(path):
    raw = open(path, "rb").read()
    if raw[:2] == b"\x1f\x8b":
        raw = gzip.decompress(raw)
    for enc in ("utf-8", "euc-jp", "cp932"):
        try:
            return raw.decode(enc)
        except UnicodeDecodeError:
            pass
    raise SystemExit(path + ": unknown encoding")


def code(ch):
    try:
        b = ch.encode("cp932")
    except UnicodeEncodeError:
        return None
    return (b[0] << 8) | b[1] if len(b) == 2 else None


def main():
    d = load(sys.argv[1])
    text = "\n".join(read(p) for p in sys.argv[2:])
    occ = seen = 0; lp = 0.0; distinct = {}
    for m in re.finditer(r"[\u4e00-\u9fff\u3005]+", text):
        w = m.group()
        if not 2 <= len(w) <= 5:  # a compound: a whole run of 2 to 5 kanji
            continue
        cs = [code(ch) for ch in w]
        if None in cs:
            continue
        for a, b in zip(cs, cs[1:]):
            s, v = pair(d, a, b)
            occ += 1; seen += s; lp += v; distinct[(a, b)] = s
    print("compound pairs: %d, seen %.1f %%; distinct %d, seen %.1f %%; mean pair term %.2f"
          % (occ, 100 * seen / max(occ, 1), len(distinct),
             100 * sum(distinct.values()) / max(len(distinct), 1), lp / max(occ, 1)))
    occ = seen = chars = 0; lp = ll = 0.0
    for line in text.split("\n"):
        cs = [code(ch) for ch in line]
        for i, c in enumerate(cs):
            if c is None or c == 0x8140:
                continue
            chars += 1
            p = cs[i - 1] if i > 0 else None
            if p is None or p == 0x8140:
                ll += monogram(d, c)  # a run starts: the monogram term
                continue
            s, v = pair(d, p, c)
            occ += 1; seen += s; lp += v; ll += v
    print("running-text pairs: %d, seen %.1f %%, mean pair term %.2f; "
          "log-likelihood per character %.2f"
          % (occ, 100 * seen / max(occ, 1), lp / max(occ, 1), ll / max(chars, 1)))
    ranked = sorted((v, c) for c, v in zip(d["codes"], d["mono"]) if c >= 0x889F)
    ranked.reverse()
    rank = {c: r + 1 for r, (v, c) in enumerate(ranked)}
    rs = [rank.get(code(ch), len(ranked) + 1) for ch in EVERYDAY]
    print("everyday kanji (%d): median monogram rank %d, worst %d; %s"
          % (len(rs), sorted(rs)[len(rs) // 2], max(rs),
             " ".join("%s%d" % (ch, r) for ch, r in zip(EVERYDAY, rs))))


if __name__ == "__main__":
    main()
