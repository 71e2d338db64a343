#include "password_dialogs.h"

#include "state/clock.h"
#include "state/message_box.h"
#include "state/shared_state.h"
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

namespace {

QDateTime nowOf(const Services& services)
{
    return QDateTime(services.clock.today(), services.clock.timeOfDay());
}

} // namespace

bool unlock(QWidget* parent, Services services)
{
    using Outcome = teacherpassword::Check::Outcome;
    const teacherlock::Places places = teacherlock::placesOf(services.state.folders);
    teacherlock::takeOver(places);
    const teacherpassword::Check before = teacherpassword::beforeAsking(places, nowOf(services));
    if (before.outcome == Outcome::Open)
        return true;
    if (before.outcome != Outcome::Accepted) {
        services.messages.show(kTitle, before.message, MessageBox::Icon::Warning);
        return false;
    }
    const auto typed = ask(parent, QStringLiteral("先生用パスワードを入れてください。"));
    if (!typed)
        return false;
    const teacherpassword::Check checked = teacherpassword::check(places, *typed, nowOf(services));
    if (checked.outcome == Outcome::Accepted)
        return true;
    services.messages.show(kTitle, checked.message, MessageBox::Icon::Warning);
    return false;
}

void change(QWidget* parent, Services services)
{
    const teacherlock::Places places = teacherlock::placesOf(services.state.folders);
    const auto first =
        ask(parent, QStringLiteral("新しい先生用パスワードを入れてください。\n") + teacherpassword::rule() +
                        QStringLiteral("\n空のまま決定を押すと、パスワードをなくします。"));
    if (!first)
        return;
    if (!first->isEmpty()) {
        if (const auto bad = teacherpassword::problem(*first)) {
            services.messages.show(kTitle, *bad + QStringLiteral("\r\n変えませんでした。"), MessageBox::Icon::Warning);
            return;
        }
        const auto second = ask(parent, QStringLiteral("確かめのため、もう一度入れてください。"));
        if (!second)
            return;
        if (teacherpassword::normalised(*second) != teacherpassword::normalised(*first)) {
            services.messages.show(kTitle, QStringLiteral("二つのパスワードがちがいます。変えませんでした。"),
                                   MessageBox::Icon::Warning);
            return;
        }
    }
    if (const auto failure = teacherpassword::set(places, *first)) {
        services.messages.show(kTitle, *failure, MessageBox::Icon::Warning);
        return;
    }
    services.messages.show(kTitle,
                           first->isEmpty()
                               ? QStringLiteral("パスワードをなくしました。先生用の画面はだれでも開けます。")
                               : QStringLiteral("パスワードを決めました。学校のどのパソコンでも、先生用の画面、"
                                                "クラスの様子、名簿の編集、学校の設定を開くときにたずねます。"),
                           MessageBox::Icon::Information);
}

} // namespace passworddialogs
