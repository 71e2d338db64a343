#include "qt_message_box.h"

#include "form_registry.h"
#include "text/line_break.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

namespace {

// The text at the program's size, broken by hand where Japanese allows it. The lines are kept
// narrower than the width from which the box wraps text itself (half the screen, at most 500
// pixels, less its icon and margins), as the box would break inside words.
void setBoxText(QMessageBox& box, const QString& text)
{
    const QFontMetrics metrics(QApplication::font());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int boxWrapsFrom = std::min(500, screen ? screen->availableGeometry().width() / 2 : 500);
    const int maxWidth = boxWrapsFrom - 110;
    box.setTextFormat(Qt::PlainText);
    box.setText(
        breakJapaneseLines(text, maxWidth, [&](QStringView s) { return metrics.horizontalAdvance(s.toString()); }));
}

} // namespace

void QtMessageBox::show(const QString& title, const QString& text, Icon icon)
{
    QMessageBox box;
    box.setWindowTitle(title);
    setBoxText(box, text);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::None:
        break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBox::ask(const QString& title, const QString& text)
{
    QMessageBox box;
    box.setWindowTitle(title);
    setBoxText(box, text);
    box.setIcon(QMessageBox::Question);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

int QtMessageBox::choose(const QString& title, const QString& text, const QStringList& buttons)
{
    QMessageBox box;
    box.setWindowTitle(title);
    setBoxText(box, text);
    box.setIcon(QMessageBox::Warning);
    QList<QPushButton*> pushed;
    for (const QString& caption : buttons)
        pushed.append(box.addButton(caption, QMessageBox::ActionRole));
    if (!pushed.isEmpty()) {
        box.setDefaultButton(pushed.first());
        box.setEscapeButton(pushed.last());
    }
    box.exec();
    const qsizetype chosen = pushed.indexOf(qobject_cast<QPushButton*>(box.clickedButton()));
    return int(chosen >= 0 ? chosen : buttons.size() - 1);
}

void QtProgramEnd::endProgram(int exitCode)
{
    m_forms.unloadAll();
    std::fflush(nullptr);
    std::exit(exitCode);
}
