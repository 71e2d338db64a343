#include "form_registry.h"

#include "form.h"
#include "ui_helpers.h"

#include <QTimer>

FormRegistry::~FormRegistry()
{
    for (const auto& form : m_forms)
        delete form.data();
}

void FormRegistry::activate(Form* form)
{
    if (!m_forms.contains(form))
        m_forms.append(form);
    form->m_unload = [this](Form* f) { unload(f); };
    if (!form->m_loaded) {
        form->m_loaded = true;
        form->formLoad();
        uih::fitAndCentre(form);
        uih::useSchoolFace(form); // every screen is one a pupil reads
    }
}

void FormRegistry::show(Form* form, const QList<Form*>& replaced)
{
    activate(form);
    // The focused control shows its focus mark from the first moment, not only after Tab:
    // pupils work by keyboard alone.
    form->setAttribute(Qt::WA_KeyboardFocusChange);
    form->show();
    form->raise();
    form->activateWindow();
    for (Form* old : replaced) {
        if (old != form)
            unload(old);
    }
    form->formActivate();
}

Form* FormRegistry::find(QAnyStringView formName) const
{
    for (const auto& form : m_forms) {
        if (form && QAnyStringView::compare(form->objectName(), formName) == 0)
            return form;
    }
    return nullptr;
}

void FormRegistry::unload(QAnyStringView formName)
{
    if (Form* form = find(formName))
        unload(form);
}

void FormRegistry::unload(Form* form)
{
    if (!form)
        return;
    m_forms.removeAll(QPointer<Form>(form));
    form->m_unload = nullptr;
    form->hide();
    form->deleteLater();
    // The keyboard goes on to the newest screen still open, so it never gets stuck on a
    // window that has gone.
    for (auto it = m_forms.crbegin(); it != m_forms.crend(); ++it) {
        if (*it && (*it)->isVisible()) {
            (*it)->raise();
            (*it)->activateWindow();
            break;
        }
    }
    checkEmptyLater();
}

void FormRegistry::checkEmptyLater()
{
    if (!m_whenEmpty || m_checkPending)
        return;
    m_checkPending = true;
    QTimer::singleShot(0, &m_timerContext, [this] {
        m_checkPending = false;
        if (openForms().isEmpty() && m_whenEmpty)
            m_whenEmpty();
    });
}

void FormRegistry::unloadAll()
{
    // As unload() does, each is deleted once the running handler (perhaps its own) has returned.
    while (!m_forms.isEmpty()) {
        const QPointer<Form> newest = m_forms.takeLast();
        if (newest) {
            newest->m_unload = nullptr;
            newest->hide();
            newest->deleteLater();
        }
    }
}

QList<Form*> FormRegistry::openForms() const
{
    QList<Form*> result;
    for (const auto& form : m_forms) {
        if (form)
            result.append(form);
    }
    return result;
}
