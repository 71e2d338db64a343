#!/usr/bin/env python3
"""Every text a pupil reads uses only kanji of grades 1 to 4; the rest is written in kana.

Walks the string literals of the sources whose texts reach a pupil's eyes (the name menu, the
course board, the drill, the end screen, the messages those screens raise) and the help pages a
pupil opens, against the national grade-by-grade table in kanji_by_grade.txt. The captions the
program family fixes (its menus and board labels) stay as they are written everywhere else.

usage: pupil_words.py SOURCE_DIR
"""
import pathlib
import re
import sys

# What a pupil reads: sources whose every literal is shown on a pupil's screen or in a message
# raised there, and the pupil's help pages. Teacher-only windows are not listed.
PUPIL_SOURCES = [
    "src/menu/*.cpp",
    "src/board/*.cpp",
    "src/drill/*.cpp",
    "src/endscreen/*.cpp",
    "src/records/*.cpp",
    "src/sound/sound_players.cpp",
    "src/platform/system_error.cpp",
    "src/app/navigation.cpp",
    "src/help/help_browser.cpp",
    "src/help/version_box.cpp",
    "help/index.html",
    "help/study.html",
    "help/usage.html",
    "help/contact.html",
]

# The family's own captions, the same in every program of it: kept as written.
FAMILY_CAPTIONS = [
    "ﾀｲﾑ表示", "ﾎﾟｲﾝﾄ表示", "個人ﾀｲﾑ", "個人別ﾀｲﾑ", "表示する学年を選びなさい", "今までの全成績", "全成績",
    "本日総回数", "BEST表示", "合計累計", "累計順", "ベスト成績", "本日の成績", "獲得ポイント", "今の成績",
    "成績記録中", "約数を順に押しなさい", "スペースを押しなさい", "スペースだけ押しなさい", "終了",
    "名前の変更", "名前の選択", "レベルの選択", "バージョン情報", "ﾊﾞｰｼﾞｮﾝ情報", "戻る", "名前選択に戻る", "接続中",
    "変更",
    "先生を呼びなさい", "合格",
    "約数早押しドリル",  # the program's own name, as on the Start menu
    "成績累積データ", "記録待ち成績", "成績ランダムファイル表示",  # the family's file names and error heading
]

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')


def load_grades(path):
    grade = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        if line and not line.startswith("#"):
            number, kanji = line.split(" ", 1)
            grade.update((k, int(number)) for k in kanji)
    return grade


def is_kanji(c):
    return "\u3400" <= c <= "\u9fff" or "\uf900" <= c <= "\ufaff" or c >= "\U00020000"


def without_comments(code):
    # Comments go, literals stay: a "//" inside a literal is text.
    out, pos = [], 0
    for m in re.finditer(r'"(?:[^"\\\n]|\\.)*"|//[^\n]*|/\*.*?\*/', code, re.S):
        out.append(code[pos:m.start()])
        text = m.group(0)
        out.append(text if text.startswith('"') else "\n" * text.count("\n"))
        pos = m.end()
    return "".join(out) + code[pos:]


def texts(path):
    """(line, text) of every text in a source or a help page."""
    source = path.read_text(encoding="utf-8")
    if path.suffix == ".html":
        for number, line in enumerate(source.splitlines(), 1):
            yield number, re.sub(r"<[^>]*>", "", line)
        return
    code = without_comments(source)
    for m in LITERAL.finditer(code):
        yield code.count("\n", 0, m.start()) + 1, m.group(1)


def beyond_grade_four(text, grade):
    for caption in sorted(FAMILY_CAPTIONS, key=len, reverse=True):
        text = text.replace(caption, "")
    return [c for c in text if is_kanji(c) and grade.get(c, 9) > 4]


def describe(kanji, grade):
    return "、".join(f"{k}（{grade[k]}年）" if k in grade else f"{k}（小学校では習わない）" for k in dict.fromkeys(kanji))


def main():
    root = pathlib.Path(sys.argv[1])
    grade = load_grades(pathlib.Path(__file__).with_name("kanji_by_grade.txt"))
    counts = [sum(1 for g in grade.values() if g == n) for n in range(1, 7)]
    if counts != [80, 160, 200, 202, 193, 191]:
        sys.exit(f"kanji_by_grade.txt is not the whole table: {counts} kanji by grade")
    # The walk itself must see what it is for.
    planted = beyond_grade_four("成績を記録しました。先生を呼んでください。", grade)
    if "".join(planted) != "績呼":
        sys.exit(f"the walk misses kanji beyond grade 4: found {planted}")

    files = sorted({p for pattern in PUPIL_SOURCES for p in root.glob(pattern)})
    if len(files) < len(PUPIL_SOURCES):
        sys.exit(f"pupil-facing sources are missing under {root}: {PUPIL_SOURCES}")
    faults = []
    for path in files:
        for number, text in texts(path):
            kanji = beyond_grade_four(text, grade)
            if kanji:
                faults.append(f"{path.relative_to(root)}:{number}: {describe(kanji, grade)}: {text[:60]}")
    for fault in faults:
        print(fault)
    if faults:
        sys.exit(f"{len(faults)} texts a pupil reads use kanji beyond grade 4: write those in kana")
    print(f"{len(files)} pupil-facing files: every kanji is of grades 1 to 4")


if __name__ == "__main__":
    main()
