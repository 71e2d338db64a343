#include "clearing.h"

#include "state/shared_state.h"

namespace clearing {

bool isCleared(const Statistics& stats, const CourseRules& rules, int c, int p)
{
    return stats.windowPoints(c, p) >= rules.requiredPoints[c] && stats.windowCount(c, p) >= rules.requiredCount[c];
}

} // namespace clearing
