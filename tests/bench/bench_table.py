"""Prints the benchmark table: vantrix_bench's JSON (run with repetitions;
the median of each is used) and wine_bench.py's JSON, each row with the plain
I/O it is compared with, the ratio and the target where there is one.

  bench_table.py NATIVE_JSON [WINE_JSON]
"""
import json
import os
import platform
import statistics
import subprocess
import sys
from datetime import datetime, timezone
from pathlib import Path

SIZES = [(1024, "1 KB"), (102400, "100 KB"), (2000000, "2,000,000 B")]
UNIT_NS = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}


def load_medians(path):
    """run name -> {"time": median real time in ns, counter: median value},
    and the run's context. Side-by-side runs carry each operation's median
    time as a counter "<operation>_ns"."""
    data = json.loads(Path(path).read_text())
    medians = {}
    singles = {}
    for entry in data["benchmarks"]:
        name = entry["run_name"].removesuffix("/real_time")
        figures = {key: value for key, value in entry.items() if key.endswith("_ns")}
        figures["time"] = entry["real_time"] * UNIT_NS[entry["time_unit"]]
        if entry.get("run_type") == "aggregate":
            if entry["aggregate_name"] == "median":
                medians[name] = figures
        else:
            singles.setdefault(name, []).append(figures)
    # Without repetitions there are no aggregates: the runs themselves count.
    for name, runs in singles.items():
        if name not in medians:
            medians[name] = {key: statistics.median(run[key] for run in runs) for key in runs[0]}
    return medians, data["context"]


def duration(ns):
    if ns is None:
        return "-"
    if ns < 1e3:
        return f"{ns:.0f} ns"
    if ns < 1e6:
        return f"{ns / 1e3:.1f} µs"
    return f"{ns / 1e6:.2f} ms"


