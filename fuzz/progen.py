#!/usr/bin/env python3
"""Random JOX programs for the differential test of the interpreter.

    fuzz/progen.py SEED [--input FILE]

prints one JOX program, a function of SEED alone, on standard output and
writes the console input for its `leia` commands to FILE.  fuzz/differential
runs two builds of joxrun and joxflow on many of them and compares what they
do byte for byte.

The programs are well typed (a few carry a deliberate parse or check error)
and end quickly: every loop is bounded by a counter that its body cannot
change, and a generation-time bound on the size of every integer and text
keeps products, powers and concatenations from growing without limit.  They
cover the four types, simple variables and vectors (small ones and ones of
256 elements or more), every operator and built-in, integers around the
machine-word limits and beyond, infinities, NaN and tiny reals, every loop
form nested with pare / continue / saia, leia with valid and invalid lines,
and imprima.
About one program in three is "risky": it reads unset variables, indexes out
of range, divides by zero and so on, and most such programs end in a
run-time failure, at one chosen point and in one of many ways.  The first
line of a program, a comment, tells its seed and whether it is risky.

Generated text may hold Latin-1 bytes (in strings and a few names); it is
written as bytes.  Standard library only.
"""
import argparse
import random
import sys

# Grammar levels: an expression of level L may stand where the grammar wants
# level L or above; anything else is put in parentheses (a factor).
FACTOR, POW, MUL, ADD, REL, EXP = range(6)

# Generation-time bounds: bits of an integer and characters of a text that a
# stored value, and any value computed on the way, may reach.
STORE_BITS = 12000
TEMP_BITS = 60000
STORE_CHARS = 4000
TEMP_CHARS = 20000
# Commands a program may run, roughly (joxflow sends a few graph commands for
# each, so this keeps its runs short too).
BUDGET = 1000

P63 = 2 ** 63
# Integers around the word limits and beyond.
EDGE_INTS = [
    0, 1, 2, 3, 7, 10, 255, 256, 65535, 2 ** 31 - 1, 2 ** 31, 2 ** 32 - 1, 2 ** 32,
    3037000499, 3037000500, 2 ** 53, 2 ** 53 + 1, 2 ** 62, P63 - 2, P63 - 1, P63, P63 + 1,
    2 ** 64 - 1, 2 ** 64, 2 ** 64 + 1, 10 ** 18, 10 ** 19, 10 ** 20, 99999999999999999999,
    2 ** 127, 2 ** 128, 10 ** 30,
]
SMALL_INTS = [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 25, 42, 100, 1000, 12345]
EXPONENTS = [0, 1, 2, 3, 4, 5, 7, 8, 10, 13, 31, 32, 33, 62, 63, 64, 65, 100, 127, 128]
# Real literals as written (no exponent syntax: extremes are spelled out).
PLAIN_REALS = [
    "0.0", "1.0", "0.5", "1.5", "2.5", "3.5", "0.1", "0.2", "0.3", "3.14159", "2.678",
    "100.0", "9999999.9", "10000000.0", "0.05", "0.01", "123456.789", "4.9", "0.000001",
    "1234567.0", "12345678.0",
]
REAL_2P53 = "9007199254740993.0"
REAL_MAX = "17976931348623157" + "0" * 292 + ".0"   # the largest double
REAL_INF = "1" + "0" * 309 + ".0"                    # beyond it: infinity
REAL_SUB = "0." + "0" * 322 + "5"                    # a subnormal
REAL_ZERO = "0." + "0" * 400 + "1"                   # underflows to 0.0
REAL_LITS = PLAIN_REALS + [
    REAL_2P53, "9223372036854775807.0", "1" + "0" * 308 + ".0", REAL_MAX, REAL_INF,
    "0." + "0" * 307 + "1", REAL_SUB, REAL_ZERO,
]
STR_LITS = [
    "", "a", "b", "z", "ab", "abc", "abd", "Abc", "ABC", "ola", "ola mundo", " ", "  x  ",
    "0", "123", "-5", "1.5", "a\\nb", "\\t|", "\\q", "\\\\", "\xe7\xe3o", "\xc1gua", "\xff\xe9",
    "linha\num", "fim\\n",
]
NONEMPTY_STRS = [s for s in STR_LITS if s and "\\" not in s and "\n" not in s]

# Console input lines.
INT_LINES_OK = [
    "0", "42", "-7", "+3", "007", "-0", "+0", "9223372036854775807", "9223372036854775808",
    "-9223372036854775808", "-9223372036854775809", "18446744073709551616",
    "1234567890123456789012345678901234567890", "000000000000000000000123", "-000",
]
INT_LINES_BAD = [
    "", "-", "+", " 42", "42 ", "4 2", "4.0", "1e3", "0x10", "abc", "--1", "+-1", "\t5",
    "\xb2", "12a", "1.5", "1\x002",
]
REAL_LINES_OK = [
    "1.5", "-0.25", "+3.25", "0.0", "-0.0", "0.1", "9007199254740993.0",
    "123456789012345678901234567890.5", "1" + "0" * 400 + ".0", "0." + "0" * 400 + "1",
    "-" + "9" * 320 + ".9",
]
REAL_LINES_BAD = [
    "", "3", "3,25", "3.2.5", "1.5e3", " 1.5", "1.5 ", ".", "-.", "+", "abc", "1e5", "inf",
    "NaN", "12.", ".5", "-.5", "+12.",
]
STR_LINES = ["", "palavra", "duas palavras", "  ", "\xe7a\xe7\xe3o", "123", "x\ty", "a" * 60,
             "a\x00b", "x" * 3000]


class Blowup(Exception):
    """A value might grow beyond the generation-time bounds."""


def capped(n, limit):
    if n > limit:
        raise Blowup()
    return n


def zero(env):
    return 0


def join(*envs):
    out = dict(envs[0])
    for e in envs[1:]:
        for k, v in e.items():
            if v > out.get(k, 0):
                out[k] = v
    return out


class Ex:
    """A generated expression: its text, its grammar level, its form ("lit",
    "neglit", "var", "elem" or "other"), its value when it is an integer
    literal, and `size`: env -> bound on the value (bits of an integer,
    characters of a text, 0 otherwise) that checks every part on the way and
    raises Blowup when something may grow too large."""

    __slots__ = ("text", "level", "form", "size", "value")

    def __init__(self, text, level=FACTOR, form="other", size=zero, value=None):
        self.text = text
        self.level = level
        self.form = form
        self.size = size
        self.value = value

    def at(self, level):
        return self.text if self.level <= level else "(" + self.text + ")"


class St:
    """A generated command: its source lines, its cost (commands it runs, at
    most), `effect`: (env, jumps) -> env, the bounds after it runs (the
    bounds where it may jump out of its loop are added to `jumps`), and
    `taken`: what to note once it is part of the program."""

    __slots__ = ("lines", "cost", "effect", "taken")

    def __init__(self, lines, cost=1, effect=None, taken=None):
        self.lines = lines
        self.cost = cost
        self.effect = effect or (lambda env, jumps: env)
        self.taken = taken


def int_lit(v):
    size = max(1, abs(v).bit_length())
    if v < 0:
        return Ex("-" + str(-v), FACTOR, "neglit", lambda env: size, v)
    return Ex(str(v), FACTOR, "lit", lambda env: size, v)


def plain(text, form="lit", size=0):
    """A factor: a literal, or a name when form says so."""
    return Ex(text, FACTOR, form, lambda env: size)


def raw(text, level):
    """Fixed text of the given grammar level."""
    return Ex(text, level, "other")


def name_size(name):
    return lambda env: env.get(name, 1)


def binop(a, op, b, level, size):
    left, right = {EXP: (REL, EXP), REL: (REL, ADD), ADD: (ADD, MUL),
                   MUL: (MUL, POW), POW: (POW, FACTOR)}[level]
    return Ex(a.at(left) + " " + op + " " + b.at(right), level, "other", size)


def sign(op, x):
    inner = x.at(FACTOR)
    gap = " " if inner[0] in "+-" else ""
    return Ex(op + gap + inner, FACTOR, "other", x.size)


def call(name, *args, size=None):
    parts = [a.text for a in args]
    checks = list(args)

    def f(env):
        vals = [a.size(env) for a in checks]
        return size(*vals) if size else 0
    return Ex(name + "(" + ", ".join(parts) + ")", FACTOR, "other", f)


def reads(*exprs):
    """The effect of a command that evaluates exprs and changes nothing."""
    def effect(env, jumps):
        for x in exprs:
            x.size(env)
        return env
    return effect


def seq(*parts, result=None):
    """size of a node whose parts are all evaluated; result(*sizes) or 0."""
    def f(env):
        vals = [p.size(env) for p in parts]
        return result(*vals) if result else 0
    return f


