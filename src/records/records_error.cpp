#include "records_error.h"

#include "state/message_box.h"

QString RecordsError::reason() const
{
    const QString text = QStringLiteral("せいせきのファイル「%1」%2ことができませんでした。\r\n理由：%3")
                             .arg(fileName, action, systemText);
    return code != 0 ? text + QStringLiteral("（%1）").arg(code) : text;
}

QString RecordsError::message() const
{
    return reason() + QStringLiteral("\r\n先生をよんでください。プログラムを終わります。");
}

void reportFatal(MessageBox& messages, ProgramEnd& end, const QString& text)
{
    messages.show(QStringLiteral("せいせきのファイルのエラー"), text, MessageBox::Icon::Critical);
    end.endProgram(1);
}
