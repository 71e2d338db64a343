#include "wait_screen.h"

#include "ui/form_names.h"
#include "ui/ui_helpers.h"

WaitScreen::WaitScreen() : Form(formname::kWait.toString())
{
    setWindowTitle(QStringLiteral("Just a moment, please."));
    setFixedSize(480, 160);
    uih::waitPanel(this, QStringLiteral("Picture1"), QStringLiteral("Label1"), QColor(0, 128, 128))->show();
}
