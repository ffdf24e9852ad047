// The walk that fills the catalogue and the size table at the start of a run.
#pragma once

#include <string>

#include "engine/analysis_filter.h"

// Catalogues every file beneath `folder` (depth first, in the file system's
// order; names starting with "." are neither catalogued nor descended into).
// Folders that cannot be listed contribute nothing; a folder that leads back
// to one on the current walk path (a link cycle) is not descended into. Ends
// after the entry in hand once a stop is requested.
// Folders that `filter` names are not descended into, files below its size
// not catalogued.
void ScanFolder(const std::string& folder, const AnalysisFilter& filter = AnalysisFilter());
