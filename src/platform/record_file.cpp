#include "record_file.h"

#include "native.h"
#include "system_error.h"

namespace {

RecordFile::Failure toFailure(native::Failure failure)
{
    switch (failure) {
    case native::Failure::None:
        return RecordFile::Failure::None;
    case native::Failure::NotFound:
        return RecordFile::Failure::NotFound;
    case native::Failure::Sharing:
        return RecordFile::Failure::Sharing;
    case native::Failure::Denied:
        return RecordFile::Failure::Denied;
    case native::Failure::Other:
        break;
    }
    return RecordFile::Failure::Other;
}

} // namespace

RecordFile::Failure RecordFile::failureOf(int systemCode)
{
    return toFailure(native::failureOf(systemCode));
}

namespace {

// The system's record file with the program's types and Japanese reasons.
class SystemRecordFile final : public RecordFile
{
public:
    explicit SystemRecordFile(std::unique_ptr<native::RecordFile> file) : m_file(std::move(file)) {}

    qint64 size() override
    {
        const qint64 size = m_file->size();
        return size >= 0 ? size : failed(size);
    }
    bool readAt(qint64 offset, char* into, qint64 length) override
    {
        return m_file->readAt(offset, into, length) || failed(false);
    }
    bool writeAt(qint64 offset, const QByteArray& bytes) override
    {
        return m_file->writeAt(offset, bytes.constData(), bytes.size()) || failed(false);
    }
    bool flush() override { return m_file->flush() || failed(false); }
    bool truncate(qint64 length) override { return m_file->truncate(length) || failed(false); }
    bool tryLock(qint64 offset, qint64 length) override { return m_file->tryLock(offset, length) || failed(false); }
    bool unlock(qint64 offset, qint64 length) override { return m_file->unlock(offset, length) || failed(false); }

private:
    template <typename T> T failed(T result)
    {
        setError(toFailure(m_file->failure()), m_file->errorCode(), describeSystemError(m_file->errorCode()));
        return result;
    }
    std::unique_ptr<native::RecordFile> m_file;
};

} // namespace

OpenedRecordFile openRecordFile(const QString& path)
{
    native::OpenedFile opened = native::openRecordFile(path.toStdU16String());
    if (!opened.file)
        return {nullptr, toFailure(opened.failure), opened.code, describeSystemError(opened.code)};
    return {std::make_unique<SystemRecordFile>(std::move(opened.file)), RecordFile::Failure::None, 0, QString()};
}
