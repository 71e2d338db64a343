#include "form.h"

#include "form_registry.h"

#include <QCloseEvent>

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
