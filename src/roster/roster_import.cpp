#include "roster_import.h"

#include "readings.h"
#include "text/cp932.h"
#include "text/japanese_date.h"
#include "text/name_fold.h"

#include <QCryptographicHash>
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
    QString out = text.normalized(QString::NormalizationForm_KC).toCaseFolded();
    out.removeIf([](QChar c) { return c.isSpace(); });
    return out;
}

QString decode(const QByteArray& bytes, Encoding encoding)
{
    if (encoding == Encoding::Cp932)
        return cp932::decode(bytes);
    return QString::fromUtf8(bytes); // an invalid sequence becomes U+FFFD
}

// The fields of the text: RFC 4180, the separator a comma or a tab. A quote never closed would
// take the rest of the file into one field: the line where it opened is named instead.
QList<QStringList> split(const QString& text, QChar separator, QString* error)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    int line = 1, quoteLine = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
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
            quoteLine = line;
        } else if (c == separator) {
            row.append(field);
            field.clear();
            wasQuoted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
                ++line;
            }
            row.append(field);
            rows.append(row);
            row.clear();
            field.clear();
            wasQuoted = false;
        } else {
            field += c;
        }
    }
    if (quoted) {
        *error = QStringLiteral("%1 行目で始まった「\"」が閉じられていません（そこから先が一つの欄になってしまいます）")
                     .arg(quoteLine);
        return {};
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row.append(field);
        rows.append(row);
    }
    return rows;
}

// The first line longer than kMaxLineLength, or 0.
int overlongLine(const QString& text)
{
    int line = 1;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\n')
            continue;
        if (i - start > kMaxLineLength)
            return line;
        ++line;
        start = i + 1;
    }
    return 0;
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
    if (const int line = overlongLine(text))
        return refuse(QStringLiteral("%1 行目が長すぎます（1 行 %2 文字まで）。名簿の CSV ではないようです")
                          .arg(line)
                          .arg(kMaxLineLength));
    QString splitError;
    sheet.rows = split(text, separatorOf(text), &splitError);
    if (!splitError.isEmpty())
        return refuse(splitError);
    sheet.digest = QCryptographicHash::hash(input, QCryptographicHash::Sha256);
    while (!sheet.rows.isEmpty() && sheet.rows.last().join(QString()).trimmed().isEmpty())
        sheet.rows.removeLast();
    if (sheet.rows.isEmpty())
        return refuse(QStringLiteral("ファイルが空です"));
    if (sheet.rows.size() == 1)
        return refuse(QStringLiteral("見出しの行だけで、生徒の行がありません"));
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
        return refuse(QStringLiteral("ファイルが大きすぎます（%1 MB。名簿の CSV は %2 MB までです）")
                          .arg(QString::number(double(info.size()) / (1024 * 1024), 'f', 1))
                          .arg(kMaxBytes / (1024 * 1024)));
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
        return QStringLiteral("生徒番号");
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
        return QStringLiteral("よみ");
    case Column::FamilyReading:
        return QStringLiteral("せい");
    case Column::GivenReading:
        return QStringLiteral("めい");
    case Column::BirthYear:
        return QStringLiteral("生まれた年");
    case Column::Sex:
        return QStringLiteral("性別（読まない）");
    case Column::BirthDate:
        return QStringLiteral("生年月日");
    }
    return QString();
}

QList<Column> allColumns()
{
    return {Column::Ignored,      Column::Number,     Column::Grade,     Column::ClassName, Column::Seat,
            Column::Name,         Column::FamilyName, Column::GivenName, Column::Reading,   Column::FamilyReading,
            Column::GivenReading, Column::BirthYear,  Column::Sex,       Column::BirthDate};
}

