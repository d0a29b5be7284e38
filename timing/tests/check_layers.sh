#!/usr/bin/env bash
# Each part of the model, the report and the command line may include only what its link line allows: its
# own headers and those of the parts it links (and what they link). A stray include is named
# and fails.
set -euo pipefail
root=${1:?usage: check_layers.sh SOURCE_ROOT}
cd "$root"

declare -A links # part folder -> the part folders its library links
for dir in timing/*/ report/*/ cli/*/; do
  dir=${dir%/}
  lib=${dir/\//_}
  grep -q "^add_library($lib " "$dir/CMakeLists.txt" 2>/dev/null || continue
  deps=$(sed -n "s/^target_link_libraries($lib PUBLIC \(.*\))/\1/p" "$dir/CMakeLists.txt")
  # timing_fd is timing/fd; a bare timing or report stands for all of its parts.
  deps=$(sed -E 's@\btiming\b([^_]|$)@timing_common timing_classic timing_fd timing_linux timing_bus\1@g;
                 s@\breport\b([^_]|$)@report_common report_classic report_fd report_bus\1@g' <<<"$deps")
  links[$dir]=$(sed -E 's/\b(timing|report|cli)_/\1\//g' <<<"$deps")
done

allowed() { # the part and everything it links, transitively
  local seen=" $1 " queue=("$1")
  while [ ${#queue[@]} -gt 0 ]; do
    local next=${queue[0]}
    queue=("${queue[@]:1}")
    for dep in ${links[$next]:-}; do
      [[ $seen == *" $dep "* ]] || {
        seen+="$dep "
        queue+=("$dep")
      }
    done
  done
  echo "$seen"
}

status=0
for part in "${!links[@]}"; do
  ok=$(allowed "$part")
  while IFS= read -r line; do
    file=${line%%:*}
    used=$(sed -nE 's@.*#include "((timing|report|cli)/[a-z]+)/.*@\1@p' <<<"$line")
    if [[ $ok != *" $used "* ]]; then
      echo "$file includes $used/, which ${part/\//_} does not link"
      status=1
    fi
  done < <(grep -HE '#include "(timing|report|cli)/[a-z]+/' "$part"/*.h "$part"/*.cpp 2>/dev/null)
done
[ $status -eq 0 ] && echo "every include of the model, the report and the command line follows its link lines"
exit $status
