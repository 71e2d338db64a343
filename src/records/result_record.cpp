#include "result_record.h"

#include "text/cp932.h"

#include <QtEndian>
#include <cstring>

namespace {

template <typename T> void put(char* at, T value)
{
    qToLittleEndian(value, at);
}

template <typename T> T get(const char* at)
{
    return qFromLittleEndian<T>(at);
}

void putBytes(char* at, const QByteArray& bytes, int width)
{
    std::memcpy(at, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), width)));
}

} // namespace

QByteArray ResultRecord::encode() const
{
    using namespace resultlayout;
    QByteArray out(kResultRecordLength, '\0');
    char* p = out.data();
    put(p + kDate, date);
    put(p + kClockTime, clockTime);
    put(p + kPupil, pupil);
    put(p + kCourse, course);
    put(p + kTime, time);
    putBytes(p + kSchoolCode, schoolCode, kTextWidth);
    putBytes(p + kNote, note, kTextWidth);
    putBytes(p + kPoints, points, kTextWidth);
    putBytes(p + kReserved, reserved, kTextWidth);
    return out;
}

ResultRecord ResultRecord::decode(const char* p)
{
    using namespace resultlayout;
    ResultRecord r;
    r.date = get<double>(p + kDate);
    r.clockTime = get<double>(p + kClockTime);
    r.pupil = get<qint16>(p + kPupil);
    r.course = get<qint16>(p + kCourse);
    r.time = get<qint32>(p + kTime);
    r.schoolCode = QByteArray(p + kSchoolCode, kTextWidth);
    r.note = QByteArray(p + kNote, kTextWidth);
    r.points = QByteArray(p + kPoints, kTextWidth);
    r.reserved = QByteArray(p + kReserved, kTextWidth);
    return r;
}

int ResultRecord::pointsValue() const
{
    return recordtext::pointsValue(points.leftJustified(5, ' ').constData());
}

QByteArray SharedResultRecord::encode() const
{
    QByteArray out(kSharedRecordLength, '\0');
    char* p = out.data();
    putBytes(p + 0, program, 20);
    put(p + 20, listPosition);
    put(p + 22, date);
    put(p + 30, clockTime);
    put(p + 38, pupil);
    put(p + 40, course);
    put(p + 42, time);
    putBytes(p + 46, schoolCode, 5);
    putBytes(p + 51, reserved, 15);
    return out;
}

SharedResultRecord SharedResultRecord::decode(const char* p)
{
    SharedResultRecord r;
    r.program = QByteArray(p + 0, 20);
    r.listPosition = get<qint16>(p + 20);
    r.date = get<double>(p + 22);
    r.clockTime = get<double>(p + 30);
    r.pupil = get<qint16>(p + 38);
    r.course = get<qint16>(p + 40);
    r.time = get<qint32>(p + 42);
    r.schoolCode = QByteArray(p + 46, 5);
    r.reserved = QByteArray(p + 51, 15);
    return r;
}

namespace recordtext {

qint32 pointsValue(const char* text)
{
    int i = 0;
    while (i < 5 && text[i] == ' ')
        ++i;
    const bool negative = i < 5 && text[i] == '-';
    if (negative || (i < 5 && text[i] == '+'))
        ++i;
    qint32 value = 0;
    for (; i < 5 && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

namespace {

// The longest prefix of the text whose code page 932 form fits the width.
std::optional<QByteArray> encodeCut(const QString& text, int width)
{
    const auto whole = cp932::encode(text);
    if (!whole.ok())
        return std::nullopt;
    if (whole.bytes.size() <= width)
        return whole.bytes;
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype units = text[i].isHighSurrogate() ? 2 : 1;
        const QByteArray one = cp932::encode(text.mid(i, units)).bytes;
        if (out.size() + one.size() > width)
            break;
        out += one;
        i += units;
    }
    return out;
}

} // namespace

std::optional<QByteArray> fixedField(const QString& text, int width)
{
    auto bytes = encodeCut(text, width);
    if (bytes)
        bytes->append(QByteArray(width - bytes->size(), ' '));
    return bytes;
}

QByteArray pointsField(int points)
{
    QByteArray text = QByteArray::number(points).left(5);
    return text + QByteArray(5 - text.size(), ' ');
}

std::optional<QByteArray> programField(const QString& folderName)
{
    auto name = encodeCut(folderName, 19);
    if (!name)
        return std::nullopt;
    name->append('\\');
    name->append(QByteArray(20 - name->size(), ' '));
    return name;
}

} // namespace recordtext
