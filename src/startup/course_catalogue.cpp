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

const QStringList& gradeChoices()
{
    static const QStringList choices = {
        QStringLiteral("全学年"), QStringLiteral("中学生全体"), QStringLiteral("小学生全体"), QStringLiteral("中３"),
        QStringLiteral("中２"),   QStringLiteral("中１"),       QStringLiteral("小６"),       QStringLiteral("小５"),
        QStringLiteral("小４"),   QStringLiteral("小３"),       QStringLiteral("小２"),       QStringLiteral("小１")};
    return choices;
}

int gradeFilterMatch(int g, const QString& filter)
{
    if (filter == u"全学年" || filter == u"家族")
        return 1;
    if (filter == u"小学生全体")
        return g >= 1 && g <= 6;
    if (filter == u"中学生全体")
        return g >= 7 && g <= 9;
    // "中３" .. "小１": the choices after the groups, the highest grade first.
    const QStringList& choices = gradeChoices();
    const qsizetype single = choices.indexOf(filter);
    if (single >= 3)
        return g == 9 - int(single - 3);
    return 0;
}

} // namespace catalogue
