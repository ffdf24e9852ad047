#!/usr/bin/env bash
# Benchmarks tovrik-find against the peer duplicate finders. See README.md.
#   bench/run.sh           full run (about 10 minutes once the corpora exist)
#   bench/run.sh --quick   fewer runs, the smaller half of the series
# Corpora go to $TOVRIK_BENCH_DIR (default /tmp/tovrik-bench) and are reused.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
source_dir="$(dirname "$here")"
build_dir="${TOVRIK_BENCH_BUILD:-$source_dir/build-bench}"
corpus_dir="${TOVRIK_BENCH_DIR:-/tmp/tovrik-bench}"

missing=()
for tool in jdupes fdupes rdfind rmlint duff; do
  command -v "$tool" > /dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  if [[ $(id -u) -eq 0 ]]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" > /dev/null
  else
    echo "not root: peers left out unless installed: ${missing[*]}" >&2
  fi
fi

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DTOVRIK_BUILD_TESTS=OFF > /dev/null
cmake --build "$build_dir" -j2 --target tovrik-find > /dev/null
g++ -O2 -std=c++17 -o "$build_dir/measure" "$here/measure.cpp"

python3 "$here/make_corpus.py" "$corpus_dir"
python3 "$here/run_bench.py" "$build_dir/cli/tovrik-find" "$corpus_dir" --measure "$build_dir/measure" "$@"
