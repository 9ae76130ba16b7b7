#!/usr/bin/env bash
# Builds Vantrix and starts it under Wine.
#
# With no game given, it runs on a demo game folder (demo/Skarvel: the
# stand-in game as Skarvel.exe and a few synthetic saved games in Saves\)
# and keeps its settings in demo/vantrix.prf, Vantrix's working directory.
# A second run reuses all of it and keeps your settings.
#
# On your X display when there is one; otherwise on a virtual display, where
# it waits for the window, saves demo/screenshot.png and demo/window.txt (the
# window's controls as the UI driver reads them), and closes Vantrix again.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh

# Only what the demo needs: the saved-game builder natively, the Windows
# programs cross-compiled.
cmake --preset native >/dev/null
cmake --build --preset native --target make_save
cmake --preset windows >/dev/null
cmake --build --preset windows --target vantrix standin_game ui_driver

demo="$root/demo"
game="$demo/Skarvel"
mkdir -p "$game/Saves"
make_save="$root/build/native/tools/save_builder/make_save"

# The demo game, made once: the stand-in game, a full field of six with one
# human, a field with two humans, and one with an AI driver at level 0.
[ -f "$game/Skarvel.exe" ] || cp build/windows/tools/standin_game/standin_game.exe "$game/Skarvel.exe"
[ -f "$game/Saves/season.gam" ] || "$make_save" "$game/Saves/season.gam" --entries 12 \
  "Ana Reyes:human:40" "Bo Lind:ai:45:80" "Cato:ai:120:95" "Dee Marsh:ai:160:60" \
  "Eli:ai:90:110" "Fay Quist:ai:195:70"
[ -f "$game/Saves/duo.gam" ] || "$make_save" "$game/Saves/duo.gam" --entries 4 \
  "Ana Reyes:human:40" "Ben Ode:human:55" "Cato:ai:120:95" "Dee Marsh:ai:70:60"
[ -f "$game/Saves/rookie.gam" ] || "$make_save" "$game/Saves/rookie.gam" \
  "Ana Reyes:human:40" "Rook:ai:0:0" "Ivo:ai:30:20"

# Wine sees the Unix root as drive Z:.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }
if [ ! -f "$demo/vantrix.prf" ]; then
  printf 'Skarvel = %s\\\r\ngame = %s\r\nrandom = 30\r\n' \
    "$(winpath "$game")" "$(winpath "$game/Saves/season.gam")" > "$demo/vantrix.prf"
fi

export WINEPREFIX="$demo/wine-prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
vantrix="$root/build/windows/app/vantrix.exe"
driver="$root/build/windows/tools/ui_driver/ui_driver.exe"
title="Vantrix   F5=New Vantrix in Skarvel"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i
  echo "run: starting Vantrix on $DISPLAY (settings in demo/vantrix.prf)"
  cd "$demo"
  exec wine "$vantrix"
fi

# No display: a virtual one, with a screenshot to show what came up.
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r number <"$fifo"
rm -f "$fifo"
export DISPLAY=":$number"
cleanup() { wineserver -k 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT

mkdir -p "$WINEPREFIX"
wineserver -p
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i
# No window manager on the virtual display: Wine draws the frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

(cd "$demo" && exec wine "$vantrix") &
program=$!
wine "$driver" find "$title" --wait 60 >/dev/null
# The saved game's roster reaches the log right after the window opens.
loaded=no
for _ in $(seq 100); do
  wine "$driver" controls "$title" > "$demo/window.txt" 2>/dev/null || true
  if grep -q 'id=8.*AI' "$demo/window.txt"; then loaded=yes; break; fi
  sleep 0.1
done
import -display "$DISPLAY" -window root "$demo/screenshot.png"
echo "run: no display, so Vantrix ran on a virtual one ($DISPLAY)"
echo "run: screenshot saved as demo/screenshot.png; its controls:"
cat "$demo/window.txt"
wine "$driver" close "$title" >/dev/null
wait "$program"
echo "run: Vantrix closed and stored its settings in demo/vantrix.prf"
if [ "$loaded" != yes ]; then
  echo "run: the log never showed the saved game's drivers; see demo/screenshot.png" >&2
  exit 1
fi
