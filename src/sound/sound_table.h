#pragma once

#include "state/shared_state.h"

#include <optional>

class ValueReader;
struct StartupFailure;

// The kinds of sound, rows 1..10 of the sound table.
enum class SoundKind
{
    Correct1 = 1,
    Correct2,
    Wrong1,
    Wrong2,
    Best1,
    Best2,
    PersonalBest1,
    PersonalBest2,
    PersonalBest3,
    Fail1,
};

namespace soundtable {

constexpr int kCountColumn = 21;
constexpr int kMaxValuesPerGroup = 20;

QString kindName(int kind);
QString fileName();

// Reads "新音ファイル.txt": groups of a kind name, its file names and a "*". Nothing when the
// table was read, else what is wrong with it.
std::optional<QString> read(ValueReader& reader, SoundState& sound);

// Loads the table from the sound folder at start-up.
std::optional<StartupFailure> load(SharedState& state);

} // namespace soundtable
