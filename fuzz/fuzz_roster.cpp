// The roster, for listing and for editing, from any bytes.
#include "roster/roster_editor.h"
#include "roster/roster_file.h"
#include "text/cp932.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const roster::Parsed parsed = roster::parse(cp932::decode(bytes));
    for (const roster::Line& line : parsed.lines) {
        (void)roster::shortGradeLabel(roster::gradeIndex(2026, line.birthYear));
        (void)roster::fullGradeLabel(roster::gradeIndex(2026, line.birthYear));
        (void)line.format();
    }
    const QString path = dir.filePath(QStringLiteral("生徒用名簿.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    file.write(bytes);
    file.close();
    if (const auto editor = RosterEditor::load(path)) {
        std::array<QString, RosterEditor::kRows> names;
        std::array<QString, RosterEditor::kRows> years;
        for (int i = 0; i < RosterEditor::kRows; ++i) {
            names[std::size_t(i)] = editor->row(i).line.trimmedName();
            years[std::size_t(i)] = QString::number(editor->row(i).line.birthYear + 1);
        }
        (void)editor->save(path, names, years, 2026);
    }
    return 0;
}
