#pragma once

#include <QList>
#include <QString>
#include <array>
#include <functional>

class ProblemDrawer;

// What the drill asks of the screen around it: the two judged sounds, which play to their end
// before the drill goes on, and the end of the attempt once enough problems are solved.
class DrillFrontEnd
{
public:
    virtual ~DrillFrontEnd() = default;
    virtual void playCorrectSound() = 0;
    virtual void playWrongSound() = 0;
    virtual void attemptSolved() = 0;
};

// One entry box of the ring.
struct EntryBox
{
    QString text;
    bool visible = false;
    bool enabled = true;
    int column = 0; // 1..12: the colour of the pair of positions k and 25 − k; 0 the default
};

// How one problem of an attempt went, for the problem log: shown at startedMs, ended at endedMs
// (solved, or given up with "+" "+" after its answer was shown).
struct ProblemResult
{
    int number = 0;
    qint64 startedMs = 0;
    qint64 endedMs = 0;
    int wrong = 0;      // wrong judgements
    QString firstWrong; // what was entered in the box the first wrong judgement was on
    bool answerShown = false;
};

// The problems of one attempt. The pupil enters the divisors of the shown number in pairs,
// smallest first and then its partner, into boxes that open 1, 24, 2, 23, …; only the space
// bar judges, a problem is solved by a space bar alone after the last divisor, and a wrong
// entry shows the whole answer until "+" is pressed twice in a row.
class DivisorDrill
{
public:
    static constexpr int kBoxCount = 24;
    static constexpr int kTargetCount = 10;
    static constexpr int kMaxLength = 3;

    enum class EditKey
    {
        Left,
        Backspace,
        Enter,
        Up,
        Right,
        Down,
        Other
    };

    // targetCount: the solved problems that end it (a practice of fewer numbers ends sooner).
    DivisorDrill(ProblemDrawer& drawer, int level, DrillFrontEnd& frontEnd, int targetCount = kTargetCount);

    // The clock the problems are timed with (monotonic milliseconds); without one they take no
    // time.
    void setClock(std::function<qint64()> nowMs) { m_nowMs = std::move(nowMs); }
    // The problems ended so far, in order.
    const QList<ProblemResult>& problems() const { return m_problems; }

    // The screen's hidden buttons.
    void newProblem(); // "新しい問題"
    void openNextBox();
    void judge();      // "判定", on the box the space bar was pressed in
    void showAnswer(); // "正解表示"

    // Keys: key-down first, then the typed character, as an entry box receives them.
    void keyDown(int box, EditKey key);
    void keyPress(int box, QChar ch);
    // Keys reaching the screen itself while the answer is shown.
    void formKeyPress(QChar ch);

    int number() const { return m_number; }
    const QList<int>& divisors() const { return m_divisors; }
    const QString& answer(int position) const { return m_answers[std::size_t(position)]; }
    const EntryBox& box(int position) const { return m_boxes[std::size_t(position)]; }
    int activeBox() const { return m_activeBox; }
    int solvedCount() const { return m_solvedCount; }
    int remaining() const { return m_targetCount - m_solvedCount; }
    bool instructionsVisible() const { return m_instructionsVisible; }
    bool answerPanelVisible() const { return m_answerPanelVisible; }
    bool acknowledgeVisible() const { return m_acknowledgeVisible; }
    bool finished() const { return m_finished; }
    qint16 plusKeyState() const { return m_plusKeyState; }
    // After a wrong entry, while its answer is shown: the box it was made in (0 when none), what
    // was entered there, and whether it cost a solved problem ("あと" one more).
    int wrongBox() const { return m_wrongBox; }
    const QString& wrongEntry() const { return m_wrongEntry; }
    bool wrongCostAProblem() const { return m_wrongCost; }
    // The line under "\"+\"を２回おしなさい" that says what happened and what comes next.
    QString nextStepLine() const;
    // The wrong entry and the whole answer in words, for a screen reader.
    QString wrongAnnouncement() const;
    // Once the attempt is over no box takes keys any more.
    void disableAllBoxes();

private:
    ProblemDrawer& m_drawer;
    int m_level;
    int m_targetCount;
    qint16 m_plusKeyState = 0; // the "+" presses that acknowledge a wrong answer
    DrillFrontEnd& m_frontEnd;

    int m_number = 0;
    QList<int> m_divisors;
    std::array<QString, kBoxCount + 1> m_answers;
    std::array<EntryBox, kBoxCount + 1> m_boxes;
    int m_entryCount = 0;
    int m_activeBox = 0;
    int m_judgedBox = 0;
    int m_solvedCount = 0;
    int m_wrongBox = 0;
    QString m_wrongEntry;
    bool m_wrongCost = false;
    bool m_instructionsVisible = false;
    bool m_answerPanelVisible = false;
    bool m_acknowledgeVisible = false;
    bool m_finished = false;
    std::function<qint64()> m_nowMs;
    ProblemResult m_current;
    QList<ProblemResult> m_problems;
    qint64 now() const { return m_nowMs ? m_nowMs() : 0; }
    void endProblem();
};
