#include "results_recorder.h"

#include "clearing.h"
#include "platform/pause.h"
#include "points.h"
#include "records_error.h"
#include "results_reader.h"
#include "state/message_box.h"
#include "state/shared_state.h"
#include "waiting_list.h"

#include <QFileInfo>

namespace {

QString waitingText()
{
    return QStringLiteral("このせいせきはなくなりません。「%1」に残して、次に起動したときか、次のせいせきを記録する"
                          "ときに記録します。")
        .arg(pendingrecords::fileName());
}

QString heldText(int attempts)
{
    return QStringLiteral("まだ記録できていないせいせきが %1回分あります。プログラムを終えるまでおぼえておき、"
                          "次のせいせきを記録するときと、プログラムを終えるときに、もう一度記録します。")
        .arg(attempts);
}

} // namespace

ResultsRecorder::Direct ResultsRecorder::appendDirectly(const QList<pendingrecords::Entry>& entries)
{
    Direct direct;
    QList<RecordLayout> refused;
    for (const pendingrecords::Entry& e : entries) {
        if (!refused.contains(e.layout)) {
            const auto error = resultsfile::appendRecord(resultsfile::pathOf(m_services.state.folders, e), e.bytes,
                                                         recordLength(e.layout), m_pause, m_open);
            if (!error)
                continue;
            refused.append(e.layout);
            if (!direct.failure)
                direct.failure = error;
        }
        direct.left.append(e);
    }
    return direct;
}

void ResultsRecorder::deliverHeld()
{
    SharedState& state = m_services.state;
    const QList<pendingrecords::Entry> held = pendingrecords::parse(state.heldRecords).entries;
    if (held.isEmpty())
        return;
    QString damage;
    if (enqueue(held, damage)) {
        state.heldRecords.clear();
        deliver(false, kStartLockWaitMs); // what is still busy waits on the list for the next start
        return;
    }
    const Direct direct = appendDirectly(held);
    state.heldRecords = pendingrecords::encode(direct.left);
    if (!direct.failure)
        return;
    m_services.messages.show(
        QStringLiteral("せいせきの記録"),
        direct.failure->reason() +
            QStringLiteral(
                "\r\n記録できなかったせいせきが %1回分あります。空きができたあと、せいせきのチェック"
                "（--check-"
                "results）が「家庭用のファイルにとどいていないせいせき」として出します。\r\n先生に知らせてください。")
                .arg(pendingrecords::attemptCount(direct.left)),
        MessageBox::Icon::Warning);
}

ResultsRecorder::Delivery ResultsRecorder::deliverOnce()
{
    const Folders& folders = m_services.state.folders;
    Delivery delivery;
    const auto note = [&](const RecordsError& error) {
        if (error.busy)
            delivery.busyFile = error.fileName;
        else if (!delivery.failure)
            delivery.failure = error;
    };
    WaitingList list(folders, m_open);
    if (const auto error = list.lock(m_pause, 0)) {
        note(*error);
        return delivery;
    }
    WaitingList::Loaded loaded;
    if (const auto error = list.load(loaded)) {
        note(*error);
        return delivery;
    }
    delivery.damage = loaded.damage;
    const QList<pendingrecords::Entry>& waiting = loaded.entries;
    if (waiting.isEmpty())
        return delivery;
    delivery.left = pendingrecords::attemptCount(waiting);
    if (const auto error = list.prepareRewrite()) {
        note(*error);
        return delivery;
    }
    // Each file's records in one append, in their order; a file that cannot take them now
    // keeps them waiting without holding up the other.
    QList<RecordLayout> undelivered;
    for (const RecordLayout layout : {RecordLayout::Program, RecordLayout::Shared}) {
        QList<QByteArray> records;
        for (const pendingrecords::Entry& e : waiting) {
            if (e.layout == layout)
                records.append(e.bytes);
        }
        if (records.isEmpty())
            continue;
        const QString path =
            layout == RecordLayout::Program ? resultsfile::resultsPath(folders) : resultsfile::sharedPath(folders);
        if (const auto error =
                resultsfile::appendRecords(path, records, recordLength(layout), m_pause, m_open, 0, true)) {
            note(*error);
            undelivered.append(layout);
        }
    }
    QList<pendingrecords::Entry> left;
    for (const pendingrecords::Entry& e : waiting) {
        if (undelivered.contains(e.layout))
            left.append(e);
    }
    if (const auto error = list.rewrite(left)) {
        // What was appended is still listed; the next delivery finds it in its file.
        note(*error);
        return delivery;
    }
    delivery.left = pendingrecords::attemptCount(left);
    delivery.delivered = pendingrecords::attemptCount(waiting) - delivery.left;
    return delivery;
}

ResultsRecorder::Delivery ResultsRecorder::deliver(bool mayAsk, int lockWaitMs)
{
    Delivery total;
    for (int waited = 0;;) {
        const Delivery once = deliverOnce();
        total.delivered += once.delivered;
        total.left = once.left;
        total.failure = once.failure;
        total.busyFile = once.busyFile;
        if (!once.damage.isEmpty())
            total.damage += once.damage;
        if (once.failure || once.busyFile.isEmpty())
            return total;
        if (waited < lockWaitMs) {
            m_pause.wait(resultsfile::kLockRetryMs);
            waited += resultsfile::kLockRetryMs;
            continue;
        }
        if (!mayAsk)
            return total;
        const int choice = m_services.messages.choose(
            QStringLiteral("せいせきの記録"),
            QStringLiteral("ほかのプログラムが「%1」を%2\u2060秒以上使っているため、せいせきを記録できません。"
                           "\r\nもう一度ためすか、あとで記録するかを選んでください。\r\n")
                    .arg(once.busyFile)
                    .arg(lockWaitMs / 1000) +
                waitingText(),
            {QStringLiteral("もう一度(&R)"), QStringLiteral("あとで記録する")});
        if (choice != 0)
            return total;
        waited = 0;
    }
}

