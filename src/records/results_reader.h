#pragma once

#include "result_record.h"
#include "results_file.h"
#include "state/services.h"

#include <QList>
#include <optional>

class Pause;

// Reads the recent records of "成績累積データ.dat", waiting while it cannot be read for a reason
// that passes: a missing file (a folder on a server that is not there yet) is tried again
// every 5 seconds, three times; a file another program of the family holds, every second until
// it is free, with a notice after ten seconds that says which file is waited for and lets the
// pupil give up ("中止" ends the program). Any other failure is shown and ends the program, as
// nothing can be recorded without the file.
class ResultsReader
{
public:
    static constexpr qint64 kRecentRecords = 20000; // records of the file considered at most
    static constexpr int kMissingFileTries = 4;     // the first try and three retries
    static constexpr int kMissingFileWaitMs = 5000;
    static constexpr int kSharingWaitMs = 1000;
    static constexpr int kNoticeAfterMs = 10000; // a busy file is waited for silently this long

    ResultsReader(Services services, Pause& pause, resultsfile::Opener open = openRecordFile)
        : m_services(services), m_pause(pause), m_open(std::move(open))
    {}

    // The last maxRecords records (all of them when there are fewer), in file order. Nothing
    // when the program has been ended.
    std::optional<QList<ResultRecord>> read(qint64 maxRecords = kRecentRecords);

    // Reads the recent records and recomputes the statistics of the catalogue's courses from
    // them, for today and now. False when the program has been ended.
    bool refreshStatistics(QList<ResultRecord>* records = nullptr);

private:
    void fatal(const QString& text);
    QString diagnostic(int step, int code, const QString& text) const;

    Services m_services;
    Pause& m_pause;
    resultsfile::Opener m_open;
};
