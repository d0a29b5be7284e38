#!/usr/bin/env bash
# Each part of the model may include only what its link line allows: its own headers and
# those of the parts it links (and what they link). A stray include is named and fails.
set -euo pipefail
root=${1:?usage: check_layers.sh SOURCE_ROOT}
cd "$root/timing"
declare -A links
for dir in */; do
  part=${dir%/}
  grep -q "^add_library(timing_$part " "$part/CMakeLists.txt" 2>/dev/null || continue
  links[$part]=$(sed -n "s/^target_link_libraries(timing_$part PUBLIC \(.*\))/\1/p" \
    "$part/CMakeLists.txt" | sed 's/timing_//g')
done
allowed() { # the part and everything it links, transitively
  local part=$1 seen=" $1 " queue=($1)
  while [ ${#queue[@]} -gt 0 ]; do
    local next=${queue[0]}
    queue=("${queue[@]:1}")
    for dep in ${links[$next]:-}; do
      [[ $seen == *" $dep "* ]] || { seen+="$dep "; queue+=("$dep"); }
    done
  done
  echo "$seen"
}
status=0
for part in "${!links[@]}"; do
  ok=$(allowed "$part")
  while IFS= read -r line; do
    file=${line%%:*}
    used=$(sed -n 's|.*#include "timing/\([a-z]*\)/.*|\1|p' <<<"$line")
    if [[ $ok != *" $used "* ]]; then
      echo "timing/$file includes timing/$used/, which timing_$part does not link"
      status=1
    fi
  done < <(cd "$part" && grep -H '#include "timing/[a-z]*/' -- *.h *.cpp | sed "s|^|$part/|")
done
[ $status -eq 0 ] && echo "every include of the model follows its link lines"
exit $status
