// Analysis threads run above normal priority where the platform allows it.
#pragma once

void RaiseCurrentThreadPriority();
