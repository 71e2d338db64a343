#include "results_recorder.h"

#include "clearing.h"
#include "points.h"
#include "records_error.h"
#include "results_reader.h"
#include "state/message_box.h"
#include "state/shared_state.h"

namespace {

QString waitingText()
{
    return QStringLiteral("この成績はなくなりません。「%1」に残して、次に起動したときか、次の成績を記録する"
                          "ときに記録します。")
        .arg(pendingrecords::fileName());
}

} // namespace

ResultsRecorder::Delivery ResultsRecorder::deliver(bool mayAsk, int lockWaitMs)
{
    const Folders& folders = m_services.state.folders;
    const QString waitingPath = pendingrecords::path(folders);
    QList<pendingrecords::Entry> waiting = pendingrecords::read(waitingPath);
    Delivery delivery;
    while (!waiting.isEmpty()) {
        const pendingrecords::Entry& e = waiting.front();
        const QString path = resultsfile::pathOf(folders, e);
        const int length = recordLength(e.layout);
        // Appended already when the program was ended before it could take it off the list.
        if (!resultsfile::hasRecentRecord(path, e.bytes, length, m_open)) {
            std::optional<RecordsError> error;
            for (;;) {
                error = resultsfile::appendRecord(path, e.bytes, length, m_pause, m_open, lockWaitMs);
                if (!error || !error->busy || !mayAsk)
                    break;
                const int choice = m_services.messages.choose(
                    QStringLiteral("成績の記録"),
                    QStringLiteral("ほかのプログラムが「%1」を%2\u2060秒以上使っているため、成績を記録できません。"
                                   "\r\nもう一度ためすか、あとで記録するかを選んでください。\r\n")
                            .arg(error->fileName)
                            .arg(lockWaitMs / 1000) +
                        waitingText(),
                    {QStringLiteral("再試行(&R)"), QStringLiteral("あとで記録する")});
                if (choice != 0)
                    break;
            }
            if (error) {
                if (error->busy)
                    delivery.busyFile = error->fileName;
                else
                    delivery.failure = error;
                break;
            }
            ++delivery.delivered;
        }
        waiting.removeFirst();
        pendingrecords::write(waitingPath, waiting); // a failure here only repeats the check above
    }
    delivery.left = int(waiting.size());
    return delivery;
}

void ResultsRecorder::deliverWaiting()
{
    if (pendingrecords::read(pendingrecords::path(m_services.state.folders)).isEmpty())
        return;
    const Delivery delivery = deliver(false, kStartLockWaitMs);
    MessageBox& messages = m_services.messages;
    if (delivery.failure) {
        messages.show(QStringLiteral("成績の記録"),
                      delivery.failure->message().section(QStringLiteral("\r\n先生を呼んでください"), 0, 0) +
                          QStringLiteral("\r\n前回記録できなかった成績は「%1」に残っています。先生を呼んでください。")
                              .arg(pendingrecords::fileName()),
                      MessageBox::Icon::Warning);
        return;
    }
    QString text;
    if (delivery.delivered > 0)
        text = QStringLiteral("前回記録できなかった成績を記録しました（%1 件）。").arg(delivery.delivered);
    if (delivery.left > 0) {
        text += QStringLiteral("記録を待っている成績が %1 件あります（ほかのプログラムが「%2」を使用中）。"
                               "次の成績を記録するときに、もう一度記録します。")
                    .arg(delivery.left)
                    .arg(delivery.busyFile);
    }
    messages.show(QStringLiteral("成績の記録"), text + QStringLiteral("\r\n先生に知らせてください。"),
                  MessageBox::Icon::Information);
}

std::optional<AttemptOutcome> ResultsRecorder::record(const resultsfile::Attempt& attempt)
{
    SharedState& state = m_services.state;
    ResultsReader reader(m_services, m_pause, m_open);
    if (!reader.refreshStatistics())
        return std::nullopt;
    const Statistics& s = state.stats;
    const CourseRules& rules = state.rules;
    const int p = attempt.pupil;
    const int c = attempt.course;
    AttemptOutcome outcome;
    outcome.pupil = p;
    outcome.course = c;
    outcome.time = attempt.time;
    outcome.points = points::weighted(attempt.time, rules.targetTime[c], rules.pointWeight[c]);
    outcome.passedBefore =
        s.totalCount(c, p) >= rules.requiredCount[c] && s.totalPoints(c, p) >= rules.requiredPoints[c];
    outcome.newPersonalBest = s.bestTime(c, p) > attempt.time;
    outcome.newCourseBest = s.courseBestTime[c] > attempt.time;
    outcome.topLevelClearedBefore = clearing::topLevelCleared(s, rules, state.catalogue, p);

    const resultsfile::MadeRecords made =
        resultsfile::makeRecords(state.folders, state.organisation, attempt, m_services.clock);
    // The attempt waits behind whatever an earlier recording left, so each file gets its
    // records in order.
    const QString waitingPath = pendingrecords::path(state.folders);
    QList<pendingrecords::Entry> waiting = pendingrecords::read(waitingPath);
    waiting += made.entries;
    if (pendingrecords::write(waitingPath, waiting)) {
        // Without the list (a program folder nothing can be written to) the appends are tried
        // all the same: the first of them says what is wrong.
        for (const pendingrecords::Entry& e : made.entries) {
            if (const auto error = resultsfile::appendRecord(resultsfile::pathOf(state.folders, e), e.bytes,
                                                             recordLength(e.layout), m_pause, m_open)) {
                reportFatal(m_services.messages, m_services.programEnd, error->message());
                return std::nullopt;
            }
        }
    } else {
        const Delivery delivery = deliver(true, resultsfile::kLockWaitMs);
        if (delivery.failure) {
            reportFatal(m_services.messages, m_services.programEnd,
                        delivery.failure->message().section(QStringLiteral("\r\n先生を呼んでください"), 0, 0) +
                            QStringLiteral("\r\n") + waitingText() +
                            QStringLiteral("\r\n先生を呼んでください。プログラムを終了します。"));
            return std::nullopt;
        }
        if (delivery.left > 0) {
            m_services.messages.show(
                QStringLiteral("成績の記録"),
                QStringLiteral("ほかのプログラムが「%1」を使っているため、成績をまだ記録していません。\r\n")
                        .arg(delivery.busyFile) +
                    waitingText() + QStringLiteral("\r\n先生に知らせてください。"),
                MessageBox::Icon::Information);
        }
    }
    if (made.error) {
        reportFatal(m_services.messages, m_services.programEnd, made.error->message());
        return std::nullopt;
    }
    if (!reader.refreshStatistics())
        return std::nullopt;
    outcome.cleared = clearing::isCleared(state.stats, rules, c, p);
    return outcome;
}
