#!/usr/bin/env bash
# Instructions on the caller's thread for PAY through the exports, counted by
# callgrind (repeatable, unlike times on a shared machine), beside the
# baseline (parsing the request and formatting the document) and the counter
# store's part of PAY.
#   bench/pay_instructions.sh [BUILD_DIR] [PAYMENTS]
set -euo pipefail
build=${1:-build/linux}
count=${2:-2000}
out=$(mktemp -d)
QV_REGISTRY_DIR="$out/registry" valgrind --tool=callgrind --separate-threads=yes \
  --callgrind-out-file="$out/cg.out" "$build/bench/pay_soak" "$count" >/dev/null 2>&1
callgrind_annotate --inclusive=yes "$out/cg.out-01" 2>/dev/null | awk -v n="$count" '
  /entry_points.cpp:qv::HostPAY/ {pay=$1}
  /setup.cpp:qv::ReadRegistryString/ {read=$1}
  /setup.cpp:qv::WriteRegistryString/ {write=$1}
  /payment_handler.cpp:qv::qPaymentHandler::Deserialize/ {parse=$1}
  /result_documents.cpp:qv::FormatPayDocument/ {format=$1}
  END {
    gsub(",", "", pay); gsub(",", "", read); gsub(",", "", write); gsub(",", "", parse); gsub(",", "", format)
    base = parse + format; store = read + write
    printf "per payment: PAY %d, counter store %d, baseline (parse + format) %d instructions\n", pay/n, store/n, base/n
    printf "ratio with the store %.2f, without the store %.2f\n", pay/base, (pay-store)/base
  }'
rm -rf "$out"
