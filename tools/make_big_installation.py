#!/usr/bin/env python3
"""Makes a large installation for measuring: the demo's settings, a roster of N pupils and a
results file of M attempts spread over the last year.

usage: make_big_installation.py SOURCE_DEMO TARGET [PUPILS] [RECORDS]
"""
import os
import random
import shutil
import struct
import sys
from datetime import date, datetime

source, target = sys.argv[1], sys.argv[2]
pupils = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
records = int(sys.argv[4]) if len(sys.argv) > 4 else 20000
shutil.rmtree(target, ignore_errors=True)
shutil.copytree(source, target)
rng = random.Random(7)

family = "佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤".split()
given = "太郎 花子 一郎 さくら 翔 蓮 陽菜 大輝 美咲 ゆい".split()
lines = []
for n in range(1, pupils + 1):
    name = f"{rng.choice(family)}　{rng.choice(given)}{n}"
    lines.append(f'{n},{rng.randint(2008, 2020)},0,0,"{name:<20}",0,"{"":<20}","{"":<20}"')
with open(os.path.join(target, "files", "生徒用名簿.txt"), "wb") as f:
    f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))

epoch = date(1899, 12, 30)
today = (date.today() - epoch).days
program = "約数ドリル\\".encode("cp932").ljust(20, b" ")
with open(os.path.join(target, "約数ドリル", "成績累積データ.dat"), "wb") as f, \
        open(os.path.join(target, "files", "成績累積データ家庭用.dat"), "wb") as shared:
    for i in range(records):
        day, clock = float(today - rng.randint(0, 365)), rng.random()
        pupil, course, time = rng.randint(1, pupils), rng.randint(1, 5), rng.randint(20, 400)
        f.write(struct.pack("<ddhhi5s5s5s5s", day, clock, pupil, course, time, b"12345", b"     ", b"0    ",
                            b"\0" * 5))
        shared.write(struct.pack("<20shddhhi5s15s", program, 0, day, clock, pupil, course, time, b"12345",
                                 b"\0" * 15))
print(f"{target}: {pupils} pupils, {records} + {records} records")
