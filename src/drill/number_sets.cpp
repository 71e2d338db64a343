#include "number_sets.h"

#include "state/random_source.h"

namespace numbersets {

bool hasNumberSet(int level)
{
    return level >= kFirstLevel && level <= kLastLevel;
}

QString setText(int level)
{
    switch (level) {
    case 1:
        return QStringLiteral("020304050607080910111214161820");
    case 2:
        return QStringLiteral("0203040506070809101112131415161821252735");
    case 3:
        return QStringLiteral("040608091012141516182124252627283032333435363840");
    case 4:
        return QStringLiteral("101214151618212425262728303233343536384042444546484950515254");
    case 5:
        return QStringLiteral("10121415161821242526272830323334353638404244454648495051525455565860647281");
    default:
        return QString();
    }
}

QList<int> numbers(int level)
{
    const QString text = setText(level);
    QList<int> result;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        result.append(text.mid(i, 2).toInt());
    return result;
}

QList<int> divisors(int number)
{
    QList<int> result;
    for (int i = 1; i <= number; ++i) {
        if (number % i == 0)
            result.append(i);
    }
    return result;
}

} // namespace numbersets

std::optional<int> ProblemDrawer::drawNext(int level)
{
    if (!m_sequence.isEmpty()) {
        // Starting again must not show the last number twice in a row either.
        if (m_sequence.size() > 1 && m_sequence[m_next % m_sequence.size()] == m_previous)
            ++m_next;
        m_previous = m_sequence[m_next++ % m_sequence.size()];
        return m_previous;
    }
    const QString text = numbersets::setText(level);
    const int n = int(text.size() / 2);
    if (n < 2)
        return std::nullopt; // one number could never differ from the previous one
    for (;;) {
        const float r = m_random.next();
        int k = int(r * float(n) + 1.0f);
        k = std::clamp(k, 1, n);
        const int number = text.mid(2 * (k - 1), 2).toInt();
        if (number != m_previous) {
            m_previous = number;
            return number;
        }
    }
}
