#pragma once

#include <QList>
#include <QPointer>
#include <QString>

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

    // Shows a form without waiting; the registry owns it until it is unloaded.
    void show(Form* form);

    Form* find(const QString& formName) const;
    bool isLoaded(const QString& formName) const { return find(formName) != nullptr; }

    // Unloading hides the form at once and deletes it once the running handler has returned.
    void unload(const QString& formName);
    void unload(Form* form);
    // Every open form, the most recently opened first.
    void unloadAll();
    QList<Form*> openForms() const;

private:
    void activate(Form* form);
    QList<QPointer<Form>> m_forms;
};
