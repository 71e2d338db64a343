#include "records_error.h"

#include "state/message_box.h"

QString RecordsError::message() const
{
    return QStringLiteral("成績ファイル「%1」%2ことができませんでした。\r\n理由：%3（%4）\r\n"
                          "先生を呼んでください。プログラムを終了します。")
        .arg(fileName, action, systemText)
        .arg(code);
}

void reportFatal(MessageBox& messages, ProgramEnd& end, const QString& text)
{
    messages.show(QStringLiteral("成績ファイルのエラー"), text, MessageBox::Icon::Critical);
    end.endProgram(1);
}
