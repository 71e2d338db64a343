#include "school_settings.h"

#include "startup/settings_loader.h"
#include "text/cp932.h"
#include "text/number_field.h"
#include "text/text_file.h"
#include "text/value_reader.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace schoolsettings {
namespace {

const QString kSignerKey = QStringLiteral("署名");
const QString kWeekStartKey = QStringLiteral("週の始まり");
const QString kRankingNamesKey = QStringLiteral("順位の名前");
const QString kPasswordMarkKey = QStringLiteral("先生用パスワード");

QString quoted(const QString& value)
{
    return QStringLiteral("\"%1\"").arg(value);
}

// What a value may not hold: the file's quotes and line ends, and what code page 932 lacks.
std::optional<QString> unwritable(const QString& value, const QString& what)
{
    if (value.contains(u'"') || value.contains(u'\r') || value.contains(u'\n'))
        return QStringLiteral("%1に「\"」や改行は使えません。").arg(what);
    if (const auto encoded = cp932::encode(value); !encoded.ok())
        return QStringLiteral("%1の「%2」は、ほかのプログラムと共通の文字（Shift_JIS）にない字です。"
                              "ほかの字に書きかえてください。")
            .arg(what, QString::fromUcs4(&*encoded.unencodable, 1));
    return std::nullopt;
}

} // namespace

QString fileName()
{
    return QStringLiteral("学校の設定.txt");
}

QString commonFileName()
{
    return settings::commonFileName();
}

QString placeholderName()
{
    return QStringLiteral("学習塾");
}

bool hasRealName(const Organisation& organisation)
{
    const QString name = organisation.schoolName.trimmed();
    return !name.isEmpty() && name != placeholderName();
}

QStringList weekDayChoices()
{
    return {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
            QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")};
}

QString weekDayName(int dayOfWeek)
{
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? weekDayChoices().at(dayOfWeek % 7) : QString();
}

std::optional<int> weekDayOf(const QString& name)
{
    QString day = name.trimmed();
    if (day.endsWith(QStringLiteral("曜日")))
        day.chop(2);
    else if (day.endsWith(u'曜'))
        day.chop(1);
    const qsizetype index = weekDayChoices().indexOf(day);
    if (index < 0)
        return std::nullopt;
    return index == 0 ? 7 : int(index);
}

QStringList rankingNameChoices()
{
    return {QStringLiteral("名前"), QStringLiteral("出席番号だけ"), QStringLiteral("イニシャル")};
}

Read parse(const QByteArray& bytes)
{
    Read out;
    SchoolSettings& s = out.settings;
    QStringList problems;
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        s.problem = QStringLiteral("「%1」は Shift_JIS（CP932）ではない文字コードで保存されています。"
                                   "はじめの設定で動いています。「学校の設定」で保存しなおしてください。")
                        .arg(fileName());
        return out;
    }
    const QString text = cp932::decode(bytes);
    const QStringList lines = textfile::splitLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty() || line.trimmed() == QStringLiteral("\x1a"))
            continue;
        const QString where = QStringLiteral("%1 行目").arg(i + 1);
        // A line cut short (a quote never closed) is not guessed at.
        if (line.count(u'"') % 2 != 0 || line.contains(QChar::ReplacementCharacter)) {
            problems << QStringLiteral("%1が読めません").arg(where);
            continue;
        }
        ValueReader reader(line);
        const QString key = reader.next().value_or(QString()).trimmed();
        const QString value = reader.next().value_or(QString()).trimmed();
        if (key == kSignerKey) {
            if (value.size() > kMaxSignerLength)
                problems << QStringLiteral("%1：署名が長すぎます（%2文字まで）").arg(where).arg(kMaxSignerLength);
            else
                s.signer = value;
        } else if (key == kWeekStartKey) {
            if (const auto day = weekDayOf(value))
                s.weekStart = *day;
            else
                problems << QStringLiteral("%1：週の始まり「%2」は日〜土のどれでもありません").arg(where, value);
        } else if (key == kPasswordMarkKey) {
            s.passwordMark = value;
        } else if (key == kRankingNamesKey) {
            const qsizetype choice = rankingNameChoices().indexOf(value);
            if (choice >= 0)
                s.rankingNames = RankingNames(choice);
            else
                problems << QStringLiteral("%1：順位の名前「%2」は%3のどれでもありません")
                                .arg(where, value, rankingNameChoices().join(u'、'));
        } else {
            out.unknownLines << line; // a later version's, kept as it is
        }
    }
    if (!problems.isEmpty())
        s.problem = QStringLiteral("「%1」の %2。そこは、はじめの設定で動いています。")
                        .arg(fileName(), problems.join(QStringLiteral("、")));
    return out;
}

Read read(const QString& sharedFolder)
{
    const QString path = sharedFolder + fileName();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {}; // a school that has not set anything yet
    const textfile::ReadBytes bytes = textfile::readBytes(path);
    if (!bytes.bytes) {
        Read out;
        out.settings.problem =
            QStringLiteral("「%1」を読めません（%2）。はじめの設定で動いています。").arg(fileName(), bytes.error);
        return out;
    }
    return parse(*bytes.bytes);
}

