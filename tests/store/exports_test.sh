#!/bin/sh
# The library exports exactly its documented names (sanitizer runtime hooks aside).
set -eu
lib=$1
actual=$(nm -D --defined-only "$lib" | awk '{print $3}' | c++filt |
  grep -vE '^(_init|_fini|__bss_start|_edata|_end|__asan|__ubsan|__sanitizer|___asan|__odr_asan)' | sort)
expected=$(printf '%s\n' 'CTessdb::CTessdb()' 'CTessdb::operator=(CTessdb const&)' \
  'CreateTESS(unsigned short*, FLOPEN)' 'DeleteQdata(void*, char*)' 'DestroyTESS(void*)' \
  'GetQdata(void*, _TESS_MAXDATA_&, char*)' 'InsertQdata(void*, char*, char*, int)' \
  'IsKeyid(void*, char*)' 'fnTessdb()' 'nTessdb' | sort)
# The constructor appears twice (complete and base object); compare the set.
if [ "$(echo "$actual" | uniq)" != "$expected" ]; then
  echo "exported symbols differ:"; echo "$actual" | uniq | diff - /dev/fd/3 3<<E || true
$expected
E
  exit 1
fi
echo "exports ok"
