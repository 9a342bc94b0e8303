// Row bands of a pixel pass on all cores. A pass whose rows are independent
// of each other hands its rows over in bands; the bands run on a fixed pool of
// threads and on the calling thread, and the call returns when all of them
// are done. The result is the same as one loop over all rows, byte for byte.
#pragma once

#include "base/ProgressSink.h"

#include <cstddef>
#include <functional>

// work(first, last) handles rows first .. last - 1; the bands cover 0 .. rows
// - 1 once each, in any order and at once. Bands are whole multiples of grain
// rows (bar the last), so a pass that works in blocks of rows keeps them;
// rowBytes (roughly what one row costs, in bytes touched) decides how many
// bands are worth it: a small picture runs on the calling thread, in one go,
// or grain by grain with its progress told before each when progress is given.
//
// progress, when given, receives StepPercent(y, rows) for every row y in
// order, on the calling thread only, while the bands are worked: the sequence
// a plain loop reports before each of its rows (the sink must not throw). An
// exception in a band stops the bands not yet begun and is rethrown here.
void ForEachRowBand(int rows, std::size_t rowBytes, ProgressSink* progress,
                    const std::function<void(int first, int last)>& work, int grain = 1);

// Which of the RowBandThreads() threads works the band at hand, from 0: for
// state that a band must not share with others working at the same time,
// such as a cache that fills as it goes, one per thread.
int RowBandThread();

// The threads that work bands, the calling one included: the cores, or
// KELVORA_THREADS when it is set to a number from 1 up.
int RowBandThreads();

// For tests: bands of exactly this many rows (the last one shorter), on the
// pool even for the smallest picture; a count of rows or more gives one band.
// 0 restores the automatic choice.
void SetRowBandRowsForTesting(int rows);
