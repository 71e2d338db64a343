#pragma once

#include "results_file.h"
#include "state/attempt_outcome.h"
#include "state/services.h"

#include <optional>

class Pause;

// Records an attempt: the statistics just before it, the append to both results files, the
// statistics with it, and what it achieved. A file that cannot be used ends the program with
// a message, as nothing can be recorded without it.
class ResultsRecorder
{
public:
    ResultsRecorder(Services services, Pause& pause, resultsfile::Opener open = openRecordFile)
        : m_services(services), m_pause(pause), m_open(std::move(open))
    {}

    // The shared statistics hold the figures with the attempt afterwards. Nothing when the
    // program has been ended.
    std::optional<AttemptOutcome> record(const resultsfile::Attempt& attempt);

private:
    Services m_services;
    Pause& m_pause;
    resultsfile::Opener m_open;
};
