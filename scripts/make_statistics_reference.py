#!/usr/bin/python3
"""Prints the reference figures of tests/evaluate as JSON.

Usage: scripts/make_statistics_reference.py > tests/evaluate/data/statistics_reference.json

The figures are computed apart from the library under test: binomial tails
exactly with rational numbers (for n too large for that, in 60-digit decimals
from the exact binomial coefficient; SciPy's incomplete beta function checks
both), chi-square tails with SciPy's
chdtrc checked against a 150-digit series, Wilson intervals in 50-digit
decimals, and the randomness tables with exact fractions. Needs Debian's
python3-scipy.
"""

import functools
import json
import math
import sys
from decimal import Decimal, getcontext
from fractions import Fraction
from pathlib import Path

from scipy import special

Z95 = 1.959963984540054
ROOT = Path(__file__).resolve().parent.parent
SAMPLE_HISTORY = ROOT / "data" / "sample-history.csv"
EXACT_LIMIT = 20000  # largest n summed exactly


def check(label, value, reference, tolerance):
    if reference == 0.0:
        ok = value == 0.0
    else:
        ok = abs(value - reference) <= tolerance * abs(reference)
    if not ok:
        sys.exit(f"{label}: {value!r} disagrees with {reference!r}")


# --- Wilson interval --------------------------------------------------------


def wilson(hits, n, z):
    if n == 0:
        return 0.0, 1.0
    getcontext().prec = 50
    rate = Decimal(hits) / Decimal(n)
    z = Decimal(z)
    z2 = z * z
    denominator = 1 + z2 / n
    centre = (rate + z2 / (2 * n)) / denominator
    half = z * (rate * (1 - rate) / n + z2 / (4 * n * n)).sqrt() / denominator
    return float(max(Decimal(0), centre - half)), float(min(Decimal(1), centre + half))


# --- binomial tails ---------------------------------------------------------


@functools.lru_cache(maxsize=None)
def binomial_terms(n, p):
    """Exact P(X = k) for k = 0..n as integers over a common denominator.

    p is taken as the nearest fraction with a denominator up to 10^6 (0.1 as
    1/10): it differs from the double by under 1e-17, which moves the tails
    here by under 1e-12 relative and keeps the integers small.
    """
    p = Fraction(p).limit_denominator(10**6)
    a, b = p.numerator, p.denominator
    q = b - a
    q_powers = [1]
    for _ in range(n):
        q_powers.append(q_powers[-1] * q)
    terms = []
    binom, a_power = 1, 1
    for k in range(n + 1):
        terms.append(binom * a_power * q_powers[n - k])
        binom = binom * (n - k) // (k + 1)
        a_power *= a
    return terms, b**n


def exact_lower(r, n, p):  # P(X <= r)
    terms, denominator = binomial_terms(n, p)
    return float(Fraction(sum(terms[: min(r, n) + 1]), denominator))


def exact_upper(h, n, p):  # P(X >= h)
    terms, denominator = binomial_terms(n, p)
    return float(Fraction(sum(terms[h:]), denominator))


def decimal_ln_of_integer(x):
    shift = max(0, x.bit_length() - 240)
    return Decimal(x >> shift).ln() + shift * Decimal(2).ln()


def decimal_tail(start, n, p, step):
    """P(X = start) + P(X = start + step) + ... in 60 digits, step +1 or -1.

    P(X = start) from the exact binomial coefficient's logarithm, the others
    by the ratio of neighbouring terms, until they no longer count.
    """
    getcontext().prec = 60
    p = Fraction(p).limit_denominator(10**6)
    a, q, b = p.numerator, p.denominator - p.numerator, p.denominator
    log_first = (decimal_ln_of_integer(math.comb(n, start)) + start * decimal_ln_of_integer(a)
                 + (n - start) * decimal_ln_of_integer(q) - n * decimal_ln_of_integer(b))
    term = total = Decimal(1)
    k = start
    while 0 <= k + step <= n and term >= total * Decimal(10) ** -45:
        if step > 0:
            term = term * (n - k) * a / ((k + 1) * q)
        else:
            term = term * k * q / ((n - k + 1) * a)
        total += term
        k += step
    return float(log_first.exp() * total)


