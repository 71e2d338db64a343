#pragma once

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

private:
    friend class FormRegistry;
    bool m_loaded = false;
    std::function<void(Form*)> m_unload; // set by the registry while the form is open
};
