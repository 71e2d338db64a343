#include "settings_loader.h"

#include "folders.h"
#include "text_file.h"
#include "value_reader.h"

#include <cmath>
#include <limits>

QString StartupFailure::message() const
{
    return QStringLiteral(
               "設定ファイル「%1」を読み込めないため、プログラムを終了します。\r\n%2\r\n先生を呼んでください。")
        .arg(file, problem);
}

namespace settings {
namespace {

QString tooFewValues(int needed, int got)
{
    return QStringLiteral("値が足りません（%1 個必要なところ %2 個しかありません）。").arg(needed).arg(got);
}

// A value for a numeric table entry: empty gives 0, a number is rounded half to even and
// must fit the entry's type; anything else is refused.
template <typename Int> std::optional<QString> toInteger(const QString& field, Int& out)
{
    const QString text = field.trimmed();
    if (text.isEmpty()) {
        out = 0;
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        return QStringLiteral("「%1」は数値ではありません。").arg(field);
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<Int>::min()) || rounded > double(std::numeric_limits<Int>::max()))
        return QStringLiteral("「%1」は大きすぎるか小さすぎます。").arg(field);
    out = Int(rounded);
    return std::nullopt;
}

std::optional<QString> toFloat(const QString& field, float& out)
{
    const QString text = field.trimmed();
    bool ok = true;
    out = text.isEmpty() ? 0.0f : text.toFloat(&ok);
    if (!ok)
        return QStringLiteral("「%1」は数値ではありません。").arg(field);
    return std::nullopt;
}

} // namespace

QString programTitle()
{
    return QStringLiteral("約数早押しドリル");
}

void splitSchoolCode(Organisation& organisation)
{
    const QString name = organisation.schoolName;
    if (leadingNumber(name.left(5)) != 0) {
        organisation.schoolCode = Loose(name.left(5));
        organisation.schoolName = name.mid(5);
    } else {
        organisation.schoolCode = Loose();
    }
}

std::optional<QString> readCourseRules(ValueReader& reader, CourseRules& rules)
{
    int index = 0;
    for (; !reader.atEnd(); ++index) {
        if (index > kMaxCourse)
            return QStringLiteral("行が多すぎます（%1 行までです）。").arg(kMaxCourse + 1);
        QString v[kCourseRuleValues];
        for (int k = 0; k < kCourseRuleValues; ++k) {
            const auto value = reader.next();
            if (!value)
                return QStringLiteral("%1 行目：").arg(index + 1) + tooFewValues(kCourseRuleValues, k);
            v[k] = *value;
        }
        std::optional<QString> bad;
        if (!bad)
            bad = toInteger(v[0], rules.targetTime[index]);
        if (!bad)
            bad = toInteger(v[1], rules.secondTargetTime[index]);
        if (!bad)
            bad = toInteger(v[2], rules.requiredPoints[index]);
        if (!bad)
            bad = toInteger(v[3], rules.requiredCount[index]);
        if (!bad)
            bad = toFloat(v[4], rules.pointWeight[index]);
        if (bad)
            return QStringLiteral("%1 行目：").arg(index + 1) + *bad;
        rules.window2RequiredCount[index] = Loose::fromField(v[5]);
        rules.window2RequiredPoints[index] = Loose::fromField(v[6]);
        rules.windowDays[index] = Loose::fromField(v[7]);
        rules.window2Days[index] = Loose::fromField(v[8]);
        rules.courseSetting10[index] = Loose::fromField(v[9]);
        rules.courseSetting11[index] = Loose::fromField(v[10]);
        rules.courseSetting12[index] = Loose::fromField(v[11]);
    }
    return std::nullopt;
}

std::optional<StartupFailure> load(const QString& programDir, SharedState& state)
{
    const QString sep = folders::separator();
    const QString settingsFile = QStringLiteral("設定.txt");
    const auto settingsText = textfile::read(programDir + sep + settingsFile);
    if (!settingsText.text)
        return StartupFailure{settingsFile, settingsText.error};
    ValueReader settingsReader(*settingsText.text);
    for (int k = 0; k < kSettingsValues; ++k) {
        const auto value = settingsReader.next();
        if (!value)
            return StartupFailure{settingsFile, tooFewValues(kSettingsValues, k)};
        if (k == 0)
            state.folders.folderLayout = Loose::fromField(*value);
    }

    folders::resolve(state.folders, programDir);

    const QString commonFile = QStringLiteral("共通データ.txt");
    const auto commonText = textfile::read(state.folders.sharedFolder + commonFile);
    if (!commonText.text)
        return StartupFailure{commonFile, commonText.error};
    ValueReader commonReader(*commonText.text);
    Organisation& org = state.organisation;
    for (int k = 0; k < kCommonValues; ++k) {
        const auto value = commonReader.next();
        if (!value)
            return StartupFailure{commonFile, tooFewValues(kCommonValues, k)};
        switch (k) {
        case 0:
            org.schoolYearStartMonth = Loose::fromField(*value);
            break;
        case 1:
            org.schoolName = *value;
            break;
        case 2:
            org.commonItem3 = Loose::fromField(*value);
            break;
        case 3:
            org.commonItem4 = Loose::fromField(*value);
            break;
        default:
            org.unusedItems[std::size_t(k - 4)] = Loose::fromField(*value);
        }
    }
    splitSchoolCode(org);

    state.catalogue.courseTitle = programTitle();

    const QString rulesFile = QStringLiteral("タイム回数データ.txt");
    const auto rulesText = textfile::read(state.folders.programFolder + rulesFile);
    if (!rulesText.text)
        return StartupFailure{rulesFile, rulesText.error};
    ValueReader rulesReader(*rulesText.text);
    if (const auto problem = readCourseRules(rulesReader, state.rules))
        return StartupFailure{rulesFile, *problem};
    return std::nullopt;
}

} // namespace settings
