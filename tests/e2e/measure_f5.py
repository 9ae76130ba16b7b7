"""Measures F5 in the game under Wine: from the xdotool key press to the new
randomized copy on disk. Not a test: run it by hand, or from the bench
script, and read the figures.

    python3 tests/e2e/measure_f5.py [--presses 20] [--json FILE]

The real vantrix.exe runs in a Wine session of the end-to-end harness with
settings pointing at a synthetic saved game; its Start button starts the
stand-in game (copied into the game folder as Skarvel.exe), whose window is
brought to the front and given the X focus. Each press starts xdotool and
polls the copy's inode, mtime and size about every millisecond until a new,
whole copy is in place. Presses are spaced past the program's 300 ms pause
after a copy plus two of its 50 ms passes, with a random offset within a
pass, so each press lands on a fresh point of the loop.

Needs the windows preset's vantrix.exe, ui_driver.exe and standin_game.exe
and the native make_save (VANTRIX_WINDOWS_BUILD_DIR, VANTRIX_NATIVE_BUILD_DIR
or the default build folders).
"""
import argparse
import json
import os
import random
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402

STANDIN_TITLE = "Skarvel"
START_BUTTON = 21
DRIVERS = ["Ana:human:40", "Bo:ai:45:80", "Cid:ai:120:95", "Dee:ai:160:60", "Eli:ai:90:110",
           "Fay:ai:30:70"]
SPACING_S = 0.300 + 2 * 0.050
PASS_S = 0.050
COPY_TIMEOUT_S = 5.0
POLL_S = 0.001


def make_save(path):
    folder = Path(os.environ.get("VANTRIX_NATIVE_BUILD_DIR",
                                 Path(__file__).resolve().parents[2] / "build" / "native"))
    tool = folder / "tools" / "save_builder" / "make_save"
    if not tool.is_file():
        raise harness.E2eError(f"{tool} is missing: build the native preset first")
    subprocess.run([str(tool), str(path), "--entries", "3", *DRIVERS], check=True)


def identity(path):
    try:
        status = os.stat(path)
    except FileNotFoundError:
        return None
    return (status.st_ino, status.st_mtime_ns, status.st_size)


def one_press(session, copy, size):
    """(seconds from the press to the new copy or None, seconds xdotool ran)"""
    before = identity(copy)
    started = time.perf_counter()
    key = subprocess.Popen(["xdotool", "key", "F5"], env=session.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    arrived = key_ran = None
    while time.perf_counter() - started < COPY_TIMEOUT_S:
        now_identity = identity(copy)
        now = time.perf_counter()
        if key_ran is None and key.poll() is not None:
            key_ran = now - started
        if now_identity not in (None, before) and now_identity[2] == size:
            arrived = now - started
            break
        time.sleep(POLL_S)
    key.wait(timeout=10)
    return arrived, key_ran if key_ran is not None else time.perf_counter() - started


def measure(presses):
    with harness.WineSession() as session:
        game = session.new_folder("Skarvel")
        game_folder = harness.prepare_game_folder(
            game, harness.built_program("tools/standin_game/standin_game.exe"))
        saved = game / "Saves" / "cup.gam"
        make_save(saved)
        size = saved.stat().st_size
        copy = game / "Saves" / "_random_cup.gam"
        workdir = session.new_folder("work")
        harness.write_settings(workdir, game_folder, harness.windows_path(saved), "30")
        program = harness.RunningProgram(session, session.start_program(workdir), workdir)
        try:
            session.wait_for_window(harness.MAIN_TITLE)
            session.click(harness.MAIN_TITLE, START_BUTTON)
            session.wait_for_window(STANDIN_TITLE)
            latencies, key_runs, misses = [], [], 0
            last = time.perf_counter()
            for _ in range(presses):
                if session.foreground_title() != STANDIN_TITLE:
                    session.bring_to_front(STANDIN_TITLE)
                # Spacing between presses, not a wait for anything.
                gap = SPACING_S + random.uniform(0, PASS_S)
                time.sleep(max(0.0, last + gap - time.perf_counter()))
                arrived, key_ran = one_press(session, copy, size)
                key_runs.append(key_ran)
                if arrived is None:
                    misses += 1
                else:
                    latencies.append(arrived)
                last = time.perf_counter()
            session.close_window(STANDIN_TITLE)
            session.close_window(harness.MAIN_TITLE)
            program.wait_exit()
        finally:
            program.end()
    return {"copy_bytes": size, "latencies_s": latencies, "xdotool_s": key_runs,
            "misses": misses}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--json", help="also write the figures as JSON to this file")
    args = parser.parse_args()
    results = measure(args.presses)
    ms = [s * 1000 for s in results["latencies_s"]]
    keys = [s * 1000 for s in results["xdotool_s"]]
    print(f"F5 to copy on disk ({results['copy_bytes']} B), {len(ms)} of {args.presses} presses, "
          f"{results['misses']} missed")
    if ms:
        print(f"  median {statistics.median(ms):.1f} ms, worst {max(ms):.1f} ms, "
              f"best {min(ms):.1f} ms")
        print("  each: " + ", ".join(f"{x:.0f}" for x in ms))
    print(f"  xdotool itself ran: median {statistics.median(keys):.1f} ms, "
          f"worst {max(keys):.1f} ms")
    if args.json:
        Path(args.json).write_text(json.dumps(results, indent=2) + "\n")
    return 0 if results["misses"] == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
