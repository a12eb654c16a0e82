#!/usr/bin/env bash
# The dynamic symbols libzkdownload.so defines must be exactly the C exports
# declared in zkdownload.h plus the members, vtables and type information of
# the classes the public headers export (class ZK_API ...); anything else is
# a leak a host could come to depend on.
# Usage: check_exports.sh LIBRARY INCLUDE_DIR
set -euo pipefail
library=$1 include=$2/zkdownload

mapfile -t c_names < <(sed -n 's/^ZK_API [^(]*[ *]\([A-Za-z_][A-Za-z0-9_]*\)(.*/\1/p' "$include/zkdownload.h" | sort -u)
mapfile -t classes < <(grep -ho 'class ZK_API [A-Za-z_][A-Za-z0-9_]*' "$include"/*.h | awk '{print $3}' | sort -u)
# A header the pattern no longer reads would make this check vacuous.
((${#c_names[@]} >= 40)) || { echo "only ${#c_names[@]} exports found in zkdownload.h" >&2; exit 1; }
((${#classes[@]} >= 1)) || { echo "no exported class found in the headers" >&2; exit 1; }

mapfile -t defined < <(nm -D --defined-only "$library" | awk '{print $3}' | c++filt | sort -u)

class_pattern=$(IFS='|'; echo "${classes[*]}")
status=0
for symbol in "${defined[@]}"; do
  [[ " ${c_names[*]} " == *" $symbol "* ]] && continue
  [[ $symbol =~ ^($class_pattern):: ]] && continue
  [[ $symbol =~ ^(typeinfo\ for|typeinfo\ name\ for|vtable\ for)\ ($class_pattern)$ ]] && continue
  echo "unexpected export: $symbol" >&2
  status=1
done
for name in "${c_names[@]}"; do
  [[ " ${defined[*]} " == *" $name "* ]] || { echo "missing export: $name" >&2; status=1; }
done
echo "${#defined[@]} exports: ${#c_names[@]} C functions and the classes ${classes[*]}"
exit $status
