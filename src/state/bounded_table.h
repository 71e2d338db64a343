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

// A table by course 0..courses and pupil 0..5000, one block allocated once. It holds the
// catalogue's courses only: a course outside it has no cells.
template <typename T> class CourseByPupil
{
public:
    explicit CourseByPupil(int courses = kMaxCourse) : m_courses(std::clamp(courses, 0, kMaxCourse)) {}

    int courses() const { return m_courses; }
    T& operator()(int course, int pupil)
    {
        check(course, pupil);
        return m_cells[std::size_t(course) * (kMaxPupil + 1) + std::size_t(pupil)];
    }
    const T& operator()(int course, int pupil) const
    {
        check(course, pupil);
        return m_cells[std::size_t(course) * (kMaxPupil + 1) + std::size_t(pupil)];
    }
    void fill(const T& value) { std::fill(m_cells.begin(), m_cells.end(), value); }

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
    void check(int course, int pupil) const
    {
        if (Q_UNLIKELY(course < 0 || course > m_courses))
            tableIndexFault("course", course, 0, m_courses);
        if (Q_UNLIKELY(pupil < 0 || pupil > kMaxPupil))
            tableIndexFault("pupil", pupil, 0, kMaxPupil);
    }
    int m_courses;
    std::vector<T> m_cells = std::vector<T>(std::size_t(m_courses + 1) * (kMaxPupil + 1));
};
