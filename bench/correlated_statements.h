#pragma once
// The two worker reports' statements as first written: every line of the report sums the
// worker's works of the period in subqueries of its own. The program's statements join the
// works summed once per worker instead; the benchmark checks that both give the same rows and
// times the two.
#include <QString>

namespace bench {

QString correlatedWorkerStatement();
QString correlatedDetailedWorkerStatement();

} // namespace bench
