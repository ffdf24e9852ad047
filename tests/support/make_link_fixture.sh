#!/usr/bin/env bash
# Makes, with the host's own tools, folder trees holding symbolic links and
# hard links, for the link tests of both builds (Wine cannot create links).
set -euo pipefail
root=$1
rm -rf "$root"
mkdir -p "$root"
cd "$root"

# cycle/: links back to an ancestor folder and to the scan root itself.
mkdir -p cycle/top/mid
printf x > cycle/top/file
printf y > cycle/top/mid/file2
ln -s ../../top cycle/top/mid/up
ln -s ../.. cycle/top/mid/root

# sibling/: a folder link to a sibling shows the same files twice.
mkdir -p sibling/real sibling/elsewhere
printf 'first file' > sibling/real/one
printf 'second file' > sibling/real/two
printf 'first file' > sibling/elsewhere/copy-of-one
ln -s real sibling/alias

# hardlink/: two names of one file, and one real copy.
mkdir -p hardlink/a hardlink/b hardlink/c
printf 'shared contents' > hardlink/a/original
ln hardlink/a/original hardlink/b/link-to-original
printf 'shared contents' > hardlink/c/copy

# twolinks/: a folder holding a pair of copies, reached also through two
# folder links: each file is catalogued three times, the pair shows once.
mkdir -p twolinks/real
printf 'pair contents' > twolinks/real/a
printf 'pair contents' > twolinks/real/b
ln -s real twolinks/link1
ln -s real twolinks/link2
