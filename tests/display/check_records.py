#!/usr/bin/env python3
"""Checks, byte for byte, the records the whole-road tests' attempts left in both results files.

usage: check_records.py [--read-off] RESULTS SHARED STARTED SCHOOL_CODE TIME...

Each attempt was made by pupil 1 on level 1, today, after STARTED (seconds since the epoch), in
the order given. SCHOOL_CODE is the code the records carry ("" before a school has set one).
TIME is the attempt's time in seconds; with --read-off, the text read off the end screen by
character recognition, which must hold it.
"""
import datetime
import struct
import sys

args = sys.argv[1:]
read_off = args[:1] == ["--read-off"]
if read_off:
    args = args[1:]
results, shared, started, code = args[0], args[1], int(args[2]), args[3].encode()
times = args[4:]
day = (datetime.date.today() - datetime.date(1899, 12, 30)).days
start = datetime.datetime.fromtimestamp(started)
earliest = (start.hour * 3600 + start.minute * 60 + start.second - 1) / 86400
program = "約数ドリル\\".encode("cp932")
r = open(results, "rb").read()
s = open(shared, "rb").read()
assert len(r) == 44 * len(times), len(r)
assert len(s) == 66 * len(times), len(s)
for k, shown in enumerate(times):
    date, clock, pupil, course, time = struct.unpack_from("<ddhhi", r, 44 * k)
    assert (date, pupil, course) == (day, 1, 1), (date, pupil, course)
    assert str(time) in shown if read_off else str(time) == shown, (time, shown)
    assert earliest <= clock < 1, clock
    assert r[44 * k + 24:44 * k + 44] == code.ljust(10) + b"0    " + b"\0" * 5, r[44 * k + 24:44 * k + 44]
    record = s[66 * k:66 * (k + 1)]
    assert record[:20] == program.ljust(20), record[:20]
    lp, sdate, sclock, spupil, scourse, stime = struct.unpack_from("<hddhhi", record, 20)
    assert (lp, sdate, spupil, scourse, stime) == (0, day, 1, 1, time), (lp, sdate, spupil, scourse, stime)
    assert record[46:] == code.ljust(5) + b"\0" * 15, record[46:]
    print(f"records: pupil 1, level 1, {time} s, on both files")
