// What the plug-in's exports return, numbered as the Susie plug-in
// interface numbers them: hosts tell the failures apart by these values.
#pragma once

enum SusieResult : int {
    kSusieNotImplemented = -1,
    kSusieSuccess = 0,
    kSusieStoppedByCallback = 1,
    kSusieUnknownFormat = 2,
    kSusieBrokenData = 3,
    kSusieOutOfMemory = 4,
    kSusieReadError = 6,
    kSusieInternalError = 8,
};
