#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user of the installed copy
# gets: the programs start from there (without the build tree), quillon-cli finds its
# companion there and loads no Qt, the desktop finds the menu entry, icon, AppStream data,
# manual pages and D-Bus activation file where it looks for them, and Debian's validators
# accept them when they are installed.
#   install_test.sh CMAKE BUILD_DIR VERSION WITH_CLI(0|1)
set -uo pipefail

cmake=$1 build=$2 version=$3 with_cli=$4
id=example.varnholt.Quillon
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

failed=0 passed=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failed=$((failed + 1)); }
check() { # check DESCRIPTION COMMAND...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then pass; else fail "$what"; fi
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$prefix/.install.log" 2>&1; then
  cat "$prefix/.install.log"
  echo "FAIL: cmake --install"
  exit 1
fi

# The programs: they run from the prefix, report the project version and take their
# libraries from the system, not from the build tree or a folder beside them.
programs=(quillon)
[ "$with_cli" = 1 ] && programs+=(quillon-cli)
for program in "${programs[@]}"; do
  binary="$prefix/bin/$program"
  if [ ! -x "$binary" ]; then
    fail "$program is not installed in bin/"
    continue
  fi
  output=$(env -u LD_LIBRARY_PATH "$binary" --version 2>&1)
  check "$program --version began with '${output%%$'\n'*}'" [ "${output%%$'\n'*}" = "$program $version" ]
  check "$program --version names no licence" grep -q "GPL-3.0-or-later" <<<"$output"
  if command -v readelf >/dev/null; then
    runpath=$(readelf -d "$binary" | grep -E 'RUNPATH|RPATH' || true)
    check "$program has a library search path of its own: $runpath" test -z "$runpath"
  fi
done

# quillon-cli loads no Qt library; its report and show commands run in the companion in
# libexec/quillon/, which the installed quillon-cli finds there on its own.
if [ "$with_cli" = 1 ]; then
  companion="$prefix/libexec/quillon/quillon-cli-qt"
  check "quillon-cli-qt is not installed in libexec/quillon/" test -x "$companion"
  if command -v readelf >/dev/null; then
    qt=$(readelf -d "$prefix/bin/quillon-cli" | grep NEEDED | grep -i qt || true)
    check "quillon-cli needs Qt libraries: $qt" test -z "$qt"
    runpath=$(readelf -d "$companion" | grep -E 'RUNPATH|RPATH' || true)
    check "quillon-cli-qt has a library search path of its own: $runpath" test -z "$runpath"
  fi
  out="$prefix/.report"
  mkdir -p "$out"
  output=$(env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen "$prefix/bin/quillon-cli" report \
    --osc 16 --rate 500 --pick 1 --out "$out" 2>&1)
  check "installed quillon-cli report failed: $output" test -s "$out/MCP2510Report.htm"
  check "installed quillon-cli report wrote no bitmap: $output" test -s "$out/bittime.bmp"
  rm -rf "$out"
fi

# Only the shipped programs: no test build (quillon-probe) or other test program.
extra=$(cd "$prefix" && find bin libexec -type f 2>/dev/null | grep -vxE 'bin/quillon|bin/quillon-cli|libexec/quillon/quillon-cli-qt')
check "test or unknown programs installed: $extra" test -z "$extra"

# Every installed file belongs under bin/, libexec/quillon/ or share/.
stray=$(cd "$prefix" && find . -type f ! -path './bin/*' ! -path './libexec/quillon/*' \
  ! -path './share/*' ! -name .install.log)
check "files installed outside bin/, libexec/quillon/ and share/: $stray" test -z "$stray"

desktop="$prefix/share/applications/$id.desktop"
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
service="$prefix/share/dbus-1/services/$id.service"
icons="$prefix/share/icons/hicolor"
for file in "$desktop" "$metainfo" "$service" "$icons/scalable/apps/$id.svg" \
  "$prefix/share/man/man1/quillon.1.gz" "$prefix/share/man/man1/quillon-cli.1.gz" \
  "$prefix/share/doc/quillon/copyright"; do
  check "missing ${file#"$prefix"/}" test -s "$file"
done

# Each PNG size sits in the folder of its size (width and height from the PNG header).
for size in 48 64 128 256; do
  png="$icons/${size}x${size}/apps/$id.png"
  if [ ! -s "$png" ]; then
    fail "missing ${png#"$prefix"/}"
    continue
  fi
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
  height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
  check "${size}x${size} icon is ${width}x${height}" [ "$width.$height" = "$size.$size" ]
done

# The menu entry starts an installed program and names an installed icon; the AppStream
# data points at the entry and lists this version as its newest release; the bus starts
# the installed program in its automation mode.
if [ -s "$desktop" ]; then
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  check "desktop Exec=$exec_program is not an installed program" test -x "$prefix/bin/$exec_program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  check "desktop Icon=$icon has no installed icon" test -s "$icons/scalable/apps/$icon.svg"
fi
if [ -s "$metainfo" ]; then
  check "metainfo does not launch $id.desktop" \
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
  check "metainfo names no licence" \
    grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo"
  newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
  check "metainfo's newest release is '$newest', not $version" [ "$newest" = "$version" ]
fi
if [ -s "$service" ]; then
  check "D-Bus service file does not name $id" grep -qx "Name=$id" "$service"
  check "D-Bus service file does not start quillon --automation" \
    grep -qE '^Exec=/.*/bin/quillon --automation$' "$service"
fi

# Debian's validators, where their packages are installed.
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate" desktop-file-validate "$desktop"
else
  echo "SKIP: desktop-file-validate (package desktop-file-utils) is not installed"
fi
if command -v appstreamcli >/dev/null; then
  check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
else
  echo "SKIP: appstreamcli (package appstream) is not installed"
fi
if command -v man >/dev/null; then
  for page in "$prefix"/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    check "manual page ${page##*/} warns: $warnings" test -z "$warnings"
  done
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
