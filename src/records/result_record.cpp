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

template <int N> void putText(char* at, const FixedText<N>& text)
{
    std::memcpy(at, text.data(), N);
}

} // namespace

QByteArray ResultRecord::encode(RecordLayout layout) const
{
    QByteArray out(recordLength(layout), '\0');
    char* p = out.data();
    if (layout == RecordLayout::Shared) {
        using namespace sharedlayout;
        putText(p + kProgram, program);
        put(p + kListPosition, listPosition);
        put(p + kDate, date);
        put(p + kClockTime, clockTime);
        put(p + kPupil, pupil);
        put(p + kCourse, course);
        put(p + kTime, time);
        putText(p + kSchoolCode, schoolCode);
        putText(p + kReserved, sharedReserved);
        return out;
    }
    using namespace resultlayout;
    put(p + kDate, date);
    put(p + kClockTime, clockTime);
    put(p + kPupil, pupil);
    put(p + kCourse, course);
    put(p + kTime, time);
    putText(p + kSchoolCode, schoolCode);
    putText(p + kNote, note);
    putText(p + kPoints, points);
    putText(p + kReserved, reserved);
    return out;
}

ResultRecord ResultRecord::decode(const char* p, RecordLayout layout)
{
    ResultRecord r;
    if (layout == RecordLayout::Shared) {
        using namespace sharedlayout;
        r.program = FixedText<20>::from(p + kProgram);
        r.listPosition = get<qint16>(p + kListPosition);
        r.date = get<double>(p + kDate);
        r.clockTime = get<double>(p + kClockTime);
        r.pupil = get<qint16>(p + kPupil);
        r.course = get<qint16>(p + kCourse);
        r.time = get<qint32>(p + kTime);
        r.schoolCode = FixedText<5>::from(p + kSchoolCode);
        r.sharedReserved = FixedText<15>::from(p + kReserved);
        return r;
    }
    using namespace resultlayout;
    r.date = get<double>(p + kDate);
    r.clockTime = get<double>(p + kClockTime);
    r.pupil = get<qint16>(p + kPupil);
    r.course = get<qint16>(p + kCourse);
    r.time = get<qint32>(p + kTime);
    r.schoolCode = FixedText<5>::from(p + kSchoolCode);
    r.note = FixedText<5>::from(p + kNote);
    r.points = FixedText<5>::from(p + kPoints);
    r.reserved = FixedText<5>::from(p + kReserved);
    return r;
}

int ResultRecord::pointsValue() const
{
    return recordtext::pointsValue(points.data());
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
