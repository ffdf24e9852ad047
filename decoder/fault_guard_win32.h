// The helper's crash handling, which a plug-in cannot undo: a fault ends the
// helper at once, without the system's crash dialog or its debugger.
#pragma once

// Sets the error mode and the unhandled-exception filter, and puts the
// vectored handler that ends the process on a fault first in line. Called
// at start and again before every request: a plug-in may have reset the
// filter or the mode since, as C runtimes do before they report a failed
// stack cookie, and the vectored handler sees the fault before any of them.
void ApplyFaultHandling();
