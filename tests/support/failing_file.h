#pragma once

#include "platform/record_file.h"
#include "platform/system_error.h"
#include "system_codes.h"

#include <memory>

// A record file that passes everything to a real one but fails its writes after a number of
// bytes, as a full disk would.
class FailingFile final : public RecordFile
{
public:
    FailingFile(std::unique_ptr<RecordFile> real, qint64 bytesBeforeFailure)
        : m_real(std::move(real)), m_budget(bytesBeforeFailure)
    {}
    qint64 size() override { return m_real->size(); }
    bool readAt(qint64 offset, char* into, qint64 length) override { return m_real->readAt(offset, into, length); }
    bool writeAt(qint64 offset, const QByteArray& bytes) override
    {
        if (bytes.size() <= m_budget) {
            m_budget -= bytes.size();
            return m_real->writeAt(offset, bytes);
        }
        m_real->writeAt(offset, bytes.left(m_budget)); // part of the record reaches the disk
        setError(Failure::Other, syscode::kDiskFull, describeSystemError(syscode::kDiskFull));
        return false;
    }
    bool flush() override { return m_real->flush(); }
    bool truncate(qint64 length) override { return m_real->truncate(length); }
    bool tryLock(qint64 offset, qint64 length) override
    {
        if (busyTries != 0) {
            --busyTries; // below 0: held for ever
            setError(Failure::Sharing, syscode::kBusy, describeSystemError(syscode::kBusy));
            return false;
        }
        return m_real->tryLock(offset, length);
    }
    bool unlock(qint64 offset, qint64 length) override { return m_real->unlock(offset, length); }

    int busyTries = 0; // how many lock attempts find the lock held by another program

private:
    std::unique_ptr<RecordFile> m_real;
    qint64 m_budget;
};
