#include "course_catalogue.h"

namespace catalogue {

void fill(Catalogue& c)
{
    static const char16_t* const names[] = {u"レベル１", u"レベル２", u"レベル３", u"レベル４",   u"レベル５",
                                            u"範囲３",   u"範囲４練", u"範囲４",   u"範囲５練",   u"範囲５",
                                            u"範囲６練", u"範囲６",   u"範囲７練", u"範囲７",     u"範囲８練",
                                            u"範囲８",   u"範囲９練", u"範囲９",   u"範囲１０練", u"範囲１０"};
    c.courseCount = 5;
    c.topLevelCourse = Loose(5);
    for (int i = 1; i <= 20; ++i) {
        c.courseNames[i] = QString::fromUtf16(names[i - 1]);
        c.courseDefined[i] = 1;
    }
}

QString gradeMark(int g)
{
    static const char16_t* const marks[] = {u"①", u"②", u"③", u"④", u"⑤", u"⑥", u"Ⅰ", u"Ⅱ", u"Ⅲ"};
    if (g >= 1 && g <= 9)
        return QString::fromUtf16(marks[g - 1]);
    return QStringLiteral("　");
}

int gradeFilterMatch(int g, const QString& filter)
{
    if (filter == u"全学年" || filter == u"家族")
        return 1;
    if (filter == u"小学生全体")
        return g >= 1 && g <= 6;
    if (filter == u"中学生全体")
        return g >= 7 && g <= 9;
    static const char16_t* const single[] = {u"小１", u"小２", u"小３", u"小４", u"小５",
                                             u"小６", u"中１", u"中２", u"中３"};
    for (int k = 0; k < 9; ++k) {
        if (filter == QString::fromUtf16(single[k]))
            return g == k + 1;
    }
    return 0;
}

} // namespace catalogue
