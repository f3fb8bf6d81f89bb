#!/usr/bin/env python3
"""Deterministic generator of e-mail list files for the benchmarks in bench/.

Main file (default): GBK (code page 936) text, ';'-separated, CRLF line ends,
header "name;email;phone", then N rows.

    gen_emails.py 1000000 emails-1M.csv
    gen_emails.py 10000000 emails-10M.csv

Single-column file (exclusion list for --exclude-file): the email column
only, no header.  With --draw-from, a share of its rows are lower-cased
addresses drawn from another file's email column (only addresses that the
tool would class as valid, so they really get excluded), the rest are
freshly generated with this file's own seed:

    gen_emails.py 100000 excl-1M.csv --single-column --seed 2 \
        --draw-from emails-1M.csv --draw-share 0.5

Same arguments -> same bytes (Python's random module is stable across
versions for these calls).  Row i does not depend on N (a smaller file is a
prefix of a larger one with the same seed).

Mix of the email column (fractions of rows, approximate):
  15%  duplicate of an earlier address (2/3 exact, 1/3 letter case changed);
       with chance repeats (common names) ~20% of rows repeat an earlier address
   5%  invalid: no "@", or no "." after the "@"
   5%  erroneous: basic shape, plus a blank, "@.", "@@", leading "@", ".." after
       "@", or ends with a digit or "."
 0.2%  empty (read as null by the engine); 0.2% valid-with-trailing-comma
  rest (~75%) fresh valid; 5% of them in mixed letter case (~9% of all rows
       are mixed-case, counting the case-changed duplicates); ~1% of all rows
       have a role prefix (admin, info, sales, webmaster, root)
Domains: the ten big ones (qq.com first) take ~70% with Zipf-like weights,
the rest (30%) follow 1/(rank+10) over a tail of 20000 generated domains.
Names mix common and GBK-only characters whose second byte is in the ASCII
range ("@", "[", letters), which a byte-wise scanner must survive.

    gen_emails.py --list-domains N

prints the N most likely domains (the big ten, then the head of the tail),
one a line, and writes no file; the command-line benchmark builds its custom
domain groups from it.
"""
import argparse
import bisect
import random
import re
import sys

SURNAMES = [("王", "wang"), ("李", "li"), ("张", "zhang"), ("刘", "liu"), ("陈", "chen"),
            ("杨", "yang"), ("黄", "huang"), ("赵", "zhao"), ("吴", "wu"), ("周", "zhou"),
            ("徐", "xu"), ("孙", "sun"), ("马", "ma"), ("朱", "zhu"), ("胡", "hu"),
            ("郭", "guo"), ("何", "he"), ("高", "gao"), ("林", "lin"), ("罗", "luo"),
            ("郑", "zheng"), ("梁", "liang"), ("谢", "xie"), ("宋", "song"), ("唐", "tang"),
            ("许", "xu"), ("韩", "han"), ("冯", "feng"), ("邓", "deng"), ("曹", "cao"),
            ("彭", "peng"), ("曾", "zeng"), ("肖", "xiao"), ("田", "tian"), ("董", "dong"),
            ("袁", "yuan"), ("潘", "pan"), ("蒋", "jiang"), ("蔡", "cai"), ("叶", "ye"),
            ("欧阳", "ouyang"), ("司马", "sima")]
# The last ten are GBK-only characters (outside GB2312); several have a
# second byte in the ASCII range, which a byte-wise splitter must survive.
GIVEN = [("伟", "wei"), ("芳", "fang"), ("娜", "na"), ("敏", "min"), ("静", "jing"),
         ("丽", "li"), ("强", "qiang"), ("磊", "lei"), ("军", "jun"), ("洋", "yang"),
         ("勇", "yong"), ("艳", "yan"), ("杰", "jie"), ("娟", "juan"), ("涛", "tao"),
         ("明", "ming"), ("超", "chao"), ("秀", "xiu"), ("兰", "lan"), ("霞", "xia"),
         ("平", "ping"), ("刚", "gang"), ("英", "ying"), ("华", "hua"), ("建", "jian"),
         ("国", "guo"), ("文", "wen"), ("辉", "hui"), ("鹏", "peng"), ("飞", "fei"),
         ("玲", "ling"), ("红", "hong"), ("梅", "mei"), ("波", "bo"), ("斌", "bin"),
         ("宇", "yu"), ("浩", "hao"), ("凯", "kai"), ("晨", "chen"), ("欣", "xin"),
         ("婷", "ting"), ("雪", "xue"), ("琳", "lin"), ("子", "zi"), ("涵", "han"),
         ("轩", "xuan"), ("博", "bo"), ("思", "si"), ("雨", "yu"), ("佳", "jia"),
         ("喆", "zhe"), ("堃", "kun"), ("珺", "jun"), ("玥", "yue"), ("昇", "sheng"),
         ("燚", "yi"), ("祎", "yi"), ("旻", "min"), ("淏", "hao"), ("焜", "kun")]
