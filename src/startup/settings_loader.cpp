#include "settings_loader.h"

#include "folders.h"
#include "text/number_field.h"
#include "text/text_file.h"
#include "text/value_reader.h"

#include <QDir>
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

QString outOfRange(const QString& field, double low, double high)
{
    return QStringLiteral("「%1」は大きすぎるか小さすぎます（%2 から %3 までにしてください）。")
        .arg(field, shortestDecimal(low), shortestDecimal(high));
}

// Numbers outside their range are refused when read, so that no later computation overflows.
std::optional<QString> problemOf(const NumberField& number, const QString& field, double low, double high)
{
    switch (number.problem) {
    case NumberField::Problem::NotANumber:
        return QStringLiteral("「%1」は数値ではありません。").arg(field);
    case NumberField::Problem::OutOfRange:
        return outOfRange(field, low, high);
    case NumberField::Problem::None:
        break;
    }
    return std::nullopt;
}

// A value for an integer table entry, rounded half to even.
template <typename Int>
std::optional<QString> toInteger(const QString& field, Int& out, double low = 0,
                                 double high = double(std::numeric_limits<Int>::max()))
{
    const NumberField number = readWholeNumber(field, low, high);
    out = number.ok() ? Int(number.value) : Int(0);
    return problemOf(number, field, low, high);
}

std::optional<QString> toFloat(const QString& field, float& out, double low, double high)
{
    const NumberField number = readNumber(field, low, high);
    out = number.ok() ? float(number.value) : 0.0f;
    return problemOf(number, field, low, high);
}

// A loose value that counts as a number where it is used: its numeric value, whatever text
// it holds, must lie within low..high.
std::optional<QString> toLoose(const QString& field, double low, double high, Loose& out)
{
    out = Loose::fromField(field);
    const double value = out.toDouble();
    if (!std::isfinite(value))
        return QStringLiteral("「%1」は数値ではありません。").arg(field);
    if (value < low || value > high)
        return outOfRange(field, low, high);
    return std::nullopt;
}

} // namespace

