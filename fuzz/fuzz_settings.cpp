// The value reader and the settings files: "タイム回数データ.txt", "共通データ.txt"'s school name,
// the sound table, 学校の設定.txt and the rewriting of 共通データ.txt's second value, from any bytes.
#include "school/school_settings.h"
#include "sound/sound_table.h"
#include "startup/settings_loader.h"
#include "state/shared_state.h"
#include "text/cp932.h"
#include "text/value_reader.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto state = std::make_unique<SharedState>();
    const QString text = cp932::decode(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    ValueReader values(text);
    while (values.next()) {
        (void)values.lineOfLastValue();
    }
    (void)settings::readCourseRules(text, state->rules);
    ValueReader sounds(text);
    (void)soundtable::read(sounds, state->sound);
    state->organisation.schoolName = text.left(40);
    settings::splitSchoolCode(state->organisation);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const schoolsettings::Read school = schoolsettings::parse(bytes);
    (void)schoolsettings::serialise(school.settings, school.unknownLines);
    if (const auto rewritten = schoolsettings::withSchoolName(bytes, QStringLiteral("12345"), QStringLiteral("みどり")))
        (void)schoolsettings::withSchoolName(*rewritten, QString(), QStringLiteral("学校"));
    return 0;
}
