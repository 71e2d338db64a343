#include "form.h"

#include "platform/pending_events.h"
#include "ui_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

Form::Form(const QString& formName, QWidget* parent) : QWidget(parent)
{
    setObjectName(formName);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // A pupil's screen: built in the school face from its first control, so that nothing on it
    // is ever laid out in another.
    setFont(uih::font(uih::kTextPointSize, false, this));
}

void Form::closeEvent(QCloseEvent* event)
{
    // The registry decides what goes: the screen's own way back unloads it when it should.
    if (m_unload) {
        event->ignore();
        closeRequested();
        return;
    }
    QWidget::closeEvent(event);
}

void Form::closeRequested()
{
    unloadSelf();
}

void Form::unloadSelf()
{
    if (m_unload)
        m_unload(this);
}

bool Form::letEventsRun()
{
    const OpenCheck open(this);
    letPendingEventsRun();
    return open();
}

void Form::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget());
            button && button->window() == this && button->isEnabled()) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}