namespace {

// Each header the import knows, with its meaning and its rank among the headers of that meaning:
// where a list has two (出席番号 and 番号), the better one is read.
struct Known
{
    Column column = Column::Ignored;
    int rank = 0;
};

Known knownHeader(const QString& header)
{
    static const QHash<QString, Known> names = [] {
        QHash<QString, Known> map;
        const auto add = [&map](Column c, std::initializer_list<const char16_t*> headers) {
            int rank = 0;
            for (const char16_t* h : headers)
                map.insert(folded(QString::fromUtf16(h)), {c, rank++});
        };
        add(Column::Number, {u"生徒番号"});
        add(Column::Grade, {u"学年", u"年"});
        add(Column::ClassName, {u"組", u"クラス", u"学級"});
        add(Column::Seat, {u"出席番号", u"出席No.", u"出席No", u"番号", u"No.", u"No"});
        add(Column::Name, {u"氏名", u"名前", u"なまえ", u"児童氏名", u"生徒氏名", u"児童名", u"生徒名"});
        add(Column::FamilyName, {u"姓", u"氏"});
        add(Column::GivenName, {u"名"});
        add(Column::Reading,
            {u"ふりがな", u"フリガナ", u"よみがな", u"ヨミガナ", u"よみ", u"ヨミ", u"読み", u"かな", u"カナ",
             u"氏名かな", u"氏名カナ", u"氏名ふりがな", u"氏名フリガナ", u"児童氏名かな", u"生徒氏名かな"});
        add(Column::FamilyReading, {u"せい", u"セイ", u"姓かな", u"姓カナ", u"姓ふりがな", u"姓フリガナ"});
        add(Column::GivenReading, {u"めい", u"メイ", u"名かな", u"名カナ", u"名ふりがな", u"名フリガナ"});
        add(Column::BirthYear, {u"生まれた年", u"生年"});
        add(Column::BirthDate, {u"生年月日", u"誕生日"});
        add(Column::Sex, {u"性別"});
        return map;
    }();
    return names.value(folded(header));
}

} // namespace

Column meaningOf(const QString& header)
{
    return knownHeader(header).column;
}

std::optional<Column> columnNamed(const QString& meaning)
{
    const QString wanted = folded(meaning);
    for (const Column c : allColumns()) {
        if (folded(caption(c)) == wanted)
            return c;
    }
    if (wanted == folded(QStringLiteral("読まない")))
        return Column::Ignored;
    const Column byHeader = meaningOf(meaning);
    return byHeader == Column::Ignored ? std::nullopt : std::optional(byHeader);
}

QList<Column> recognise(const QStringList& header)
{
    // Of the columns of one meaning, the one with the best-ranked header is read, the first of
    // equals; the others are not.
    QHash<Column, qsizetype> chosen;
    for (qsizetype i = 0; i < header.size(); ++i) {
        const Known k = knownHeader(header[i]);
        if (k.column == Column::Ignored)
            continue;
        const auto best = chosen.constFind(k.column);
        if (best == chosen.cend() || k.rank < knownHeader(header[*best]).rank)
            chosen.insert(k.column, i);
    }
    QList<Column> columns(header.size(), Column::Ignored);
    for (auto it = chosen.cbegin(); it != chosen.cend(); ++it)
        columns[it.value()] = it.key();
    return columns;
}

std::optional<int> seatNumber(int gradeIndex, int classNo, int seat)
{
    if (gradeIndex < 1 || gradeIndex > 6 || classNo < 1 || classNo > kMaxClass || seat < 1 || seat > kMaxSeat)
        return std::nullopt;
    return 2000 + (gradeIndex - 1) * kMaxClass * kMaxSeat + (classNo - 1) * kMaxSeat + seat;
}

QString seatNumberScheme()
{
    return QStringLiteral("番号 = 2000 ＋ (学年−1)×450 ＋ (組−1)×50 ＋ 出席番号"
                          "（小学1〜6年、1〜9組、出席番号1〜50：1年1組1番は 2001、6年9組50番は 4700）");
}