bool ResultsRecorder::enqueue(const QList<pendingrecords::Entry>& entries, QString& damage)
{
    WaitingList list(m_services.state.folders, m_open);
    WaitingList::Loaded loaded;
    if (list.lock(m_pause, resultsfile::kLockWaitMs) || list.load(loaded))
        return false;
    damage = loaded.damage;
    return !list.prepareRewrite() && !list.rewrite(loaded.entries + entries);
}

void ResultsRecorder::deliverWaiting()
{
    const QString path = pendingrecords::path(m_services.state.folders);
    MessageBox& messages = m_services.messages;
    if (const auto refused = pendingrecords::refusal(path)) {
        messages.show(QStringLiteral("せいせきの記録"),
                      QStringLiteral("「%1」を使えません：%2。\r\nせいせきはこのファイルを使わずに記録します。"
                                     "このファイルを取りのぞいてください。\r\n先生に知らせてください。")
                          .arg(pendingrecords::fileName(), *refused),
                      MessageBox::Icon::Warning);
        return;
    }
    if (!QFileInfo::exists(path))
        return;
    const Delivery delivery = deliver(false, kStartLockWaitMs);
    QString text = delivery.damage;
    if (delivery.delivered > 0)
        text += QStringLiteral("前回記録できなかったせいせきを記録しました（%1回分）。").arg(delivery.delivered);
    if (delivery.failure) {
        text += delivery.failure->reason() +
                QStringLiteral("\r\n記録を待っているせいせき（%1回分）は「%2」に残っています。先生をよんでください。")
                    .arg(delivery.left)
                    .arg(pendingrecords::fileName());
        messages.show(QStringLiteral("せいせきの記録"), text, MessageBox::Icon::Warning);
        return;
    }
    if (delivery.left > 0) {
        text += QStringLiteral("記録を待っているせいせきが %1回分あります（ほかのプログラムが「%2」を使用中）。"
                               "次のせいせきを記録するときに、もう一度記録します。")
                    .arg(delivery.left)
                    .arg(delivery.busyFile);
    }
    if (text.isEmpty())
        return; // an earlier run had appended everything already
    messages.show(QStringLiteral("せいせきの記録"), text + QStringLiteral("\r\n先生に知らせてください。"),
                  MessageBox::Icon::Information);
}

std::optional<AttemptOutcome> ResultsRecorder::record(const resultsfile::Attempt& attempt)
{
    SharedState& state = m_services.state;
    ResultsReader reader(m_services, m_pause, m_open);
    QList<ResultRecord> before;
    if (!reader.refreshStatistics(&before))
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
    outcome.clearedBefore = clearing::isCleared(s, rules, c, p) || clearing::everCleared(before, rules, c, p);

    const resultsfile::MadeRecords made =
        resultsfile::makeRecords(state.folders, state.organisation, attempt, m_services.clock);
    // The attempt waits behind whatever an earlier recording left, so each file gets its
    // records in order, whichever copy of the program appends them.
    // What a full disk kept in memory goes first, so that each file keeps its order.
    const QList<pendingrecords::Entry> entries = pendingrecords::parse(state.heldRecords).entries + made.entries;
    QString damage;
    if (!enqueue(entries, damage)) {
        // Without the list (a full disk, a program folder nothing can be written to, or a list
        // that is no regular file, which the start told the teacher about) the appends are tried
        // all the same. A record its file refused is kept in memory and offered again.
        const Direct direct = appendDirectly(entries);
        state.heldRecords = pendingrecords::encode(direct.left);
        if (direct.failure && !made.entries.isEmpty() && direct.left.contains(made.entries.first())) {
            // Not even the program's own file has the attempt: nothing can be recorded, and the
            // pupil is told so; what earlier attempts left stays held for the program's end.
            QList<pendingrecords::Entry> earlier = direct.left;
            earlier.removeIf([&](const pendingrecords::Entry& e) { return made.entries.contains(e); });
            state.heldRecords = pendingrecords::encode(earlier);
            reportFatal(m_services.messages, m_services.programEnd, direct.failure->message());
            return std::nullopt;
        }
        if (direct.failure) {
            m_services.messages.show(QStringLiteral("せいせきの記録"),
                                     direct.failure->reason() + QStringLiteral("\r\n") +
                                         heldText(pendingrecords::attemptCount(direct.left)) +
                                         QStringLiteral("\r\n先生に知らせてください。"),
                                     MessageBox::Icon::Warning);
        }
    } else {
        state.heldRecords.clear();
        Delivery delivery = deliver(true, resultsfile::kLockWaitMs);
        if (delivery.failure) {
            reportFatal(m_services.messages, m_services.programEnd,
                        damage + delivery.damage + delivery.failure->reason() + QStringLiteral("\r\n") + waitingText() +
                            QStringLiteral("\r\n先生をよんでください。プログラムを終わります。"));
            return std::nullopt;
        }
        QString text = damage + delivery.damage;
        if (delivery.left > 0) {
            text += QStringLiteral("ほかのプログラムが「%1」を使っているため、せいせきをまだ記録していません。\r\n")
                        .arg(delivery.busyFile) +
                    waitingText();
        }
        if (!text.isEmpty()) {
            m_services.messages.show(QStringLiteral("せいせきの記録"),
                                     text + QStringLiteral("\r\n先生に知らせてください。"),
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
