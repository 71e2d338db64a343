#include "divisor_drill.h"

#include "number_sets.h"

namespace {
const QString kStar = QStringLiteral("*");
}

DivisorDrill::DivisorDrill(ProblemDrawer& drawer, int level, DrillFrontEnd& frontEnd, int targetCount)
    : m_drawer(drawer), m_level(level), m_targetCount(std::max(1, targetCount)), m_frontEnd(frontEnd)
{}

void DivisorDrill::endProblem()
{
    m_current.endedMs = now();
    m_problems.append(m_current);
}

void DivisorDrill::newProblem()
{
    m_instructionsVisible = true;
    m_wrongBox = 0;
    m_wrongEntry.clear();
    m_wrongCost = false;
    m_number = m_drawer.drawNext(m_level).value_or(0);
    m_current = ProblemResult{m_number, now(), 0, 0, QString(), false};
    m_divisors = numbersets::divisors(m_number);
    const int c = int(m_divisors.size());
    const int small = (c + 1) / 2; // the larger half when c is odd: a square's root stands once
    const int partners = c / 2;
    // Small divisors fill the first positions in ascending order, their partners the last
    // ones (the number itself in position 24), "*" the positions between.
    for (int k = 1; k <= kBoxCount; ++k) {
        if (k <= small)
            m_answers[std::size_t(k)] = QString::number(m_divisors[k - 1]);
        else if (k > kBoxCount - partners)
            m_answers[std::size_t(k)] = QString::number(m_divisors[k - kBoxCount + c - 1]);
        else
            m_answers[std::size_t(k)] = kStar;
    }
    m_entryCount = 0;
    for (int k = 1; k <= kBoxCount; ++k) {
        EntryBox& b = m_boxes[std::size_t(k)];
        b.text.clear();
        b.visible = false;
        b.column = k <= 12 ? k : kBoxCount + 1 - k;
    }
    openNextBox();
}

void DivisorDrill::openNextBox()
{
    if (m_entryCount >= kBoxCount)
        return;
    ++m_entryCount;
    m_activeBox = (m_entryCount % 2 == 1) ? m_entryCount / 2 + 1 : kBoxCount + 1 - m_entryCount / 2;
    m_boxes[std::size_t(m_activeBox)].visible = true;
}

void DivisorDrill::judge()
{
    const int b = m_judgedBox;
    EntryBox& box = m_boxes[std::size_t(b)];
    const QString entered = box.text;
    if (entered.isEmpty())
        box.visible = false;
    const QString& expected = m_answers[std::size_t(b)];
    // Text against text: "06" is not "6".
    const bool wrong = (!entered.isEmpty() || expected != kStar) && entered != expected;
    if (wrong) {
        if (m_current.wrong++ == 0)
            m_current.firstWrong = entered;
        m_wrongBox = b;
        m_wrongEntry = entered;
        m_wrongCost = m_solvedCount > 0;
        m_solvedCount = std::max(0, m_solvedCount - 1);
        m_frontEnd.playWrongSound();
        disableAllBoxes();
        showAnswer();
        return;
    }
    if (expected != kStar) {
        openNextBox();
        return;
    }
    endProblem();
    m_frontEnd.playCorrectSound();
    ++m_solvedCount;
    if (m_solvedCount >= m_targetCount) {
        m_finished = true;
        disableAllBoxes();
        m_frontEnd.attemptSolved();
        return;
    }
    newProblem();
}

void DivisorDrill::showAnswer()
{
    m_instructionsVisible = false;
    m_answerPanelVisible = true;
    m_plusKeyState = 1;
    m_acknowledgeVisible = true;
}

void DivisorDrill::disableAllBoxes()
{
    for (int k = 1; k <= kBoxCount; ++k)
        m_boxes[std::size_t(k)].enabled = false;
}

void DivisorDrill::keyDown(int b, EditKey key)
{
    if (b < 1 || b > kBoxCount)
        return;
    QString& text = m_boxes[std::size_t(b)].text;
    if (!text.isEmpty() && (key == EditKey::Left || key == EditKey::Backspace))
        text.chop(1);
    if (key == EditKey::Enter || key == EditKey::Up || key == EditKey::Right || key == EditKey::Down)
        text.clear();
}

namespace {

// A Japanese input method left on types full-width digits, space and plus: they are the same
// keys, never a wrong answer.
QChar halfWidth(QChar ch)
{
    if (ch >= u'０' && ch <= u'９')
        return QChar(u'0' + (ch.unicode() - u'０'));
    if (ch == u'\u3000')
        return u' ';
    if (ch == u'＋')
        return u'+';
    return ch;
}

} // namespace

void DivisorDrill::keyPress(int b, QChar ch)
{
    ch = halfWidth(ch);
    if (b < 1 || b > kBoxCount || !m_boxes[std::size_t(b)].enabled)
        return;
    if (ch == u'+')
        return;
    const bool digit = ch >= u'0' && ch <= u'9';
    if (!digit && ch != u' ')
        return;
    QString& text = m_boxes[std::size_t(b)].text;
    if (text.size() > kMaxLength) {
        text += ch;
        return;
    }
    if (ch == u' ') {
        m_judgedBox = b;
        judge();
    }
    // Typing on in a full box replaces its last character; a judged (wrong) entry of three
    // characters is left with its first two, as the pupil sees it beside the answer.
    if (text.size() > kMaxLength - 1)
        text.truncate(kMaxLength - 1);
    if (ch != u' ')
        text += ch;
}

void DivisorDrill::formKeyPress(QChar ch)
{
    ch = halfWidth(ch);
    if (!m_acknowledgeVisible)
        return;
    if (ch != u'+') {
        m_plusKeyState = 1;
        return;
    }
    if (m_plusKeyState == 1) {
        m_plusKeyState = 2;
        return;
    }
    if (m_plusKeyState == 2) {
        m_plusKeyState = 0;
        m_answerPanelVisible = false;
        for (int k = 1; k <= kBoxCount; ++k)
            m_boxes[std::size_t(k)].enabled = true;
        m_acknowledgeVisible = false;
        m_current.answerShown = true;
        endProblem();
        newProblem();
    }
}

QString DivisorDrill::nextStepLine() const
{
    if (m_wrongBox == 0)
        return {};
    // Words a pupil of any grade reads: kanji of the lower grades only.
    const QString next = QStringLiteral("「＋」を２回おすと、次の問題に進みます。");
    return m_wrongCost ? QStringLiteral("まちがえたので「あと」が１つふえました。") + next : next;
}

QString DivisorDrill::wrongAnnouncement() const
{
    if (m_wrongBox == 0)
        return {};
    QStringList answer;
    for (int k = 1; k <= kBoxCount; ++k) {
        // In the order the boxes open: 1, 24, 2, 23, …
        const int position = k % 2 == 1 ? k / 2 + 1 : kBoxCount + 1 - k / 2;
        if (m_answers[std::size_t(position)] != kStar)
            answer << m_answers[std::size_t(position)];
    }
    const QString entered =
        m_wrongEntry.isEmpty() ? QStringLiteral("まだ約数があるのにスペース") : QStringLiteral("%1").arg(m_wrongEntry);
    return QStringLiteral("まちがい。%1。%2のこたえは %3。")
        .arg(entered)
        .arg(m_number)
        .arg(answer.join(QStringLiteral("、")));
}
