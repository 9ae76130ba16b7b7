"""The README's run command, followed as a new user would: a fresh clone of
this repository's committed HEAD (uncommitted changes are not in it), then
scripts/run.sh with no display, twice.

The first run builds from scratch (about a minute on two cores), lays out the
demo game, starts Vantrix on a virtual display and leaves a screenshot and
the window's controls behind; the second run reuses all of it and keeps the
user's settings.

The README's other command, scripts/test.sh, is the one that runs this test
(CI runs it from a fresh clone), so this test does not run it again.
"""
import os
import shutil
import struct
import subprocess
import tempfile
import unittest
from pathlib import Path

import harness

REPOSITORY = Path(__file__).resolve().parents[2]
# Generous: the first run builds the native and the windows programs from
# nothing; CTest's own timeout for this test is longer still.
RUN_TIMEOUT = 1500
SAVE_LABEL, LOG_LABEL, SPREAD = 10, 8, 5
SEASON_LOG = ["> "] * 5 + ["> Ana Reyes   human", "> Bo Lind   AI 45", "> Cato   AI 120",
                           "> Dee Marsh   AI 160", "> Eli   AI 90", "> Fay Quist   AI 195",
                           "> "]


def png_size(path):
    """(width, height) of a PNG file; fails on anything else."""
    head = Path(path).read_bytes()[:24]
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise harness.E2eError(f"{path} is not a PNG")
    return struct.unpack(">II", head[16:24])


class ReadmeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = Path(tempfile.mkdtemp(prefix="vantrix-readme-"))
        cls.clone = cls.scratch / "vantrix"
        subprocess.run(["git", "clone", "--quiet", str(REPOSITORY), str(cls.clone)], check=True)
        cls.demo = cls.clone / "demo"

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.scratch, ignore_errors=True)

    def run_command(self, name):
        """scripts/run.sh without a display; its output is kept in a file
        (Wine's helpers may hold a pipe open past the script's end)."""
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "WINEPREFIX")}
        log_path = self.scratch / f"{name}.log"
        with open(log_path, "wb") as log:
            code = subprocess.run(["scripts/run.sh"], cwd=self.clone, env=env,
                                  stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                  timeout=RUN_TIMEOUT).returncode
        output = log_path.read_text("utf-8", "replace")
        self.assertEqual(code, 0, f"scripts/run.sh failed; its output ends:\n{output[-4000:]}")
        return output

    def window_controls(self):
        records = harness.parse_records((self.demo / "window.txt").read_text("cp1252"))
        return {int(r["id"]): r["text"] for r in records}

    def test_run_command_twice_from_a_fresh_clone(self):
        self.run_command("first-run")
        controls = self.window_controls()
        self.assertEqual(controls[SAVE_LABEL], "season.gam")
        self.assertEqual(controls[LOG_LABEL].split("\r\n")[:-1], SEASON_LOG)
        self.assertEqual(controls[SPREAD], "30")
        self.assertEqual(png_size(self.demo / "screenshot.png"), (1024, 768))
        game = harness.windows_path(self.demo / "Skarvel").lower() + "\\"
        # Written by Vantrix's close (it lowers what it holds), pointing at
        # the demo game.
        self.assertEqual(harness.read_settings(self.demo), {
            "Skarvel": game, "game": game + "saves\\season.gam", "random": "30"})

        # The user changes the spread; the second run keeps it and the game.
        made = {p.name: p.stat().st_mtime_ns for p in (self.demo / "Skarvel").rglob("*")
                if p.is_file()}
        self.assertEqual(sorted(made),
                         ["Skarvel.exe", "duo.gam", "rookie.gam", "season.gam"])
        prf = self.demo / harness.SETTINGS_NAME
        prf.write_bytes(prf.read_bytes().replace(b"random = 30\r\n", b"random = 45\r\n"))
        (self.demo / "window.txt").unlink()
        (self.demo / "screenshot.png").unlink()

        self.run_command("second-run")
        controls = self.window_controls()
        self.assertEqual(controls[SAVE_LABEL], "season.gam")
        self.assertEqual(controls[LOG_LABEL].split("\r\n")[:-1], SEASON_LOG)
        self.assertEqual(controls[SPREAD], "45")
        self.assertEqual(png_size(self.demo / "screenshot.png"), (1024, 768))
        self.assertEqual({p.name: p.stat().st_mtime_ns for p in (self.demo / "Skarvel").rglob("*")
                          if p.is_file()}, made, "the demo game made again")
        self.assertEqual(harness.read_settings(self.demo)["random"], "45")


if __name__ == "__main__":
    unittest.main()
