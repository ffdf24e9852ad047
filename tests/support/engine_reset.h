// Puts the process-wide engine state back to that of a fresh program.
#pragma once

void ResetEngine();
