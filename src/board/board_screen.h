#pragma once

#include "ui/form.h"
#include "ui/screen_context.h"

#include <QList>

class QLabel;
class QPushButton;
class QWidget;

// "seisekitime1": the pupil's course board. One column per course with its name, its rule,
// the pupil's figures and its start button; the drill is started from here and the end
// screen comes back here.
class BoardScreen final : public Form
{
    Q_OBJECT
public:
    explicit BoardScreen(ScreenContext& context);

    void Command4_Click(int course); // start the course
    void Label3_Click(int course);
    void Command1_Click(); // 戻る(0)

protected:
    void formLoad() override;
    void formActivate() override;
    void closeRequested() override { Command1_Click(); }
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ScreenContext& m_context;
    bool m_firstActivation = true;
    QList<QPushButton*> m_start; // index = course
    QList<QLabel*> m_names;      // Label3, index = course
    QWidget* m_wait = nullptr;   // Picture2
};
