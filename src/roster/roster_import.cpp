#include "roster_import.h"

#include "readings.h"
#include "text/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

namespace rosterimport {
namespace {

// A header or a figure as the recognition compares it: full-width letters and digits as
// half-width, half-width kana as full-width, no blanks.
QString folded(const QString& text)
{
    QString out = text.normalized(QString::NormalizationForm_KC);
    out.removeIf([](QChar c) { return c.isSpace(); });
    return out;
}

QString decode(const QByteArray& bytes, Encoding encoding)
{
    if (encoding == Encoding::Cp932)
        return cp932::decode(bytes);
    return QString::fromUtf8(bytes); // an invalid sequence becomes U+FFFD
}

// The fields of the text: RFC 4180, the separator a comma or a tab.
QList<QStringList> split(const QString& text, QChar separator)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"' && field.trimmed().isEmpty() && !wasQuoted) {
            field.clear();
            quoted = true;
            wasQuoted = true;
        } else if (c == separator) {
            row.append(field);
            field.clear();
            wasQuoted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row.append(field);
        rows.append(row);
    }
    return rows;
}

QChar separatorOf(const QString& text)
{
    const QString first = text.left(text.indexOf(u'\n') < 0 ? text.size() : text.indexOf(u'\n'));
    return first.count(u'\t') > first.count(u',') ? QChar(u'\t') : QChar(u',');
}

std::optional<int> wholeNumber(const QString& text)
{
    const QString f = folded(text);
    qsizetype end = 0;
    while (end < f.size() && f[end].isDigit() && f[end].unicode() < 0x80)
        ++end;
    if (end == 0 || end > 6)
        return std::nullopt;
    return f.left(end).toInt();
}

QString cell(const QStringList& row, qsizetype column)
{
    return column >= 0 && column < row.size() ? row[column].trimmed() : QString();
}

bool startsLikeFormula(const QString& name)
{
    return !name.isEmpty() && QStringLiteral("=+-@＝＋－＠").contains(name.front());
}

} // namespace

