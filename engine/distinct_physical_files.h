// One physical file seen under several paths (hard links, links to files or
// folders) must appear at most once in all the results: a user who recycles
// "the copies" in one group and "the copy" in another could otherwise delete
// the last one. Every path of one file has the file's size, so all of them
// meet in one size bucket, and the rule is applied there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Keeps, of `members` (catalogue indices of one size, ascending), only the
// first path of each physical file; a path whose identity cannot be read any
// more is left out too, since it might name a file already kept. Order is
// kept; `leftOut` receives the paths removed. False when a stop was
// requested, with `members` unchanged.
bool KeepFirstPathOfEachPhysicalFile(std::vector<int32_t>& members, std::vector<int32_t>& leftOut);
