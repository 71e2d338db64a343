#include "certificate.h"

#include "text/vertical_columns.h"

#include "state/shared_state.h"
#include "text/japanese_date.h"

#include <QHash>
#include <algorithm>

namespace certificate {

QString kanjiNumber(int n)
{
    static const QString digits = QStringLiteral("〇一二三四五六七八九");
    if (n <= 0)
        return digits.left(1);
    QString text;
    const std::pair<int, QChar> places[] = {{1000, u'千'}, {100, u'百'}, {10, u'十'}};
    for (const auto& [value, mark] : places) {
        const int d = (n / value) % 10;
        if (d > 1)
            text += digits[d];
        if (d > 0)
            text += mark;
    }
    if (n >= 10000)
        text = kanjiNumber(n / 10000) + u'万' + (n % 10000 ? kanjiNumber(n % 10000) : QString());
    else if (n % 10)
        text += digits[n % 10];
    return text;
}

QString kanjiDigits(const QString& text)
{
    QString out;
    int run = -1;
    const auto flush = [&] {
        if (run >= 0)
            out += kanjiNumber(run);
        run = -1;
    };
    for (const QChar ch : text) {
        const int d = ch.digitValue();
        if (d >= 0 && (ch.unicode() < 0x80 || (ch >= u'０' && ch <= u'９'))) {
            run = (run < 0 ? 0 : run) * 10 + d;
            continue;
        }
        flush();
        out += ch;
    }
    flush();
    return out;
}

QString dateText(const QDate& date, Writing writing)
{
    const japanesedate::EraDate e = japanesedate::eraOf(date);
    const bool vertical = writing == Writing::Vertical;
    const auto number = [vertical](int n) { return vertical ? kanjiNumber(n) : QString::number(n); };
    const QString year = e.year == 1 && !e.era.isEmpty() ? QStringLiteral("元") : number(e.year);
    return QStringLiteral("%1%2年%3月%4日").arg(e.era, year, number(date.month()), number(date.day()));
}

QStringList honorificChoices()
{
    return {QStringLiteral("さん"), QStringLiteral("なし"), QStringLiteral("くん"), QStringLiteral("殿")};
}

QString withHonorific(const QString& name, Honorific honorific)
{
    switch (honorific) {
    case Honorific::None:
        return name;
    case Honorific::San:
        return name + QStringLiteral("　さん");
    case Honorific::Kun:
        return name + QStringLiteral("　くん");
    case Honorific::Dono:
        return name + QStringLiteral("　殿");
    }
    return name;
}

QString defaultTemplate()
{
    return QStringLiteral("あなたは{ドリル}の{レベル}において{きまり}という目標をみごとに達成しました"
                          "　日々の努力がみのったその成果はまことにりっぱです"
                          "　よってここにその栄誉をたたえ賞します");
}

namespace {

QString filled(const QString& text, const QString& drill, const QString& level, const QString& rule)
{
    QString out = text;
    out.replace(QStringLiteral("{ドリル}"), drill);
    out.replace(QStringLiteral("{レベル}"), level);
    out.replace(QStringLiteral("{きまり}"), rule);
    return out.simplified();
}

} // namespace

QStringList templateProblems(const QString& text)
{
    QStringList problems;
    static const QString punctuation = QStringLiteral("、。，．,.！？!?");
    QString found;
    for (const QChar ch : text) {
        if (punctuation.contains(ch) && !found.contains(ch))
            found += ch;
    }
    if (!found.isEmpty())
        problems << QStringLiteral("句読点（%1）は使いません。区切りには全角の空白を使います。").arg(found);
    const qsizetype thus = text.count(QStringLiteral("よって"));
    if (thus != 1)
        problems << QStringLiteral("「よって」は1回だけ入れます（その前で行を変えます）。");
    if (!text.trimmed().endsWith(QStringLiteral("賞します")))
        problems << QStringLiteral("文の終わりは「賞します」にします。");
    // As filled in for a typical level: about a hundred characters.
    QString sample = filled(text, QStringLiteral("約数早押しドリル"), QStringLiteral("レベル三"),
                            QStringLiteral("三十日のうちに五回五十点"));
    sample.remove(u' ').remove(u'　');
    if (sample.size() < 60 || sample.size() > 140)
        problems << QStringLiteral("本文は百字くらいにします（いまは%1字）。").arg(sample.size());
    return problems;
}

QStringList body(const QString& text, const QString& drill, const QString& level, const QString& rule)
{
    const QString whole = filled(text, drill, level, rule);
    const qsizetype at = whole.indexOf(QStringLiteral("よって"));
    if (at <= 0)
        return {whole};
    return {whole.left(at).trimmed(), whole.mid(at).trimmed()};
}

QString ruleText(const CourseRules& rules, int course)
{
    return QStringLiteral("%1日のうちに%2回%3点")
        .arg(rules.windowDays[course].toInt())
        .arg(qint64(rules.requiredCount[course]))
        .arg(qint64(rules.requiredPoints[course]));
}

Certificate make(const clearing::Cleared& cleared, const QString& pupilName, Honorific honorific, const QString& text,
                 const Catalogue& catalogue, const CourseRules& rules, const QString& school, const QString& signer,
                 Writing writing)
{
    const bool vertical = writing == Writing::Vertical;
    const auto numbers = [vertical](const QString& s) { return vertical ? kanjiDigits(s) : s; };
    Certificate c;
    c.name = withHonorific(pupilName.trimmed(), honorific);
    c.paragraphs = body(text, catalogue.courseTitle.trimmed(), numbers(catalogue.courseNames[cleared.course].trimmed()),
                        numbers(ruleText(rules, cleared.course)));
    c.date = dateText(cleared.date, writing);
    c.issuer = school.trimmed();
    c.signer = signer.trimmed();
    c.keepWhole = {catalogue.courseTitle.trimmed(), numbers(catalogue.courseNames[cleared.course].trimmed())};
    return c;
}

QStringList bodyColumns(const Certificate& c, int paragraph)
{
    return verticalcolumns::set(c.paragraphs.value(paragraph), kColumnChars - (paragraph > 0 ? 1 : 0), c.keepWhole)
        .columns;
}

QStringList layoutProblems(const Certificate& c, Writing writing)
{
    QStringList problems;
    if (c.name.size() > kNameChars)
        problems << QStringLiteral("名前「%1」が長すぎて、1行に入りません。").arg(c.name);
    if (writing != Writing::Vertical)
        return problems;
    for (qsizetype p = 0; p < c.paragraphs.size(); ++p) {
        const auto set = verticalcolumns::set(c.paragraphs[p], kColumnChars - (p > 0 ? 1 : 0), c.keepWhole);
        if (!set.problem.isEmpty())
            problems << set.problem;
    }
    return problems;
}

QList<clearing::Cleared> inPeriod(const QList<clearing::Cleared>& clearings, const QDate& from, const QDate& to,
                                  const QList<int>& pupils)
{
    QList<clearing::Cleared> chosen;
    for (const clearing::Cleared& c : clearings) {
        if (c.date >= from && c.date <= to && (pupils.isEmpty() || pupils.contains(c.pupil)))
            chosen.append(c);
    }
    std::stable_sort(chosen.begin(), chosen.end(),
                     [](const clearing::Cleared& a, const clearing::Cleared& b) { return a.date < b.date; });
    return chosen;
}

} // namespace certificate