ENGLISH = ["john", "mike", "david", "james", "mary", "linda", "kevin", "jason", "tony",
           "peter", "anna", "lisa", "amy", "jack", "tom", "eric", "alex", "grace", "helen",
           "lucy", "sam", "ben", "leo", "smith", "brown", "lee", "wong", "chan"]
TOP_DOMAINS = ["qq.com", "163.com", "126.com", "gmail.com", "sina.com", "hotmail.com",
               "yahoo.com", "sohu.com", "foxmail.com", "outlook.com"]
TOP_WEIGHTS = [33, 13, 7, 5, 3.5, 2.5, 2, 1.5, 1.3, 1.2]   # sums to 70
ROLES = ["admin", "info", "sales", "webmaster", "root"]
TLDS = [".com", ".cn", ".com.cn", ".net", ".net.cn", ".org", ".org.cn", ".edu.cn",
        ".gov.cn", ".cc", ".hk", ".tw", ".jp", ".de", ".co.uk", ".info", ".biz"]
TLD_W = [30, 20, 15, 8, 4, 4, 2, 4, 2, 2, 2, 1, 1, 1, 1, 1, 1]
SYLL = sorted({p for _, p in SURNAMES + GIVEN} | {"tech", "soft", "net", "data", "shop",
              "mall", "cloud", "info", "web", "tong", "da", "xing", "fu", "sheng", "tian"})
N_TAIL = 20000

VALID_RE = re.compile(r"@.*\.")  # basic shape '%@%.%'


def classify(e):
    """The tool's three classes, ASCII letters for [a-z,A-Z]."""
    if not VALID_RE.search(e):
        return "invalid"
    at = e.index("@")
    if (" " in e or "@." in e or "@@" in e or e.startswith("@") or ".." in e[at:]
            or not (e[-1:].isascii() and (e[-1:].isalpha() or e[-1:] == ","))):
        return "error"
    return "valid"


def make_domains(seed):
    rng = random.Random(seed * 7919 + 17)
    tail, seen = [], set(TOP_DOMAINS)
    while len(tail) < N_TAIL:
        label = "".join(rng.choice(SYLL) for _ in range(rng.choice((1, 2, 2, 3))))
        if rng.random() < 0.15:
            label += str(rng.randrange(1, 1000))
        if rng.random() < 0.05:
            label = rng.choice(("mail.", "email.", "vip.")) + label
        d = label + rng.choices(TLDS, TLD_W)[0]
        if d not in seen:
            seen.add(d)
            tail.append(d)
    doms = TOP_DOMAINS + tail
    h = sum(1.0 / (r + 11.0) for r in range(N_TAIL))   # tail: 1/(rank+10), 30% in all
    weights = TOP_WEIGHTS + [30.0 / (r + 11.0) / h for r in range(N_TAIL)]
    cum, s = [], 0.0
    for w in weights:
        s += w
        cum.append(s)
    return doms, cum


