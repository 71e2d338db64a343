#pragma once

#include "results_file.h"
#include "state/attempt_outcome.h"
#include "state/services.h"

#include <optional>

class Pause;

// Records an attempt: the statistics just before it, the append to both results files, the
// statistics with it, and what it achieved. The attempt's records go to the waiting records
// (records/waiting_list.h) first and leave them once appended: a sibling that holds a lock
// for long, or the program ended between the two appends, loses nothing. A file that cannot be
// used at all ends the program with a message, as nothing can be recorded without it.
class ResultsRecorder
{
public:
    ResultsRecorder(Services services, Pause& pause, resultsfile::Opener open = openRecordFile)
        : m_services(services), m_pause(pause), m_open(std::move(open))
    {}

    // The shared statistics hold the figures with the attempt afterwards. Nothing when the
    // program has been ended.
    std::optional<AttemptOutcome> record(const resultsfile::Attempt& attempt);

    // At start: appends what an earlier run left waiting, waiting a moment for each lock, and
    // tells the teacher what was recorded or still waits.
    void deliverWaiting();

    // When the program ends: what the full disk kept in memory is offered once more, and what
    // still cannot be written is named for the teacher.
    void deliverHeld();

    static constexpr int kStartLockWaitMs = 1000;

private:
    struct Delivery
    {
        int delivered = 0;                   // attempts now whole in their files
        int left = 0;                        // attempts still waiting
        std::optional<RecordsError> failure; // neither written nor busy: no waiting helps
        QString busyFile;                    // the file another program held
        QString damage;                      // a damaged list, moved aside: what was found
    };
    // Appends the waiting records in order, each to its file once, under the list's lock; a
    // lock another program holds is waited for up to lockWaitMs and then offered again
    // ("再試行") when the pupil may be asked, else what is left stays waiting. The list's lock
    // is never held while waiting, so other copies can always add their attempts.
    Delivery deliver(bool mayAsk, int lockWaitMs);
    Delivery deliverOnce();
    // Puts the attempt's records at the end of the list; false when the list cannot be used.
    bool enqueue(const QList<pendingrecords::Entry>& entries, QString& damage);
    // Without the list: each record appended to its file, in order; once a file has refused one,
    // its later records are not tried, so each file keeps its order. What is left is held.
    struct Direct
    {
        QList<pendingrecords::Entry> left;
        std::optional<RecordsError> failure;
    };
    Direct appendDirectly(const QList<pendingrecords::Entry>& entries);

    Services m_services;
    Pause& m_pause;
    resultsfile::Opener m_open;
};
