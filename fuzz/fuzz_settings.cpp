// The value reader and the settings files: "タイム回数データ.txt", "共通データ.txt"'s school name,
// and the sound table, from any bytes.
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
    return 0;
}