class Gen:
    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.doms, self.cum = make_domains(0)   # domain universe is the same for every seed
        self.pool = []                          # earlier addresses, for duplicates

    def domain(self):
        return self.doms[bisect.bisect(self.cum, self.rng.random() * self.cum[-1])]

    def name(self):
        r = self.rng
        s = r.choice(SURNAMES)
        g = [r.choice(GIVEN) for _ in range(r.choice((1, 2, 2)))]
        return s[0] + "".join(c for c, _ in g), s[1], "".join(p for _, p in g)

    def local(self, sur, giv, dom):
        r = self.rng
        x = r.random()
        if dom == "qq.com" and x < 0.7:
            return str(r.randrange(10000, 3999999999))
        if x < 0.02:
            return r.choice(ROLES)
        if x < 0.35:
            return sur + giv + (str(r.randrange(1, 2025)) if r.random() < 0.5 else "")
        if x < 0.55:
            return sur + r.choice(".-_") + giv
        if x < 0.70:
            return giv + "." + sur + (str(r.randrange(60, 100)) if r.random() < 0.3 else "")
        if x < 0.85:
            return sur[0] + giv[0] + str(r.randrange(100, 100000))
        return r.choice(ENGLISH) + r.choice(("", ".", "_")) + r.choice(ENGLISH) + \
            (str(r.randrange(1, 100)) if r.random() < 0.5 else "")

    def recase(self, e):
        r = self.rng
        k = r.randrange(4)
        if k == 0:
            return e.upper()
        at = e.find("@")
        if k == 1:
            return e[:1].upper() + e[1:]
        if k == 2 and at >= 0:
            return e[:at] + e[at:].upper()
        return "".join(c.upper() if r.random() < 0.5 else c for c in e)

    def fresh(self, sur, giv):
        dom = self.domain()
        e = self.local(sur, giv, dom) + "@" + dom
        return self.recase(e) if self.rng.random() < 0.05 else e

    def invalid(self, e):
        r = self.rng
        at = e.index("@")
        k = r.randrange(5)
        if k == 0:
            return e.replace("@", "")                      # no "@"
        if k == 1:
            return e[:at] + " at " + e[at + 1:]            # no "@"
        if k == 2:
            return e[:at + 1] + e[at + 1:].replace(".", "")  # no "." after "@"
        if k == 3:
            return e[:at + 1] + e[at + 1:].split(".")[0]   # truncated domain
        return "1" + str(r.randrange(3000000000, 9999999999))   # a phone number

    def erroneous(self, e):
        r = self.rng
        at = e.index("@")
        k = r.randrange(8)
        if k == 0:
            p = r.randrange(1, len(e))
            return e[:p] + " " + e[p:]                     # blank inside
        if k == 1:
            return e + " "                                 # trailing blank
        if k == 2:
            return e[:at] + "@." + e[at + 1:]
        if k == 3:
            return e[:at] + "@@" + e[at + 1:]
        if k == 4:
            return "@" + e[at + 1:]                        # begins with "@"
        if k == 5:
            return e[:at] + e[at:].replace(".", "..", 1)
        if k == 6:
            return e + str(r.randrange(10))                # ends with a digit
        return e + "."                                     # ends with "."

    def row(self):
        r = self.rng
        name, sur, giv = self.name()
        phone = "1" + r.choice("3456789") + "%09d" % r.randrange(10 ** 9)
        x = r.random()
        pool = self.pool
        if x < 0.15 and pool:
            e = pool[r.randrange(len(pool))]
            if r.random() < 0.34:
                e = self.recase(e)
            return name, e, phone
        e = self.fresh(sur, giv)
        if x < 0.20:
            e = self.invalid(e)
        elif x < 0.25:
            e = self.erroneous(e)
        elif x < 0.252:
            e = ""
        elif x < 0.254:
            e = e + ","
        elif len(pool) < 1 << 18:
            pool.append(e)
        else:
            pool[r.randrange(1 << 18)] = e
        return name, e, phone


def sample_valid(path, k, rng):
    """Reservoir sample of k lower-cased valid addresses from path's email column."""
    out, seen = [], 0
    with open(path, "rb") as f:
        first = f.readline().rstrip(b"\r\n").split(b";")
        col = first.index(b"email") if b"email" in first else 0
        if b"email" not in first:
            f.seek(0)
        for line in f:
            e = line.rstrip(b"\r\n").split(b";")[col].decode("latin-1")
            if classify(e) != "valid":
                continue
            seen += 1
            if len(out) < k:
                out.append(e.lower())
            else:
                j = rng.randrange(seen)
                if j < k:
                    out[j] = e.lower()
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    if len(sys.argv) == 3 and sys.argv[1] == "--list-domains":
        print("\n".join(make_domains(0)[0][:int(sys.argv[2])]))
        return
    ap.add_argument("rows", type=int)
    ap.add_argument("out")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--single-column", action="store_true", help="email column only, no header")
    ap.add_argument("--draw-from", help="file whose valid addresses fill part of the rows")
    ap.add_argument("--draw-share", type=float, default=0.5)
    a = ap.parse_args()

    g = Gen(a.seed)
    drawn = []
    if a.draw_from:
        drawn = sample_valid(a.draw_from, round(a.rows * a.draw_share), random.Random(a.seed + 1000))
    with open(a.out, "wb") as f:
        if a.single_column:
            lines = drawn
            while len(lines) < a.rows:              # no empty lines in a list file
                e = g.row()[1]
                if e:
                    lines.append(e)
            g.rng.shuffle(lines)
            for i in range(0, len(lines), 100000):
                f.write(("\r\n".join(lines[i:i + 100000]) + "\r\n").encode("gbk"))
            return
        f.write(b"name;email;phone\r\n")
        done = 0
        while done < a.rows:
            n = min(100000, a.rows - done)
            f.write("".join("%s;%s;%s\r\n" % g.row() for _ in range(n)).encode("gbk"))
            done += n


if __name__ == "__main__":
    main()
