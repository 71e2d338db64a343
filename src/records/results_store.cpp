#include "results_store.h"

#include "oa_date.h"
#include "platform/pause.h"
#include "points.h"
#include "result_record.h"
#include "state/clock.h"
#include "state/shared_state.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <array>
#include <cmath>
#include <limits>

namespace {

// The fields the statistics need, read straight from the record bytes: no text field is
// copied for the 20000 records read on every recomputation.
struct RecordCore
{
    double date;
    qint16 pupil;
    qint16 course;
    qint32 time;
};

RecordCore decodeCore(const char* p)
{
    using namespace resultlayout;
    return {qFromLittleEndian<double>(p + kDate), qFromLittleEndian<qint16>(p + kPupil),
            qFromLittleEndian<qint16>(p + kCourse), qFromLittleEndian<qint32>(p + kTime)};
}

// A record outside the tables is passed over: the file is append-only, so a stray record
// must not make it unreadable for ever. So is a record with a negative time, which no attempt
// can have: it would be a best time and overflow the points.
bool inTables(const RecordCore& r)
{
    return r.pupil >= 0 && r.pupil <= kMaxPupil && r.course >= 0 && r.course <= kMaxCourse && r.time >= 0;
}

bool isValid(const RecordCore& r)
{
    return inTables(r) && r.date >= 0 && r.pupil >= 1 && r.course >= 1;
}

} // namespace

void ResultsStore::fatal(const QString& text)
{
    reportFatal(m_services.messages, m_services.programEnd, text);
}

QString ResultsStore::diagnostic(int step, int code, const QString& text) const
{
    return QStringLiteral("成績ランダムファイル表示\r\n手順 %1\r\nエラー番号 %2：%3\r\n"
                          "/date/i=/time=/name=%4/Bangou=/level=/time=line")
        .arg(step)
        .arg(code)
        .arg(text, resultsfile::resultsFileName());
}

