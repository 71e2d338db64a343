#include "wait_screen.h"

#include "ui/ui_helpers.h"

WaitScreen::WaitScreen() : Form(QStringLiteral("BASEFRM"))
{
    setWindowTitle(QStringLiteral("Just a moment, please."));
    setFixedSize(480, 160);
    uih::setBackground(this, QColor(0, 128, 128));
    auto* text = uih::label(this, QStringLiteral("Label1"), QStringLiteral("Just a moment, please."),
                            QRect(0, 50, 480, 60), 20, true);
    text->setAlignment(Qt::AlignCenter);
    text->setStyleSheet(QStringLiteral("color: white"));
}
