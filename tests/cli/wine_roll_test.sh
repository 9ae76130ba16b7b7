#!/bin/sh
# The Windows build of vantrix-cli under Wine must write the same copy as the
# native build for the same saved game, spread and seed, print the same
# roster, and refuse a read-only copy.
#
#   wine_roll_test.sh WINDOWS_EXE NATIVE_CLI MAKE_SAVE
#
# Exits 77 (skipped) when the Windows build is absent; anything else missing
# is a failure.
set -eu

windows_cli=$1
native_cli=$2
make_save=$3

if [ ! -f "$windows_cli" ]; then
  echo "skipped: $windows_cli not built (cmake --preset windows && cmake --build --preset windows)"
  exit 77
fi

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
  # Ends the Wine server of this test's own prefix only.
  wineserver -k 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

wineboot -i >/dev/null 2>&1 || fail "wineboot -i failed"

mkdir "$work/native" "$work/windows"
"$make_save" "$work/native/cup.gam" --entries 3 \
  "Anna:human:77" "Bo:human:66" "Bot:ai:45:120" "Lee, J:ai:0:88" "Top:ai:199:0" "Low:ai:3:2"
cp "$work/native/cup.gam" "$work/windows/cup.gam"
windows_save=$(winepath -w "$work/windows/cup.gam")

for roll in "1 30" "4294967295 200" "123456 7"; do
  set -- $roll
  "$native_cli" roll "$work/native/cup.gam" --seed "$1" --spread "$2" >/dev/null ||
    fail "native roll --seed $1 --spread $2"
  wine "$windows_cli" roll "$windows_save" --seed "$1" --spread "$2" >"$work/out.txt" ||
    fail "Windows roll --seed $1 --spread $2: $(cat "$work/out.txt")"
  cmp "$work/native/_random_cup.gam" "$work/windows/_random_cup.gam" ||
    fail "copies differ for --seed $1 --spread $2"
done
cmp "$work/native/cup.gam" "$work/windows/cup.gam" || fail "the saved game was changed"

# The console's line ends are CRLF; the roster is otherwise the same text.
"$native_cli" show "$work/native/cup.gam" >"$work/native.txt"
wine "$windows_cli" show "$windows_save" | tr -d '\r' >"$work/windows.txt"
cmp "$work/native.txt" "$work/windows.txt" || fail "show differs: $(cat "$work/windows.txt")"

# A read-only copy is refused (Wine alone would replace it) and stays as it was.
chmod 444 "$work/windows/_random_cup.gam"
cp "$work/windows/_random_cup.gam" "$work/before.gam"
status=0
wine "$windows_cli" roll "$windows_save" --seed 9 >/dev/null 2>"$work/err.txt" || status=$?
[ "$status" -eq 1 ] || fail "read-only copy: exit code $status, expected 1"
grep -q "read-only, copy not written" "$work/err.txt" || fail "read-only copy: $(cat "$work/err.txt")"
cmp "$work/before.gam" "$work/windows/_random_cup.gam" || fail "the read-only copy was changed"
[ -z "$(ls "$work/windows" | grep -v -x -e cup.gam -e _random_cup.gam)" ] ||
  fail "files left behind: $(ls "$work/windows")"

echo "the Windows build wrote the native build's copies byte for byte"