class Table:
    def __init__(self):
        self.rows = []

    def add(self, operation, ours, plain="-", ratio=None, target="-", met=None):
        ratio_text = "-" if ratio is None else f"{ratio:.2f}x"
        met_text = "-" if met is None else ("yes" if met else "NO")
        self.rows.append([operation, ours, plain, ratio_text, target, met_text])

    def compare(self, operation, ours_ns, plain_name, plain_ns, limit):
        """A row of ours against plain I/O; limit is the highest ratio
        allowed, or None when there is no target."""
        if ours_ns is None or plain_ns is None:
            self.add(operation, duration(ours_ns), f"{plain_name} {duration(plain_ns)}")
            return
        ratio = ours_ns / plain_ns
        self.add(operation, duration(ours_ns), f"{plain_name} {duration(plain_ns)}", ratio,
                 "-" if limit is None else f"≤ {limit}x", None if limit is None else ratio <= limit)

    def render(self):
        header = ["operation", "ours", "plain I/O", "ratio", "target", "met"]
        widths = [max(len(row[i]) for row in [header, *self.rows]) for i in range(len(header))]

        def line(cells):
            return "| " + " | ".join(c.ljust(w) for c, w in zip(cells, widths)) + " |"

        out = [line(header), "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
        out += [line(row) for row in self.rows]
        return "\n".join(out)


def native_rows(table, medians):
    def time(name):
        return medians.get(name, {}).get("time")

    def side(name, operation):
        return medians.get(name, {}).get(operation + "_ns")

    for size, label in SIZES:
        run = f"BM_Load_RealFiles/{size}"
        plain = side(run, "plain_read")
        table.compare(f"LoadSave (read, roster, log), real file, {label}",
                      side(run, "loadsave"), "read", plain, 1.2)
        table.compare(f"ReadSaveFile + BuildRoster, real file, {label}",
                      side(run, "readsavefile_buildroster"), "read", plain, 1.2)
    for size, label in SIZES:
        table.add(f"LoadSave, in-memory desktop, {label}", duration(time(f"BM_LoadSave_Memory/{size}")))
    table.add("ReadRoster, in-memory desktop", duration(time("BM_ReadRoster_Memory/102400")))
    table.add("BuildRoster alone (no log)", duration(time("BM_BuildRoster/102400")))
    table.add("RandomizeRoster, in-memory desktop", duration(time("BM_RandomizeRoster/102400")))
    for size, label in SIZES:
        run = f"BM_Copy_RealFiles/{size}"
        write = side(run, "plain_write")
        synced = side(run, "plain_write_fsync")
        for name, operation in [("WriteRandomCopy (no pause)", "writerandomcopy"),
                                ("WriteCopyFile", "writecopyfile")]:
            ours = side(run, operation)
            table.compare(f"{name}, real files, {label}", ours, "write", write, 1.5)
            table.compare(f"{name}, real files, {label}", ours, "write+fsync", synced, 1.5)
        # The same method with bare calls: what any durable atomic replace costs.
        ours = side(run, "writecopyfile")
        table.compare(f"WriteCopyFile, real files, {label}", ours, "tmp+fsync+rename",
                      side(run, "plain_replace"), None)
        table.compare(f"WriteCopyFile, real files, {label}", ours, "tmp+fsync+rename+dir fsync",
                      side(run, "plain_replace_dirsync"), None)
    for size, label in SIZES:
        table.add(f"WriteRandomCopy (no pause), in-memory desktop, {label}",
                  duration(time(f"BM_WriteRandomCopy_Memory/{size}")))
    run = "BM_LoadSettings_RealFiles"
    table.compare("LoadSettings, real file", side(run, "loadsettings"), "read",
                  side(run, "plain_read"), None)
    run = "BM_StoreSettings_RealFiles"
    for plain, operation in [("write", "plain_write"), ("write+fsync", "plain_write_fsync")]:
        table.compare("StoreSettings, real file", side(run, "storesettings"), plain,
                      side(run, operation), None)
    table.add("LoadSettings, in-memory desktop", duration(time("BM_LoadSettings_Memory")))
    table.add("StoreSettings, in-memory desktop", duration(time("BM_StoreSettings_Memory")))
    table.add("One idle pass of the loop (pause not slept), in-memory desktop",
              duration(time("BM_IdlePass_Memory")))


def wine_rows(table, wine):
    idle = wine["idle"]
    seconds = f"{idle['wall_s']:.0f} s"
    percent = idle["vantrix_percent"]
    table.add(f"Wine: idle CPU of {idle.get('vantrix_process', 'vantrix.exe')} over {seconds}", f"{percent:.2f} % of a core",
              target="< 0.5 %", met=percent < 0.5)
    table.add(f"Wine: idle CPU of wineserver, same {seconds}",
              f"{idle['wineserver_percent']:.2f} % of a core")
    table.add(f"Wine: idle CPU of the session's other Wine processes, same {seconds}",
              f"{idle['other_wine_percent']:.2f} % of a core")
    for size, f5 in wine["f5"].items():
        label = dict(SIZES).get(int(size), f"{size} B")
        latencies = f5["latencies_s"]
        count = len(latencies) + f5["misses"]
        if f5["misses"]:
            table.add(f"Wine: F5 in game to copy on disk, {label}: presses without a copy",
                      f"{f5['misses']} of {count}", target="0", met=False)
        if latencies:
            middle = statistics.median(latencies) * 1000
            worst = max(latencies) * 1000
            table.add(f"Wine: F5 in game to copy on disk, {label}, median of {count}",
                      f"{middle:.1f} ms", target="< 50 ms", met=middle < 50)
            table.add(f"Wine: F5 in game to copy on disk, {label}, worst of {count}",
                      f"{worst:.1f} ms", target="< 100 ms", met=worst < 100 and not f5["misses"])
    starts = [s * 1000 for s in wine["startup_s"]]
    table.add(f"Wine: start to main window visible, median of {len(starts)}",
              f"{statistics.median(starts):.0f} ms")
    table.add(f"Wine: start to main window visible, worst of {len(starts)}",
              f"{max(starts):.0f} ms")


def machine_lines(context, wine):
    model = "unknown"
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            model = line.split(":", 1)[1].strip()
            break
    commit = subprocess.run(["git", "rev-parse", "--short", "HEAD"], capture_output=True,
                            text=True, cwd=Path(__file__).resolve().parent).stdout.strip()
    lines = [
        f"Measured {datetime.now(timezone.utc):%Y-%m-%d %H:%M} UTC at commit {commit or '?'}",
        f"Machine: {os.cpu_count()} CPUs (nproc {len(os.sched_getaffinity(0))}), {model}, "
        f"Linux {platform.release()}",
        f"Wine: {wine['wine'] if wine else 'not run'}",
        f"Native: load average {', '.join(f'{x:.2f}' for x in context.get('load_avg', []))} "
        f"at start; Google Benchmark library built as {context.get('library_build_type', '?')}; "
        "times are medians over the repetitions of each run's median (real files: the "
        "program and the plain calls run side by side, in turn), wall clock",
        f"Real files in: {context.get('scratch_folder', '?')}",
    ]
    if wine:
        counts = ", ".join(f"{len(f5['latencies_s']) + f5['misses']} presses at {size} B"
                           for size, f5 in wine["f5"].items())
        key = [s * 1000 for f5 in wine["f5"].values() for s in f5["xdotool_s"]]
        lines.append(f"Wine F5: {counts}; timed from starting `xdotool key F5`, which itself ran "
                     f"{statistics.median(key):.0f} ms (median) to its exit")
    return lines


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    medians, context = load_medians(sys.argv[1])
    wine = json.loads(Path(sys.argv[2]).read_text()) if len(sys.argv) == 3 else None
    table = Table()
    native_rows(table, medians)
    if wine:
        wine_rows(table, wine)
    print("\n".join(machine_lines(context, wine)))
    print()
    print(table.render())


if __name__ == "__main__":
    main()