QString expectedHeaders()
{
    return QStringLiteral("名前（氏名、名前、児童氏名、生徒氏名、児童名、生徒名、または 姓 と 名）が要ります。"
                          "ほかに読む見出し：学年、組、出席番号（番号、No.）、よみ（ふりがな、フリガナ、氏名かな、"
                          "姓かな と 名かな）、生まれた年、生年月日、生徒番号");
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

namespace {

// What the header says about the file, before any row: columns not read, a reading left unused.
void noteColumns(Plan& plan, const QStringList& header, const QList<Column>& columns, const QSet<qsizetype>& decided)
{
    const auto used = [&columns](Column c) { return columns.contains(c); };
    if (!used(Column::Name) && !(used(Column::FamilyName) && used(Column::GivenName))) {
        plan.noKnownColumn = true;
        plan.notes << QStringLiteral("名前の列がありません。") + expectedHeaders();
    }
    const bool readingUsed = used(Column::Reading) || used(Column::FamilyReading) || used(Column::GivenReading);
    for (int c = 0; c < header.size(); ++c) {
        const Column chosen = columns.value(c, Column::Ignored);
        const Column looks = meaningOf(header[c]);
        const QString name =
            header[c].trimmed().isEmpty() ? QStringLiteral("（%1 列目）").arg(c + 1) : header[c].trimmed();
        if (chosen != Column::Ignored || looks == Column::Sex || decided.contains(c))
            continue;
        if (looks == Column::Reading || looks == Column::FamilyReading || looks == Column::GivenReading)
            plan.notes << (readingUsed
                               ? QStringLiteral("「%1」の列はよみですが、使っていません（ほかのよみの列を使います）。")
                               : QStringLiteral("「%1」の列はよみですが、使っていません。使うなら列の読み方で"
                                                "「よみ」を選んでください。"))
                              .arg(name);
        else if (looks != Column::Ignored)
            plan.notes << QStringLiteral("「%1」の列は、同じ意味の列がほかにあるので読みません。").arg(name);
        else
            plan.notes << QStringLiteral("「%1」の列は何の列かわからないので読みません（読むなら列の読み方を選んで"
                                         "ください）。")
                              .arg(name);
    }
}

// The birth year as the roster keeps it: the year of the school's counting, so that a pupil born
// before the school year's start (早生まれ) is counted with the year before.
int schoolBirthYear(const QDate& born, int startMonth)
{
    const int month = startMonth >= 1 && startMonth <= 12 ? startMonth : 4;
    return born < QDate(born.year(), month, 2) ? born.year() - 1 : born.year();
}

} // namespace

Plan plan(const Sheet& sheet, const QList<Column>& columns, const RosterDocument& roster,
          const QHash<int, QString>& readings, const Options& options)
{
    Plan result;
    result.schoolYear = options.schoolYear;
    noteColumns(result, sheet.rows.front(), columns, options.decided);
    const auto at = [&](Column c) { return qsizetype(columns.indexOf(c)); };
    const qsizetype number = at(Column::Number), grade = at(Column::Grade), className = at(Column::ClassName),
                    seat = at(Column::Seat), name = at(Column::Name), family = at(Column::FamilyName),
                    given = at(Column::GivenName), reading = at(Column::Reading),
                    familyReading = at(Column::FamilyReading), givenReading = at(Column::GivenReading),
                    birthYear = at(Column::BirthYear), birthDate = at(Column::BirthDate);
    const qsizetype width = sheet.rows.front().size();
    QHash<int, int> entryOfNumber;             // also every number the roster holds
    QHash<QString, QList<int>> entriesOfPupil; // folded name and birth year
    const QList<RosterDocument::Entry>& entries = roster.entries();
    const auto pupilKey = [](const QString& n, int year) { return namefold::fold(n) + u'|' + QString::number(year); };
    for (int i = 0; i < entries.size(); ++i) {
        if (!entries[i].editable())
            continue;
        entryOfNumber.insert(entries[i].line.number, i);
        entriesOfPupil[pupilKey(entries[i].line.trimmedName(), entries[i].line.birthYear)].append(i);
    }
    QHash<QString, int> seatRow;
    QHash<int, int> numberRow;
    QHash<QString, int> pupilRow; // the same pupil twice in the list
    QHash<int, int> itemOfEntry;  // one roster line changed by one row
    for (qsizetype r = 1; r < sheet.rows.size(); ++r) {
        const QStringList& row = sheet.rows[r];
        if (row.join(QString()).trimmed().isEmpty())
            continue;
        Item item;
        item.row = int(r + 1);
        const auto problem = [&](const QString& why) { item.problems.append(why); };
        if (result.noKnownColumn) {
            problem(QStringLiteral("名前の列がありません"));
            item.action = Action::Skipped;
            result.items.append(item);
            continue;
        }
        if (row.size() != width)
            problem(
                QStringLiteral("欄の数が見出しとちがいます（見出しは %1、この行は %2）").arg(width).arg(row.size()));
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
            problem(QStringLiteral("よみに、かなでない字があります（%1）").arg(item.reading));
        if (item.name.contains(u'?') || item.name.contains(QChar(0xFFFD)))
            problem(QStringLiteral("名前に「?」があります。文字コードの選び方がちがうかもしれません"));

        std::optional<int> gradeIdx;
        if (birthDate >= 0 && !cell(row, birthDate).isEmpty()) {
            const auto born = japanesedate::parse(cell(row, birthDate));
            if (!born || born->year() > options.thisYear || born->year() < options.thisYear - 100) {
                problem(
                    QStringLiteral("生年月日「%1」が読めません（「2015/4/5」「平成27年4月5日」「H27.4.5」のように）")
                        .arg(cell(row, birthDate)));
            } else {
                item.birthYear = schoolBirthYear(*born, options.schoolYearStartMonth);
                gradeIdx = options.schoolYear - item.birthYear - 6;
            }
        } else if (birthYear >= 0 && !cell(row, birthYear).isEmpty()) {
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
                problem(QStringLiteral("学年「%1」が読めません（小1〜小6、中1〜中3：「小5」「5年」「中1」のように）")
                            .arg(cell(row, grade)));
        }
        const auto classNo = wholeNumber(cell(row, className));
        const auto seatNo = wholeNumber(cell(row, seat));
        if (className >= 0 && !cell(row, className).isEmpty() && (!classNo || *classNo < 1 || *classNo > kMaxClass))
            problem(QStringLiteral("組「%1」は 1〜%2 ではありません").arg(cell(row, className)).arg(kMaxClass));
        if (seat >= 0 && !cell(row, seat).isEmpty() && (!seatNo || *seatNo < 1 || *seatNo > kMaxSeat))
            problem(QStringLiteral("出席番号「%1」は 1〜%2 ではありません").arg(cell(row, seat)).arg(kMaxSeat));
        if (gradeIdx && classNo && seatNo) {
            const QString key = QStringLiteral("%1-%2-%3").arg(*gradeIdx).arg(*classNo).arg(*seatNo);
            if (seatRow.contains(key))
                problem(QStringLiteral("学年・組・出席番号が %1 行目と同じです").arg(seatRow.value(key)));
            else
                seatRow.insert(key, item.row);
        }
        // The same pupil twice: both rows say so, with the other row beside it.
        if (!item.name.isEmpty() && item.birthYear != 0) {
            const QString key = pupilKey(item.name, item.birthYear);
            if (const auto other = pupilRow.constFind(key); other != pupilRow.cend()) {
                Item& first = result.items[*other];
                const QString readingsDiffer =
                    first.reading != item.reading ? QStringLiteral("、よみがちがいます（%1 行目「%2」、%3 行目「%4」）")
                                                        .arg(first.row)
                                                        .arg(first.reading, QString::number(item.row), item.reading)
                                                  : QString();
                problem(QStringLiteral("%1 行目と同じ生徒です（%1 行目：%2）%3")
                            .arg(first.row)
                            .arg(first.name, readingsDiffer));
                first.problems.append(QStringLiteral("%1 行目と同じ生徒です（%1 行目：%2）%3")
                                          .arg(item.row)
                                          .arg(item.name, readingsDiffer));
                first.action = Action::Skipped;
            } else {
                pupilRow.insert(key, int(result.items.size()));
            }
        }

        if (number >= 0 && !cell(row, number).isEmpty()) {
            const auto n = wholeNumber(cell(row, number));
            if (!n || *n < RosterDocument::kFirstNumber || *n > RosterDocument::kLastNumber) {
                problem(QStringLiteral("生徒番号「%1」は 1 から 5000 までではありません").arg(cell(row, number)));
            } else if (numberRow.contains(*n)) {
                problem(QStringLiteral("生徒番号 %1 が %2 行目と同じです").arg(*n).arg(numberRow.value(*n)));
            } else {
                item.number = *n;
                numberRow.insert(*n, item.row);
                item.entry = entryOfNumber.value(*n, -1);
                // A number is trusted only with the name it belongs to: another pupil's number
                // never rewrites that pupil.
                if (item.entry >= 0 && !item.name.isEmpty() &&
                    namefold::fold(entries[item.entry].line.trimmedName()) != namefold::fold(item.name)) {
                    problem(QStringLiteral("生徒番号 %1 は、名簿では「%2」さんです（この行は「%3」）")
                                .arg(*n)
                                .arg(entries[item.entry].line.trimmedName(), item.name));
                    item.entry = -1;
                }
            }
        } else if (item.birthYear != 0) {
            const QList<int> found = entriesOfPupil.value(pupilKey(item.name, item.birthYear));
            if (found.size() > 1) {
                QStringList numbers;
                for (const int e : found)
                    numbers << QString::number(entries[e].line.number);
                problem(QStringLiteral("名簿に同じ名前・同じ学年の生徒が %1 人います（番号 %2）。生徒番号の列で"
                                       "どの生徒か決めてください")
                            .arg(found.size())
                            .arg(numbers.join(QStringLiteral("、"))));
            } else if (found.size() == 1) {
                item.entry = found.first();
                item.number = entries[item.entry].line.number;
            }
        }
        if (item.entry >= 0) {
            if (const auto other = itemOfEntry.constFind(item.entry); other != itemOfEntry.cend())
                problem(QStringLiteral("%1 行目と同じ名簿の生徒（番号 %2）です")
                            .arg(result.items[*other].row)
                            .arg(item.number));
            else
                itemOfEntry.insert(item.entry, int(result.items.size()));
        }
        if (item.entry < 0 && item.birthYear == 0 && item.problems.isEmpty())
            problem(QStringLiteral("学年も生まれた年も生年月日もありません"));

        if (item.entry >= 0 && item.problems.isEmpty()) {
            const roster::Line& line = entries[item.entry].line;
            if (item.birthYear == 0)
                item.birthYear = line.birthYear;
            if (item.name != line.trimmedName()) {
                if (options.changeNames)
                    item.changes.append(QStringLiteral("名前の書き方：%1 → %2").arg(line.trimmedName(), item.name));
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
                const auto n = gradeIdx && classNo && seatNo ? seatNumber(*gradeIdx, *classNo, *seatNo) : std::nullopt;
                if (n)
                    item.number = *n;
                else
                    problem(QStringLiteral("学年・組・出席番号から番号を作れません（小学1〜6年、1〜9組、"
                                           "出席番号1〜50のときだけ作れます）"));
            }
            if (item.number != 0 && entryOfNumber.contains(item.number))
                problem(QStringLiteral("番号 %1 はもう名簿の「%2」さんが使っています")
                            .arg(item.number)
                            .arg(entries[entryOfNumber.value(item.number)].line.trimmedName()));
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
    QStringList lines = plan.notes;
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
    return QByteArray("\xEF\xBB\xBF") + QStringLiteral("生徒番号,学年,組,出席番号,氏名,ふりがな,生年月日\r\n"
                                                       ",小5,1,7,山田　太郎,やまだ　たろう,2016/5/12\r\n")
                                            .toUtf8();
}

} // namespace rosterimport
