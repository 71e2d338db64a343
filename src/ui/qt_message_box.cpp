#include "qt_message_box.h"

#include <QCoreApplication>

#include "form_registry.h"
#include "text/line_break.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
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

// A small window of its own above the screens, with the text and "中止".
class WaitingWindow final : public MessageBox::Waiting
{
public:
    WaitingWindow(const QString& title, const QString& text)
    {
        m_window =
            new QDialog(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
        m_window->setObjectName(QStringLiteral("WaitingNotice"));
        m_window->setWindowTitle(title);
        auto* layout = new QVBoxLayout(m_window);
        m_text = new QLabel(m_window);
        m_text->setObjectName(QStringLiteral("WaitingText"));
        m_text->setWordWrap(true);
        m_text->setMinimumWidth(420);
        layout->addWidget(m_text);
        auto* cancel = new QPushButton(QStringLiteral("中止"), m_window);
        cancel->setObjectName(QStringLiteral("WaitingCancel"));
        layout->addWidget(cancel, 0, Qt::AlignRight);
        QObject::connect(cancel, &QPushButton::clicked, m_window, [this] { m_cancelled = true; });
        setText(text);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    }
    ~WaitingWindow() override { delete m_window; }
    void setText(const QString& text) override { m_text->setText(text); }
    bool cancelled() const override { return m_cancelled; }

private:
    QDialog* m_window = nullptr;
    QLabel* m_text = nullptr;
    bool m_cancelled = false;
};

} // namespace

std::unique_ptr<MessageBox::Waiting> QtMessageBox::waiting(const QString& title, const QString& text)
{
    return std::make_unique<WaitingWindow>(title, text);
}

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
    if (m_exitCode)
        return;
    m_exitCode = exitCode;
    m_forms.setWhenEmpty(nullptr); // the code asked for, not that of the last window gone
    m_forms.unloadAll();
    QCoreApplication::exit(exitCode);
}
