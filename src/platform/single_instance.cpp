#include "single_instance.h"

#include "native.h"

#include <QCryptographicHash>
#include <QDir>

QString instanceKey(const QString& programDir)
{
    const QByteArray hash =
        QCryptographicHash::hash(QDir::cleanPath(programDir).toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("divisor-drill-") + QString::fromLatin1(hash);
}

namespace {

class SystemInstance final : public SingleInstance
{
public:
    explicit SystemInstance(std::unique_ptr<native::InstanceClaim> claim) : m_claim(std::move(claim)) {}
    bool claim() override { return m_claim->claim(); }

private:
    std::unique_ptr<native::InstanceClaim> m_claim;
};

} // namespace

std::unique_ptr<SingleInstance> makeSingleInstance(const QString& programDir)
{
    return std::make_unique<SystemInstance>(native::makeInstanceClaim(instanceKey(programDir).toStdU16String()));
}