QByteArray serialise(const SchoolSettings& settings, const QStringList& unknownLines)
{
    QString text;
    const auto line = [&text](const QString& key, const QString& value) {
        text += quoted(key) + u',' + quoted(value) + QStringLiteral("\r\n");
    };
    line(kSignerKey, settings.signer);
    line(kWeekStartKey, weekDayName(settings.weekStart));
    line(kRankingNamesKey, rankingNameChoices().value(int(settings.rankingNames)));
    if (!settings.passwordMark.isEmpty())
        line(kPasswordMarkKey, settings.passwordMark);
    for (const QString& unknown : unknownLines)
        text += unknown + QStringLiteral("\r\n");
    // Every value was checked to be writable before it got here; a line kept from the file was
    // read from code page 932.
    return cp932::encode(text).bytes;
}

QStringList problems(const Entry& entry)
{
    QStringList out;
    const QString name = entry.name.trimmed();
    if (name.isEmpty())
        out << QStringLiteral("学校の名前を入れてください。");
    else if (name == placeholderName())
        out << QStringLiteral("「%1」はインストールしたときの仮の名前です。学校の名前を入れてください。").arg(name);
    if (name.size() > kMaxNameLength)
        out << QStringLiteral("学校の名前は%1文字までです（いま%2文字）。賞状の1行に入る長さです。")
                   .arg(kMaxNameLength)
                   .arg(name.size());
    if (const auto bad = unwritable(name, QStringLiteral("学校の名前")))
        out << *bad;
    const QString code = entry.code.trimmed();
    if (!code.isEmpty()) {
        static const QRegularExpression fiveDigits(QStringLiteral("^[0-9]{5}$"));
        if (!fiveDigits.match(code).hasMatch() || code == QStringLiteral("00000"))
            out << QStringLiteral("学校コードは半角の数字5けた（00000 以外）か、空にしてください。");
    }
    // The family reads a name that starts with a number as its code: such a name is kept whole
    // only behind a code.
    if (code.isEmpty() && !name.isEmpty()) {
        Organisation check;
        check.schoolName = name;
        settings::splitSchoolCode(check);
        if (!check.schoolCode.isEmpty())
            out << QStringLiteral("数字で始まる名前は、学校コードといっしょでないと、数字がコードと読まれます。"
                                  "学校コードを入れるか、名前を数字でなく始めてください。");
    }
    const QString signer = entry.signer.trimmed();
    if (signer.size() > kMaxSignerLength)
        out << QStringLiteral("署名は%1文字までです（いま%2文字）。").arg(kMaxSignerLength).arg(signer.size());
    if (const auto bad = unwritable(signer, QStringLiteral("署名")))
        out << *bad;
    if (entry.weekStart < 1 || entry.weekStart > 7)
        out << QStringLiteral("週の始まりは日曜から土曜のどれかにしてください。");
    return out;
}

std::optional<QByteArray> withSchoolName(const QByteArray& common, const QString& code, const QString& name)
{
    // The family's separators (comma, quote, line ends) are single bytes that code page 932 never
    // uses inside a character, so the values are found in the bytes read one to one.
    ValueReader reader(QString::fromLatin1(common));
    if (!reader.next() || !reader.next())
        return std::nullopt;
    const ValueReader::Span span = reader.lastSpan();
    const cp932::Encoded value = cp932::encode(quoted(code.trimmed() + name.trimmed()));
    if (!value.ok())
        return std::nullopt;
    return common.left(span.start) + value.bytes + common.mid(span.end);
}

std::optional<QString> setPasswordMark(const QString& sharedFolder, const QString& mark)
{
    // The settings as the file holds them, not as defaults put in for a damaged file: a file that
    // cannot be read is left alone, and the password's other marks hold.
    const QString path = sharedFolder + fileName();
    const Read current = read(sharedFolder);
    if (!current.settings.problem.isEmpty() && QFileInfo::exists(path))
        return current.settings.problem;
    SchoolSettings settings = current.settings;
    settings.passwordMark = mark;
    if (const auto error = textfile::replace(path, serialise(settings, current.unknownLines)))
        return QStringLiteral("「%1」を書き込めません（%2）。").arg(fileName(), *error);
    return std::nullopt;
}

std::optional<QString> save(const QString& sharedFolder, const Entry& entry)
{
    const QString commonPath = sharedFolder + commonFileName();
    const textfile::ReadBytes common = textfile::readBytes(commonPath);
    if (!common.bytes)
        return QStringLiteral("「%1」を読めません（%2）。保存しませんでした。").arg(commonFileName(), common.error);
    const auto rewritten = withSchoolName(*common.bytes, entry.code, entry.name);
    if (!rewritten)
        return QStringLiteral("「%1」に学校の名前の値がありません。保存しませんでした。").arg(commonFileName());
    Read current = read(sharedFolder);
    SchoolSettings settings = current.settings;
    settings.signer = entry.signer.trimmed();
    settings.weekStart = entry.weekStart;
    settings.rankingNames = entry.rankingNames;
    settings.problem.clear();
    const QByteArray ours = serialise(settings, current.unknownLines);
    const textfile::Earlier before = textfile::earlier(sharedFolder + fileName());
    if (before.bytes != ours) {
        if (const auto error = textfile::replace(sharedFolder + fileName(), ours))
            return QStringLiteral("「%1」を書き込めません。保存しませんでした。\r\n理由：%2").arg(fileName(), *error);
    }
    if (*rewritten != *common.bytes) {
        // Whole or not at all: the settings go back as they were.
        if (const auto error = textfile::replace(commonPath, *rewritten)) {
            textfile::putBack(before);
            return QStringLiteral("「%1」を書き込めません。保存しませんでした。\r\n理由：%2")
                .arg(commonFileName(), *error);
        }
    }
    return std::nullopt;
}

} // namespace schoolsettings
