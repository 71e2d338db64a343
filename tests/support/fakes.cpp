#include "fakes.h"

#include "platform/pending_events.h"
#include "text/cp932.h"

#include <QFile>
#include <QtTest>

void RecordingPause::wait(int ms)
{
    waits.append(ms);
    letPendingEventsRun();
    if (onWait)
        onWait();
}

void writeCp932(const QString& path, const QStringList& lines)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    const auto encoded = cp932::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QVERIFY(encoded.ok());
    file.write(encoded.bytes);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

namespace {

class RecordedWaiting final : public MessageBox::Waiting
{
public:
    explicit RecordedWaiting(RecordingMessageBox& box) : m_box(box) {}
    void setText(const QString& text) override { m_box.notices.append(text); }
    bool cancelled() const override { return m_box.cancelAfterLooks >= 0 && ++m_looks > m_box.cancelAfterLooks; }

private:
    RecordingMessageBox& m_box;
    mutable int m_looks = 0;
};

} // namespace

std::unique_ptr<MessageBox::Waiting> RecordingMessageBox::waiting(const QString&, const QString& text)
{
    notices.append(text);
    return std::make_unique<RecordedWaiting>(*this);
}
