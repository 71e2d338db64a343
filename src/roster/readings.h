#pragma once

#include <QHash>
#include <QString>
#include <optional>

// The readings of the pupils' names (よみ), which the family's roster has no field for and whose
// spare fields belong to the family: a file of this program's own beside the roster,
// "生徒用名簿よみ.txt", code page 932 with CR LF like the family's files, one line per pupil:
//     12,"やまだ　たろう"
// Readings are kept in hiragana.
namespace readings {

QString fileName();

struct Read
{
    QHash<int, QString> byPupil;
    QString error; // why the file could not be read; empty when it could (or there is none)
};
Read read(const QString& sharedFolder);
// Writes the whole file atomically (none when there are no readings); the error.
std::optional<QString> write(const QString& sharedFolder, const QHash<int, QString>& byPupil);

// A reading as it is kept: half-width kana widened, katakana as hiragana, blanks trimmed and
// runs of blanks one full-width space.
QString normalised(const QString& reading);
// Whether a reading holds anything but kana, the long vowel mark and blanks (kanji, say).
bool isKana(const QString& reading);

} // namespace readings
