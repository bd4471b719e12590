#!/usr/bin/env bash
# The main job: on a fresh machine, bootstrap and build, then take a payment of
# 12.50 on the standard channel and a meal-voucher payment on the simulated
# terminal through zelq-host, printing the result documents, the receipts and
# where the device log is.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target QVPA_ZELQ_10 zeft-sim zelq-host >/dev/null

demo="$PWD/build/linux/demo"
mkdir -p "$demo"
# The transaction counters of the demo stay inside the build folder.
export QV_REGISTRY_DIR="$demo/registry"

cat > "$demo/terminal.cfg" <<'SCENARIO'
# What the simulated terminal answers: an approved card payment of 12.50 and,
# on the meal-voucher path, two vouchers of 8.00.
trace = trace.log
field 20003 = 100
field 21000 = ************4242
field 21027 = ZELQ-TERM-0001
field 21011 = 20261211
field 21012 = 101500
field 20004 = 000731
field 21013 = 004711
field 21005 = 81A4C2
field 20002 = 24

[PAY]
field 21015 = 1250
field 21001 = 32
field 21020 = 2:VISA DEBIT
field 20000 = ZELQ DEMO SHOP          CARD PAYMENT            VISA ************4242   AMOUNT EUR 12.50        AUTH 81A4C2             
field 20001 = 5

[BPE]
field 21015 = 1600
field 21001 = 0
field 23102 = 003
field 21022 = 2400
field 21023 = MV-99120
field 23103 = 2
field 23104 = 800
field 20000 = ZELQ DEMO SHOP          MEAL VOUCHERS           2 X EUR 8.00            TOTAL EUR 16.00         BALANCE EUR 24.00       
field 20001 = 5
SCENARIO

cd "$demo"
host="$PWD/../tools/zelq-host/zelq-host"
"$host" --config "$demo/terminal.cfg" --log-id Till01 \
  open \
  --merchant 1234 --store 12 --till 3 --currency EUR \
  --reference 1001 --amount 12.50 pay \
  --reference 1002 --amount 16.00 --channel MVP --max-amount 16.00 --max-items 2 pay \
  close
echo "vendor calls traced in $demo/trace.log"
