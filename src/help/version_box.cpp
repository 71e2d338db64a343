#include "version_box.h"

#include "ui/ui_helpers.h"

#include <QPushButton>

VersionBox::VersionBox(const QString& courseTitle, QWidget* menu) : QDialog(menu)
{
    setObjectName("frmver");
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setFixedSize(420, 260);
    uih::label(this, "Label1", courseTitle, QRect(24, 20, 372, 40), 20, true);
    uih::label(this, "Label2", versionText(), QRect(24, 70, 372, 30), 14);
    uih::label(this, "Label4", QStringLiteral("Corvalen88"), QRect(24, 110, 372, 30), 14, true);
    uih::label(this, "Label5", QStringLiteral("毎日すこしずつ、正しく、速く。"), QRect(24, 146, 372, 30), 12);
    auto* frame = new QWidget(this);
    frame->setObjectName("Shape1");
    frame->setGeometry(14, 12, 392, 172);
    frame->setStyleSheet(QStringLiteral("#Shape1 { border: 2px solid #008080; border-radius: 6px; }"));
    frame->lower();
    auto* ok = uih::button(this, "Command1", QStringLiteral("O.K."), QRect(150, 200, 120, 44), 14);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* none = uih::button(this, "Command2", QString(), QRect(0, 0, 1, 1));
    none->hide(); // the box's second button does nothing
    if (menu) {
        QRect placed(QPoint(), size());
        placed.moveCenter(menu->geometry().center());
        move(placed.topLeft());
    }
}

QString VersionBox::versionText()
{
    return QStringLiteral("Version") + QStringLiteral(DRILL_VERSION);
}