std::optional<ResultsStore::Block> ResultsStore::readRecentRecords(qint64 maxRecords)
{
    const QString path = resultsfile::resultsPath(m_services.state.folders);
    int missingTries = 0;
    for (;;) {
        int step = 2;
        RecordFile::Failure failure;
        int code;
        QString text;
        OpenedRecordFile opened = m_open(path);
        if (opened.file) {
            RecordFile& file = *opened.file;
            step = 4;
            const qint64 size = file.size();
            if (size >= 0) {
                const qint64 total = size / kResultRecordLength;
                Block block;
                const qint64 count = std::min(total, maxRecords);
                block.count = count > std::numeric_limits<int>::max() / kResultRecordLength ? 0 : int(count);
                block.bytes.resize(qsizetype(block.count) * kResultRecordLength);
                step = 5;
                const qint64 first = (total - block.count) * kResultRecordLength;
                if (block.count == 0 || file.readAt(first, block.bytes.data(), block.bytes.size()))
                    return block;
            }
            failure = file.failure();
            code = file.errorCode();
            text = file.errorText();
        } else {
            failure = opened.failure;
            code = opened.errorCode;
            text = opened.errorText;
        }
        switch (failure) {
        case RecordFile::Failure::NotFound:
            if (++missingTries >= kMissingFileTries) {
                fatal(QStringLiteral("手順 %1\r\n「%2」のファイルがありません\r\n%3\r\nエラー番号 %4")
                          .arg(step)
                          .arg(path, text)
                          .arg(code));
                return std::nullopt;
            }
            m_pause.wait(kMissingFileWaitMs);
            break;
        case RecordFile::Failure::Sharing: // another program of the family is writing it
            m_pause.wait(kSharingWaitMs);
            break;
        case RecordFile::Failure::Denied: // waiting would never end: the teacher must act
            fatal(RecordsError{resultsfile::resultsFileName(), QStringLiteral("を開く"), code, text}.message() +
                  QStringLiteral("\r\n先生へ：フォルダ「%1」とこのファイルに書き込みできるようにしてください"
                                 "（読み取り専用を外す、書き込みの許可を与える）。")
                      .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
            return std::nullopt;
        default:
            fatal(diagnostic(step, code, text));
            return std::nullopt;
        }
    }
}

bool ResultsStore::loadResults()
{
    const auto block = readRecentRecords();
    if (!block)
        return false;
    Statistics& s = m_services.state.stats;
    s.bestTime.fill(kNoTime);

    // The newest valid records are held: walk back from the end of the file until enough
    // are found, then take them in file order.
    const char* bytes = block->bytes.constData();
    int firstHeld = 0;
    int held = 0;
    for (int j = block->count - 1; j >= 0; --j) {
        if (isValid(decodeCore(bytes + qsizetype(j) * kResultRecordLength)) && ++held == kHeldRecords) {
            firstHeld = j;
            break;
        }
    }

    int i = 0;
    for (int j = firstHeld; j < block->count; ++j) {
        const RecordCore r = decodeCore(bytes + qsizetype(j) * kResultRecordLength);
        if (!inTables(r))
            continue;
        qint32& best = s.bestTime(r.course, r.pupil);
        if (best > r.time)
            best = r.time;
        if (!isValid(r))
            continue;
        ++i;
        s.recordDates[i] = r.date;
        s.recordPupils[i] = r.pupil;
        s.recordCourses[i] = r.course;
        s.recordTimes[i] = r.time;
    }
    s.recordCount = qint16(i);

    for (int c = 1; c <= kMaxCourse; ++c) {
        qint32 courseBest = kNoTime;
        for (int p = 1; p <= kMaxPupil; ++p)
            courseBest = std::min(courseBest, s.bestTime(c, p));
        s.courseBestTime[c] = courseBest;
    }
    return true;
}

bool ResultsStore::computeStatistics()
{
    SharedState& state = m_services.state;
    Statistics& s = state.stats;
    s.totalCount.fill(0);
    s.windowCount.fill(0);
    s.todayCount.fill(0);
    s.todayPoints.fill(0);
    s.totalPoints.fill(0);
    s.windowPoints.fill(0);
    s.window2Count.fill(0);
    s.window2Points.fill(0);
    if (!loadResults())
        return false;

    const double today = oadate::fromDate(m_services.clock.today());
    const double now = today + oadate::fromTime(m_services.clock.timeOfDay());
    std::array<double, kMaxCourse + 1> windowStart{};
    std::array<double, kMaxCourse + 1> window2Start{};
    for (int c = 1; c <= kMaxCourse; ++c) {
        windowStart[std::size_t(c)] = now - state.rules.windowDays[c].toDouble();
        window2Start[std::size_t(c)] = now - state.rules.window2Days[c].toDouble();
    }

    for (int i = 1; i <= s.recordCount; ++i) {
        const int c = s.recordCourses[i];
        const int p = s.recordPupils[i];
        const qint32 t = s.recordTimes[i];
        const double date = s.recordDates[i];
        const bool completed = t < kCompletedBelow;
        const int earned = points::weighted(t, state.rules.targetTime[c], state.rules.pointWeight[c]);
        if (completed)
            s.totalCount(c, p) += 1;
        if (date > windowStart[std::size_t(c)]) {
            if (completed)
                s.windowCount(c, p) += 1;
            s.windowPoints(c, p) += earned;
        }
        if (date > window2Start[std::size_t(c)]) {
            if (completed)
                s.window2Count(c, p) += 1;
            s.window2Points(c, p) += earned;
        }
        s.totalPoints(c, p) += earned;
        if (std::floor(date) == today) {
            if (completed)
                s.todayCount(c, p) += 1;
            s.todayPoints(c, p) += earned;
        }
    }
    return true;
}

bool ResultsStore::recordAttempt(int course)
{
    SharedState& state = m_services.state;
    Statistics& s = state.stats;
    CurrentAttempt& now = state.current;
    const int p = now.pupilNo;
    const int k = now.course;
    const qint32 t = now.lastTime;
    now.passedBefore =
        (s.totalCount(k, p) >= state.rules.requiredCount[k] && s.totalPoints(k, p) >= state.rules.requiredPoints[k])
            ? 1
            : 0;
    if (s.bestTime(course, p) > t) {
        s.bestTime(course, p) = t;
        now.newPersonalBest = 1;
    }
    if (const auto error = resultsfile::appendResult(state, m_services.clock, m_pause, m_open)) {
        fatal(error->message());
        return false;
    }
    if (s.courseBestTime[course] > t) {
        s.courseBestTime[course] = t;
        now.newCourseBest = 1;
    }
    return true;
}

std::optional<QList<ResultsStore::Attempt>> ResultsStore::readAttempts(qint64 maxRecords)
{
    const auto block = readRecentRecords(maxRecords);
    if (!block)
        return std::nullopt;
    QList<Attempt> attempts;
    attempts.reserve(block->count);
    using namespace resultlayout;
    for (int j = 0; j < block->count; ++j) {
        const char* p = block->bytes.constData() + qsizetype(j) * kResultRecordLength;
        attempts.append({qFromLittleEndian<double>(p + kDate), qFromLittleEndian<double>(p + kClockTime),
                         qFromLittleEndian<qint16>(p + kPupil), qFromLittleEndian<qint16>(p + kCourse),
                         qFromLittleEndian<qint32>(p + kTime)});
    }
    return attempts;
}