def beta_upper(h, n, p):  # P(X >= h) = I_p(h, n - h + 1), 1 <= h <= n
    return float(special.betainc(h, n - h + 1, p))


def beta_lower(r, n, p):  # P(X <= r) = I_{1-p}(n - r, r + 1), r < n
    return float(special.betainc(n - r, r + 1, 1.0 - p))


def upper_tail(h, n, p):
    if h == 0:
        return 1.0
    if h > n:
        return 0.0
    if n > EXACT_LIMIT:
        value = decimal_tail(h, n, p, +1)
        check(f"betainc upper {h} {n} {p}", beta_upper(h, n, p), value, 1e-6)
        return value
    value = exact_upper(h, n, p)
    if 0.0 < p < 1.0 and value > 1e-290:
        check(f"betainc upper {h} {n} {p}", beta_upper(h, n, p), value, 1e-10)
        check(f"decimal upper {h} {n} {p}", decimal_tail(h, n, p, +1), value, 1e-13)
    return value


def lower_tail(r, n, p):
    if r >= n:
        return 1.0
    if n > EXACT_LIMIT:
        value = decimal_tail(r, n, p, -1)
        check(f"betainc lower {r} {n} {p}", beta_lower(r, n, p), value, 1e-6)
        return value
    return exact_lower(r, n, p)


def two_sided(r, n, p):
    return min(1.0, 2.0 * min(lower_tail(r, n, p), upper_tail(r, n, p)))


# --- chi-square tail --------------------------------------------------------


def decimal_pi():
    getcontext().prec += 10

    def arctan_inverse(x):
        x = Decimal(x)
        total, power, k = Decimal(0), 1 / x, 0
        while True:
            term = power / (2 * k + 1) * (-1 if k % 2 else 1)
            if abs(term) < Decimal(10) ** -(getcontext().prec + 2):
                break
            total += term
            power /= x * x
            k += 1
        return total

    pi = 4 * (4 * arctan_inverse(5) - arctan_inverse(239))
    getcontext().prec -= 10
    return +pi


