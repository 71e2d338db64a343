#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// "元に戻す" for the last class list taken into the roster. When an import is saved, the roster
// and its readings as they were are kept beside them, with a fingerprint of what the import
// wrote; the import can be undone, byte for byte, as long as the roster and the readings are
// still exactly what it wrote. Any later change (a save in the roster window, another program)
// makes the undo refuse, with the reason.
namespace importundo {

// The roster's and the readings' bytes; readings are absent when the school has none.
struct Snapshot
{
    QByteArray roster;
    std::optional<QByteArray> readings;
};
// The files as they are now; nothing when the roster cannot be read.
std::optional<Snapshot> take(const QString& sharedFolder, QString* error = nullptr);

// Keeps `before` for an undo, once `after` has been written by an import. The error, in Japanese.
std::optional<QString> remember(const QString& sharedFolder, const Snapshot& before, const Snapshot& after,
                                const QDateTime& when);

struct State
{
    bool available = false;
    QString why; // why not, or what an undo would do
    QDateTime when;
};
State state(const QString& sharedFolder);

// Puts the roster and readings back as they were before the last import; the error, in Japanese,
// when it cannot (nothing to undo, changed since, a write refused: then nothing is changed).
std::optional<QString> undo(const QString& sharedFolder);

} // namespace importundo
