#pragma once

#include "state/shared_state.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// "学校の設定": the school's name and code, who signs its certificates, the first day of its
// week and how rankings name other pupils. The name and code live where the family keeps them,
// the second value of "共通データ.txt", which is rewritten in that one value and nothing else;
// the rest is this program's own "学校の設定.txt" beside it, code page 932 with CR LF, one
// `"key","value"` line each.
namespace schoolsettings {

QString fileName();       // "学校の設定.txt"
QString commonFileName(); // "共通データ.txt"

// The longest school name and signer a certificate sets on one column.
constexpr int kMaxNameLength = 20;
constexpr int kMaxSignerLength = 20;

// The installer's placeholder, which no certificate may carry as the issuer.
QString placeholderName();
bool hasRealName(const Organisation& organisation);

// "日", "月" .. "土" for 7, 1 .. 6, the days as the settings file and the dialog write them,
// in the order a Japanese calendar shows them.
QStringList weekDayChoices();
QString weekDayName(int dayOfWeek);
std::optional<int> weekDayOf(const QString& name);
QStringList rankingNameChoices(); // "名前", "出席番号だけ", "イニシャル"

// The settings file as read: defaults where it is missing, empty, cut or wrong, with the reason
// in problem (none for a missing file: a new school has none yet). Lines of keys this version
// does not know are kept, to be written back as they were.
struct Read
{
    SchoolSettings settings;
    QStringList unknownLines;
};
Read parse(const QByteArray& bytes);
Read read(const QString& sharedFolder);
QByteArray serialise(const SchoolSettings& settings, const QStringList& unknownLines);

// What the teacher typed in "学校の設定".
struct Entry
{
    QString code; // five half-width digits, or empty
    QString name;
    QString signer;
    int weekStart = 1;
    RankingNames rankingNames = RankingNames::Names;
};
// One Japanese line for each thing that keeps the entry from being saved.
QStringList problems(const Entry& entry);

// "共通データ.txt" with its second value replaced by the code and name, every other byte kept;
// nothing when the text does not hold two values. The value is quoted, as the family writes it.
std::optional<QByteArray> withSchoolName(const QByteArray& common, const QString& code, const QString& name);

// Writes the teacher's password's mark (empty: none) into the settings file, every other line
// kept; the error, in Japanese.
std::optional<QString> setPasswordMark(const QString& sharedFolder, const QString& mark);

// Saves an entry without problems: the second value of "共通データ.txt" (only when it changes)
// and the settings file, each replaced whole or not at all. The error, in Japanese.
std::optional<QString> save(const QString& sharedFolder, const Entry& entry);

} // namespace schoolsettings
