#include "readings.h"

#include "platform/system_error.h"
#include "roster_file.h"
#include "text/cp932.h"
#include "text/text_file.h"
#include "text/value_reader.h"

#include <QFile>

namespace readings {

QString fileName()
{
    return QStringLiteral("生徒用名簿よみ.txt");
}

Read read(const QString& sharedFolder)
{
    Read result;
    const QString path = sharedFolder + fileName();
    if (!QFile::exists(path))
        return result;
    const auto text = textfile::read(path);
    if (!text.text) {
        result.error = text.error;
        return result;
    }
    for (const QString& line : textfile::splitLines(*text.text)) {
        ValueReader reader(line);
        const auto number = reader.next();
        const auto reading = reader.next();
        bool ok = false;
        const int pupil = number ? number->trimmed().toInt(&ok) : 0;
        if (ok && reading && pupil > 0 && !reading->trimmed().isEmpty())
            result.byPupil.insert(pupil, reading->trimmed());
    }
    return result;
}

std::optional<QString> write(const QString& sharedFolder, const QHash<int, QString>& byPupil)
{
    const QString path = sharedFolder + fileName();
    const auto failure = [&](const QString& reason) {
        return QStringLiteral("よみがなのファイル「%1」を書き込めません。\r\n理由：%2").arg(fileName(), reason);
    };
    if (byPupil.isEmpty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            return failure(describeSystemError(lastSystemError()));
        return std::nullopt;
    }
    QList<int> pupils = byPupil.keys();
    std::sort(pupils.begin(), pupils.end());
    QString text;
    for (const int pupil : pupils)
        text += QStringLiteral("%1,\"%2\"\r\n").arg(pupil).arg(byPupil.value(pupil));
    const auto encoded = cp932::encode(text);
    if (!encoded.ok())
        return failure(QStringLiteral("書けない文字があります"));
    if (const auto error = textfile::replace(path, encoded.bytes))
        return failure(*error);
    return std::nullopt;
}

QString normalised(const QString& reading)
{
    QString out;
    for (const QChar c : roster::tidyBlanks(reading)) {
        // Half-width katakana (and its voicing marks) become full-width, other characters stay.
        if (c.unicode() >= 0xFF61 && c.unicode() <= 0xFF9F)
            out += QString(c).normalized(QString::NormalizationForm_KC);
        else
            out += c;
    }
    // A half-width voiced mark joins the kana before it ("ｶﾞ" → "ガ").
    out = out.normalized(QString::NormalizationForm_C);
    for (QChar& c : out) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(c.unicode() - 0x60);
    }
    return out;
}

bool isKana(const QString& reading)
{
    for (const QChar c : reading) {
        const char16_t u = c.unicode();
        const bool kana = (u >= 0x3041 && u <= 0x309F) || (u >= 0x30A0 && u <= 0x30FF) || (u >= 0xFF66 && u <= 0xFF9F);
        if (!kana && u != 0x3000 && u != u' ')
            return false;
    }
    return true;
}

} // namespace readings
