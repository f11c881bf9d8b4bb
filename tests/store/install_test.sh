#!/bin/sh
# cmake --install gives the header, the library and its package (found with
# find_package and with a plain -ltessdb), and programs that start from the
# prefix with no environment, on the Korean set installed beside them.
set -eu
build=$1; consumer=$2
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
p="$work/prefix"
cmake --install "$build" --prefix "$p" --component Unspecified >/dev/null
test -f "$p/include/tessdb.h" -a -f "$p/share/man/man1/tavrin-read.1.gz"
cmake -S "$consumer" -B "$work/b" -G Ninja -DCMAKE_PREFIX_PATH="$p" >/dev/null
cmake --build "$work/b" >/dev/null
LD_LIBRARY_PATH="$p/lib" "$work/b/consumer_pkg" "$work/a.dbe"
${CXX:-c++} -std=c++20 ${CXXFLAGS:-} "$consumer/consumer.cpp" -I"$p/include" -L"$p/lib" -ltessdb \
  -Wl,-rpath,"$p/lib" -o "$work/plain"
"$work/plain" "$work/b.dbe"
if [ -x "$p/bin/tavrin-mkstore" ]; then
  [ "$(env -i "$p/bin/tavrin-read" text '마1: 1')" = "아브라함과 다윗의 자손 예수 그리스도의 세계라" ]
  env -i "$p/bin/tavrin-mkstore" --dump "$p/share/tavrin" |
    grep -qx '\\tdescription	성경전서 개역한글판 (1961) · 대한성서공회'
fi
if [ -x "$p/bin/tavrin" ]; then  # still running after 3 s (124): it started
  status=0
  env -i QT_QPA_PLATFORM=offscreen HOME="$work" timeout 3 "$p/bin/tavrin" 2>"$work/err" || status=$?
  [ "$status" -eq 124 ] || { cat "$work/err"; exit 1; }
  test -f "$p/share/applications/tavrin.desktop" -a -f "$p/share/icons/hicolor/scalable/apps/tavrin.svg"
  ! command -v appstreamcli >/dev/null || appstreamcli validate --no-net "$p"/share/metainfo/*.xml >/dev/null
fi
echo "install ok"
