#include "engine/thread_priority.h"

// An unprivileged POSIX process cannot raise a thread's priority; the threads
// run at the default one.
void RaiseCurrentThreadPriority() {}
