"""Timings of the real vantrix.exe under Wine on a virtual display.

Measures, in one Wine session of the end-to-end harness:
  start-up   from starting `wine vantrix.exe` to its main window being mapped
             and viewable on the X display (found by its title), several runs;
  idle       processor time (utime + stime from /proc) of the Windows process
             over a stretch of wall-clock time with nothing to do, and of the
             session's Wine server and other Wine processes beside it;
  F5         from an F5 press (xdotool key, while the stand-in game's window
             is in front and has the X focus) to the new copy in place on
             disk, found by polling the copy's inode and mtime.

Every press is spaced well past the program's 300 ms pause after a copy and
its 50 ms pass, with a random offset, so that each press starts a fresh copy
at a random point of the pass.

Writes the figures as JSON (to --out, or stdout). Needs the windows preset's
vantrix.exe, ui_driver.exe and standin_game.exe, and the native make_save.
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

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "e2e"))
import harness  # noqa: E402

STANDIN_TITLE = "Skarvel"
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
DRIVERS = ["Anna:human:12", "Bot:ai:45:80", "Cid:ai:150:0", "Dora:ai:90:40", "Eli:ai:120:60",
           "Fynn:ai:30:200"]
# The program pauses this long after each copy; a press inside it waits.
AFTER_COPY_PAUSE_S = 0.300
PASS_S = 0.050
COPY_TIMEOUT_S = 3.0


def make_saved_game(path, size):
    harness.make_save(path, "--entries", 3, "--size", size, *DRIVERS)


def cpu_seconds(pid):
    """User plus system time of a process, all its threads, in seconds; None
    when the process has ended."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            text = stat.read()
    except OSError:
        return None
    # The command name may hold blanks; the fields after it do not.
    fields = text.rsplit(")", 1)[1].split()
    # utime and stime are fields 14 and 15; fields[0] is field 3.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def session_processes(prefix):
    """pid -> command name of every process of this Wine prefix."""
    found = {}
    marker = f"WINEPREFIX={prefix}".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            environ = (entry / "environ").read_bytes()
            name = (entry / "comm").read_text().strip()
        except OSError:
            continue
        if marker in environ.split(b"\0"):
            found[int(entry.name)] = name
    return found


def x_window_visible(session, title):
    """True once an X window of this title is mapped and viewable."""
    result = session._run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                          check=False)
    return result.returncode == 0 and result.stdout.split() != []


def start_and_time(session, workdir):
    """Starts vantrix.exe; returns (process, seconds until its window is
    visible)."""
    started = time.perf_counter()
    process = session.start_program(workdir)
    harness.wait_until(lambda: x_window_visible(session, harness.MAIN_TITLE),
                       what="the main window visible", interval=0.005)
    elapsed = time.perf_counter() - started
    # The window found on the X display is the program's main window, as the
    # Wine side sees it too.
    session.wait_for_window(harness.MAIN_TITLE)
    return process, elapsed


def close_program(session, process):
    session.close_window(harness.MAIN_TITLE)
    code = process.wait(timeout=harness.DEFAULT_TIMEOUT)
    if code != 0:
        raise harness.E2eError(f"vantrix.exe ended with {code}")


def measure_idle(session, process, seconds):
    """CPU use of the idle program and of the rest of the Wine session."""
    prefix = session.env["WINEPREFIX"]
    others = {pid: name for pid, name in session_processes(prefix).items() if pid != process.pid}
    before = {pid: cpu_seconds(pid) for pid in [process.pid, *others]}
    started = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - started
    after = {pid: cpu_seconds(pid) for pid in before}
    if process.poll() is not None or after[process.pid] is None:
        raise harness.E2eError("vantrix.exe ended while idle")
    # A process that started or ended within the stretch (a helper of an
    # earlier call winding down) has no figure for the whole of it.
    whole = [pid for pid in others if before[pid] is not None and after[pid] is not None]

    def percent(pid):
        return 100.0 * (after[pid] - before[pid]) / wall

    servers = [pid for pid in whole if others[pid].startswith("wineserver")]
    rest = [pid for pid in whole if pid not in servers]
    return {
        # The name the measured process has on Linux: vantrix.exe itself, not
        # a launcher in front of it.
        "vantrix_process": Path(f"/proc/{process.pid}/comm").read_text().strip(),
        "wall_s": wall,
        "vantrix_cpu_s": after[process.pid] - before[process.pid],
        "vantrix_percent": percent(process.pid),
        "wineserver_percent": sum(percent(pid) for pid in servers),
        "other_wine_percent": sum(percent(pid) for pid in rest),
        "other_wine_processes": sorted(others[pid] for pid in rest),
        "not_measured_whole": sorted(others[pid] for pid in others if pid not in whole),
    }


def file_identity(path):
    try:
        status = os.stat(path)
    except FileNotFoundError:
        return None
    return (status.st_ino, status.st_mtime_ns, status.st_size)


