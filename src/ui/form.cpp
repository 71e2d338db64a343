#include "form.h"

#include "form_registry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>

Form::Form(const QString& formName, QWidget* parent) : QWidget(parent)
{
    setObjectName(formName);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void Form::closeEvent(QCloseEvent* event)
{
    // Closing a window by its frame unloads the form like its own buttons do.
    if (m_registry) {
        event->ignore();
        m_registry->unload(this);
        return;
    }
    QWidget::closeEvent(event);
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