namespace {
constexpr double kMaxSetting = std::numeric_limits<qint32>::max();
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

std::optional<QString> readCourseRules(const QString& text, CourseRules& rules)
{
    // One course per line, from index 0: a line with another count of values would shift
    // every course after it, so it stops start-up. Blank lines are passed over; messages name
    // the line as the file has it.
    const QStringList lines = textfile::splitLines(text);
    int index = 0;
    for (qsizetype physical = 0; physical < lines.size(); ++physical) {
        const QString& line = lines[physical];
        if (line.trimmed().isEmpty() || line.trimmed() == QStringLiteral("\x1a"))
            continue;
        const QString where = QStringLiteral("%1 行目：").arg(physical + 1);
        if (index > kMaxCourse)
            return QStringLiteral("行が多すぎます（%1 行までです）。").arg(kMaxCourse + 1);
        ValueReader reader(line);
        QStringList v;
        while (const auto value = reader.next())
            v.append(*value);
        if (v.size() < kCourseRuleValues)
            return where + tooFewValues(kCourseRuleValues, int(v.size()));
        if (v.size() > kCourseRuleValues) {
            return where + QStringLiteral("値が多すぎます（%1 個のところ %2 個あります）。")
                               .arg(kCourseRuleValues)
                               .arg(v.size());
        }
        // Times up to the missing time, a weight that keeps every sum of points in range, day
        // windows of up to a hundred years.
        constexpr double kMaxTime = 99999;
        constexpr double kMaxWeight = 1000;
        constexpr double kMaxDays = 36500;
        constexpr double kMaxWhole = std::numeric_limits<qint32>::max();
        std::optional<QString> bad;
        if (!bad)
            bad = toInteger(v[0], rules.targetTime[index], 0, kMaxTime);
        if (!bad)
            bad = toInteger(v[1], rules.secondTargetTime[index], 0, kMaxTime);
        if (!bad)
            bad = toInteger(v[2], rules.requiredPoints[index]);
        if (!bad)
            bad = toInteger(v[3], rules.requiredCount[index]);
        if (!bad)
            bad = toFloat(v[4], rules.pointWeight[index], 0, kMaxWeight);
        if (!bad)
            bad = toLoose(v[5], 0, kMaxWhole, rules.window2RequiredCount[index]);
        if (!bad)
            bad = toLoose(v[6], 0, kMaxWhole, rules.window2RequiredPoints[index]);
        if (!bad)
            bad = toLoose(v[7], 0, kMaxDays, rules.windowDays[index]);
        if (!bad)
            bad = toLoose(v[8], 0, kMaxDays, rules.window2Days[index]);
        if (bad)
            return where + *bad;
        // Values 10 to 12 are read and used by other programs of the family.
        ++index;
    }
    return std::nullopt;
}

QString settingsFileName()
{
    return QStringLiteral("設定.txt");
}

QString commonFileName()
{
    return QStringLiteral("共通データ.txt");
}

QString courseRulesFileName()
{
    return QStringLiteral("タイム回数データ.txt");
}

std::optional<StartupFailure> load(const QString& programDir, SharedState& state)
{
    const QString sep = folders::separator();
    const QString settingsFile = settingsFileName();
    const auto settingsText = textfile::read(programDir + sep + settingsFile);
    if (!settingsText.text)
        return StartupFailure{settingsFile, settingsText.error};
    ValueReader settingsReader(*settingsText.text);
    QString layoutText;
    for (int k = 0; k < kSettingsValues; ++k) {
        const auto value = settingsReader.next();
        if (!value)
            return StartupFailure{settingsFile, tooFewValues(kSettingsValues, k)};
        if (k == 0) {
            layoutText = *value;
            state.folders.folderLayout = Loose::fromField(*value);
        }
    }

    folders::resolve(state.folders, programDir);

    const QString commonFile = commonFileName();
    const auto commonText = textfile::read(state.folders.sharedFolder + commonFile, textfile::Utf8::Refused);
    if (!commonText.text) {
        // Where it was looked for follows from the first value of "設定.txt": say both.
        return StartupFailure{
            commonFile,
            QStringLiteral("%1\r\n探した場所：%2\r\n（「%3」の最初の値「%4」によります。1 なら「files」フォルダ、"
                           "ほかの値ならプログラムのフォルダのひとつ上です。）")
                .arg(commonText.error, QDir::toNativeSeparators(QDir::cleanPath(state.folders.sharedFolder)),
                     settingsFile, layoutText.trimmed())};
    }
    ValueReader commonReader(*commonText.text);
    Organisation& org = state.organisation;
    for (int k = 0; k < kCommonValues; ++k) {
        const auto value = commonReader.next();
        if (!value)
            return StartupFailure{commonFile, tooFewValues(kCommonValues, k)};
        switch (k) {
        case 0:
            // A month: the school year starts in it (0 or empty: in January).
            if (const auto bad = toLoose(*value, 0, 12, org.schoolYearStartMonth))
                return StartupFailure{commonFile,
                                      QStringLiteral("%1 行目：").arg(commonReader.lineOfLastValue()) + *bad};
            break;
        case 1:
            org.schoolName = *value;
            break;
        case 2:
            if (const auto bad = toLoose(*value, -kMaxSetting, kMaxSetting, org.commonItem3))
                return StartupFailure{commonFile,
                                      QStringLiteral("%1 行目：").arg(commonReader.lineOfLastValue()) + *bad};
            break;
        default:
            break; // values 4 to 10 are read and used by other programs of the family
        }
    }
    splitSchoolCode(org);

    state.catalogue.courseTitle = programTitle();

    const QString rulesFile = courseRulesFileName();
    const auto rulesText = textfile::read(state.folders.programFolder + rulesFile);
    if (!rulesText.text)
        return StartupFailure{rulesFile, rulesText.error};
    if (const auto problem = readCourseRules(*rulesText.text, state.rules))
        return StartupFailure{rulesFile, *problem};
    return std::nullopt;
}

} // namespace settings
