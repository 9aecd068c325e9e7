#!/usr/bin/env python3
"""Writes a draw history in the reader's format: code page 932, LF line ends,
the header 回号,抽せん日,曜日,当せん番号,備考 and one line per draw
第N回,yyyy/m/d,<weekday>,<four digits>,- with uniformly random digits,
consecutive draw numbers from 第1回 and one draw every weekday.

The output depends only on --draws, --seed and --start, so the bundled sample
can be remade byte for byte:

    scripts/generate_history.py --draws 6500 --seed 20261209 --output data/sample-history.csv
"""
import argparse
import datetime
import random
import sys

HEADER = "回号,抽せん日,曜日,当せん番号,備考"
WEEKDAYS = "月火水木金土日"  # datetime.weekday(): Monday is 0


def draw_dates(start):
    """Every weekday from `start`. Past the year 9999 (only very large test
    files get there) the calendar starts again at `start`: the reader checks
    the date's form, not its order."""
    day = start
    while True:
        if day.weekday() < 5:
            yield day
        day = start if day == datetime.date.max else day + datetime.timedelta(days=1)


def write_history(out, draws, seed, start):
    rng = random.Random(seed)
    out.write((HEADER + "\n").encode("cp932"))
    dates = draw_dates(start)
    chunk = []
    for number in range(1, draws + 1):
        day = next(dates)
        digits = "".join(str(rng.randrange(10)) for _ in range(4))
        chunk.append(f"第{number}回,{day.year}/{day.month}/{day.day},{WEEKDAYS[day.weekday()]},{digits},-\n")
        if len(chunk) == 10000:
            out.write("".join(chunk).encode("cp932"))
            chunk.clear()
    out.write("".join(chunk).encode("cp932"))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--draws", type=int, required=True, help="number of draw lines")
    parser.add_argument("--seed", type=int, default=1, help="random seed")
    parser.add_argument("--start", default="2001-01-04", help="date of the first draw (ISO)")
    parser.add_argument("--output", required=True, help="file to write ('-' for stdout)")
    args = parser.parse_args()
    if args.draws < 0:
        parser.error("--draws must not be negative")
    start = datetime.date.fromisoformat(args.start)
    if args.output == "-":
        write_history(sys.stdout.buffer, args.draws, args.seed, start)
    else:
        with open(args.output, "wb") as out:
            write_history(out, args.draws, args.seed, start)


if __name__ == "__main__":
    main()
