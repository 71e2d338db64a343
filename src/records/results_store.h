#pragma once

#include "results_file.h"
#include "state/services.h"

#include <optional>

class Pause;

// The statistics of every pupil and course, rebuilt from the recent part of
// "成績累積データ.dat" whenever a screen needs up-to-date figures, and the recording of an
// attempt. Files that cannot be used end the program with a message, as nothing can be
// recorded without them.
class ResultsStore
{
public:
    static constexpr int kRecentRecords = 20000; // records of the file considered at most
    static constexpr int kHeldRecords = 10001;   // valid records held in memory at most
    static constexpr qint32 kCompletedBelow = 6000;
    static constexpr qint32 kNoTime = 99999;
    static constexpr int kMissingFileTries = 4; // the first try and three retries
    static constexpr int kMissingFileWaitMs = 5000;
    static constexpr int kSharingWaitMs = 1000;

    ResultsStore(Services services, Pause& pause, resultsfile::Opener open = openRecordFile)
        : m_services(services), m_pause(pause), m_open(std::move(open))
    {}

    // Reads the newest valid records into memory and sets the best times. False when the
    // program has been ended.
    bool loadResults();
    // Clears and recomputes counts and points of every pupil and course.
    bool computeStatistics();
    // Sets the record flags and appends the attempt of the current pupil on the given course.
    bool recordAttempt(int course);

    // One record of the results file, as the board's results lists show it.
    struct Attempt
    {
        double date = 0;
        double clockTime = 0;
        qint16 pupil = 0;
        qint16 course = 0;
        qint32 time = 0;
    };
    // The last maxRecords records of the results file (all of them when there are fewer), in
    // file order, with the same waits and messages as the statistics. Nothing when the program
    // has been ended.
    std::optional<QList<Attempt>> readAttempts(qint64 maxRecords);

private:
    struct Block
    {
        QByteArray bytes;
        int count = 0;
    };
    std::optional<Block> readRecentRecords(qint64 maxRecords = kRecentRecords);
    void fatal(const QString& text);
    QString diagnostic(int step, int code, const QString& text) const;

    Services m_services;
    Pause& m_pause;
    resultsfile::Opener m_open;
};
