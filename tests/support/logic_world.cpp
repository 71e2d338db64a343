#include "logic_world.h"

#include "records/results_file.h"
#include "startup/course_catalogue.h"

#include <QDir>

LogicWorld::LogicWorld()
{
    QDir(dir.path()).mkpath("prog");
    state->folders.programFolder = dir.path() + "/prog/";
    state->folders.sharedFolder = dir.path() + "/";
    state->folders.soundFolder = dir.path() + "/";
    state->folders.programFolderName = "prog";
    state->catalogue.courseTitle = QStringLiteral("約数早押しドリル");
    state->catalogue.accentColour = qint32(0xFF008080u); // teal, as at start-up
    catalogue::fill(state->catalogue);
    state->stats = Statistics(state->catalogue.courseCount);
    const int targets[] = {60, 80, 100, 120, 150};
    for (int c = 1; c <= 5; ++c) {
        state->rules.targetTime[c] = targets[c - 1];
        state->rules.secondTargetTime[c] = targets[c - 1] * 3 / 2;
        state->rules.requiredPoints[c] = 50;
        state->rules.requiredCount[c] = 5;
        state->rules.pointWeight[c] = 1.0f;
        state->rules.windowDays[c] = Loose(30);
        state->rules.window2Days[c] = Loose(7);
        state->rules.window2RequiredCount[c] = Loose(3);
    }
    auto& t = state->sound.table;
    const std::pair<int, const char*> files[] = {{2, "correct"}, {4, "wrong"}, {8, "personal"}, {10, "fail"}};
    for (const auto& [kind, file] : files) {
        t[std::size_t(kind)][1] = QString::fromLatin1(file);
        t[std::size_t(kind)][21] = "1";
    }
    state->organisation.schoolCode = Loose(QStringLiteral("12345"));
    state->current.pupilNo = 3;
    state->current.pupilName = QStringLiteral("佐藤　花子          ");
    state->current.pupilGrade = QStringLiteral("小２");
}

QString LogicWorld::resultsPath() const
{
    return resultsfile::resultsPath(state->folders);
}