std::optional<Sheet> parse(const QByteArray& input, Encoding encoding, QString* error)
{
    const auto refuse = [&](const QString& why) -> std::optional<Sheet> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QByteArray bytes = input;
    Sheet sheet;
    QString text;
    if (bytes.startsWith("\xFF\xFE")) { // "Unicode text" as a spreadsheet saves it
        text = QStringDecoder(QStringDecoder::Utf16LE)(bytes.mid(2));
        sheet.encoding = Encoding::Utf8;
    } else {
        if (bytes.contains('\0'))
            return refuse(QStringLiteral("CSV のファイルではありません（文字でないデータがあります）"));
        const bool mark = bytes.startsWith("\xEF\xBB\xBF");
        if (mark)
            bytes.remove(0, 3);
        sheet.encoding = encoding != Encoding::Automatic ? encoding
                         : mark || bytes.isValidUtf8()   ? Encoding::Utf8
                                                         : Encoding::Cp932;
        text = decode(bytes, sheet.encoding);
    }
    sheet.rows = split(text, separatorOf(text));
    while (!sheet.rows.isEmpty() && sheet.rows.last().join(QString()).trimmed().isEmpty())
        sheet.rows.removeLast();
    if (sheet.rows.isEmpty())
        return refuse(QStringLiteral("ファイルが空です"));
    if (sheet.rows.size() > kMaxRows + 1)
        return refuse(QStringLiteral("行が多すぎます（%1 行まで）").arg(kMaxRows));
    if (text.contains(QChar(0xFFFD))) {
        sheet.warning =
            QStringLiteral("読めない文字（�）があります。文字コードの選び方がちがうかもしれません"
                           "（いまは %1）。")
                .arg(sheet.encoding == Encoding::Utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Shift_JIS"));
    }
    return sheet;
}

std::optional<Sheet> readFile(const QString& path, Encoding encoding, QString* error)
{
    const QFileInfo info(path);
    const auto refuse = [&](const QString& why) -> std::optional<Sheet> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (!info.exists())
        return refuse(QStringLiteral("ファイルがありません"));
    if (!info.isFile())
        return refuse(QStringLiteral("ふつうのファイルではありません（フォルダ、名前付きパイプ、装置など）"));
    if (info.size() > kMaxBytes)
        return refuse(QStringLiteral("ファイルが大きすぎます（%1 MB まで）").arg(kMaxBytes / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    return parse(file.read(kMaxBytes + 1), encoding, error);
}

QString caption(Column column)
{
    switch (column) {
    case Column::Ignored:
        return QStringLiteral("（読まない）");
    case Column::Number:
        return QStringLiteral("番号");
    case Column::Grade:
        return QStringLiteral("学年");
    case Column::ClassName:
        return QStringLiteral("組");
    case Column::Seat:
        return QStringLiteral("出席番号");
    case Column::Name:
        return QStringLiteral("氏名");
    case Column::FamilyName:
        return QStringLiteral("姓");
    case Column::GivenName:
        return QStringLiteral("名");
    case Column::Reading:
        return QStringLiteral("ふりがな");
    case Column::FamilyReading:
        return QStringLiteral("せい");
    case Column::GivenReading:
        return QStringLiteral("めい");
    case Column::BirthYear:
        return QStringLiteral("生まれた年");
    case Column::Sex:
        return QStringLiteral("性別（読まない）");
    case Column::BirthDate:
        return QStringLiteral("生年月日（読まない）");
    }
    return QString();
}

QList<Column> allColumns()
{
    return {Column::Ignored,      Column::Number,     Column::Grade,     Column::ClassName, Column::Seat,
            Column::Name,         Column::FamilyName, Column::GivenName, Column::Reading,   Column::FamilyReading,
            Column::GivenReading, Column::BirthYear,  Column::Sex,       Column::BirthDate};
}

QList<Column> recognise(const QStringList& header)
{
    static const QHash<QString, Column> names = {
        {QStringLiteral("番号"), Column::Number},        {QStringLiteral("生徒番号"), Column::Number},
        {QStringLiteral("学年"), Column::Grade},         {QStringLiteral("年"), Column::Grade},
        {QStringLiteral("組"), Column::ClassName},       {QStringLiteral("クラス"), Column::ClassName},
        {QStringLiteral("学級"), Column::ClassName},     {QStringLiteral("出席番号"), Column::Seat},
        {QStringLiteral("氏名"), Column::Name},          {QStringLiteral("名前"), Column::Name},
        {QStringLiteral("児童名"), Column::Name},        {QStringLiteral("生徒名"), Column::Name},
        {QStringLiteral("姓"), Column::FamilyName},      {QStringLiteral("名"), Column::GivenName},
        {QStringLiteral("ふりがな"), Column::Reading},   {QStringLiteral("フリガナ"), Column::Reading},
        {QStringLiteral("よみがな"), Column::Reading},   {QStringLiteral("ヨミガナ"), Column::Reading},
        {QStringLiteral("かな"), Column::Reading},       {QStringLiteral("カナ"), Column::Reading},
        {QStringLiteral("よみ"), Column::Reading},       {QStringLiteral("せい"), Column::FamilyReading},
        {QStringLiteral("セイ"), Column::FamilyReading}, {QStringLiteral("めい"), Column::GivenReading},
        {QStringLiteral("メイ"), Column::GivenReading},  {QStringLiteral("生まれた年"), Column::BirthYear},
        {QStringLiteral("生年"), Column::BirthYear},     {QStringLiteral("性別"), Column::Sex},
        {QStringLiteral("生年月日"), Column::BirthDate},
    };
    QList<Column> columns;
    QSet<Column> taken;
    for (const QString& name : header) {
        Column c = names.value(folded(name), Column::Ignored);
        if (taken.contains(c))
            c = Column::Ignored; // the first column of a kind is the one read
        if (c != Column::Ignored)
            taken.insert(c);
        columns.append(c);
    }
    return columns;
}

std::optional<int> gradeIndex(const QString& text)
{
    QString f = folded(text);
    static const QString kanjiDigits = QStringLiteral("一二三四五六");
    for (QChar& c : f) {
        if (const qsizetype k = kanjiDigits.indexOf(c); k >= 0)
            c = QChar(char16_t(u'1' + k));
    }
    int base = 0;
    if (f.startsWith(u'中'))
        base = 6;
    else if (f.startsWith(u'高'))
        base = 9;
    while (!f.isEmpty() && !f.front().isDigit())
        f.remove(0, 1);
    const auto n = wholeNumber(f);
    if (!n || *n < 1 || *n > (base == 0 ? 6 : 3))
        return std::nullopt;
    return base + *n;
}

QString caption(Action action)
{
    switch (action) {
    case Action::New:
        return QStringLiteral("新しく登録");
    case Action::Changed:
        return QStringLiteral("変更");
    case Action::Unchanged:
        return QStringLiteral("変更なし");
    case Action::Skipped:
        return QStringLiteral("読み込まない");
    }
    return QString();
}

int Plan::count(Action action) const
{
    return int(std::count_if(items.cbegin(), items.cend(), [&](const Item& i) { return i.action == action; }));
}

Plan plan(const Sheet& sheet, const QList<Column>& columns, const RosterDocument& roster,
          const QHash<int, QString>& readings, const Options& options)
{
    Plan result;
    result.schoolYear = options.schoolYear;
    const auto at = [&](Column c) { return qsizetype(columns.indexOf(c)); };
    const qsizetype number = at(Column::Number), grade = at(Column::Grade), className = at(Column::ClassName),
                    seat = at(Column::Seat), name = at(Column::Name), family = at(Column::FamilyName),
                    given = at(Column::GivenName), reading = at(Column::Reading),
                    familyReading = at(Column::FamilyReading), givenReading = at(Column::GivenReading),
                    birthYear = at(Column::BirthYear);
    QHash<int, int> entryOfNumber;    // also every number the roster holds
    QHash<QString, int> entryOfPupil; // name and birth year
    const QList<RosterDocument::Entry>& entries = roster.entries();
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries[i].editable())
            continue;
        entryOfNumber.insert(entries[i].line.number, i);
        entryOfPupil.insert(entries[i].line.trimmedName() + u'|' + QString::number(entries[i].line.birthYear), i);
    }
    QHash<QString, int> seatRow;
    QHash<int, int> numberRow;
    for (qsizetype r = 1; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        if (row.join(QString()).trimmed().isEmpty())
            continue;
        Item item;
        item.row = int(r + 1);
        const auto problem = [&](const QString& why) { item.problems.append(why); };
        item.name = roster::tidyBlanks(name >= 0 ? cell(row, name) : cell(row, family) + u' ' + cell(row, given));
        item.reading = readings::normalised(reading >= 0 ? cell(row, reading)
                                                         : cell(row, familyReading) + u' ' + cell(row, givenReading));
        if (item.name.isEmpty())
            problem(QStringLiteral("名前がありません"));
        else if (startsLikeFormula(item.name))
            problem(QStringLiteral("名前が「%1」で始まっています").arg(item.name.front()));
        else if (const auto bad = RosterDocument::nameProblem(item.name))
            problem(*bad);
        if (!item.reading.isEmpty() && !readings::isKana(item.reading))
            problem(QStringLiteral("ふりがなに、かなでない字があります（%1）").arg(item.reading));
        if (item.name.contains(u'?') || item.name.contains(QChar(0xFFFD)))
            problem(QStringLiteral("名前に「?」があります。文字コードの選び方がちがうかもしれません"));

        std::optional<int> gradeIdx;
        if (birthYear >= 0 && !cell(row, birthYear).isEmpty()) {
            qint16 year = 0;
            if (const auto bad = RosterDocument::yearProblem(cell(row, birthYear), options.thisYear, &year))
                problem(*bad);
            item.birthYear = year;
            gradeIdx = options.schoolYear - year - 6;
        } else if (grade >= 0 && !cell(row, grade).isEmpty()) {
            gradeIdx = gradeIndex(cell(row, grade));
            if (gradeIdx)
                item.birthYear = options.schoolYear - *gradeIdx - 6;
            else
                problem(
                    QStringLiteral("学年「%1」が読めません（「小5」「5年」「中1」のように）").arg(cell(row, grade)));
        }
        const auto classNo = wholeNumber(cell(row, className));
        const auto seatNo = wholeNumber(cell(row, seat));
        if (gradeIdx && classNo && seatNo) {
            const QString key = QStringLiteral("%1-%2-%3").arg(*gradeIdx).arg(*classNo).arg(*seatNo);
            if (seatRow.contains(key))
                problem(QStringLiteral("学年・組・出席番号が %1 行目と同じです").arg(seatRow.value(key)));
            else
                seatRow.insert(key, item.row);
        }

        if (number >= 0 && !cell(row, number).isEmpty()) {
            const auto n = wholeNumber(cell(row, number));
            if (!n || *n < RosterDocument::kFirstNumber || *n > RosterDocument::kLastNumber) {
                problem(QStringLiteral("番号「%1」は 1 から 5000 までではありません").arg(cell(row, number)));
            } else if (numberRow.contains(*n)) {
                problem(QStringLiteral("番号 %1 が %2 行目と同じです").arg(*n).arg(numberRow.value(*n)));
            } else {
                item.number = *n;
                numberRow.insert(*n, item.row);
                item.entry = entryOfNumber.value(*n, -1);
            }
        } else if (item.birthYear != 0) {
            item.entry = entryOfPupil.value(item.name + u'|' + QString::number(item.birthYear), -1);
            if (item.entry >= 0)
                item.number = entries[item.entry].line.number;
        }
        if (item.entry < 0 && item.birthYear == 0 && item.problems.isEmpty())
            problem(QStringLiteral("学年も生まれた年もありません"));

        if (item.entry >= 0 && item.problems.isEmpty()) {
            const roster::Line& line = entries[item.entry].line;
            if (item.birthYear == 0)
                item.birthYear = line.birthYear;
            if (item.name != line.trimmedName()) {
                if (options.changeNames)
                    item.changes.append(QStringLiteral("名前：%1 → %2").arg(line.trimmedName(), item.name));
                else
                    item.name = line.trimmedName();
            }
            if (item.birthYear != line.birthYear)
                item.changes.append(QStringLiteral("生まれた年：%1 → %2").arg(line.birthYear).arg(item.birthYear));
            if (!item.reading.isEmpty() && item.reading != readings.value(line.number))
                item.changes.append(QStringLiteral("よみ：%1").arg(item.reading));
            item.action = item.changes.isEmpty() ? Action::Unchanged : Action::Changed;
        } else if (item.problems.isEmpty()) {
            item.action = Action::New;
            if (item.number == 0 && options.numbering == Numbering::GradeClassSeat) {
                if (!gradeIdx || !classNo || !seatNo || *classNo > 9 || *seatNo > 99)
                    problem(QStringLiteral("学年・組・出席番号から番号を作れません"));
                else
                    item.number = *gradeIdx * 1000 + *classNo * 100 + *seatNo;
                if (item.number > RosterDocument::kLastNumber)
                    problem(QStringLiteral("番号 %1 は 5000 をこえます。「空いている番号」を選んでください")
                                .arg(item.number));
            }
            if (item.number != 0 && entryOfNumber.contains(item.number))
                problem(QStringLiteral("番号 %1 はもう使われています").arg(item.number));
            else if (item.number != 0 && item.problems.isEmpty())
                numberRow.insert(item.number, item.row);
        }
        if (!item.problems.isEmpty())
            item.action = Action::Skipped;
        result.items.append(item);
    }
    // New pupils without a number of their own get the smallest free ones, in the list's order.
    int next = RosterDocument::kFirstNumber;
    for (Item& item : result.items) {
        if (item.action != Action::New || item.number != 0)
            continue;
        while (next <= RosterDocument::kLastNumber && (entryOfNumber.contains(next) || numberRow.contains(next)))
            ++next;
        if (next > RosterDocument::kLastNumber) {
            item.problems.append(QStringLiteral("空いている番号がありません"));
            item.action = Action::Skipped;
            continue;
        }
        item.number = next++;
    }
    return result;
}

void apply(const Plan& plan, RosterDocument& roster, QHash<int, QString>& readings, int thisYear)
{
    for (const Item& item : plan.items) {
        if (item.action == Action::New) {
            if (roster.add(item.number, item.name, QString::number(item.birthYear), 0, thisYear))
                continue;
        } else if (item.action == Action::Changed) {
            const roster::Line& line = roster.entries()[item.entry].line;
            roster.set(item.entry, item.name, QString::number(item.birthYear), line.status, thisYear);
        } else {
            continue;
        }
        if (!item.reading.isEmpty())
            readings.insert(item.number, item.reading);
    }
}

QStringList describe(const Plan& plan)
{
    QStringList lines;
    for (const Item& item : plan.items) {
        QString line = QStringLiteral("%1 行目：%2").arg(item.row).arg(caption(item.action));
        if (item.action != Action::Skipped) {
            line += QStringLiteral("　番号 %1　%2　%3")
                        .arg(item.number)
                        .arg(roster::shortGradeLabel(roster::gradeIndex(plan.schoolYear, item.birthYear)), item.name);
            if (!item.reading.isEmpty())
                line += QStringLiteral("（%1）").arg(item.reading);
            if (!item.changes.isEmpty())
                line += QStringLiteral("　") + item.changes.join(QStringLiteral("、"));
        } else {
            line += QStringLiteral("　") + item.problems.join(QStringLiteral("、"));
        }
        lines.append(line);
    }
    lines.append(QStringLiteral("新しく登録 %1 人、変更 %2 人、変更なし %3 人、読み込まない行 %4")
                     .arg(plan.count(Action::New))
                     .arg(plan.count(Action::Changed))
                     .arg(plan.count(Action::Unchanged))
                     .arg(plan.count(Action::Skipped)));
    return lines;
}

QByteArray templateCsv()
{
    return QByteArray("\xEF\xBB\xBF") + QStringLiteral("番号,学年,組,出席番号,氏名,ふりがな,生まれた年\r\n"
                                                       ",小5,1,7,山田　太郎,やまだ　たろう,\r\n")
                                            .toUtf8();
}

} // namespace rosterimport
