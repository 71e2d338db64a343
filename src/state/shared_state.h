#pragma once

#include "bounded_table.h"
#include "loose.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// Folders and files, set once by start-up. Every folder ends in the platform's separator.
struct Folders
{
    Loose folderLayout;
    QString sharedFolder;
    QString programFolder;
    QString soundFolder;
    QString programFolderName;
};

// Organisation settings from "共通データ.txt".
struct Organisation
{
    Loose schoolYearStartMonth;
    Loose schoolCode;
    QString schoolName;
    Loose commonItem3;
};

// How the rankings a pupil sees name the other pupils; a pupil always sees their own name.
enum class RankingNames
{
    Names,       // 名前: the name, as the family's programs show it
    SeatNumbers, // 出席番号だけ
    Initials     // イニシャル
};

// The school's own settings that the family's files do not hold, from "学校の設定.txt" beside
// them (the school's name and code stay in "共通データ.txt").
struct SchoolSettings
{
    QString signer;    // who signs the certificates: "校長　山田　太郎"
    int weekStart = 1; // the first day of the school's week, 1 Monday .. 7 Sunday
    RankingNames rankingNames = RankingNames::Names;
    QString passwordMark; // the fingerprint of the teacher's password, when one is set
    QString problem;      // why the file was not used as it is: said in the teacher's tools
};

// Program identity and course catalogue.
struct Catalogue
{
    QString courseTitle;
    ByCourse<QString> courseNames;
    ByCourse<qint16> courseDefined;
    qint16 courseCount = 0;
    Loose topLevelCourse;
    qint32 accentColour = 0;
    // The help commands' addresses (index, study page, contact page, home page), read at start.
    QStringList helpAddresses;
};

// Course rules, one line of "タイム回数データ.txt" per index.
struct CourseRules
{
    ByCourse<qint32> targetTime;
    ByCourse<qint32> secondTargetTime;
    ByCourse<qint32> requiredPoints;
    ByCourse<qint16> requiredCount;
    ByCourse<float> pointWeight;
    ByCourse<Loose> window2RequiredCount;
    ByCourse<Loose> window2RequiredPoints;
    ByCourse<Loose> windowDays;
    ByCourse<Loose> window2Days;
};

// The pupil now working, chosen in the menu.
struct CurrentPupil
{
    qint16 pupilNo = 0;
    QString pupilName;
    QString pupilGrade;
    qint32 pupilStartTime = 0;
    // Entered through "先生用" rather than a roster line: no pupil's figures, nothing recorded.
    bool teacher = false;
};

// The statistics of every pupil and course, computed from the recent records of the results
// file (records/statistics.h). Sized by the catalogue's courses.
struct Statistics
{
    explicit Statistics(int courses = 0)
        : bestTime(courses), totalCount(courses), totalPoints(courses), todayCount(courses), todayPoints(courses),
          windowCount(courses), windowPoints(courses), window2Count(courses), window2Points(courses)
    {
        bestTime.fill(99999);
        courseBestTime.fill(99999);
    }
    int courses() const { return bestTime.courses(); }

    qint16 recordCount = 0; // the records counted: the newest valid ones
    CourseByPupil<qint32> bestTime;
    ByCourse<qint32> courseBestTime;
    CourseByPupil<qint16> totalCount;
    CourseByPupil<qint32> totalPoints;
    CourseByPupil<float> todayCount;
    CourseByPupil<qint32> todayPoints;
    CourseByPupil<qint16> windowCount;
    CourseByPupil<qint32> windowPoints;
    CourseByPupil<qint16> window2Count;
    CourseByPupil<qint32> window2Points;
};

// Sound table: 11 kinds by 22 columns (kind name, up to 20 file names, count).
constexpr int kSoundKinds = 11;
constexpr int kSoundColumns = 22;
struct SoundState
{
    std::array<std::array<QString, kSoundColumns>, kSoundKinds> table;
};

// Roster tables by pupil number, filled when the roster is listed.
struct RosterTables
{
    ByPupil<QString> pupilNames;
    ByPupil<QString> pupilGradeLabels;
    ByPupil<qint16> pupilBirthYears;
    // The pupils the menu listed last, in the roster's order: the group the board ranks.
    QList<qint16> listedPupils;
    int schoolYear = 0;              // the school year the grades were worked out for
    bool unreadableReported = false; // a missing roster is reported once per start
};

// The one program-wide state, created by start-up and handed to every screen and routine:
// screens talk to each other only through it.
struct SharedState
{
    Folders folders;
    Organisation organisation;
    SchoolSettings school;
    Catalogue catalogue;
    CourseRules rules;
    CurrentPupil current;
    Statistics stats;
    SoundState sound;
    RosterTables roster;
    bool problemLogFaultTold = false; // the problem log could not be written, and that was said
    // Records that reached neither their results file nor the waiting list (a full disk), in the
    // waiting list's own encoding: offered again at every recording and when the program ends.
    QByteArray heldRecords;
};
