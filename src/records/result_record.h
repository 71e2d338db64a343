#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

// The two fixed-length records of the results files, byte for byte as the family's programs
// write them: little-endian numbers, dates as doubles, code page 932 text fields padded
// with spaces, never-assigned fields as zero bytes.
constexpr int kResultRecordLength = 44;
constexpr int kSharedRecordLength = 66;

// Which file a record belongs to: "成績累積データ.dat" in the program folder (44 bytes), or
// "成績累積データ家庭用.dat" in the shared folder (66 bytes), written by every program of the family.
enum class RecordLayout
{
    Program,
    Shared
};

constexpr int recordLength(RecordLayout layout)
{
    return layout == RecordLayout::Program ? kResultRecordLength : kSharedRecordLength;
}

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

// Where each field of the 66-byte record starts.
namespace sharedlayout {
constexpr int kProgram = 0;
constexpr int kListPosition = 20;
constexpr int kDate = 22;
constexpr int kClockTime = 30;
constexpr int kPupil = 38;
constexpr int kCourse = 40;
constexpr int kTime = 42;
constexpr int kSchoolCode = 46;
constexpr int kReserved = 51;
} // namespace sharedlayout

// A text field of N bytes held in place, so that decoding twenty thousand records allocates
// nothing. Made from a shorter byte string, the rest is zero bytes, as an unassigned field is.
template <int N> class FixedText
{
public:
    constexpr explicit FixedText(char fill = ' ') { m_bytes.fill(fill); }
    FixedText(const QByteArray& bytes) // NOLINT: a field is naturally given as its bytes
    {
        m_bytes.fill('\0');
        std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), N), m_bytes.begin());
    }
    static FixedText from(const char* bytes)
    {
        FixedText t;
        std::copy_n(bytes, N, t.m_bytes.begin());
        return t;
    }
    QByteArray bytes() const { return QByteArray(m_bytes.data(), N); }
    const char* data() const { return m_bytes.data(); }
    bool operator==(const FixedText&) const = default;

private:
    std::array<char, N> m_bytes;
};

// One attempt as either file holds it. The fields of the other layout keep their defaults.
struct ResultRecord
{
    double date = 0;      // whole days
    double clockTime = 0; // fraction of a day
    qint16 pupil = 0;
    qint16 course = 0;
    qint32 time = 0;
    FixedText<5> schoolCode;
    // "成績累積データ.dat" only.
    FixedText<5> note;
    FixedText<5> points;
    FixedText<5> reserved{'\0'};
    // "成績累積データ家庭用.dat" only: the writing program's folder name and its list position.
    FixedText<20> program;
    qint16 listPosition = 0;
    FixedText<15> sharedReserved{'\0'};

    QByteArray encode(RecordLayout layout = RecordLayout::Program) const;
    // recordLength(layout) bytes.
    static ResultRecord decode(const char* bytes, RecordLayout layout = RecordLayout::Program);
    // The numeric value of the points text (0 when it holds no number).
    int pointsValue() const;
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
