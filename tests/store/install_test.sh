#!/bin/sh
# cmake --install gives the header, the library and its package; an outside
# program finds it with find_package and with a plain -ltessdb.
set -eu
build=$1; consumer=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" --component Unspecified >/dev/null
test -f "$work/prefix/include/tessdb.h"
ls "$work/prefix/lib/"libtessdb.so* >/dev/null
cmake -S "$consumer" -B "$work/b" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/b" >/dev/null
LD_LIBRARY_PATH="$work/prefix/lib" "$work/b/consumer_pkg" "$work/a.dbe"
${CXX:-c++} -std=c++20 ${CXXFLAGS:-} "$consumer/consumer.cpp" -I"$work/prefix/include" -L"$work/prefix/lib" -ltessdb \
  -Wl,-rpath,"$work/prefix/lib" -o "$work/plain"
"$work/plain" "$work/b.dbe"
