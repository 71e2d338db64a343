#pragma once

#include <QSet>
#include <QString>
#include <optional>

// The pupils who practise without a clock ("時計なし"), set by the teacher in the roster window:
// "時計なしの生徒.txt" in the shared folder, one pupil number a line (code page 932, CR LF). The
// family's roster stays as it is. Such a pupil's drills show no time and are never recorded as
// attempts: they go to the problem log as practices.
namespace untimed {

QString fileName();
// The numbers; an absent or unreadable file is nobody (a damaged line is passed over).
QSet<int> read(const QString& sharedFolder);
// Replaces the file whole, or removes it when nobody is left; the error, in Japanese.
std::optional<QString> write(const QString& sharedFolder, const QSet<int>& pupils);

} // namespace untimed
