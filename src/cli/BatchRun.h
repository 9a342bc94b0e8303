// A batch: every input through the same operations into one folder. Each
// file runs in a process of its own, this program again on that one file, so
// a file that breaks its run costs only itself, each job holds one picture
// at a time, and a file gives the same bytes in a batch, on its own, or in
// any shard on any machine.
#pragma once

#include "cli/BatchPlan.h"
#include "base/ProgressSink.h"

#include <cstdio>
#include <string>
#include <vector>

// Runs inputs (files and folders) through words, the operations as the
// command line takes them for one file, as request says. Reports progress
// over all files, then "N bearbeitet, M übersprungen, K fehlgeschlagen" on
// out and each failure's file and reason on err. An exit code: 0 when no
// file failed, 1 when one did, 2 when the plan is refused before anything
// runs (an output that would overwrite an input).
int RunBatch(const BatchRequest& request, const std::vector<std::string>& inputs,
             const std::vector<std::string>& words, ProgressSink& progress, std::FILE* out,
             std::FILE* err);

// The usage lines of the batch.
void PrintBatchUsage(std::FILE* to);