class Var:
    """A declared variable.  role: "gen" (any command may change it),
    "const" (given its value once, at the start), "loop" (para counters and
    loop guards, changed by their loop only), "unset" (never given a value).
    For a vector: `full` when every element has a value, `known` the literal
    indices given one."""

    def __init__(self, name, typ, size=None, role="gen"):
        self.name = name
        self.type = typ
        self.size = size
        self.role = role
        self.full = False
        self.known = []
        self.value = None  # of a const


class Gen:
    """The generator of one program: Gen(seed).program() gives the program
    text and its console input."""

    def __init__(self, seed):
        self.seed = seed
        self.rng = random.Random(seed)
        self.risky = self.chance(0.35)
        # Chance that a leaf of a risky program is one that may fail.
        self.leaf_risk = self.rng.choice([0.0, 0.004, 0.01, 0.02]) if self.risky else 0.0
        self.vars = []
        self.env = {}
        self.out = []          # top-level commands
        self.cost = 0
        self.loop_depth = 0    # loops around the command being generated
        self.branch_depth = 0  # conditionals around it (inside loops or not)
        self.mult = 1          # passes the command being generated may run
        self.input = []        # console input lines with their ends
        self.input_known = True
        self.input_cut = False
        self.fail_at = None
        self.failed = False
        self.ready = set()     # simple variables of role "gen" given a value
        self.filled_large = False

    # ------------------------------------------------------------ randomness
    def chance(self, p):
        return self.rng.random() < p

    def pick(self, seq_):
        return self.rng.choice(seq_)

    def weighted(self, pairs):
        items = [p[0] for p in pairs]
        weights = [p[1] for p in pairs]
        return self.rng.choices(items, weights)[0]

    def risk(self, p=None):
        return self.risky and self.chance(self.leaf_risk if p is None else p)

    # ---------------------------------------------------------- declarations
    def add(self, name, typ, size=None, role="gen"):
        v = Var(name, typ, size, role)
        self.vars.append(v)
        return v

    def declare(self):
        latin = self.chance(0.12)
        for typ, prefix, vprefix in (("int", "n", "vn"), ("real", "x", "vx"),
                                     ("logico", "b", "vb"), ("string", "s", "vs")):
            for i in range(self.rng.randint(1, 4)):
                name = prefix + str(i + 1)
                if latin and i == 0:
                    name = "\xe1" + name
                self.add(name, typ)
            for i in range(self.rng.choice([0, 1, 1, 2] if typ != "int" else [0, 1, 2, 2])):
                self.add(vprefix + str(i + 1), typ, self.vector_size(0.5 if typ == "int" else 0.35))
        self.add("p1", "int", role="const").value = self.rng.randint(1, 9)
        self.add("p2", "int", role="const").value = self.rng.randint(1, 9)
        self.add("m1", "int", role="const").value = -self.rng.randint(1, 9)
        self.add("vp", "int", 3, role="const").value = [self.rng.randint(1, 6) for _ in range(3)]
        for i, text in enumerate(self.rng.sample(NONEMPTY_STRS, 2)):
            self.add("t" + str(i + 1), "string", role="const").value = text
        for d in range(1, 5):
            self.add("c" + str(d), "int", role="loop")
            self.add("g" + str(d), "int", role="loop")
        self.add("vc", "int", 4, role="loop")
        if self.chance(0.2):  # names that differ in case only
            self.add("N1", "real")
            self.add("X1", "string")
        if self.risky:
            for name, typ in (("nu", "int"), ("xu", "real"), ("bu", "logico"), ("su", "string")):
                self.add(name, typ, role="unset")
            self.add("vnu", "int", self.pick([3, 7, 256, 300]), role="unset")
            self.add("vsu", "string", 3, role="unset")
        for v in self.vars:
            if v.type in ("int", "string"):
                self.env[v.name] = 1
            if v.role == "loop":
                self.env[v.name] = 12
            if v.role == "const" and v.type == "int":
                self.env[v.name] = 4

    def vector_size(self, large):
        if self.chance(large):
            return self.pick([256, 256, 257, 300, 300, 300, 511, 1000, 4096, 100000])
        return self.rng.randint(1, 10)

    def decl_lines(self):
        order = list(self.vars)
        self.rng.shuffle(order)
        groups = {}
        for v in order:
            groups.setdefault(v.type, []).append(v)
        lines = []
        kinds = list(groups)
        self.rng.shuffle(kinds)
        for typ in kinds:
            names = [v.name + ("[%d]" % v.size if v.size else "") for v in groups[typ]]
            while names:  # sometimes one type over several declarations
                k = len(names) if self.chance(0.7) else self.rng.randint(1, len(names))
                lines.append(typ + " " + ", ".join(names[:k]) + ";")
                names = names[k:]
        return lines

    def of(self, typ, role="gen", vector=False):
        return [v for v in self.vars
                if v.type == typ and v.role == role and (v.size is not None) == vector]

    def ready_of(self, typ):
        """The simple variables of the type that have been given a value."""
        return [v for v in self.of(typ) if v.name in self.ready]

    # ---------------------------------------------------------------- leaves
    def var_ex(self, v):
        return Ex(v.name, FACTOR, "var", name_size(v.name))

    def readable_vectors(self, typ):
        return [v for v in self.of(typ, vector=True) if v.full or v.known]

    def index_for(self, vec, safe=True):
        """An index expression for vec: in range and at an element with a
        value unless `safe` is false."""
        if not safe:
            return self.bad_index(vec)
        if not vec.full:
            return int_lit(self.pick(vec.known) if vec.known else self.rng.randrange(vec.size))
        r = self.rng.random()
        if r < 0.35:
            return int_lit(self.rng.randrange(vec.size))
        if r < 0.5 and self.loop_depth:
            c = self.pick(["c", "g"]) + str(self.rng.randint(1, self.loop_depth))
            return binop(plain(c, "var", 12), "%", int_lit(vec.size), POW, zero)
        e = self.int_expr(1)
        return binop(e, "%", int_lit(vec.size), POW, seq(e))

    def bad_index(self, vec):
        n = vec.size
        choices = [-1, n, n + 1, -n, 99999999999999999999, -99999999999999999999, P63, -P63,
                   2 ** 32 + 1]
        r = self.rng.random()
        if r < 0.7:
            return int_lit(self.pick(choices))
        if r < 0.85:
            return binop(int_lit(n), "+", self.small_int(), ADD, zero)
        return self.unset_int()

    def elem_ex(self, vec, safe=True):
        idx = self.index_for(vec, safe)
        name = vec.name

        def size(env):
            idx.size(env)
            return env.get(name, 1)
        return Ex(name + "[" + idx.at(ADD) + "]", FACTOR, "elem", size)

    def small_int(self):
        return int_lit(self.pick(SMALL_INTS))

    def unset_int(self):
        unset = self.of("int", "unset")
        if unset:
            return self.var_ex(unset[0])
        return self.small_int()

    def int_leaf(self):
        if self.risk():
            return self.fail_expr("int")
        r = self.rng.random()
        if r < 0.22:
            return self.small_int()
        if r < 0.36:
            v = self.pick(EDGE_INTS)
            return int_lit(-v if self.chance(0.3) else v)
        if r < 0.62:
            pool = self.ready_of("int") + self.of("int", "const") + self.of("int", "loop")
            v = self.pick(pool)
            x = self.var_ex(v)
            return sign("-", x) if self.chance(0.1) else x
        vecs = self.readable_vectors("int") + self.of("int", "const", True)
        if r < 0.82 and vecs:
            x = self.elem_ex(self.pick(vecs))
            return sign(self.pick("-+"), x) if self.chance(0.1) else x
        return self.small_int()

    def real_leaf(self):
        if self.risk():
            return self.fail_expr("real")
        r = self.rng.random()
        if r < 0.3:
            lits = REAL_LITS if self.chance(0.4) else PLAIN_REALS
            x = plain(self.pick(lits))
            return sign("-", x) if self.chance(0.2) else x
        if r < 0.6 and self.ready_of("real"):
            x = self.var_ex(self.pick(self.ready_of("real")))
            return sign(self.pick("-+"), x) if self.chance(0.1) else x
        vecs = self.readable_vectors("real")
        if r < 0.8 and vecs:
            return self.elem_ex(self.pick(vecs))
        if r < 0.9:
            return plain("pi", "other")
        return plain(self.pick(PLAIN_REALS))

    def bool_leaf(self):
        if self.risk():
            return self.fail_expr("logico")
        r = self.rng.random()
        if r < 0.25:
            return plain(self.pick(["verdadeiro", "falso"]))
        vecs = self.readable_vectors("logico")
        if r < 0.75 or not vecs:
            if not self.ready_of("logico"):
                return plain(self.pick(["verdadeiro", "falso"]))
            return self.var_ex(self.pick(self.ready_of("logico")))
        return self.elem_ex(self.pick(vecs))

    def str_leaf(self, nonempty=False):
        """A text argument: a literal, a variable or an element."""
        if self.risk():
            return self.fail_expr("string")
        r = self.rng.random()
        if nonempty or r < 0.3:
            if nonempty and self.chance(0.5):
                return self.var_ex(self.pick(self.of("string", "const")))
            text = self.pick(NONEMPTY_STRS if nonempty else STR_LITS)
            return Ex('"' + text + '"', FACTOR, "lit", lambda env: len(text))
        if r < 0.75:
            return self.var_ex(self.pick(self.ready_of("string") + self.of("string", "const")))
        vecs = self.readable_vectors("string")
        if vecs:
            return self.elem_ex(self.pick(vecs))
        return self.var_ex(self.pick(self.of("string", "const")))

    # ------------------------------------------------------ integer operands
    def divisor(self):
        """A factor that is never zero (or, now and then in a risky
        program, may be)."""
        if self.risk(0.05):
            pool = self.ready_of("int") + self.of("int", "const")
            return self.pick([int_lit(0), raw("(p1 - p1)", FACTOR), self.var_ex(self.pick(pool))])
        r = self.rng.random()
        if r < 0.45:
            v = self.pick([1, 2, 3, 7, 10, 16, 3037000500, P63 - 1, P63, 2 ** 64, 10 ** 20])
            return int_lit(-v if self.chance(0.3) else v)
        if r < 0.7:
            return self.var_ex(self.pick(self.of("int", "const")))
        if r < 0.8:
            return self.elem_ex(self.pick(self.of("int", "const", True)))
        e = self.int_expr(1)
        return Ex("(" + e.at(POW) + " % 7 + 1)", FACTOR, "other", seq(e, result=lambda a: 3))

    def exponent(self):
        """The factor on the right of ^: a small power (or a bad one)."""
        if self.risk(0.05):
            return self.pick([int_lit(-1), self.var_ex(self.of("int", "const")[2]),
                              int_lit(-P63)])
        r = self.rng.random()
        if r < 0.7:
            return int_lit(self.pick(EXPONENTS))
        if r < 0.85:
            return self.var_ex(self.pick(self.of("int", "const")[:2]))
        e = self.int_expr(1)
        return Ex("(" + e.at(POW) + " % 9)", FACTOR, "other", seq(e, result=lambda a: 4))

    def exponent_max(self, x):
        """The largest power an exponent from exponent() may give (a
        negative one fails before anything is computed)."""
        if x.value is not None:
            return max(x.value, 0)
        return 8 if x.form == "other" else 9

    # ------------------------------------------------------------ expressions
    def int_expr(self, d):
        if d <= 0 or self.chance(0.25):
            return self.int_leaf()
        k = self.weighted([("add", 5), ("sub", 4), ("mul", 4), ("div", 2), ("mod", 2),
                           ("pow", 2), ("abs", 1), ("strtam", 1), ("realint", 1),
                           ("realdiv", 1), ("paren", 1), ("sign", 1)])
        if k in ("add", "sub"):
            a, b = self.int_expr(d - 1), self.int_expr(d - 1)
            return binop(a, "+" if k == "add" else "-", b, ADD,
                         seq(a, b, result=lambda x, y: capped(max(x, y) + 1, TEMP_BITS)))
        if k == "mul":
            a, b = self.int_expr(d - 1), self.int_expr(d - 1)
            return binop(a, "*", b, MUL, seq(a, b, result=lambda x, y: capped(x + y, TEMP_BITS)))
        if k == "div":
            a, b = self.int_expr(d - 1), self.divisor()
            return binop(a, "div", b, MUL, seq(a, b, result=lambda x, y: x))
        if k == "mod":
            a, b = self.int_expr(d - 1), self.divisor()
            return binop(a, "%", b, POW, seq(a, b, result=lambda x, y: y))
        if k == "pow":
            if self.chance(0.2):
                base = int_lit(self.pick([0, 1, -1, 2, -2]))
                e = int_lit(self.pick([0, 1, 62, 63, 64, 99999999999999999999])) \
                    if base.value in (0, 1, -1) else self.exponent()
            else:
                base, e = self.int_expr(d - 1), self.exponent()
            m = 1 if base.value in (0, 1, -1) else self.exponent_max(e)
            return binop(base, "^", e, POW,
                         seq(base, e, result=lambda x, y: capped(x * m, TEMP_BITS)))
        if k == "abs":
            a = self.int_expr(d - 1)
            return call("abs", Ex(a.at(ADD), size=a.size), size=lambda x: x)
        if k == "strtam":
            return call("strtam", self.str_leaf(), size=lambda x: 32)
        if k == "realint":
            a = self.safe_real(d - 1)
            return call("realint", Ex(a.at(ADD), size=a.size), size=lambda x: 1100)
        if k == "realdiv":  # div and ^ on reals round to an integer
            a = self.int_expr(d - 1) if self.chance(0.5) else self.safe_real(d - 1)
            if self.chance(0.5):
                b = plain(self.pick(["2.0", "0.5", "3.5", "2.5", "1.5"]))
                return binop(a, "div", b, MUL, seq(a, b, result=lambda x, y: 1100))
            b = plain(self.pick(["2.0", "0.5", "3.0", "1.5"]))
            base = plain(self.pick(["2.5", "1.5", "0.5", "3.5"])) if self.chance(0.7) else a
            return binop(base, "^", b, POW, seq(base, b, result=lambda x, y: 1100))
        if k == "paren":
            a = self.int_expr(d - 1)
            return Ex("(" + a.text + ")", FACTOR, "other", a.size)
        x = self.int_leaf()
        if x.form in ("lit", "var", "elem"):
            return sign(self.pick("-+"), x)
        return x

    def safe_real(self, d):
        """A real that is usually finite (realint of infinity or NaN fails)."""
        if self.risky and self.chance(0.3):
            return self.real_expr(d)
        r = self.rng.random()
        if r < 0.4:
            return plain(self.pick(PLAIN_REALS))
        if r < 0.7 and self.ready_of("real"):
            return self.var_ex(self.pick(self.ready_of("real")))
        a = self.int_expr(d)
        return call("intreal", Ex(a.at(ADD), size=a.size))

    def numeric(self, d):
        return self.int_expr(d) if self.chance(0.5) else self.real_expr(d)

    def real_expr(self, d):
        if d <= 0 or self.chance(0.25):
            return self.real_leaf()
        k = self.weighted([("arith", 6), ("div", 2), ("pow", 2), ("fn", 3), ("abs", 1),
                           ("intreal", 2), ("paren", 1), ("sign", 1)])
        if k == "arith":
            a, b = self.real_expr(d - 1), self.numeric(d - 1)
            if self.chance(0.5):
                a, b = b, a
            op = self.pick(["+", "-", "*"])
            return binop(a, op, b, MUL if op == "*" else ADD, seq(a, b))
        if k == "div":
            a, b = self.numeric(d - 1), self.numeric(d - 1)
            return binop(a, "/", b, MUL, seq(a, b))
        if k == "pow":
            a = self.numeric(d - 1)
            b = plain(self.pick(["2", "3", "0", "10", "0.5", "2.0", "1.5"])) \
                if self.chance(0.6) else self.real_leaf()
            return binop(a, "**", b, POW, seq(a, b))
        if k == "fn":
            fn = self.pick(["sen", "cos", "tan", "exp", "raiz", "log"])
            a = self.numeric(d - 1)
            if fn in ("raiz", "log") and not self.risk(0.1):
                a = call("abs", Ex(a.at(ADD), size=a.size), size=lambda x: x)
            return call(fn, Ex(a.at(ADD), size=a.size))
        if k == "abs":
            a = self.real_expr(d - 1)
            return call("abs", Ex(a.at(ADD), size=a.size))
        if k == "intreal":
            a = self.int_expr(d - 1)
            return call("intreal", Ex(a.at(ADD), size=a.size))
        if k == "paren":
            a = self.real_expr(d - 1)
            return Ex("(" + a.text + ")", FACTOR, "other", a.size)
        x = self.real_leaf()
        if x.form in ("lit", "var", "elem"):
            return sign(self.pick("-+"), x)
        return x

    def bool_expr(self, d):
        if d <= 0 or self.chance(0.2):
            return self.bool_leaf()
        k = self.weighted([("int", 4), ("real", 2), ("str", 2), ("bool", 1), ("and", 2),
                           ("or", 2), ("not", 1), ("paren", 1)])
        if k in ("int", "real", "str"):
            gen = {"int": self.int_expr, "real": self.real_expr,
                   "str": lambda dd: self.str_expr(dd)}[k]
            a, b = gen(d - 1), gen(d - 1)
            op = self.pick(["==", "<>", "<", ">", "<=", ">="])
            return binop(a, op, b, REL, seq(a, b))
        if k == "bool":
            a, b = self.bool_expr(d - 1), self.bool_expr(d - 1)
            return binop(a, "==", b, REL, seq(a, b))
        if k in ("and", "or"):
            a, b = self.bool_expr(d - 1), self.bool_expr(d - 1)
            return binop(a, "&&" if k == "and" else "||", b, EXP, seq(a, b))
        if k == "not":
            a = self.bool_expr(d - 1)
            return Ex("!" + a.at(EXP), EXP, "other", a.size)
        a = self.bool_expr(d - 1)
        return Ex("(" + a.text + ")", FACTOR, "other", a.size)

    def count_arg(self):
        """A count or position of the text built-ins: a literal, a variable
        or an element holding an integer >= 0 (or, in a risky program, now
        and then a negative one or another form)."""
        if self.risk(0.04):
            return self.pick([int_lit(-1), self.var_ex(self.of("int", "const")[2]),
                              self.var_ex(self.pick(self.of("int", "const"))), self.unset_int()])
        r = self.rng.random()
        if r < 0.5:
            return int_lit(self.rng.randint(0, 12))
        if r < 0.65:
            return int_lit(self.pick([P63 - 1, P63, 2 ** 64, 99999999999999999999]))
        if r < 0.85:
            return self.var_ex(self.pick(self.of("int", "const")[:2]))
        if self.loop_depth and self.chance(0.5):
            return plain("g" + str(self.rng.randint(1, self.loop_depth)), "var", 12)
        return self.elem_ex(self.pick(self.of("int", "const", True)))

    def str_expr(self, d):
        if d <= 0 or self.chance(0.3):
            return self.str_leaf()
        k = self.weighted([("concat", 4), ("comp", 2), ("nprim", 2), ("nresto", 2), ("ult", 1),
                           ("copia", 1), ("prim", 1), ("resto", 1), ("elem", 2),
                           ("formatar", 2), ("paren", 1)])
        if k == "concat":
            return call("strconcat", self.str_leaf(), self.str_leaf(),
                        size=lambda a, b: capped(a + b, TEMP_CHARS))
        if k == "comp":
            return call("strcomp", self.str_leaf(), self.str_leaf(), size=lambda a, b: 5)
        if k in ("nprim", "nresto"):
            return call("strnprim" if k == "nprim" else "strnresto", self.str_leaf(),
                        self.count_arg(), size=lambda a, b: a)
        if k in ("ult", "prim", "resto", "copia"):
            fn = {"ult": "strult", "prim": "strprim", "resto": "strresto", "copia": "strcopia"}[k]
            return call(fn, self.str_leaf(nonempty=k != "copia" and not self.risk(0.1)),
                        size=lambda a: a)
        if k == "elem":
            return self.strelem()
        if k == "formatar":
            return self.formatar()
        a = self.str_expr(d - 1)
        return Ex("(" + a.text + ")", FACTOR, "other", a.size)

    def strelem(self):
        if self.risky and self.chance(0.2):
            return call("strelem", self.str_leaf(), self.count_arg(), size=lambda a, b: 1)
        t = self.pick(self.of("string", "const"))
        if self.chance(0.5):
            text = self.pick(NONEMPTY_STRS)
            arg = Ex('"' + text + '"', FACTOR, "lit", lambda env: len(text))
        else:
            text, arg = t.value, self.var_ex(t)
        consts = [c for c in self.of("int", "const")[:2] if c.value < len(text)]
        if consts and self.chance(0.3):
            pos = self.var_ex(self.pick(consts))
        else:
            pos = int_lit(self.rng.randrange(len(text)))
        return call("strelem", arg, pos, size=lambda a, b: 1)

    def formatar(self):
        r = self.rng.random()
        if r < 0.3:
            num = plain(self.pick(PLAIN_REALS))
        elif self.risk(0.3):
            num = self.real_expr(1)
        else:
            a = self.real_expr(1)
            num = call("abs", Ex(a.at(ADD), size=a.size))
        if self.risk(0.1):
            count = self.pick([int_lit(0), int_lit(-2), self.var_ex(self.of("int", "const")[2])])
        elif self.chance(0.7):
            count = int_lit(self.rng.randint(1, 25))
        else:
            count = self.var_ex(self.pick(self.of("int", "const")[:2]))
        return Ex("formatar(" + num.at(ADD) + ", " + count.text + ")", FACTOR, "other",
                  seq(num, count, result=lambda a, b: 60))

    def expr(self, typ, d=None):
        d = self.rng.randint(0, 3) if d is None else d
        return {"int": self.int_expr, "real": self.real_expr, "logico": self.bool_expr,
                "string": self.str_expr}[typ](d)

    # -------------------------------------------------------------- failures
    def fail_expr(self, typ):
        """An expression of type `typ` that fails when it is evaluated (the
        forms that read an element believed unset may not)."""
        forms = []
        unset = self.of(typ, "unset")
        if unset:
            forms.append(lambda: self.var_ex(unset[0]))
        vecs = self.of(typ, vector=True) + self.of(typ, "unset", True)
        if vecs:
            vec = self.pick(vecs)
            forms.append(lambda: self.elem_ex(vec, safe=False))
            unset_idx = [i for i in (0, 1, 2, vec.size - 1) if i not in vec.known]
            if not vec.full and unset_idx:
                forms.append(lambda: Ex("%s[%d]" % (vec.name, self.pick(unset_idx)), FACTOR,
                                        "elem", name_size(vec.name)))
        gens = self.ready_of(typ) or self.of(typ)
        if typ == "int":
            def n():
                return self.var_ex(self.pick(gens))
            forms += [
                lambda: binop(n(), self.pick(["div", "%"]), int_lit(0), MUL, zero),
                lambda: binop(n(), "%", raw("(p1 - p1)", FACTOR), POW, zero),
                lambda: binop(n(), "^", self.pick([int_lit(-1), raw("m1", FACTOR)]), POW, zero),
                lambda: raw("realint(%s)" % self.pick(["1.0 / 0.0", "0.0 / 0.0", "-1.0 / 0.0",
                                                       "exp(1000.0)", "pi - 1.0 / 0.0"]), FACTOR),
                lambda: raw(self.pick(["1.5 div 0.0", "0.0 div 0.0", "1 div 0.0"]), MUL),
                lambda: raw(self.pick(["2.0 ^ 5000", "(0.0 - 2.0) ^ 0.5", "10 ^ 400.0"]), POW),
                lambda: raw("strtam(%s)" % self.pick(["strconcat(t1, t2)", "(t1)", "strcopia(t1)"]),
                            FACTOR),
                lambda: raw(self.pick(["-(p1 + 1)", "+(p1)", "-abs(m1)", "-strtam(t1)", "- -p1"]),
                            FACTOR),
            ]
        elif typ == "real":
            forms += [
                lambda: raw(self.pick(["raiz(-1.0)", "raiz(0.0 - 2.0)", "raiz(0.0 / 0.0)",
                                       "log(-1)", "log(0.0 - 0.5)", "log(0.0 / 0.0)"]), FACTOR),
                lambda: raw(self.pick(["-pi", "+pi", "-(1.5)", "-sen(1.0)", "-intreal(3)"]),
                            FACTOR),
            ]
        elif typ == "string":
            def s():
                return self.pick(["t1", "t2", '"abc"'])
            forms += [
                lambda: raw('strult("")', FACTOR),
                lambda: raw('strprim("")', FACTOR),
                lambda: raw('strresto("")', FACTOR),
                lambda: raw('strelem("", 0)', FACTOR),
                lambda: raw("strnprim(%s, %s)" % (s(), self.pick(["-1", "m1", "-0"])), FACTOR),
                lambda: raw("strnresto(%s, %s)" % (s(), self.pick(["-1", "m1", "(1)"])), FACTOR),
                lambda: raw("strelem(%s, %s)" % (s(), self.pick(
                    ["m1", "99999999999999999999", "9223372036854775808", "-1", "(p1)"])), FACTOR),
                lambda: raw("formatar(%s, %s)" % (
                    self.pick(["-1.5", "0.0 / 0.0", "1.0 / 0.0", "-0.0", "pi", "intreal(-3)"]),
                    self.pick(["2", "0", "m1", "-1"])), FACTOR),
                lambda: raw(self.pick(["strconcat((t1), t2)", "strcomp(strcopia(t1), t2)",
                                       "strprim(-t1)", "-t1", "+t2"]), FACTOR),
            ]
        else:
            forms += [
                lambda: sign(self.pick("-+"), self.var_ex(self.pick(gens))),
                lambda: binop(self.fail_expr("int"), self.pick(["==", "<", ">="]),
                              self.small_int(), REL, zero),
                lambda: binop(raw(self.pick(["falso", "verdadeiro"]), FACTOR),
                              self.pick(["&&", "||"]),
                              binop(self.fail_expr("string"), "==", raw('"a"', FACTOR), REL, zero),
                              EXP, zero),
            ]
        return self.pick(forms)()

    def fail_stmt(self, reading=True):
        """A command that fails when it runs (most of the time); a leia
        only when `reading`."""
        k = self.weighted([("assign", 5), ("operands", 2), ("print", 3), ("cond", 2),
                           ("index", 2), ("step", 2), ("store", 2), ("leia", 3 * reading),
                           ("jump", 1.5), ("memory", 0.15)])
        typ = self.pick(["int", "int", "real", "string", "logico"])
        if k == "assign":
            t = self.pick(self.of(typ))
            return St([t.name + " <- " + self.fail_expr(typ).text + ";"])
        if k == "operands":  # the left failure is the one reported
            a, b = self.fail_expr("int"), self.fail_expr("int")
            op = self.pick(["+", "*", "-"])
            t = self.pick(self.of("int"))
            value = binop(a, op, b, MUL if op == "*" else ADD, zero)
            return St([t.name + " <- " + value.text + ";"])
        if k == "print":
            items = [self.expr(self.pick(["int", "real", "string"]), 1).at(ADD)
                     for _ in range(self.rng.randint(0, 3))]
            items.append(self.fail_expr(self.pick(["int", "real", "string"])).at(ADD))
            items += ['"depois"'] * self.rng.randint(0, 1)
            return St(["imprima " + ", ".join(items) + ";"])
        if k == "cond":
            c = self.fail_expr("logico") if self.chance(0.5) else binop(
                self.fail_expr(typ if typ != "logico" else "int"), "==",
                self.fail_expr(typ if typ != "logico" else "int"), REL, zero)
            if self.chance(0.5):
                return St(["se (" + c.text + ") {", '  imprima "nunca";', "}"])
            return St(["enquanto (" + c.text + ") {", '  imprima "nunca";', "  pare;", "}"])
        if k == "index":
            vec = self.pick(self.of("int", vector=True) + self.of("int", "const", True))
            t = self.pick(self.of("int"))
            return St([t.name + " <- " + self.elem_ex(vec, safe=False).text + ";"])
        if k == "step":
            vecs = self.of("int", vector=True) + self.of("int", "unset", True)
            unset = self.of("int", "unset")
            if vecs and (self.chance(0.6) or not unset):
                target = self.elem_ex(self.pick(vecs), safe=False).text
            else:
                target = (unset or self.of("int"))[0].name
            return St([target + self.pick(["++", "--"]) + ";"])
        if k == "store":  # index first, then value, then the bounds
            vec = self.pick(self.vars_with_vectors())
            idx = self.bad_index(vec) if self.chance(0.6) else self.index_for(vec)
            val = self.fail_expr(vec.type) if self.chance(0.5) else self.expr(vec.type, 1)
            return St([vec.name + "[" + idx.at(ADD) + "] <- " + val.text + ";"])
        if k == "leia":
            return self.bad_leia()
        if k == "jump":
            jump = self.pick(["pare;", "continue;"])
            if self.chance(0.5):
                return St([jump])
            return St(["se (" + self.bool_expr(1).text + ") {", "  " + jump, "}"])
        return St([self.pick(["imprima 2 ^ 99999999999999999999;",
                              "imprima strtam(formatar(1.5, 99999999999));",
                              "n1 <- 3 ^ 100000000000;"])])

    def vars_with_vectors(self):
        return [v for v in self.vars if v.size and v.role in ("gen", "unset")] or \
            self.of("int", "const", True)

    def bad_leia(self):
        r = self.rng.random()
        if r < 0.35 or not self.input_known:
            typ = self.pick(["int", "real"])
            target = self.pick(self.of(typ)).name
            bad = INT_LINES_BAD if typ == "int" else REAL_LINES_BAD
            self.feed(self.pick(bad), self.pick(["\n", "\n", "\r\n", "\r"]))
        elif r < 0.55:
            typ = self.pick(["int", "real"])
            target = self.pick(self.of(typ)).name
            self.input_cut = True  # end of input: an empty line
        else:
            vec = self.pick([v for v in self.vars_with_vectors() if v.type != "logico"] or
                            self.of("int", "const", True))
            typ = vec.type
            ok = {"int": INT_LINES_OK, "real": REAL_LINES_OK}.get(typ, STR_LINES)
            bad = {"int": INT_LINES_BAD, "real": REAL_LINES_BAD}.get(typ, STR_LINES)
            self.feed(self.pick(ok if self.chance(0.5) else bad), "\n")
            target = vec.name + "[" + self.bad_index(vec).at(ADD) + "]"
        return St(["leia " + target + ";"])

    # ----------------------------------------------------------------- input
    def feed(self, line, end="\n"):
        if not self.input_cut:
            self.input.append(line + end)

    def generic_lines(self, n):
        for _ in range(n):
            pool = self.pick([INT_LINES_OK, REAL_LINES_OK, STR_LINES, STR_LINES,
                              INT_LINES_BAD + REAL_LINES_BAD])
            self.feed(self.pick(pool), self.pick(["\n"] * 6 + ["\r\n", "\r"]))

    # -------------------------------------------------------------- commands
    def assign_stmt(self):
        typ = self.pick(["int", "int", "real", "logico", "string"])
        vecs = [v for v in self.of(typ, vector=True)]
        if vecs and self.chance(0.3):
            return self.store_stmt(self.pick(vecs))
        v = self.pick(self.of(typ))
        ready = v.name in self.ready
        x = self.update(v, self.var_ex(v)) if ready and self.chance(0.3) else self.expr(typ)
        name = v.name
        top = not self.loop_depth and not self.branch_depth

        def effect(env, jumps):
            n = x.size(env)
            env = dict(env)
            env[name] = capped(n, STORE_BITS if typ == "int" else STORE_CHARS)
            return env
        return St([name + " <- " + x.text + ";"], 1, effect,
                  (lambda: self.ready.add(name)) if top else None)

    def update(self, v, old):
        """A new value for v computed from its old value `old` (the
        variable or the element itself): the in-place cases."""
        typ = v.type
        if typ == "int":
            k = self.weighted([("+", 4), ("-", 3), ("*", 2), ("div", 1), ("%", 1), ("^", 1),
                               ("neg", 1)])
            if k == "neg":
                return sign("-", old)
            if k in ("div", "%", "^"):
                b = self.exponent() if k == "^" else self.divisor()
                m = self.exponent_max(b)
                size = {"div": lambda x, y: x, "%": lambda x, y: y,
                        "^": lambda x, y: capped(x * m, TEMP_BITS)}[k]
                return binop(old, k, b, POW if k != "div" else MUL, seq(old, b, result=size))
            b = self.int_expr(1)
            if k == "-" and self.chance(0.3):
                old, b = b, old
            grow = (lambda x, y: capped(x + y, TEMP_BITS)) if k == "*" else \
                (lambda x, y: capped(max(x, y) + 1, TEMP_BITS))
            return binop(old, k, b, MUL if k == "*" else ADD, seq(old, b, result=grow))
        if typ == "real":
            k = self.pick(["+", "-", "*", "/", "neg", "fn"])
            if k == "neg":
                return sign("-", old)
            if k == "fn":
                return call(self.pick(["sen", "cos", "exp", "abs"]), old)
            b = self.numeric(1)
            return binop(old, k, b, MUL if k in "*/" else ADD, seq(old, b))
        if typ == "logico":
            k = self.pick(["!", "&&", "||", "=="])
            if k == "!":
                return Ex("!" + old.text, EXP, "other", old.size)
            b = self.bool_expr(1)
            return binop(old, k, b, EXP if k != "==" else REL, seq(old, b))
        k = self.pick(["cat1", "cat2", "self", "nprim", "nresto", "copia"])
        if k == "cat1":
            return call("strconcat", old, self.str_leaf(),
                        size=lambda a, b: capped(a + b, TEMP_CHARS))
        if k == "cat2":
            return call("strconcat", self.str_leaf(), old,
                        size=lambda a, b: capped(a + b, TEMP_CHARS))
        if k == "self":
            return call("strconcat", old, old, size=lambda a, b: capped(a + b, TEMP_CHARS))
        if k == "copia":
            return call("strcopia", old, size=lambda a: a)
        return call("strnprim" if k == "nprim" else "strnresto", old, self.count_arg(),
                    size=lambda a, b: a)

    def store_stmt(self, vec, value=None):
        safe = not self.risk(0.15)
        idx = self.index_for(vec, safe) if vec.full or vec.known or not safe \
            else int_lit(self.rng.randrange(vec.size))
        if value is None and safe and (vec.full or vec.known) and self.chance(0.3):
            name = vec.name
            value = self.update(vec, Ex(name + "[" + idx.at(ADD) + "]", FACTOR, "elem",
                                        name_size(name)))
        x = value or self.expr(vec.type)
        taken = None
        if safe and idx.value is not None and 0 <= idx.value < vec.size \
                and idx.value not in vec.known and not self.loop_depth and not self.branch_depth:
            taken = lambda: vec.known.append(idx.value)  # noqa: E731
        name = vec.name
        typ = vec.type

        def effect(env, jumps):
            idx.size(env)
            n = capped(x.size(env), STORE_BITS if typ == "int" else STORE_CHARS)
            env = dict(env)
            env[name] = max(env.get(name, 0), n)
            return env
        return St([name + "[" + idx.at(ADD) + "] <- " + x.text + ";"], 1, effect, taken)

    def step_stmt(self, vec=None):
        """++ or -- of an int variable, or of an element of vec or of some
        int vector."""
        vecs = self.readable_vectors("int")
        op = self.pick(["++", "--"])
        if vec is not None or (vecs and self.chance(0.35)):
            vec = vec or self.pick(vecs)
            idx = self.index_for(vec)
            name, text = vec.name, vec.name + "[" + idx.at(ADD) + "]" + op + ";"
        else:
            if not self.ready_of("int"):
                return self.print_stmt()
            name = self.pick(self.ready_of("int")).name
            idx, text = None, name + op + ";"

        def effect(env, jumps):
            if idx is not None:
                idx.size(env)
            env = dict(env)
            env[name] = capped(env.get(name, 1) + 1, STORE_BITS)
            return env
        return St([text], 1, effect)

    def print_stmt(self, items=None):
        if items is None:
            items = []
            for _ in range(self.rng.randint(1, 5)):
                items.append(self.expr(self.pick(["int", "int", "real", "string"])))
                if self.chance(0.5):
                    items.append(plain('"' + self.pick([" ", ", ", "|", "\\t"]) + '"'))
            items.append(plain('"\\n"'))
        return St(["imprima " + ", ".join(x.at(ADD) for x in items) + ";"], 1, reads(*items))

    def read_stmt(self):
        """leia of a variable or an element, with the line it reads."""
        fixed = self.input_known and not self.loop_depth and not self.branch_depth
        if fixed or self.risky:
            typ = self.pick(["int", "real", "string"])
        else:
            typ = "string"  # whatever line it meets
        vecs = [v for v in self.of(typ, vector=True) if v.full or v.known]
        if vecs and self.chance(0.35):
            vec = self.pick(vecs)
            idx = self.index_for(vec)
            target, name = vec.name + "[" + idx.at(ADD) + "]", vec.name
        else:
            idx, name = None, self.pick(self.of(typ)).name
            target = name
        if fixed:
            ok = {"int": INT_LINES_OK, "real": REAL_LINES_OK, "string": STR_LINES}[typ]
            bad = {"int": INT_LINES_BAD, "real": REAL_LINES_BAD, "string": STR_LINES}[typ]
            line = self.pick(bad if self.risk(0.15) else ok)
            self.feed(line, "\r" if typ == "string" and self.chance(0.1) else "\n")
        else:
            self.input_known = False
            self.generic_lines(self.rng.randint(1, 3))
        size = 1400 if typ == "int" else 500

        def effect(env, jumps):
            if idx is not None:
                idx.size(env)
            env = dict(env)
            env[name] = max(env.get(name, 0), size) if idx is not None else size
            return env
        return St(["leia " + target + ";"], 1, effect)

    def se_stmt(self):
        cond = self.bool_expr(self.rng.randint(1, 3))
        self.branch_depth += 1
        then, then_st = self.block()
        other, other_st = (self.block() if self.chance(0.45) else (None, None))
        self.branch_depth -= 1
        lines = ["se (" + cond.text + ") {"] + indent(then) + ["}"]
        if other is not None:
            lines[-1] = "} senao {"
            lines += indent(other) + ["}"]

        def effect(env, jumps):
            cond.size(env)
            a = run(then_st, env, jumps)
            b = run(other_st, env, jumps) if other_st is not None else env
            return join(a, b)
        cost = 1 + max(total_cost(then_st), total_cost(other_st or []))
        return St(lines, cost, effect)

    def jump_stmt(self):
        """pare, continue or saia inside a loop, mostly under a condition."""
        jump = self.weighted([("pare;", 4), ("continue;", 4), ("saia;", 0.6)])
        if self.chance(0.2):
            lines = [jump]
        else:
            cond = self.bool_expr(self.rng.randint(0, 2))
            lines = ["se (" + cond.text + ") {", "  " + jump, "}"]
            if self.chance(0.3):
                inner = self.bool_expr(1)
                lines = ["se (" + cond.text + ") {", "  se (" + inner.text + ") {",
                         "    " + jump, "  }", "  imprima \"-\";", "}"]

        def effect(env, jumps):
            jumps.append(env)
            return env
        return St(lines, 2, effect)

    def loop_stmt(self):
        depth = self.loop_depth + 1
        kind = self.weighted([("para", 5), ("enquanto", 3), ("faca", 3)])
        limit = {1: 8, 2: 5, 3: 4, 4: 3}[depth]
        trips = self.rng.randint(0, limit) if kind != "faca" else self.rng.randint(1, limit)
        extra = self.bool_expr(1) if self.chance(0.25) else None
        pre = []
        counter, bits = None, 0
        if kind == "para":
            head, counter, bits = self.para_head(depth, trips, extra)
        else:
            g = "g" + str(depth)
            pre = [g + " <- 0;"]
            test = g + " < " + str(trips)
            if extra is not None:
                test = self.pick([test + " && " + extra.at(REL), extra.at(REL) + " && " + test])
        self.loop_depth += 1
        self.mult *= max(trips, 1)
        body, body_st = self.block()
        self.mult //= max(trips, 1)
        self.loop_depth -= 1
        if kind == "para":
            lines = [head + " {"] + indent(body) + ["}"]
        elif kind == "enquanto":
            lines = pre + ["enquanto (" + test + ") {", "  g%d++;" % depth] + indent(body) + ["}"]
        else:
            lines = pre + ["faca {", "  g%d++;" % depth] + indent(body) + \
                ["} enquanto (" + test + ")"]

        def effect(env, jumps):
            if counter is not None:
                env = dict(env)
                env[counter] = max(env.get(counter, 0), bits)
            if extra is not None:
                extra.size(env)
            states = [env]
            cur = env
            for _ in range(max(trips, 1)):
                inner = []
                cur = run(body_st, cur, inner)
                cur = join(cur, *inner)
                states.append(cur)
            return join(*states)
        cost = 2 + max(trips, 1) * (total_cost(body_st) + 2)
        return St(lines, cost, effect)

    def para_head(self, depth, trips, extra):
        """The head of a para of `trips` passes: (text, counter's name, the
        bits its values take)."""
        c = "c" + str(depth) if self.chance(0.85) else "vc[%d]" % (depth - 1)
        start = self.rng.randint(0, 3)
        if self.chance(0.12):  # values across a word limit
            start += self.pick([P63 - 3, -P63 - 3, 2 ** 64 - 3, 2 ** 32 - 3])
        step = self.weighted([(1, 6), (2, 2), (3, 1)])
        down = self.chance(0.3)
        span = trips * step
        if down:
            init, stop = start + span, start
            test = c + self.pick([" > %d" % stop, " >= %d" % (stop + 1)])
            stepcmd = c + "--" if step == 1 and self.chance(0.7) else "%s <- %s - %d" % (c, c, step)
        else:
            init, stop = start, start + span
            test = c + self.pick([" < %d" % stop, " <= %d" % (stop - 1)])
            stepcmd = c + "++" if step == 1 and self.chance(0.7) else "%s <- %s + %d" % (c, c, step)
        if extra is not None:
            test += " && " + extra.text
        bits = max(abs(init).bit_length(), abs(stop).bit_length(), 12)
        return "para (%s <- %d; %s; %s)" % (c, init, test, stepcmd), c.split("[")[0], bits

    def block(self, n=None):
        """A command list for a body or a branch: (lines, commands)."""
        n = self.rng.randint(1, 4) if n is None else n
        sts = [self.stmt() for _ in range(n)]
        return [line for st in sts for line in st.lines], sts

    def stmt(self):
        pairs = [("assign", 8), ("step", 2), ("print", 3), ("read", 0.7), ("se", 1.5)]
        if self.loop_depth < 3 and self.mult < 40:
            pairs.append(("loop", 1.2 if self.loop_depth else 2))
        if self.loop_depth:
            pairs.append(("jump", 2))
        k = self.weighted(pairs)
        return {"assign": self.assign_stmt, "step": self.step_stmt, "print": self.print_stmt,
                "read": self.read_stmt, "se": self.se_stmt, "loop": self.loop_stmt,
                "jump": self.jump_stmt}[k]()

    # ------------------------------------------------------------ top level
    def top(self, make, tries=8):
        """Adds the command made by make() at the top level, if one within
        the bounds comes out of a few tries."""
        if self.fail_at is not None and len(self.out) >= self.fail_at and not self.failed:
            self.failed = True
            self.out.append(self.fail_stmt())
        for _ in range(tries):
            fed, known = len(self.input), self.input_known
            st = make()
            try:
                env = st.effect(self.env, [])
                if self.cost + st.cost > BUDGET and st.cost > 1:
                    raise Blowup()
            except Blowup:
                del self.input[fed:]  # the lines its leia commands were given
                self.input_known = known
                continue
            self.env = env
            self.cost += st.cost
            self.out.append(st)
            if st.taken:
                st.taken()
            return

    def init_block(self):
        """Gives every variable that is not meant to stay unset a value."""
        for v in self.vars:
            if v.role == "const":
                if v.size:
                    for i, val in enumerate(v.value):
                        self.top(lambda i=i, val=val: St(["vp[%d] <- %d;" % (i, val)]))
                    v.full = True
                elif v.type == "int":
                    self.top(lambda v=v: St([v.name + " <- " + int_lit(v.value).text + ";"]))
                else:
                    self.top(lambda v=v: St([v.name + ' <- "' + v.value + '";']))
        loops = [v.name + " <- 0;" for v in self.vars if v.role == "loop" and v.size is None]
        self.top(lambda: St(loops, len(loops)))
        gens = [v for v in self.vars if v.role == "gen"]
        self.rng.shuffle(gens)
        for v in gens:
            if v.size is None:
                self.top(lambda v=v: self.init_simple(v))
            else:
                self.init_vector(v)

    def init_simple(self, v):
        x = self.expr(v.type, self.rng.randint(0, 2)) if self.chance(0.5) else {
            "int": lambda: self.int_leaf() if self.chance(0.5) else self.small_int(),
            "real": lambda: plain(self.pick(PLAIN_REALS)),
            "logico": lambda: plain(self.pick(["verdadeiro", "falso"])),
            "string": lambda: plain('"' + self.pick(STR_LITS) + '"'),
        }[v.type]()
        name = v.name
        limit = STORE_BITS if v.type == "int" else STORE_CHARS

        def effect(env, jumps):
            env = dict(env)
            env[name] = capped(x.size(env), limit)
            return env
        return St([name + " <- " + x.text + ";"], 1, effect, lambda: self.ready.add(name))

    def init_vector(self, v):
        n = v.size
        # One large vector at most is filled by a loop (a long run for joxflow).
        fill = n <= 10 or (n <= 300 and not self.filled_large and self.chance(0.6))
        if self.risky and self.chance(0.2):
            fill = False
        if fill:
            self.filled_large = self.filled_large or n > 10
            value = self.pick({
                "int": ["c1 * %d - %d" % (self.rng.randint(1, 9), self.rng.randint(0, 500)),
                        "c1 * 9223372036854775807", "c1 ^ 3 - 1000", "-c1",
                        "9223372036854775807 - c1", "c1 - 9223372036854775807 - 1"],
                "real": ["intreal(c1) * 1.5", "intreal(c1) / 3.0", "1.0 / intreal(c1)", "pi"],
                "logico": ["c1 % 2 == 0", "c1 > 3", "verdadeiro"],
                "string": ['strnprim("abcdefghij", c1)', '"x"', "formatar(intreal(c1), 1)"] +
                          (['strelem("abcdefghij", c1)'] if n <= 10 else []),
            }[v.type])
            lines = ["para (c1 <- 0; c1 < %d; c1++) {" % n,
                     "  %s[c1] <- %s;" % (v.name, value), "}"]
            size = 200 if v.type == "int" else 20
            name = v.name

            def effect(env, jumps):
                env = dict(env)
                env[name] = size
                return env
            self.top(lambda: St(lines, 2 * n + 2 if n <= 10 else 2, effect))
            v.full = True
            return
        picks = sorted(set([0, n - 1] + [self.rng.randrange(n) for _ in range(3)] +
                           ([255, 256] if n > 256 else [])))
        for i in picks:
            self.top(lambda i=i: self.store_literal(v, i, self.edge_value(v.type)))

    def store_literal(self, vec, i, x):
        name = vec.name

        def effect(env, jumps):
            env = dict(env)
            env[name] = max(env.get(name, 0), x.size(env))
            return env
        return St(["%s[%d] <- %s;" % (name, i, x.text)], 1, effect,
                  lambda: vec.known.append(i))

    def edge_value(self, typ):
        if typ == "int":
            return int_lit(self.pick([0, 7, -7, P63 - 1, -(P63 - 1), -P63, P63, 2 ** 70, -1]))
        return self.expr(typ, 1)

    # ---------------------------------------------------------- feature blocks
    def block_random(self):
        for _ in range(self.rng.randint(3, 8)):
            self.top(self.stmt)
        if self.chance(0.3):
            self.top(self.dead_code)
        if self.chance(0.15):
            self.top(self.deep)

    def dead_code(self):
        """A failing command where it never runs: nothing may fail early."""
        body = indent(self.fail_stmt(reading=False).lines)
        return St(self.pick([
            ["se (falso) {"] + body + ["}"],
            ["se (p1 < 0) {"] + body + ['} senao {', '  imprima "vivo\\n";', "}"],
            ["enquanto (falso) {"] + body + ["}"],
            ["para (c1 <- 0; c1 < 0; c1++) {"] + body + ["}"],
            ["g1 <- 0;", "enquanto (g1 < 1) {", "  g1++;", "  pare;"] + body + ["}"],
        ]), 4)

    def deep(self):
        """An expression nested a few hundred levels deep."""
        k = self.rng.randint(100, 400)
        n = self.pick(self.of("int")).name
        form = self.pick([0, 1, 3] + [2] * self.risky)
        if form == 0:
            text = "(" * k + "1" + " + 1)" * k
        elif form == 1:
            text = "abs(" * k + "m1" + ")" * k
        elif form == 2:
            text = "-(" * k + "1" + ")" * k  # fails: a sign before parentheses
        else:
            text = "p1" + " - 1 + 1" * k
        lines = [n + " <- " + text + ";", "imprima " + n + ', "\\n";']
        if self.chance(0.5):
            b = self.pick(self.of("logico")).name
            lines += [b + " <- " + "!(" * k + "verdadeiro" + ")" * k + ";",
                      "se (" + b + ") {", '  imprima "par\\n";', "}"]
        return St(lines, 4, self.sets(n, 16))

    def block_words(self):
        """Integers across the word limits: steps, products, div and %."""
        def steps(target, value):
            # Mostly towards the nearest limit, so that it is crossed.
            toward = "++" if value > 0 else "--"
            lines = [target + " <- " + value_text(value) + ";"]
            for _ in range(self.rng.randint(1, 4)):
                op = toward if self.chance(0.7) else self.pick(["++", "--"])
                lines.append(target + op + ";")
                lines.append("imprima " + target + ', " ", ' + target + ' * 2, " ";')
            lines[-1] = lines[-1][:-len('" ";')] + '"\\n";'
            return lines

        def value_text(v):
            if v == -P63 and self.chance(0.5):
                return "0 - 9223372036854775807 - 1"
            return int_lit(v).text
        starts = [P63 - 2, P63 - 1, P63, -(P63 - 2), -(P63 - 1), -P63, 2 ** 64 - 1, -(2 ** 64)]
        n = self.pick(self.of("int")).name
        lines = steps(n, self.pick(starts))
        self.top(lambda: St(lines, len(lines), self.sets(n, 70)))
        vecs = self.readable_vectors("int")
        if vecs:
            words = [v for v in vecs if v.size >= 256]  # held as machine words
            vec = self.pick(words if words and self.chance(0.7) else vecs)
            el = vec.name + "[" + self.index_for(vec).at(ADD) + "]"
            body = steps(el, self.pick(starts[:6]))
            self.top(lambda: St(body, len(body), self.sets(vec.name, 70, weak=True)))
        for _ in range(self.rng.randint(2, 5)):
            a = int_lit(self.pick(EDGE_INTS) * self.pick([1, -1]))
            b = int_lit(self.pick(EDGE_INTS) * self.pick([1, -1]))
            op = self.pick(["+", "-", "*", "div", "%", "*", "-"])
            if op in ("div", "%") and b.value == 0:
                b = int_lit(-1)
            e = binop(a, op, b, POW if op == "%" else MUL if op in ("*", "div") else ADD, zero)
            if self.chance(0.3):
                e = binop(e, "-", binop(a, "*", b, MUL, zero), ADD, zero)
            self.top(lambda e=e: St(["imprima " + e.at(ADD) + ', "\\n";']))
        self.top(lambda: St(["imprima " + self.pick([
            "(0 - 9223372036854775807 - 1) div -1", "(0 - 9223372036854775807 - 1) % -1",
            "-9223372036854775808 div -1", "-9223372036854775808 * -1", "abs(-9223372036854775808)",
            "2 ^ 63 - 1 + 1", "(2 ^ 64 + 5) % 2 ^ 32",
            "3037000500 * 3037000500 - 3037000500 * 3037000499",
            "realint(intreal(9223372036854775807))", "intreal(2 ^ 1100)", "intreal(0 - 2 ^ 64 - 1)",
            "-9223372036854775808 - 1",
            "9223372036854775807 + 9223372036854775807 - 18446744073709551614",
        ]) + ', "\\n";']))

    def sets(self, name, size, weak=False):
        def effect(env, jumps):
            env = dict(env)
            env[name] = max(env.get(name, 0), size) if weak else size
            return env
        return effect

    def block_reals(self):
        """Infinities, NaN, -0.0, tiny and huge reals, and their printing."""
        x = self.pick(self.of("real")).name
        value = self.pick(["1.0 / 0.0", "-1.0 / 0.0", "0.0 / 0.0", "-0.0", "exp(1000.0)",
                           "intreal(2 ^ 2000)", REAL_INF, REAL_SUB, REAL_ZERO, REAL_MAX,
                           "(1.0 / 0.0) - (1.0 / 0.0)", "sen(1.0 / 0.0)", "log(0)",
                           "2.0 ** 1024", "0.5 ** 1100", "(0.0 - 8.0) ** (1.0 / 3.0)",
                           "10.0 ** 308 * 10.0", "0.1 + 0.2", "1.0 - 0.9"])
        lines = [x + " <- " + value + ";", "imprima " + x + ', " ", -' + x + ', " ", ' + x +
                 " * 2.0, " + '" ", ' + x + ' / 3.0, "\\n";']
        cmp_ = self.pick(["==", "<>", "<", ">", "<=", ">="])
        lines += ["se (" + x + " " + cmp_ + " " + x + ") {", '  imprima "sim\\n";',
                  "} senao {", '  imprima "nao\\n";', "}"]
        self.top(lambda: St(lines, 5))
        for _ in range(self.rng.randint(1, 4)):
            e = self.real_expr(self.rng.randint(1, 3))
            self.top(lambda e=e: self.print_stmt([e, plain('"\\n"')]))
        for _ in range(self.rng.randint(0, 2)):
            self.top(lambda: St(["imprima " + self.pick([
                "realint(2.5)", "realint(3.5)", "realint(-2.5)", "realint(0.5)",
                "7.0 div 2.0", "5.0 div 2.0", "-7.0 div 2.0", "7 div 2.0", "7.5 div 2",
                "2 ^ 0.5", "2.0 ^ 3", "(0.0 - 2.0) ^ 3", "2 ** -1", "0 ** 0", "0.0 ** -1.5",
                "intreal(9007199254740993)", "intreal(18446744073709551615)",
                "realint(" + REAL_MAX + ")", "formatar(" + REAL_2P53 + ", 3)",
                "formatar(0.05, 3)", "formatar(10000000.0, 2)", "formatar(2.678, 2)",
                "formatar(intreal(5), 2)", "abs(-0.0)", "-0.0 + 0.0", "0.0 * -1.0",
            ]) + ', "\\n";']))

    def block_strings(self):
        """The text built-ins on literals, variables and elements."""
        def show():
            s = self.pick(self.of("string")).name
            x = self.str_expr(self.rng.randint(1, 2))
            return St([s + " <- " + x.text + ";",
                       'imprima "[", %s, "] ", strtam(%s), "\\n";' % (s, s)],
                      2, self.sets_from(s, x))
        for _ in range(self.rng.randint(2, 6)):
            self.top(show)
        if self.chance(0.5):
            a, b = self.str_leaf(), self.str_leaf()
            op = self.pick(["==", "<>", "<", ">", "<=", ">="])
            self.top(lambda: St(["se (" + a.text + " " + op + " " + b.text + ") {",
                                 '  imprima "v";', "} senao {", '  imprima "f";', "}",
                                 "imprima strcomp(" + a.text + ", " + b.text + "), \"\\n\";"], 4,
                                reads(a, b)))

    def sets_from(self, name, x):
        def effect(env, jumps):
            env = dict(env)
            env[name] = capped(x.size(env), STORE_CHARS)
            return env
        return effect

    def block_vectors(self):
        """Stores and steps on vectors, large ones included."""
        vecs = [v for v in self.vars if v.size and v.role == "gen"]
        if not vecs:
            return self.block_random()
        for _ in range(self.rng.randint(2, 6)):
            vec = self.pick(vecs)
            if vec.type == "int" and self.chance(0.4) and (vec.full or vec.known):
                self.top(lambda vec=vec: self.step_stmt(vec))
            else:
                x = self.edge_value(vec.type) if self.chance(0.4) else None
                self.top(lambda vec=vec, x=x: self.store_stmt(vec, x))
        readable = [v for v in vecs if (v.full or v.known) and v.type != "logico"]
        if readable:
            items = []
            for _ in range(self.rng.randint(1, 4)):
                items += [self.elem_ex(self.pick(readable)), plain('" "')]
            self.top(lambda: self.print_stmt(items + [plain('"\\n"')]))

    def block_loops(self):
        for _ in range(self.rng.randint(1, 3)):
            self.top(self.loop_stmt)

    def block_input(self):
        for _ in range(self.rng.randint(1, 4)):
            self.top(self.read_stmt, tries=1)
        self.top(lambda: self.print_stmt())

    def dump(self):
        """Prints every variable that holds a value, so that a value that
        went wrong shows."""
        items = []
        for v in self.vars:
            if v.role in ("unset",) or v.type == "logico":
                continue
            if v.size is None:
                if v.role == "const" or v.name in self.ready:
                    items += [plain(v.name, "var"), plain('" "')]
            elif v.full or v.known:
                for i in (v.known or [0, v.size - 1])[:3]:
                    items += [plain("%s[%d]" % (v.name, i), "elem"), plain('" "')]
        bools = [v.name for v in self.ready_of("logico")]
        lines = ["imprima " + ", ".join(x.text for x in items) + ', "\\n";'] if items else []
        for b in bools:
            lines += ["se (" + b + ") {", '  imprima "V";', "} senao {", '  imprima "F";', "}"]
        self.top(lambda: St(lines, 3))

    # -------------------------------------------------------------- program
    def program(self):
        self.declare()
        self.init_block()
        blocks = [self.block_random, self.block_words, self.block_words, self.block_reals,
                  self.block_strings, self.block_vectors, self.block_loops, self.block_loops,
                  self.block_input]
        chosen = [self.pick(blocks) for _ in range(self.rng.randint(2, 5))]
        if self.risky:
            self.fail_at = len(self.out) + self.rng.randint(0, 12)
        for b in chosen:
            b()
        if self.risky and not self.failed:
            self.failed = True
            self.out.append(self.fail_stmt())
        if self.chance(0.04):
            self.out.insert(self.rng.randint(0, len(self.out)), St(["saia;"]))
        if self.chance(0.75):
            self.dump()
        decls = self.decl_lines()
        body = [line for st in self.out for line in st.lines]
        if self.chance(0.04):
            decls, body = self.spoil(decls, body)
        if not self.input_cut:
            self.generic_lines(self.rng.randint(0, 4))
            if self.input and self.chance(0.15):
                self.input[-1] = self.input[-1].rstrip("\r\n")
        name = "fuzz" + str(self.rng.randint(0, 999))
        for _ in range(self.rng.choice([0, 0, 0, 1, 3])):  # comments change nothing
            body.insert(self.rng.randint(0, len(body)),
                        self.pick(["# comentario", "/* um\n   bloco */", "/**/"]))
        head = "# progen %d: %s" % (self.seed, "risky" if self.risky else "safe")
        end = "\r\n" if self.chance(0.03) else "\n"
        text = end.join([head, "prog " + name] + decls + body + ["fimprog", ""])
        return text, "".join(self.input)

    def spoil(self, decls, body):
        """A deliberate parse or check error."""
        k = self.rng.randint(0, 13)
        where = self.rng.randint(0, len(body))
        bad = [
            "n1 <- 1.5;", "x1 <- 1;", "imprima b1;", "leia b1;", "se (n1) { }", "zz <- 1;",
            "n1 <- s1 + 1;", "para (c1 <- 0; c1 < 3; c2++) { }", "n1 <- 1.5 % 2;",
            "b1 <- verdadeiro <> falso;", "n1 <- ;", "imprima 1.;", "n1 <- n1 @ 2;",
        ]
        if k < len(bad):
            return decls, body[:where] + [bad[k]] + body[where:]
        return decls + [self.pick(["int zz[0];", "real n1;", "string vq[99999999999];"])], body


def indent(lines):
    return ["  " + line for line in lines]


def run(sts, env, jumps):
    for st in sts:
        env = st.effect(env, jumps)
    return env


def total_cost(sts):
    return sum(st.cost for st in sts)


def generate(seed):
    """(program, input) as bytes for SEED."""
    text, stdin = Gen(seed).program()
    return text.encode("latin-1"), stdin.encode("latin-1")


def main():
    ap = argparse.ArgumentParser(description="Print a random JOX program.")
    ap.add_argument("seed", type=int)
    ap.add_argument("--input", metavar="FILE", help="where to write the console input")
    args = ap.parse_args()
    program, stdin = generate(args.seed)
    if args.input:
        with open(args.input, "wb") as f:
            f.write(stdin)
    sys.stdout.buffer.write(program)


if __name__ == "__main__":
    main()
