#!/usr/bin/env bash
# Records a few hundred quillon-cli answers (stdout, stderr and exit status of each) and the
# report files into one folder, so that a restructuring can be shown to change no byte:
#   scripts/record-cli.sh build before/   ... change the code, rebuild ...
#   scripts/record-cli.sh build after/ && diff -r before after
# The runs cover every command over many oscillators, rates, picks and segment options.
set -uo pipefail

build=${1:?usage: record-cli.sh BUILD_DIR OUT_DIR}
out=${2:?usage: record-cli.sh BUILD_DIR OUT_DIR}
cli="$build/cli/quillon-cli"
mkdir -p "$out"
export SOURCE_DATE_EPOCH=0 LC_ALL=C.UTF-8
n=0

run() {
  n=$((n + 1))
  local f
  f=$(printf '%s/%04d' "$out" "$n")
  printf '%s\n' "$*" >"$f.cmd"
  "$cli" "$@" >"$f.out" 2>"$f.err"
  echo $? >"$f.rc"
}

for osc in 4 8 10 16 20 24 25 40; do
  for rate in 10 125 250 500 800 1000; do
    run candidates --osc "$osc" --rate "$rate"
    run candidates --osc "$osc" --rate "$rate" --analyse --json
    run kernel --osc "$osc" --rate "$rate"
    run timing --osc "$osc" --rate "$rate" --pick 1 --recommend
    run timing --osc "$osc" --rate "$rate" --pick 1 --json
  done
  run candidates --osc "$osc" --rate 125 --grid
  run candidates --osc "$osc" --rate 500 --grid --json
  run kernel --osc "$osc" --rate 500 --json
done

for pick in 1 2 3; do
  for opts in "" "--sam" "--wakfil" "--prop 2 --phase1 3 --phase2 2" "--sjw 2 --recommend" \
    "--larger-of"; do
    # shellcheck disable=SC2086
    run timing --osc 16 --rate 500 --pick "$pick" $opts
    # shellcheck disable=SC2086
    run timing --osc 20 --rate 125 --pick "$pick" $opts --json
  done
done
run timing --osc 24 --rate 1000 --brp1 0 --tq 12
run timing --osc 16 --rate 500 --brp1 1 --tq 16
run timing --osc 20 --rate 125 --brp1 4 --tq 16 --prop 5 --phase1 6 --phase2 4 --sjw 1

for form in c-mcp251x c-pic18 c-dspic ip-link networkd rpi-overlay json; do
  for osc in 8 16 20; do
    run export --format "$form" --osc "$osc" --rate 500 --pick 1 --recommend
    run export --format "$form" --osc "$osc" --rate 250 --pick 2 --wakfil --sam
  done
done

for cnf in 0x00,0xF0,0x86 0x00,0x90,0x02 0x01,0xB1,0x05 0x03,0xAC,0x03 0x41,0xF1,0x85; do
  for osc in 8 16 20; do
    run decode --osc "$osc" --cnf "$cnf" --rate 500
    run decode --osc "$osc" --cnf "$cnf" --rate 250 --json
    run decode --osc "$osc" --cnf "$cnf" --measured-rate 250
  done
  run decode --osc 16 --brgcon "$cnf" --rate 500
done
run decode --osc 16 --cicfg 0x0000,0x06F0 --rate 500
run decode --osc 40 --cicfg 0x0001,0x02BA --rate 500 --json
run decode --osc 16 --cnf 0x00,0xF0 --rate 500
run decode --osc 16 --cnf 0x00,0xF0,0x1G --rate 500

run bus --rate 500 --node pi=mcp251x@16:kernel --node uno=mcp251x@16:cnf=0x00,0xF0,0x86 \
  --node plc=pic18@40
run bus --rate 500 --node pi=mcp251x@16:kernel --node uno=mcp251x@16:cnf=0x00,0xF0,0x86 \
  --node plc=pic18@40 --json
run bus --rate 250 --node a=dspic33f@20 --node b=pic24h@10:cicfg=0x0001,0x02BA \
  --node c=dspic30@16:segments=0/16/2/8/5/1
run bus --rate 125 --node a=mcp251x@8:ppm=50 --node b=mcp251x@20
run bus --rate 500 --node a=mcp251x@8000000 --node b=mcp251x@20
for rate in 125 250 500 1000; do
  run bus --rate "$rate" --node a=mcp251x@16 --node b=pic18@40 --node c=dspic33f@20
  run bus --rate "$rate" --node a=mcp251x@8:kernel --node b=mcp251x@16 --node c=pic24h@24 --json
  run bus --rate "$rate" --node a=mcp251x@10:ppm=50 --node b=mcp251x@25 --node c=pic18@32 \
    --node d=dspic30@12
done

for osc in 20 40; do
  for pair in "500 2000" "500 4000" "1000 5000" "250 1000"; do
    set -- $pair
    run fd candidates --osc "$osc" --rate "$1" --data-rate "$2"
    run fd timing --osc "$osc" --rate "$1" --data-rate "$2" --pick 1 --recommend
    run fd timing --osc "$osc" --rate "$1" --data-rate "$2" --pick 2 --json
    run fd kernel --osc "$osc" --rate "$1" --data-rate "$2"
    run fd kernel --osc "$osc" --rate "$1" --data-rate "$2" --json
  done
done
run fd candidates --osc 4 --pll --rate 500 --data-rate 2000
for form in c-mcp251xfd c-dspic33c ip-link ip-link-tq networkd networkd-tq rpi-overlay json; do
  run fd export --osc 40 --rate 500 --data-rate 2000 --pick 1 --recommend --format "$form"
  run fd export --osc 20 --rate 250 --data-rate 1000 --pick 3 --format "$form"
done
run fd decode --osc 40 --nbtcfg 0x00440909 --dbtcfg 0x000D0404 --tdc 0x00020E00
run fd decode --osc 40 --nbtcfg 0x00440909 --dbtcfg 0x000D0404 --tdc 0x00020F00 --json
run fd decode --osc 40 --nbtcfg 0x00440909 --dbtcfg 0x000D0404

run --help
run candidates --help
run fd --help
run timing --osc 16,5 --rate 500 --pick 1
run timing --osc 16 --rate 500 --pick 99

mkdir -p "$out/report-classic" "$out/report-fd"
run report --osc 20 --rate 125 --brp1 4 --tq 16 --prop 5 --phase1 6 --phase2 4 --sjw 1 \
  --out "$out/report-classic"
run fd report --osc 40 --rate 500 --data-rate 2000 --pick 1 --recommend --out "$out/report-fd"
# The report names its folder; the folder is the only difference between two recordings.
sed -i "s|$out|OUT|g" "$out"/*.out "$out"/*.err "$out"/*.cmd
echo "$n runs recorded in $out"
