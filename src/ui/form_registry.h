#pragma once

#include <QAnyStringView>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class Form;

// The open forms of the program, in the order they were opened. Screens hand over to each
// other through it: show the next one, unload themselves.
class FormRegistry
{
public:
    FormRegistry() = default;
    FormRegistry(const FormRegistry&) = delete;
    FormRegistry& operator=(const FormRegistry&) = delete;
    ~FormRegistry();

    // Shows a form without waiting; the registry owns it until it is unloaded. The forms it
    // replaces are unloaded once it is on the screen, before its activation runs.
    void show(Form* form, const QList<Form*>& replaced = {});

    Form* find(QAnyStringView formName) const;
    bool isLoaded(QAnyStringView formName) const { return find(formName) != nullptr; }

    // Unloading hides the form at once and deletes it once the running handler has returned.
    void unload(QAnyStringView formName);
    void unload(Form* form);
    // Every open form, the most recently opened first, each deleted as unload() does.
    void unloadAll();
    QList<Form*> openForms() const;

    // Called once no form is left open, whatever unloaded the last one: the program then has
    // no window and must end. Checked once the running handler has returned, because a screen
    // that hands over may unload itself just before it shows the next one.
    void setWhenEmpty(std::function<void()> whenEmpty) { m_whenEmpty = std::move(whenEmpty); }

private:
    void checkEmptyLater();
    void activate(Form* form);
    QList<QPointer<Form>> m_forms;
    std::function<void()> m_whenEmpty;
    bool m_checkPending = false;
    QObject m_timerContext; // pending checks end with the registry
};
