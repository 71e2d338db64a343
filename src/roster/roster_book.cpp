#include "roster_book.h"

#include "import_undo.h"
#include "readings.h"
#include "records/record_blocks.h"
#include "records/results_file.h"
#include "state/shared_state.h"
#include "text/csv_cell.h"
#include "untimed.h"

#include <QDir>
#include <QFile>
#include <algorithm>

RosterBook::RosterBook(const Folders& folders, const QDate& today, int schoolYearStartMonth)
    : m_folders(folders), m_today(today), m_schoolYear(roster::schoolYear(today, schoolYearStartMonth)),
      m_startMonth(schoolYearStartMonth)
{}

QString RosterBook::rosterPath() const
{
    return QDir::cleanPath(m_folders.sharedFolder + roster::fileName());
}

QString RosterBook::earlyBirthNote()
{
    return QStringLiteral("※生まれた年は早生まれの場合は1年引いてください");
}

QString RosterBook::gradeOf(int birthYear) const
{
    return roster::shortGradeLabel(roster::gradeIndex(m_schoolYear, birthYear));
}

QString RosterBook::statusCaption(qint64 status)
{
    if (status == 0)
        return QStringLiteral("表示する");
    if (status == 2)
        return QStringLiteral("条件つき"); // listed only when the third value of 共通データ.txt is 1
    return QStringLiteral("表示しない");
}

std::optional<QString> RosterBook::load()
{
    QString error;
    auto document = RosterDocument::load(rosterPath(), &error);
    if (!document)
        return QStringLiteral("名簿ファイル「%1」を読めません：%2").arg(roster::fileName(), error);
    m_document = std::move(*document);
    m_readings = readings::read(m_folders.sharedFolder).byPupil;
    m_savedReadings = m_readings;
    m_untimed = untimed::read(m_folders.sharedFolder);
    m_savedUntimed = m_untimed;
    // Records of this program and of the family's others: a pupil who has any is never removed.
    m_recorded.clear();
    for (const auto& [path, layout] : {std::pair(resultsfile::resultsPath(m_folders), RecordLayout::Program),
                                       std::pair(resultsfile::sharedPath(m_folders), RecordLayout::Shared)}) {
        if (QFile::exists(path))
            recordblocks::read(path, layout, [&](qint64, const ResultRecord& r) { m_recorded.insert(r.pupil); });
    }
    refresh();
    return std::nullopt;
}

void RosterBook::refresh()
{
    m_rows.clear();
    const QList<RosterDocument::Entry>& entries = m_document.entries();
    for (const int i : m_document.shown()) {
        const RosterDocument::Entry& e = entries[i];
        Row row;
        row.entry = i;
        row.editable = e.editable();
        if (row.editable) {
            row.number = e.line.number;
            row.birthYear = e.line.birthYear;
            row.grade = gradeOf(e.line.birthYear);
            row.name = e.line.trimmedName();
            row.reading = readingOf(e.line.number);
            row.status = e.line.status;
            row.shown = statusCaption(e.line.status);
            row.untimed = m_untimed.contains(e.line.number);
        } else {
            row.name = QStringLiteral("（読めない行：そのまま残します）");
        }
        m_rows.append(row);
    }
}

std::optional<QString> RosterBook::add(int number, const QString& name, const QString& year, const QString& reading,
                                       qint64 status)
{
    const QString kana = readings::normalised(reading);
    if (!kana.isEmpty() && !readings::isKana(kana))
        return QStringLiteral("よみは、ひらがなかカタカナで入れてください。");
    if (const auto problem = m_document.add(number, roster::tidyBlanks(name), year, status, thisYear()))
        return problem;
    if (kana.isEmpty())
        m_readings.remove(number);
    else
        m_readings.insert(number, kana);
    refresh();
    return std::nullopt;
}

std::optional<QString> RosterBook::edit(int row, const QString& name, const QString& year, const QString& reading,
                                        qint64 status)
{
    const Row& r = m_rows[row];
    if (!r.editable)
        return QStringLiteral("この行は読めないため、変えられません。");
    const QString kana = readings::normalised(reading);
    if (!kana.isEmpty() && !readings::isKana(kana))
        return QStringLiteral("よみは、ひらがなかカタカナで入れてください。");
    if (const auto problem = m_document.set(r.entry, roster::tidyBlanks(name), year, status, thisYear()))
        return problem;
    if (kana.isEmpty())
        m_readings.remove(r.number);
    else
        m_readings.insert(r.number, kana);
    refresh();
    return std::nullopt;
}

void RosterBook::toggleShown(int row)
{
    const Row& r = m_rows[row];
    if (!r.editable)
        return;
    m_document.set(r.entry, r.name, QString::number(r.birthYear), r.status == 0 ? 1 : 0, thisYear());
    refresh();
}

void RosterBook::toggleUntimed(int row)
{
    const Row& r = m_rows[row];
    if (!r.editable)
        return;
    if (!m_untimed.remove(r.number))
        m_untimed.insert(r.number);
    refresh();
}

void RosterBook::move(int row, int direction)
{
    m_document.move(m_rows[row].entry, direction);
    refresh();
}

QString RosterBook::remove(int row)
{
    const Row r = m_rows[row];
    if (!r.editable)
        return QStringLiteral("読めない行は、ほかのプログラムのためにそのまま残します。");
    if (hasRecords(r.number)) {
        if (r.status != 0)
            return QStringLiteral("%1 さんには成績の記録があるため、名簿から消せません（表示しないままにします）。")
                .arg(r.name);
        m_document.set(r.entry, r.name, QString::number(r.birthYear), 1, thisYear());
        refresh();
        return QStringLiteral("%1 さんには成績の記録があるため、名簿から消さずに「表示しない」にしました。"
                              "記録は残り、いつでも表示にもどせます。")
            .arg(r.name);
    }
    m_document.remove(r.entry);
    m_readings.remove(r.number);
    refresh();
    return QStringLiteral("%1 さんを名簿から消しました（保存するまでは名簿ファイルはそのままです）。").arg(r.name);
}

std::optional<QString> RosterBook::save(bool* changedElsewhere, QString* backupProblem)
{
    const auto before = m_imported ? importundo::take(m_folders.sharedFolder) : std::nullopt;
    if (const auto failure = m_document.save(rosterPath(), changedElsewhere, backupProblem))
        return failure;
    if (m_readings != m_savedReadings) {
        if (const auto failure = readings::write(m_folders.sharedFolder, m_readings))
            return failure;
        m_savedReadings = m_readings;
    }
    if (m_untimed != m_savedUntimed) {
        if (const auto failure = untimed::write(m_folders.sharedFolder, m_untimed))
            return failure;
        m_savedUntimed = m_untimed;
    }
    refresh();
    if (before) {
        m_imported = false;
        if (const auto after = importundo::take(m_folders.sharedFolder))
            return importundo::remember(m_folders.sharedFolder, *before, *after, QDateTime::currentDateTime());
    }
    return std::nullopt;
}

QByteArray RosterBook::csv() const
{
    QString out = QStringLiteral("生徒番号,学年,名前,よみ,生まれた年,表示\r\n");
    for (const Row& r : m_rows) {
        if (!r.editable)
            continue;
        out += QStringList{QString::number(r.number), csvcell::text(r.grade),       csvcell::text(r.name),
                           csvcell::text(r.reading),  QString::number(r.birthYear), csvcell::text(r.shown)}
                   .join(u',') +
               QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

bool RosterBook::hasTeacherLine() const
{
    return std::any_of(m_rows.cbegin(), m_rows.cend(), [](const Row& row) { return roster::isTeacherName(row.name); });
}
