#include "password_dialogs.h"

#include "state/message_box.h"
#include "teacher_password.h"
#include "ui/ui_helpers.h"

#include <QInputDialog>
#include <QLineEdit>

namespace passworddialogs {
namespace {

const QString kTitle = QStringLiteral("先生用パスワード");

std::optional<QString> ask(QWidget* parent, const QString& prompt)
{
    uih::Modal<QInputDialog> dialog(parent);
    dialog->setObjectName("PasswordDialog");
    dialog->setWindowTitle(kTitle);
    dialog->setLabelText(prompt);
    dialog->setTextEchoMode(QLineEdit::Password);
    dialog->setOkButtonText(QStringLiteral("決定"));
    dialog->setCancelButtonText(QStringLiteral("キャンセル"));
    if (!dialog.accepted())
        return std::nullopt;
    return dialog->textValue();
}

} // namespace

bool unlock(QWidget* parent, MessageBox& messages, const QString& programFolder)
{
    if (!teacherpassword::isSet(programFolder))
        return true;
    const auto typed = ask(parent, QStringLiteral("先生用パスワードを入れてください。"));
    if (!typed)
        return false;
    if (teacherpassword::matches(programFolder, *typed))
        return true;
    messages.show(kTitle, QStringLiteral("パスワードがちがいます。"), MessageBox::Icon::Warning);
    return false;
}

void change(QWidget* parent, MessageBox& messages, const QString& programFolder)
{
    const auto first = ask(parent, QStringLiteral("新しい先生用パスワードを入れてください。\n"
                                                  "空のままOKを押すと、パスワードをなくします。"));
    if (!first)
        return;
    if (!first->isEmpty()) {
        const auto second = ask(parent, QStringLiteral("確かめのため、もう一度入れてください。"));
        if (!second)
            return;
        if (*second != *first) {
            messages.show(kTitle, QStringLiteral("二つのパスワードがちがいます。変えませんでした。"),
                          MessageBox::Icon::Warning);
            return;
        }
    }
    if (const auto failure = teacherpassword::set(programFolder, *first)) {
        messages.show(kTitle, *failure, MessageBox::Icon::Warning);
        return;
    }
    messages.show(kTitle,
                  first->isEmpty() ? QStringLiteral("パスワードをなくしました。先生用の画面はだれでも開けます。")
                                   : QStringLiteral("パスワードを決めました。先生用の画面、クラスの様子、"
                                                    "名簿の編集を開くときにたずねます。"),
                  MessageBox::Icon::Information);
}

} // namespace passworddialogs
