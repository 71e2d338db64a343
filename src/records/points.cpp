#include "points.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace points {

int factor(qint32 t, qint32 target)
{
    if (target <= 0 || t > kNoTimeAbove)
        return 0;
    if (t <= target) {
        const double share = double(target - t) / double(target);
        return int(std::floor(share * share * share * 50.0 + 5.0));
    }
    if (t < 2 * qint64(target))
        return 4;
    if (t < 10 * qint64(target))
        return 1;
    return 0;
}

int weighted(qint32 t, qint32 target, float weight)
{
    // Single precision, as the weight itself: 1.5 × 5 gives 7. The weight is checked when the
    // course rules are read; a product no int holds is held at its ends all the same.
    const float product = std::floor(weight * float(factor(t, target)));
    if (std::isnan(product))
        return 0;
    return int(
        std::clamp(double(product), double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max())));
}

} // namespace points
