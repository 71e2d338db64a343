#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// A random-access file of fixed-length records with a byte-range lock, as the family's
// programs share it. One implementation per platform: fcntl record locks on POSIX systems,
// LockFileEx on Windows. Every call reports failure through failure() and errorText(), the
// latter in Japanese for the common reasons.
class RecordFile
{
public:
    enum class Failure
    {
        None,
        NotFound,
        Sharing, // another program holds the file or its lock: worth waiting for
        Denied,  // not allowed to read or write it, or a read-only medium: waiting never helps
        Other
    };

    // What a system error code means for a results file.
    static Failure failureOf(int systemCode);

    virtual ~RecordFile() = default;
    virtual qint64 size() = 0;
    virtual bool readAt(qint64 offset, char* into, qint64 length) = 0;
    virtual bool writeAt(qint64 offset, const QByteArray& bytes) = 0;
    // Pushes written data to the disk before the lock is given back.
    virtual bool flush() = 0;
    virtual bool truncate(qint64 length) = 0;
    // Takes an exclusive lock on the byte range without waiting; when another program holds
    // it the failure is Sharing. Other programs of the family lock the same range (the first
    // record) before they append.
    virtual bool tryLock(qint64 offset, qint64 length) = 0;
    virtual bool unlock(qint64 offset, qint64 length) = 0;

    Failure failure() const { return m_failure; }
    int errorCode() const { return m_errorCode; }
    QString errorText() const { return m_errorText; }

protected:
    void setError(Failure failure, int code, const QString& text)
    {
        m_failure = failure;
        m_errorCode = code;
        m_errorText = text;
    }

private:
    Failure m_failure = Failure::None;
    int m_errorCode = 0;
    QString m_errorText;
};

struct OpenedRecordFile
{
    std::unique_ptr<RecordFile> file; // empty when the open failed
    RecordFile::Failure failure = RecordFile::Failure::None;
    int errorCode = 0;
    QString errorText;
};

// Opens for reading and writing, creating an empty file when there is none.
OpenedRecordFile openRecordFile(const QString& path);
