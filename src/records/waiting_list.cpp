#include "waiting_list.h"

#include "platform/pause.h"
#include "platform/system_error.h"
#include "state/shared_state.h"

#include <QFile>
#include <QFileInfo>

WaitingList::WaitingList(const Folders& folders, resultsfile::Opener open)
    : m_path(pendingrecords::path(folders)), m_resultsPath(resultsfile::resultsPath(folders)), m_open(std::move(open))
{}

WaitingList::~WaitingList()
{
    if (m_rewrite)
        m_rewrite->cancelWriting();
    if (m_lockFile)
        m_lockFile->unlock(kLockOffset, 1);
}

RecordsError WaitingList::error(const QString& action, int code, const QString& text) const
{
    return {pendingrecords::fileName(), action, code, text};
}

std::optional<RecordsError> WaitingList::lock(Pause& pause, int waitMs)
{
    const QString action = QStringLiteral("を使う");
    OpenedRecordFile opened = m_open(m_resultsPath);
    if (!opened.file)
        return RecordsError{QFileInfo(m_resultsPath).fileName(), QStringLiteral("を開く"), opened.errorCode,
                            opened.errorText};
    for (int waited = 0; !opened.file->tryLock(kLockOffset, 1); waited += resultsfile::kLockRetryMs) {
        if (opened.file->failure() != RecordFile::Failure::Sharing)
            return error(action, opened.file->errorCode(), opened.file->errorText());
        if (waited >= waitMs) {
            RecordsError busy =
                error(action, opened.file->errorCode(),
                      QStringLiteral("ほかのパソコンのプログラムが %1 秒以上使用中です").arg(waitMs / 1000));
            busy.busy = true;
            return busy;
        }
        pause.wait(resultsfile::kLockRetryMs);
    }
    m_lockFile = std::move(opened.file);
    return std::nullopt;
}

std::optional<RecordsError> WaitingList::load(Loaded& loaded)
{
    loaded = {};
    if (const auto refused = pendingrecords::refusal(m_path))
        return error(QStringLiteral("を使う"), 0, *refused);
    QFile file(m_path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        return error(QStringLiteral("を読む"), lastSystemError(), file.errorString());
    const QByteArray bytes = file.readAll();
    file.close();
    const pendingrecords::Contents contents = pendingrecords::parse(bytes);
    if (contents.unreadableBytes > 0) {
        // Kept whole for the teacher; what could be read goes on as the list.
        QString aside;
        for (int n = 1; aside.isEmpty() || QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
            aside = QFileInfo(m_path).path() + QStringLiteral("/記録待ち成績.%1.bad").arg(n);
        if (!file.rename(aside))
            return error(QStringLiteral("を別の名前にうつす"), lastSystemError(), file.errorString());
        loaded.damage =
            QStringLiteral("「%1」に読めない部分（%2 バイト）がありました。読めたせいせき %3回分を記録します。"
                           "元のファイルは「%4」にうつしました。")
                .arg(pendingrecords::fileName())
                .arg(contents.unreadableBytes)
                .arg(pendingrecords::attemptCount(contents.entries))
                .arg(QFileInfo(aside).fileName());
    }
    loaded.entries = contents.entries;
    return std::nullopt;
}

std::optional<RecordsError> WaitingList::prepareRewrite()
{
    const QString action = QStringLiteral("を書きかえる");
    if (const auto refused = pendingrecords::refusal(m_path))
        return error(action, 0, *refused);
    const QFileInfo info(m_path);
    if (info.exists() && !info.isWritable())
        return error(action, 0, QStringLiteral("書きこみができないようになっています"));
    m_rewrite = std::make_unique<QSaveFile>(m_path);
    if (!m_rewrite->open(QIODevice::WriteOnly)) {
        const int code = lastSystemError();
        m_rewrite.reset();
        return error(action, code, describeSystemError(code));
    }
    return std::nullopt;
}

std::optional<RecordsError> WaitingList::rewrite(const QList<pendingrecords::Entry>& entries)
{
    const QString action = QStringLiteral("を書きかえる");
    if (!m_rewrite)
        return error(action, 0, QStringLiteral("用意ができていません"));
    const std::unique_ptr<QSaveFile> file = std::move(m_rewrite);
    if (entries.isEmpty()) {
        file->cancelWriting();
        if (QFileInfo::exists(m_path) && !QFile::remove(m_path))
            return error(action, lastSystemError(), describeSystemError(lastSystemError()));
        return std::nullopt;
    }
    const QByteArray bytes = pendingrecords::encode(entries);
    if (file->write(bytes) != bytes.size() || !file->flush()) {
        const int code = lastSystemError();
        file->cancelWriting();
        return error(action, code, describeSystemError(code));
    }
    if (!file->commit())
        return error(action, lastSystemError(), describeSystemError(lastSystemError()));
    return std::nullopt;
}
