#pragma once

#include <QtGlobal>

#include <functional>

namespace Tunesmith
{

// How many ranges of at most rangeSize items forEachRange cuts count items into.
qsizetype rangeCount(qsizetype count, qsizetype rangeSize);

// Calls work(begin, end, range) once for each range of at most rangeSize items of [0, count), the ranges numbered
// from 0 in order. With a few ranges or more, and another CPU the process may run on, a helper thread works beside
// the caller, each taking the next range not yet taken, so work must write only what belongs to its range. Returns
// when every range is done. work must not throw.
void forEachRange(qsizetype count, qsizetype rangeSize,
                  const std::function<void(qsizetype begin, qsizetype end, qsizetype range)> &work);

} // namespace Tunesmith
