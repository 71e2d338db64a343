#include "name_menu.h"

#include "records/results_reader.h"
#include "roster/readings.h"
#include "roster/roster_file.h"
#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "text/kana.h"

#include <QDir>
#include <QFile>

namespace {

const QString kChooseName = QStringLiteral("名前を選びなさい");

} // namespace

bool NameMenu::list(const QString& gradeFilter)
{
    SharedState& state = m_services.state;
    const int startMonth = state.organisation.schoolYearStartMonth.toInt();
    const int schoolYear = roster::schoolYear(m_services.clock.today(), startMonth);
    ResultsReader reader(m_services, m_pause);
    if (!reader.refreshStatistics())
        return false;

    QList<namelist::Row> rows;
    QStringList problems;
    state.roster.listedPupils.clear();
    state.roster.schoolYear = schoolYear;
    const bool exists = QFile::exists(state.folders.sharedFolder + roster::fileName());
    const roster::Read read = exists ? roster::read(state.folders.sharedFolder) : roster::Read{roster::Parsed{}, {}};
    m_rosterEmpty = read.parsed && read.parsed->lines.isEmpty() && read.parsed->problems.isEmpty();
    if (!read.parsed) {
        // Nobody can be chosen: the teacher is told once per start, not on every return here.
        if (!state.roster.unreadableReported) {
            state.roster.unreadableReported = true;
            m_services.messages.show(QStringLiteral("名ぼの読みこみ"), read.failure, MessageBox::Icon::Warning);
        }
    } else {
        const roster::Parsed& parsed = *read.parsed;
        problems = parsed.problems;
        const bool listStatus2 = state.organisation.commonItem3 == Loose(1);
        const namelist::Mode mode = namelist::mode(m_listMode);
        for (qsizetype i = 0; i < parsed.lines.size(); ++i) {
            const roster::Line& line = parsed.lines[i];
            if (!roster::isListed(line, listStatus2))
                continue;
            if (rows.size() == kMaxListed) {
                problems << QStringLiteral("%1 行目から先：一度に出せるのは %2 人までです。")
                                .arg(parsed.lineNumbers[i])
                                .arg(kMaxListed);
                break;
            }
            const int n = line.number;
            const int g = roster::gradeIndex(schoolYear, line.birthYear);
            state.roster.pupilNames[n] = line.name;
            state.roster.pupilBirthYears[n] = line.birthYear;
            state.roster.listedPupils.append(qint16(n));
            if (const auto full = roster::fullGradeLabel(g))
                state.roster.pupilGradeLabels[n] = *full;
            rows.append(namelist::makeRow(roster::shortGradeLabel(g), roster::yearWithinSchool(g), line.trimmedName(),
                                          namelist::figureText(state.stats, mode.first, n),
                                          namelist::figureText(state.stats, mode.second, n), m_listMode, line.birthYear,
                                          n));
        }
    }
    if (!problems.isEmpty() && !m_problemsShown) {
        m_problemsShown = true; // once per opening of the menu, not on every rebuild
        m_services.messages.show(QStringLiteral("名ぼの読みこみ"),
                                 QStringLiteral("名ぼのファイル「%1」の次の行は出せません。先生をよんでください。\r\n")
                                         .arg(roster::fileName()) +
                                     problems.join(QStringLiteral("\r\n")),
                                 MessageBox::Icon::Warning);
    }
    m_rows = namelist::ordered(rows, schoolYear, gradeFilter.isEmpty() ? QStringLiteral("全学年") : gradeFilter);
    m_chosen = -1;
    const QHash<int, QString> readings = readings::read(state.folders.sharedFolder).byPupil;
    m_initials.clear();
    m_initials.reserve(m_rows.size());
    for (const namelist::Row& row : m_rows) {
        const QChar initial = kana::initial(readings.value(row.pupil));
        m_initials += initial.isNull() ? kana::initial(state.roster.pupilNames[row.pupil]) : initial;
    }
    return true;
}

int NameMenu::rowForKana(QChar typed) const
{
    const QChar wanted = kana::plain(typed);
    if (wanted.isNull())
        return 0;
    if (const qsizetype at = m_initials.indexOf(wanted); at >= 0)
        return int(at) + 1;
    return rowForKanaRow(kana::rowOf(wanted));
}

int NameMenu::rowForKanaRow(int kanaRow) const
{
    if (kanaRow < 0)
        return 0;
    for (qsizetype i = 0; i < m_initials.size(); ++i) {
        if (!m_initials[i].isNull() && kana::rowOf(m_initials[i]) == kanaRow)
            return int(i) + 1;
    }
    return 0;
}

QString NameMenu::emptyRosterText() const
{
    return QStringLiteral("名ぼに生徒がいません：%1")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(m_services.state.folders.sharedFolder + roster::fileName())));
}

void NameMenu::click(int row, bool doubleClick)
{
    m_chosen = row >= 1 && row <= m_rows.size() ? row - 1 : -1;
    m_chosenWhole = doubleClick;
}

QString NameMenu::choiceText() const
{
    if (m_chosen < 0)
        return kChooseName;
    const namelist::Row& r = m_rows[m_chosen];
    return m_chosenWhole ? namelist::nameText(r) : namelist::clickedName(r.text);
}

bool NameMenu::confirm()
{
    if (m_chosen < 0)
        return false;
    SharedState& state = m_services.state;
    const double seconds = m_services.clock.timeOfDay().msecsSinceStartOfDay() / 1000.0;
    const int n = m_rows[m_chosen].pupil;
    state.current.pupilStartTime = qint32(roundHalfEven(seconds));
    state.current.pupilNo = qint16(n);
    state.current.pupilName = state.roster.pupilNames[n];
    state.current.pupilGrade = state.roster.pupilGradeLabels[n];
    state.current.teacher = false;
    return true;
}

void NameMenu::enterAsTeacher(Services services)
{
    SharedState& state = services.state;
    const double seconds = services.clock.timeOfDay().msecsSinceStartOfDay() / 1000.0;
    state.current.pupilStartTime = qint32(roundHalfEven(seconds));
    state.current.pupilNo = 0;
    state.current.pupilName = QStringLiteral("先生");
    state.current.pupilGrade.clear();
    state.current.teacher = true;
}
