#pragma once

#include "state/shared_state.h"

#include <optional>

class ValueReader;

// Why start-up could not go on: the file concerned and what is wrong with it.
struct StartupFailure
{
    QString file;
    QString problem;
    QString message() const;
};

namespace settings {

constexpr int kSettingsValues = 10;
constexpr int kCommonValues = 10;
constexpr int kCourseRuleValues = 12;

// The drill's own name, shown as the title of its screens.
QString programTitle();

// The family's files start-up reads, by name, named here once.
QString settingsFileName();    // "設定.txt", in the program folder
QString commonFileName();      // "共通データ.txt", in the shared folder
QString courseRulesFileName(); // "タイム回数データ.txt", in the program folder

// "12345塾" gives the code "12345" and the name "塾"; a name whose first five characters do
// not start with a non-zero number keeps the whole text and no code.
void splitSchoolCode(Organisation& organisation);

// Reads the lines of "タイム回数データ.txt": the first line is index 0, the next course 1 ...
std::optional<QString> readCourseRules(const QString& text, CourseRules& rules);

// The settings sequence of start-up: "設定.txt", the folders, "共通データ.txt" and
// "タイム回数データ.txt". The sound table is loaded separately, once the folders are known.
std::optional<StartupFailure> load(const QString& programDir, SharedState& state);

} // namespace settings