def gamma_of_half_integer(a2):
    """Gamma(a2 / 2) for a whole a2 >= 1."""
    if a2 % 2 == 0:
        return Decimal(math.factorial(a2 // 2 - 1))
    k = (a2 - 1) // 2  # Gamma(k + 1/2) = (2k)! sqrt(pi) / (4^k k!)
    return Decimal(math.factorial(2 * k)) * decimal_pi().sqrt() / (4**k * math.factorial(k))


def series_chi_square_tail(chi2, df):
    """Q(df/2, chi2/2) = 1 - P, P by its power series in 150 digits."""
    getcontext().prec = 150
    a = Decimal(df) / 2
    x = Decimal(chi2) / 2
    term = Decimal(1) / a
    total = term
    n = 1
    while term > total * Decimal(10) ** -145:
        term = term * x / (a + n)
        total += term
        n += 1
    lower = (a * x.ln() - x).exp() * total / gamma_of_half_integer(df)
    return float(1 - lower)


def chi_square_tail(chi2, df):
    if chi2 <= 0.0:
        return 1.0
    value = float(special.chdtrc(df, chi2))
    check(f"chi-square {chi2} {df}", value, series_chi_square_tail(chi2, df), 1e-11)
    return value


# --- Holm -------------------------------------------------------------------


def holm(p):
    m = len(p)
    order = sorted(range(m), key=lambda i: p[i])
    adjusted = [0.0] * m
    running = 0.0
    for rank, i in enumerate(order):
        scaled = min(1.0, float((m - rank) * Fraction(p[i])))
        running = max(running, scaled)
        adjusted[i] = running
    return adjusted


# --- randomness -------------------------------------------------------------


def digit(value):
    return int(value) if value == int(value) and 0 <= value <= 9 else None


def test_against_uniform(observed, df):
    total = sum(observed)
    if total == 0:
        return {"chi2": 0.0, "df": df, "p": 1.0}
    expected = Fraction(total, len(observed))
    chi2 = float(sum((c - expected) ** 2 / expected for c in observed))
    return {"chi2": chi2, "df": df, "p": chi_square_tail(chi2, df)}


def test_independence(table):
    rows = [sum(table[a][b] for b in range(10)) for a in range(10)]
    columns = [sum(table[a][b] for a in range(10)) for b in range(10)]
    total = sum(rows)
    if total == 0:
        return {"chi2": 0.0, "df": 81, "p": 1.0}
    chi2 = Fraction(0)
    for a in range(10):
        for b in range(10):
            expected = Fraction(rows[a] * columns[b], total)
            if expected:
                chi2 += (table[a][b] - expected) ** 2 / expected
    chi2 = float(chi2)
    return {"chi2": chi2, "df": 81, "p": chi_square_tail(chi2, 81)}


def randomness(values):
    positions = []
    for series in values:
        digits = [digit(v) for v in series]
        counts = [sum(1 for d in digits if d == k) for k in range(10)]
        pairs = [[0] * 10 for _ in range(10)]
        serial_pairs = 0
        for i in range(0, len(digits) - 1, 2):
            a, b = digits[i], digits[i + 1]
            if a is not None and b is not None:
                pairs[a][b] += 1
                serial_pairs += 1
        trials = max(0, len(digits) - 1)
        repeats = sum(
            1 for i in range(1, len(digits)) if digits[i] is not None and digits[i] == digits[i - 1]
        )
        positions.append(
            {
                "counts": counts,
                "frequency": test_against_uniform(counts, 9),
                "serial_pairs": serial_pairs,
                "serial": test_against_uniform([c for row in pairs for c in row], 99),
                "repeat_trials": trials,
                "repeats": repeats,
                "repeat_p": two_sided(repeats, trials, 0.1),
            }
        )
    pair_tests = []
    for a, b in [(0, 1), (0, 2), (0, 3), (1, 2), (1, 3), (2, 3)]:
        table = [[0] * 10 for _ in range(10)]
        for x, y in zip(values[a], values[b]):
            if digit(x) is not None and digit(y) is not None:
                table[digit(x)][digit(y)] += 1
        pair_tests.append({"positions": [a, b], "test": test_independence(table)})
    return {"positions": positions, "pairs": pair_tests}


def read_history(path):
    """The four value series of a history: field 4 padded to four characters."""
    lines = path.read_bytes().decode("cp932").split("\n")[1:]
    if lines and lines[-1] == "":
        lines.pop()
    values = [[], [], [], []]
    for line in lines:
        fields, field, quoted = [], "", False
        for c in line.replace("\r", ""):
            if c == '"':
                quoted = not quoted
            elif c == "," and not quoted:
                fields.append(field)
                field = ""
            else:
                field += c
        fields.append(field)
        result = fields[3].rjust(4, "0")
        for p in range(4):
            values[p].append(ord(result[p]) - 48)
    return values


SMALL_TABLE = [
    [3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3, 2, 3, 8, 4, 6, 2, 6, 4],
    [2, 7, 1, 8, 2, 8, 1, 8, 2, 8, 4, 5, 9, 0, 4, 5, 2, 3, 5, 3, 6, 0, 2, 8],
    [1, 4, 1, 4, 2, 1, 3, 5, 6, 2, 3, 7, 3, 0, 9, 5, 0, 4, 8, 8, 0, 1, 6, 8],
    [0, 0, 0, 7, 7, 7, 1, 2, 1, 2, 3, 3, 9, 9, 9, 0, 5, 5, 4, 4, 4, 6, 6, 1],
]
# Odd length, with values of non-digit characters (' ' is -16, 'A' is 17) and
# values that are no digits (10, -1, 2.5).
MIXED_TABLE = [
    [1, 1, -16, 1, 1, 2, 2, 2, 17, 3, 4, 5, 6],
    [9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0, 10],
    [5, 5, 5, -1, 5, 5, 2.5, 2.5, 0, 1, 2, 3, 4],
    [-16, -16, -16, -16, 0, 0, 1, 1, 2, 2, 3, 3, 3],
]


def main():
    wilson_cases = [(0, 0, Z95), (0, 1, Z95), (1, 1, Z95), (0, 10, Z95), (3, 10, Z95),
                    (10, 10, Z95), (700, 7054, Z95), (1, 1000000, Z95),
                    (100000, 1000000, Z95), (2, 7, 1.0), (2, 7, 2.5758293035489004)]
    binomial_cases = [(0, 0, 0.1), (0, 5, 0.1), (1, 0, 0.1), (1, 1, 0.1), (3, 10, 0.1),
                      (10, 10, 0.1), (30, 30, 0.1), (300, 300, 0.1), (2, 10, 0.0), (10, 10, 1.0),
                      (7, 20, 0.3), (700, 7054, 0.1), (760, 7054, 0.1), (1500, 7054, 0.1),
                      (3000, 7054, 0.4), (6500, 7054, 0.9), (100, 1000000, 0.0001),
                      (101000, 1000000, 0.1), (102000, 1000000, 0.1), (110000, 1000000, 0.1),
                      (501000, 1000000, 0.5)]
    two_sided_cases = [(0, 0, 0.1), (0, 1, 0.1), (1, 1, 0.1), (0, 10, 0.1), (1, 10, 0.1),
                       (5, 10, 0.1), (0, 6000, 0.1), (650, 6499, 0.1), (600, 6499, 0.1),
                       (705, 7053, 0.1), (500, 7053, 0.1), (900, 7053, 0.1),
                       (99000, 1000000, 0.1), (100000, 1000000, 0.1), (101500, 1000000, 0.1)]
    chi_square_cases = [(0.0, 9), (1.0, 9), (9.0, 9), (16.918977604620448, 9), (50.0, 9),
                        (200.0, 9), (40.0, 81), (81.0, 81), (120.0, 81), (400.0, 81),
                        (70.0, 99), (99.0, 99), (150.0, 99), (600.0, 99)]
    holm_cases = [[], [0.5], [0.01, 0.04, 0.03, 0.005], [0.2, 0.2, 0.2],
                  [1e-30, 0.5, 1.0, 0.02, 0.9], [0.3, 0.001, 0.04, 0.04, 0.6, 0.0125]]

    reference = {
        "wilson": [{"hits": h, "n": n, "z": z, "low": lo, "high": hi}
                   for h, n, z in wilson_cases for lo, hi in [wilson(h, n, z)]],
        "binomial_upper": [{"hits": h, "n": n, "p": p, "value": upper_tail(h, n, p)}
                           for h, n, p in binomial_cases],
        "binomial_two_sided": [{"r": r, "n": n, "p": p, "value": two_sided(r, n, p)}
                               for r, n, p in two_sided_cases],
        "chi_square_upper": [{"chi2": c, "df": df, "value": chi_square_tail(c, df)}
                             for c, df in chi_square_cases],
        "holm": [{"p": p, "adjusted": holm(p)} for p in holm_cases],
        "randomness_tables": [
            {"name": "small", "values": SMALL_TABLE, "result": randomness(SMALL_TABLE)},
            {"name": "mixed", "values": MIXED_TABLE, "result": randomness(MIXED_TABLE)},
            {"name": "empty", "values": [[], [], [], []], "result": randomness([[]] * 4)},
        ],
        "sample_history": randomness(read_history(SAMPLE_HISTORY)),
    }
    json.dump(reference, sys.stdout, indent=1)
    print()


if __name__ == "__main__":
    main()
