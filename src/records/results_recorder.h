#pragma once

#include "results_file.h"
#include "state/attempt_outcome.h"
#include "state/services.h"

#include <optional>

class Pause;

// Records an attempt: the statistics just before it, the append to both results files, the
// statistics with it, and what it achieved. The attempt's records go to the waiting records
// (records/pending_records.h) first and leave them once appended: a sibling that holds a lock
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

    static constexpr int kStartLockWaitMs = 1000;

private:
    struct Delivery
    {
        int delivered = 0;
        int left = 0;
        std::optional<RecordsError> failure; // neither written nor busy: no waiting helps
        QString busyFile;                    // the file another program held
    };
    // Appends the waiting records in order, each to its file once; a lock held for too long is
    // offered again ("再試行") when the pupil may be asked, else what is left stays waiting.
    Delivery deliver(bool mayAsk, int lockWaitMs);

    Services m_services;
    Pause& m_pause;
    resultsfile::Opener m_open;
};
