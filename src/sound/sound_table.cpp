#include "sound_table.h"

#include "startup/settings_loader.h"
#include "text/text_file.h"
#include "text/value_reader.h"

namespace soundtable {

QString kindName(int kind)
{
    static const char16_t* const names[] = {u"正解音1", u"正解音2",     u"間違い音1",   u"間違い音2",   u"最高音1",
                                            u"最高音2", u"自己最高音1", u"自己最高音2", u"自己最高音3", u"不合格音1"};
    return kind >= 1 && kind <= 10 ? QString::fromUtf16(names[kind - 1]) : QString();
}

QString fileName()
{
    return QStringLiteral("新音ファイル.txt");
}

std::optional<QString> read(ValueReader& reader, SoundState& sound)
{
    auto& table = sound.table;
    for (int e = 1; e <= 10; ++e)
        table[std::size_t(e)][0] = kindName(e);
    while (!reader.atEnd()) {
        QString t = reader.next().value_or(QString());
        // A value that names no kind is passed over; after a group the last value read (its
        // "*") is compared with the remaining kinds and matches none of them.
        for (int e = 1; e <= 10; ++e) {
            auto& row = table[std::size_t(e)];
            if (row[0] != t)
                continue;
            for (int d = 1; d <= kMaxValuesPerGroup; ++d) {
                const auto value = reader.next();
                if (!value) {
                    return QStringLiteral("「%1」の並びが「*」で終わらないうちにファイルが終わっています。")
                        .arg(row[0]);
                }
                t = *value;
                if (t == u"*") {
                    row[kCountColumn] = QString::number(d - 1);
                    break;
                }
                row[std::size_t(d)] = t;
            }
        }
    }
    return std::nullopt;
}

std::optional<StartupFailure> load(SharedState& state)
{
    const auto text = textfile::read(state.folders.soundFolder + fileName());
    if (!text.text)
        return StartupFailure{fileName(), text.error};
    ValueReader reader(*text.text);
    if (const auto problem = read(reader, state.sound))
        return StartupFailure{fileName(), *problem};
    return std::nullopt;
}

} // namespace soundtable
