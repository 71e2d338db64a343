#pragma once

#include <QtGlobal>
#include <algorithm>
#include <array>
#include <vector>

// Index bounds of the program-wide tables. Course 0 and pupil 0 exist as slots but are never
// real; the drill itself uses courses 1..5.
constexpr int kMaxCourse = 35;
constexpr int kMaxPupil = 5000;
constexpr int kMaxRecord = 20000;

[[noreturn]] void tableIndexFault(const char* table, long index, long low, long high);

// A table indexed low..high inclusive. An index outside the bounds is a programming error
// in the caller and stops the program at once instead of corrupting memory.
template <typename T, int Low, int High> class BoundedTable
{
public:
    static constexpr int low = Low;
    static constexpr int high = High;

    T& operator[](int index)
    {
        check(index);
        return m_cells[std::size_t(index - Low)];
    }
    const T& operator[](int index) const
    {
        check(index);
        return m_cells[std::size_t(index - Low)];
    }
    void fill(const T& value) { std::fill(m_cells.begin(), m_cells.end(), value); }

private:
    static void check(int index)
    {
        if (Q_UNLIKELY(index < Low || index > High))
            tableIndexFault("table", index, Low, High);
    }
    std::vector<T> m_cells = std::vector<T>(std::size_t(High - Low + 1));
};

template <typename T> using ByCourse = BoundedTable<T, 0, kMaxCourse>;
template <typename T> using ByPupil = BoundedTable<T, 0, kMaxPupil>;
template <typename T> using ByRecord = BoundedTable<T, 0, kMaxRecord>;

// A table by course 0..courses and pupil 0..5000. It holds the catalogue's courses only: a course
// outside it has no cells. Its rows are the pupils, grown as far as the highest pupil written:
// a pupil beyond holds the table's fill value, so that a school's 2000 pupils do not pay for
// the 5000 the family allows.
template <typename T> class CourseByPupil
{
public:
    explicit CourseByPupil(int courses = kMaxCourse) : m_courses(std::clamp(courses, 0, kMaxCourse)) {}

    int courses() const { return m_courses; }
    T& operator()(int course, int pupil)
    {
        check(course, pupil);
        const std::size_t cell = index(course, pupil);
        if (cell >= m_cells.size())
            m_cells.resize(index(0, pupil + 1), m_fill);
        return m_cells[cell];
    }
    const T& operator()(int course, int pupil) const
    {
        check(course, pupil);
        const std::size_t cell = index(course, pupil);
        return cell < m_cells.size() ? m_cells[cell] : m_fill;
    }
    void fill(const T& value)
    {
        m_fill = value;
        std::fill(m_cells.begin(), m_cells.end(), value);
    }

    // One pupil's cells added up over the courses first..last that the table holds (course 0
    // is no course).
    double sumOverCourses(int pupil, int first = 1, int last = kMaxCourse) const
    {
        double sum = 0;
        for (int course = first; course <= std::min(last, m_courses); ++course)
            sum += double((*this)(course, pupil));
        return sum;
    }

private:
    std::size_t index(int course, int pupil) const
    {
        return std::size_t(pupil) * std::size_t(m_courses + 1) + std::size_t(course);
    }
    void check(int course, int pupil) const
    {
        if (Q_UNLIKELY(course < 0 || course > m_courses))
            tableIndexFault("course", course, 0, m_courses);
        if (Q_UNLIKELY(pupil < 0 || pupil > kMaxPupil))
            tableIndexFault("pupil", pupil, 0, kMaxPupil);
    }
    int m_courses;
    T m_fill{};
    std::vector<T> m_cells;
};
