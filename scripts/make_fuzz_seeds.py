#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The readers' seeds are small histories: the head of the bundled sample and
the reader's edge cases. The numeric targets' seeds follow the input layouts
documented at the top of fuzz/single_digit_pipeline_fuzzer.cc,
fuzz/predictor_fuzzer.cc and fuzz/backtest_fuzzer.cc. Each run rewrites the
folders from scratch, so the seeds can be remade at any time:
python3 scripts/make_fuzz_seeds.py
"""

import math
import pathlib
import random
import shutil
import struct

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / "fuzz" / "corpus"
SAMPLE = ROOT / "data" / "sample-history.csv"
SAMPLE_LINES = 40  # header and draws taken from the sample: enough to look real, still small
MAX_LINE_BYTES = 64 * 1024  # the reader's line limit


def cp932(text):
    return text.encode("cp932")


def history(lines, end="\n"):
    return cp932("".join(line + end for line in lines))


HEADER = "回号,抽せん日,曜日,当せん番号,備考"


def reader_seeds():
    sample = SAMPLE.read_bytes().split(b"\n")[:SAMPLE_LINES]
    sample_head = b"\n".join(sample) + b"\n"
    sample_text = sample_head.decode("cp932")
    good = [HEADER, "第101回,2001/5/7,a,0487,b", "第102回,2001/5/8,a,91,b"]
    seeds = {
        "sample_head.csv": sample_head,
        "sample_head_crlf.csv": sample_head.replace(b"\n", b"\r\n"),
        "sample_head_utf8.csv": sample_text.encode("utf-8"),
        "sample_head_no_final_break.csv": sample_head.rstrip(b"\n"),
        "two_draws.csv": history(good),
        "quoted_fields.csv": history(
            [HEADER, '"第101回","2001/5/7","a","0487","b"', '第102回,2001/5/8,"a,b",0091,b']),
        "cr_inside_field.csv": history([HEADER, "第1回,2001/5/7,a,04\r87,b"]),
        "cr_only_line_ends.csv": history(good, end="\r"),
        "header_only.csv": history([HEADER]),
        "header_without_break.csv": cp932(HEADER),
        "empty.csv": b"",
        "empty_line_at_end.csv": history(good + [""]),
        "four_fields.csv": history([HEADER, "第1回,2001/5/7,a,0487"]),
        "many_fields.csv": history([HEADER, "第1回,2001/5/7,a,0487,b,c,d,,"]),
        "draw_minus_3.csv": history([HEADER, "第-3回,2001/5/7,a,0487,b"]),
        "draw_2147483647.csv": history([HEADER, "第2147483647回,2001/5/7,a,0487,b"]),
        "draw_2147483648.csv": history([HEADER, "第2147483648回,2001/5/7,a,0487,b"]),
        "draw_blanks.csv": history([HEADER, "第 12 回,2001/5/7,a,0487,b", "第\t+7回,2001/5/8,a,1,b"]),
        "draw_full_width.csv": history([HEADER, "第１２回,2001/5/7,a,0487,b"]),
        "draw_ideographic_space.csv": history([HEADER, "第\u300012回,2001/5/7,a,0487,b"]),
        "draw_suffix.csv": history([HEADER, "第12号回,2001/5/7,第99回,0487,b"]),
        "bad_date_last.csv": history(good + ["第103回,2001-5-9,a,1234,b"]),
        "bad_dates.csv": history([HEADER, "第1回,01/5/7,a,1,b", "第2回, 2001/5/7,a,1,b",
                                  "第3回,2001/123/7,a,1,b"]),
        "results.csv": history([HEADER, "第1回,2001/5/7,a,7,b", "第2回,2001/5/8,a,,b",
                                "第3回,2001/5/9,a,12345,b", "第4回,2001/5/10,a,12 4,b",
                                "第5回,2001/5/11,a,ｱｲｳｴ,b"]),
        "invalid_cp932_start.csv": b"\x80\xff" + history(good),
        "invalid_cp932_middle.csv": history(good[:2]) + b"\x91\x7f\xa0\xfd\n" + history(good[2:]),
        "invalid_cp932_end.csv": history(good) + b"\xfd\xfe\xff",
        "cut_off_lead_byte.csv": history(good) + b"\x91",
        "nul_bytes.csv": history(good[:2]) + b"\x00\x00,\x00\n",
        "utf8.csv": "\n".join(good).encode("utf-8"),
        "utf8_bom.csv": b"\xef\xbb\xbf" + "\n".join(good).encode("utf-8"),
        "utf16le_bom.csv": "\n".join(good).encode("utf-16"),
        "line_over_limit.csv": history([HEADER]) + b"a" * (MAX_LINE_BYTES + 1) + b"\n",
    }
    return seeds


def u8(v):
    return struct.pack("<B", v)


def u16(v):
    return struct.pack("<H", v)


def u32(v):
    return struct.pack("<I", v & 0xFFFFFFFF)


def f64(v):
    return struct.pack("<d", v)


# Selector bytes (fuzz/series_input.h): placement flag byte % 4 - 1, filter kind byte % 3.
HEAD, TAIL, CENTER, HEADTAIL = 1, 2, 3, 0
LPF, BPF, NONE = 0, 1, 2
ANY = 0xF0  # selector for an arbitrary 32-bit value that follows

DIGITS, COUNTS, DOUBLES, MIXED = 0, 1, 2, 3
RATE_ONE, RATE_ZERO, NULL_SAMPLES = 0, 0xF0, 0xF1


def series(values, encoding, kind=RATE_ONE, count=None):
    count = len(values) if count is None else count
    body = u16(count) + u8(encoding) + u8(kind)
    for v in values:
        if encoding == DIGITS:
            body += u8(int(v) + 1)  # byte % 12 - 1 == v for -1 .. 10
        elif encoding == COUNTS:
            body += u8(int(v))
        elif encoding == DOUBLES:
            body += f64(v)
        else:
            body += u8(0xC0) + f64(v) if not float(v).is_integer() or not -1 <= v <= 10 \
                else u8(int(v) + 1)
    return body


def selector(value, table):
    """A selector byte for `value`, or the 'any value' escape and the value."""
    if value in table:
        return u8(table.index(value))
    return u8(ANY) + u32(value)


def flag(value):
    return selector(value, [-1, 0, 1, 2])


def kind(value):
    return selector(value, [0, 1, 2])


def pipeline(options, fft_flag, filter_kind, interval, length, values, encoding, **kw):
    head = u8(options) + flag(fft_flag) + kind(filter_kind)
    head += u8(interval) if interval < 0xF0 else u8(0xF0) + u32(interval)
    return head + u32(length) + series(values, encoding, **kw)


UNFILTERED, TRACED, PREFILLED = 1, 2, 4
LEN_COUNT, LEN_AT_MOST, LEN_BEYOND, LEN_ANY = 0, 8, 16, 24


def pipeline_seeds(rng):
    counts = [rng.randrange(0, 6) for _ in range(40)]
    ramp = [(i * 7) % 11 for i in range(20)]
    odd = [rng.random() * 4 for _ in range(33)]
    specials = [math.nan, math.inf, -math.inf, 1e308, -1e308, 5e-324, -0.0, 3.0]
    return {
        "lpf_head.bin": pipeline(0, 0, LPF, 15, 0, counts, COUNTS),
        "bpf_tail.bin": pipeline(0, 1, BPF, 15, 0, counts, COUNTS),
        "none_center.bin": pipeline(0, 2, NONE, 15, 0, ramp, COUNTS),
        "lpf_head_tail.bin": pipeline(0, -1, LPF, 12, 0, ramp, COUNTS),
        "unfiltered_tail.bin": pipeline(UNFILTERED, 1, NONE, 10, 0, ramp, COUNTS),
        "traced_bpf_center.bin": pipeline(TRACED | PREFILLED, 2, BPF, 20, 0, odd, DOUBLES),
        "power_of_two_flag_7.bin": pipeline(0, 7, LPF, 1, 0, ramp[:16] * 2, COUNTS),
        "undefined_flag_7.bin": pipeline(0, 7, LPF, 1, 0, odd, DOUBLES),
        "kind_minus_5.bin": pipeline(0, 0, -5, 1, 0, ramp, COUNTS),
        "shorter_length.bin": pipeline(LEN_AT_MOST, 1, LPF, 1, 21, counts, COUNTS),
        "length_zero_tail.bin": pipeline(LEN_AT_MOST, 1, NONE, 1, 0, ramp, COUNTS),
        "length_beyond.bin": pipeline(LEN_BEYOND | PREFILLED, 0, LPF, 1, 3, ramp, COUNTS),
        "length_any.bin": pipeline(LEN_ANY | UNFILTERED, 0, NONE, 1, 1000, ramp, COUNTS),
        "one_sample.bin": pipeline(0, 1, LPF, 1, 0, [4], COUNTS),
        "specials.bin": pipeline(TRACED, 0, LPF, 1, 0, specials, DOUBLES),
        "mixed.bin": pipeline(0, 2, BPF, 3, 0, [1, 2.5, 9, math.nan, 0, 10, -1, 7], MIXED),
        "interval_0.bin": pipeline(PREFILLED, 0, LPF, 0, 0, ramp, COUNTS),
        "interval_any.bin": pipeline(0, 0, BPF, 0xFFFFFFFF, 0, ramp, COUNTS),
        "rate_0.bin": pipeline(0, 0, LPF, 1, 0, ramp, COUNTS, kind=RATE_ZERO),
        "null_samples.bin": pipeline(0, 0, LPF, 1, 0, ramp, COUNTS, kind=NULL_SAMPLES),
        "empty_series.bin": pipeline(TRACED, 0, LPF, 1, 0, [], COUNTS),
        "long_series.bin": pipeline(0, 2, LPF, 15, 0,
                                    [rng.randrange(0, 4) for _ in range(700)], COUNTS),
    }


WINDOW_INTERVALS = [10, 12, 15, 18, 20, 24, 30]
COMPARE = 8


def predictor(options, fft_flag, filter_kind, interval, values, encoding, **kw):
    head = u8(options) + flag(fft_flag) + kind(filter_kind)
    if interval in WINDOW_INTERVALS:
        head += u8(WINDOW_INTERVALS.index(interval))
    elif interval < 0x70:
        head += u8(0x80 + interval)
    else:
        head += u8(0xF0) + u32(interval)
    return head + series(values, encoding, **kw)


def predictor_seeds(rng):
    draws = [rng.randrange(0, 10) for _ in range(300)]
    sample = SAMPLE.read_bytes().decode("cp932").split("\n")[1:SAMPLE_LINES * 5]
    thousands = [int(line.split(",")[3][0]) for line in sample if line]
    seeds = {
        f"lpf_interval_{i}.bin": predictor(0, 0, LPF, i, draws, DIGITS) for i in WINDOW_INTERVALS
    }
    seeds.update({
        "bpf_tail.bin": predictor(0, 1, BPF, 15, draws, DIGITS),
        "bpf_center.bin": predictor(TRACED, 2, BPF, 12, draws, DIGITS),
        "lpf_head_tail.bin": predictor(PREFILLED, -1, LPF, 10, draws, DIGITS),
        "none_kind.bin": predictor(0, 0, NONE, 18, draws, DIGITS),
        "power_spectrum.bin": predictor(UNFILTERED | TRACED, 0, NONE, 15, draws, DIGITS),
        "power_spectrum_compare.bin": predictor(UNFILTERED | COMPARE | PREFILLED, 1, LPF, 20,
                                                draws, DIGITS),
        "sample_thousands.bin": predictor(0, 0, LPF, 15, thousands, DIGITS),
        "undefined_flag.bin": predictor(0, 9, LPF, 10, draws[:70], DIGITS),
        "undefined_flag_power_of_two.bin": predictor(0, 9, LPF, 10, draws[:80], DIGITS),
        "shorter_than_interval.bin": predictor(0, 0, LPF, 30, draws[:29], DIGITS),
        "interval_1.bin": predictor(0, 0, LPF, 1, draws[:64], DIGITS),
        "interval_0.bin": predictor(TRACED, 0, LPF, 0, draws, DIGITS),
        "interval_huge.bin": predictor(0, 0, BPF, 0xFFFFFFFF, draws, DIGITS),
        "out_of_range_digits.bin": predictor(0, 0, BPF, 10, [-1, 10, 11] * 20, DIGITS),
        "specials.bin": predictor(0, 0, LPF, 10,
                                  [math.nan, math.inf, -math.inf, 9.99, -0.5, 2**31, -2**63]
                                  * 10, DOUBLES),
        "mixed.bin": predictor(0, 2, LPF, 12, [1, 2.5, 9, math.nan, 0, 10, -1, 7] * 12, MIXED),
        "rate_0.bin": predictor(0, 0, LPF, 10, draws, DIGITS, kind=RATE_ZERO),
        "null_samples.bin": predictor(0, 0, LPF, 10, draws, DIGITS, kind=NULL_SAMPLES),
        "empty_series.bin": predictor(0, 0, LPF, 10, [], DIGITS),
    })
    return seeds


FROM, COMPARE_FORECASTS = 1, 2
FILTER_ANY, PLACEMENT_ANY = 3, 4
PLACEMENTS = {"head": 0, "tail": 1, "center": 2, "headtail": 3}
OTHER = 0xF0  # a value byte of 0xF0 or more is not a digit


def backtest(options, filter_kind, placement, interval, draws, first=1, start=None):
    """Input of fuzz/backtest_fuzzer.cc: `draws` is a list of four-value
    draws, each value a digit or OTHER + k for the k-th non-digit value."""
    body = u8(options)
    body += u8(filter_kind) if filter_kind in (LPF, BPF, NONE) else u8(FILTER_ANY) + u32(filter_kind)
    if placement in PLACEMENTS:
        body += u8(PLACEMENTS[placement])
    else:
        body += u8(PLACEMENT_ANY) + u32(placement)
    body += u8(interval) if interval < 32 else u8(0xE0) + u32(interval)
    body += u16(len(draws)) + u32(first)
    for draw in draws:
        body += bytes(draw)
    if options & FROM:
        body += u32(start)
    return body


def backtest_seeds(rng):
    draws = [[rng.randrange(10) for _ in range(4)] for _ in range(300)]
    blanks = [[d if rng.random() > 0.05 else OTHER + rng.randrange(5) for d in draw]
              for draw in draws]
    periodic = [[(i + p) % 10 for p in range(4)] for i in range(120)]
    seeds = {
        f"lpf_{name}.bin": backtest(COMPARE_FORECASTS, LPF, name, 10, draws[:200])
        for name in PLACEMENTS
    }
    seeds.update({
        f"bpf_{name}.bin": backtest(0, BPF, name, 12, blanks) for name in PLACEMENTS
    })
    seeds.update({
        "none_head.bin": backtest(COMPARE_FORECASTS, NONE, "tail", 15, blanks[:150]),
        "from_middle.bin": backtest(FROM | COMPARE_FORECASTS, LPF, "tail", 3, draws[:90], 100, 150),
        "from_past_the_end.bin": backtest(FROM, BPF, "center", 5, draws[:60], 1, 1000),
        "interval_1.bin": backtest(COMPARE_FORECASTS, BPF, "headtail", 1, blanks[:100]),
        "interval_0.bin": backtest(0, LPF, "head", 0, draws[:40]),
        "interval_huge.bin": backtest(0, LPF, "head", 0xFFFFFFFF, draws[:40]),
        "undefined_placement.bin": backtest(COMPARE_FORECASTS, LPF, 7, 4, draws[:100]),
        "undefined_filter.bin": backtest(COMPARE_FORECASTS, 9, "tail", 6, blanks[:100]),
        "constant.bin": backtest(0, LPF, "headtail", 10, [[7, 7, 7, 7]] * 100),
        "periodic.bin": backtest(0, NONE, "head", 10, periodic),
        "numbers_wrap.bin": backtest(FROM, LPF, "tail", 10, draws[:50], 0x7FFFFFF0, -5),
        "no_digits.bin": backtest(0, LPF, "tail", 2, [[OTHER] * 4] * 30),
        "one_draw.bin": backtest(COMPARE_FORECASTS, LPF, "head", 1, draws[:1]),
        "empty.bin": b"",
    })
    return seeds


def import_seeds():
    """Small sources of every form an import recognises, payouts included."""
    return {
        "history.csv": cp932("回号,抽せん日,曜日,当せん番号,備考\n第1回,1994/10/7,金,1149,-,942600,78500,510500,39200\n"
                             "第2回,1994/10/14,金,7921,-\n"),
        "v2.csv": ("\ufeffdraw_no,draw_date,winning_number,digit1,digit2,digit3,digit4,straight_payout,"
                   "box_payout,set_straight_payout,set_box_payout\n1,1994-10-07,1149,1,1,4,9,942600,78500,"
                   "510500,39200\n1249,2003-11-28,5555,5,5,5,5,279700,,,\n").encode(),
        "old.csv": ("回号,抽せん日,当せん番号,straight_payout,box_payout\n第1回,1994-10-07,1149,942600,78500\n").encode(),
        "japanese.tsv": cp932("回号\t抽せん日\t当せん番号\tストレート\tボックス\tセット（ストレート）\tセット（ボックス）\n"
                              "1\t1994/10/7\t1149\t942600\t\t\t\n"),
        "array.json": (b'[{"draw_no":1,"date":"1994-10-07","digits":[1,1,4,9],"winning_number":"1149",'
                       b'"prize":{"straight":942600,"box":78500,"set_straight":510500,"set_box":39200}},'
                       b'{"draw_no":2,"draw_date":"1994-10-14","result":{"values":[7,9,2,1],"display":"7921"},'
                       b'"prize":{"straight":923700,"box":null,"set_straight":null,"set_box":null}}]'),
        "object.json": b'{\n  "draw_no": 7054,\n  "date": "2026-08-21",\n  "winning_number": "9577"\n}\n',
        "pasted.txt": "第7055回 2026/8/24 1234\n7056,2026-08-25,４３２１\n".encode(),
    }


def write(target, seeds):
    folder = CORPUS / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, data in sorted(seeds.items()):
        (folder / name).write_bytes(data)
    print(f"{target}: {len(seeds)} seeds")


def main():
    rng = random.Random(4)
    readers = reader_seeds()
    write("load_draw_history_fuzzer", readers)
    write("scan_highest_draw_number_fuzzer", readers)
    write("single_digit_pipeline_fuzzer", pipeline_seeds(rng))
    write("predictor_fuzzer", predictor_seeds(rng))
    write("backtest_fuzzer", backtest_seeds(random.Random(9)))
    write("import_source_fuzzer", import_seeds())


if __name__ == "__main__":
    main()
