// The thread SANE's slow calls run on: searching for devices and opening one
// take seconds on a network, and the window must go on painting meanwhile.
// Jobs run one after the other in the order given, so SANE never sees two of
// them at once; a job whose caller stopped waiting ends all the same, unseen,
// and what it made is released there.
#pragma once

#include <functional>

void RunOnSaneThread(std::function<void()> job);