def press_f5_and_time(session, copy_path, size):
    """Presses F5 once; returns (seconds from starting xdotool to the new copy
    on disk, seconds xdotool itself took), or (None, ...) on a timeout."""
    before = file_identity(copy_path)
    started = time.perf_counter()
    key = subprocess.Popen(["xdotool", "key", "F5"], env=session.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    key_done = None
    arrived = None
    while time.perf_counter() - started < COPY_TIMEOUT_S:
        now_identity = file_identity(copy_path)
        now = time.perf_counter()
        if key_done is None and key.poll() is not None:
            key_done = now - started
        if now_identity is not None and now_identity != before and now_identity[2] == size:
            arrived = now - started
            break
        # Half a millisecond between looks: fine enough against targets of
        # tens of milliseconds, and leaves the processor to Wine.
        time.sleep(0.0005)
    key.wait(timeout=10)
    if key_done is None:
        key_done = time.perf_counter() - started
    return arrived, key_done


def measure_f5(session, copy_path, size, presses):
    latencies, key_times, misses = [], [], 0
    last_copy = time.perf_counter()
    for _ in range(presses):
        if session.foreground_title() != STANDIN_TITLE:
            session.bring_to_front(STANDIN_TITLE)
        # Well past the pause after the last copy and one pass, then a random
        # point within a pass.
        wait = AFTER_COPY_PAUSE_S + 4 * PASS_S + random.uniform(0, PASS_S)
        time.sleep(max(0.0, last_copy + wait - time.perf_counter()) + 0.1)
        arrived, key_time = press_f5_and_time(session, copy_path, size)
        key_times.append(key_time)
        if arrived is None:
            misses += 1
        else:
            latencies.append(arrived)
        last_copy = time.perf_counter()
    return {"latencies_s": latencies, "xdotool_s": key_times, "misses": misses}


def wine_version():
    result = subprocess.run(["wine", "--version"], capture_output=True, text=True)
    return result.stdout.strip()


def run(args):
    results = {"wine": wine_version(), "save_sizes": args.sizes}
    with harness.WineSession() as session:
        game_dir = session.new_folder("Skarvel")
        game = harness.prepare_game_folder(
            game_dir, harness.built_program("tools/standin_game/standin_game.exe"))
        saves = {}
        for size in args.sizes:
            name = f"cup{size}.gam"
            make_saved_game(game_dir / "Saves" / name, size)
            saves[size] = name
        workdir = session.new_folder("work")

        # Start-up, and idle on the last instance started.
        harness.write_settings(workdir, game, game + "Saves\\" + saves[args.sizes[0]], "30")
        startups = []
        process = None
        for run_number in range(args.starts):
            process, elapsed = start_and_time(session, workdir)
            startups.append(elapsed)
            if run_number + 1 < args.starts:
                close_program(session, process)
        results["startup_s"] = startups
        # The program has loaded its saved game right after the window shows;
        # a short settling time keeps start-up work out of the idle figure.
        time.sleep(args.settle)
        results["idle"] = measure_idle(session, process, args.idle_seconds)
        close_program(session, process)

        # F5 in the stand-in game, one saved-game size at a time.
        game_process = session.start_program(game_dir, game_dir / "Skarvel.exe")
        session.wait_for_window(STANDIN_TITLE)
        results["f5"] = {}
        for size in args.sizes:
            harness.write_settings(workdir, game, game + "Saves\\" + saves[size], "30")
            process, _ = start_and_time(session, workdir)
            session.bring_to_front(STANDIN_TITLE)
            copy_path = game_dir / "Saves" / ("_random_" + saves[size])
            results["f5"][str(size)] = measure_f5(session, copy_path, size, args.presses)
            close_program(session, process)
        session.close_window(STANDIN_TITLE)
        game_process.wait(timeout=harness.DEFAULT_TIMEOUT)
    return results


def summary(results):
    lines = [f"wine: {results['wine']}"]
    ms = [s * 1000 for s in results["startup_s"]]
    lines.append("start-up ms: " + ", ".join(f"{x:.0f}" for x in ms))
    idle = results["idle"]
    lines.append(f"idle over {idle['wall_s']:.1f} s: vantrix {idle['vantrix_percent']:.2f} %, "
                 f"wineserver {idle['wineserver_percent']:.2f} %, "
                 f"other Wine processes {idle['other_wine_percent']:.2f} %")
    for size, f5 in results["f5"].items():
        latencies = [s * 1000 for s in f5["latencies_s"]]
        text = ", ".join(f"{x:.0f}" for x in latencies)
        middle = statistics.median(latencies) if latencies else float("nan")
        lines.append(f"F5 {size} B ms: median {middle:.1f}, worst {max(latencies, default=0):.1f}, "
                     f"misses {f5['misses']}: {text}")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", help="write the JSON here instead of stdout")
    parser.add_argument("--sizes", type=lambda t: [int(x) for x in t.split(",")],
                        default=[102400, 2000000], help="saved-game lengths, comma-separated")
    parser.add_argument("--starts", type=int, default=5)
    parser.add_argument("--idle-seconds", type=float, default=30.0)
    parser.add_argument("--settle", type=float, default=2.0)
    parser.add_argument("--presses", type=int, default=20)
    args = parser.parse_args()
    results = run(args)
    print(summary(results), file=sys.stderr)
    text = json.dumps(results, indent=2)
    if args.out:
        Path(args.out).write_text(text + "\n")
    else:
        print(text)


if __name__ == "__main__":
    main()
