#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The two fixed-length records of the results files, byte for byte as the family's programs
// write them: little-endian numbers, dates as doubles, code page 932 text fields padded
// with spaces, never-assigned fields as zero bytes.
constexpr int kResultRecordLength = 44;
constexpr int kSharedRecordLength = 66;

// Where each field of the 44-byte record starts; the text fields are 5 bytes long.
namespace resultlayout {
constexpr int kDate = 0;
constexpr int kClockTime = 8;
constexpr int kPupil = 16;
constexpr int kCourse = 18;
constexpr int kTime = 20;
constexpr int kSchoolCode = 24;
constexpr int kNote = 29;
constexpr int kPoints = 34;
constexpr int kReserved = 39;
constexpr int kTextWidth = 5;
} // namespace resultlayout

// "成績累積データ.dat" in the program folder.
struct ResultRecord
{
    double date = 0;      // whole days
    double clockTime = 0; // fraction of a day
    qint16 pupil = 0;
    qint16 course = 0;
    qint32 time = 0;
    QByteArray schoolCode = QByteArray(5, ' ');
    QByteArray note = QByteArray(5, ' ');
    QByteArray points = QByteArray(5, ' ');
    QByteArray reserved = QByteArray(5, '\0');

    QByteArray encode() const;
    static ResultRecord decode(const char* bytes); // kResultRecordLength bytes
    // The numeric value of the points text (0 when it holds no number).
    int pointsValue() const;
};

// "成績累積データ家庭用.dat" in the shared folder, written by every program of the family.
struct SharedResultRecord
{
    QByteArray program = QByteArray(20, ' ');
    qint16 listPosition = 0;
    double date = 0;
    double clockTime = 0;
    qint16 pupil = 0;
    qint16 course = 0;
    qint32 time = 0;
    QByteArray schoolCode = QByteArray(5, ' ');
    QByteArray reserved = QByteArray(15, '\0');

    QByteArray encode() const;
    static SharedResultRecord decode(const char* bytes); // kSharedRecordLength bytes
};

namespace recordtext {

// The numeric value of a 5-byte points field: its leading number after blanks, 0 when none.
qint32 pointsValue(const char* field);

// A text in code page 932, cut at a character boundary to at most width bytes and padded with
// spaces; nothing when the text holds a character the code page cannot hold.
std::optional<QByteArray> fixedField(const QString& text, int width);

// The points field: the number left-aligned, padded with spaces ("7" and four spaces).
QByteArray pointsField(int points);

// The program field of the shared record: the folder name and a backslash, at most 20 bytes;
// a long name is cut at a character boundary so that the backslash always ends it.
std::optional<QByteArray> programField(const QString& folderName);

} // namespace recordtext
