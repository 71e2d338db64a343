#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

// A screen of the program. Its objectName is its form name ("namesel", "mainfrm" ...), by which
// the registry finds it. formLoad runs once before the first show, formActivate after each show.
class Form : public QWidget
{
    Q_OBJECT
public:
    explicit Form(const QString& formName, QWidget* parent = nullptr);

protected:
    virtual void formLoad() {}
    virtual void formActivate() {}
    // The window's close box: each screen leaves the way its own way back does. A screen
    // without one is simply unloaded.
    virtual void closeRequested();
    void closeEvent(QCloseEvent* event) override;
    // Enter on a focused button presses it, as the space bar does.
    void keyPressEvent(QKeyEvent* event) override;

    // Unloads this form through the registry that shows it (nothing when it is not shown).
    void unloadSelf();

    // Lets the window events that are waiting run, so that the screen keeps answering during
    // long work. Anything may happen meanwhile, the pupil may even leave this very screen:
    // false when it has been unloaded or deleted, and the caller must then return at once
    // without touching a member.
    [[nodiscard]] bool letEventsRun();

    // Remembers the screen across a call that lets events run by itself (a wait, a question,
    // the retries of the results file): true while the screen is still open.
    class OpenCheck
    {
    public:
        explicit OpenCheck(Form* form) : m_form(form) {}
        bool operator()() const { return m_form && m_form->isOpen(); }

    private:
        QPointer<Form> m_form;
    };
    OpenCheck openCheck() { return OpenCheck(this); }
    bool isOpen() const { return bool(m_unload); }

private:
    friend class FormRegistry;
    bool m_loaded = false;
    std::function<void(Form*)> m_unload; // set by the registry while the form is open
};
