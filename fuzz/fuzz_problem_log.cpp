// The problem log from any bytes (a teacher may have saved it from a spreadsheet), and the
// rankings and the practice drawn from what it holds.
#include "problemlog/problem_log.h"
#include "problemlog/weak_numbers.h"
#include "state/random_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const problemlog::Read read = problemlog::parse(bytes);
    SystemRandom random;
    for (const problemlog::Problem& p : read.problems.mid(0, 8)) {
        const QList<weaknumbers::Weak> weak = weaknumbers::rank(read.problems, p.pupil, p.level);
        (void)weaknumbers::drawPractice(weak, random);
        (void)weaknumbers::rankGroup(read.problems, {p.pupil, 1, 2}, p.level);
        for (const weaknumbers::Weak& w : weak)
            (void)weaknumbers::line(w);
    }
    return 0;
}
