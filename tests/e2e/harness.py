"""Runs the real vantrix.exe under Wine on a virtual X display, for the
end-to-end stories.

A WineSession owns an Xvfb display, a fresh Wine prefix in a temporary
folder and a persistent Wine server. It drives windows with the project's
ui_driver.exe (inside the Wine session) and presses real keys with xdotool.
Every wait is a condition polled until a deadline; nothing sleeps for a fixed
time in the hope that something has happened.

Configuration comes from the environment, which the CTest registration sets:
  VANTRIX_WINDOWS_BUILD_DIR  the windows preset's build folder
  VANTRIX_E2E_ARTEFACTS      where screenshots are kept
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

MAIN_TITLE = "Vantrix   F5=New Vantrix in Skarvel"
SELECT_GAME_TITLE = "Select Game"
FIND_GAME_TITLE = "Surching Skarvel.exe"
SETTINGS_NAME = "vantrix.prf"
WINE_CALL_TIMEOUT = 30
# Wine starts slowly on a loaded machine; the waits are generous, and cost
# nothing when the condition comes true early.
DEFAULT_TIMEOUT = 20
DRIVER_ATTEMPTS = 3


class E2eError(AssertionError):
    """A condition of an end-to-end story did not hold."""


def wait_until(condition, timeout=DEFAULT_TIMEOUT, what="condition", interval=0.05):
    """Polls condition() until it returns a true value, which is returned.
    Raises E2eError naming `what` when the deadline passes."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        last = condition()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise E2eError(f"timed out after {timeout} s waiting for {what} (last: {last!r})")
        time.sleep(interval)


def assert_stays(read, expected, seconds):
    """Checks that read() keeps giving expected for the whole time."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if (got := read()) != expected:
            raise E2eError(f"expected {expected!r} to stay, got {got!r}")


def windows_path(path):
    """The Wine name of a Unix path: drive Z: is the Unix root."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def unescape(text):
    """Undoes the ui_driver's escaping of \\\\, \\t, \\r, \\n and \\xHH."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x" and i + 3 < len(text):
                out.append(chr(int(text[i + 2:i + 4], 16)))
                i += 4
                continue
            out.append({"\\": "\\", "t": "\t", "r": "\r", "n": "\n"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def parse_records(output):
    """The ui_driver's lines as dicts: 'name=value' fields; a field without
    '=' is the record's kind, under the key ''."""
    records = []
    for line in output.splitlines():
        if not line.strip():
            continue
        record = {}
        for field in line.split("\t"):
            name, sep, value = field.partition("=")
            if sep:
                record[name] = unescape(value)
            else:
                record[""] = name
        records.append(record)
    return records


def windows_build_dir():
    folder = os.environ.get("VANTRIX_WINDOWS_BUILD_DIR")
    if folder:
        return Path(folder)
    return Path(__file__).resolve().parents[2] / "build" / "windows"


def native_build_dir():
    folder = os.environ.get("VANTRIX_NATIVE_BUILD_DIR")
    if folder:
        return Path(folder)
    return Path(__file__).resolve().parents[2] / "build" / "native"


def make_save(path, *args):
    """Writes a synthetic saved game at path with the native make_save;
    args are its options and drivers (NAME:human[:EXTRA] / NAME:ai:LEVEL[:EXTRA])."""
    tool = native_build_dir() / "tools" / "save_builder" / "make_save"
    if not tool.is_file():
        raise E2eError(f"{tool} is missing: build the native preset first")
    subprocess.run([str(tool), str(path), *map(str, args)], check=True)


def artefact_dir():
    folder = Path(os.environ.get("VANTRIX_E2E_ARTEFACTS",
                                 Path(__file__).resolve().parents[2] / "build" / "e2e-artefacts"))
    folder.mkdir(parents=True, exist_ok=True)
    return folder


def built_program(relative):
    path = windows_build_dir() / relative
    if not path.is_file():
        raise E2eError(f"{path} is missing: build it first with "
                       "'cmake --preset windows && cmake --build --preset windows'")
    return path


class WineSession:
    """An X display, a Wine prefix and a Wine server of the test's own."""

    def __init__(self):
        # Nothing is made before start(), so a test module can hold its
        # session from import on and hand start and stop to unittest:
        #   session = harness.WineSession()
        #   setUpModule, tearDownModule = session.start, session.stop
        self.root = None
        self.driver_exe = None
        self.vantrix_exe = None
        self.xvfb = None
        self.display = None
        self.env = None
        self.programs = []  # the output files of the programs started

    # -- lifetime -------------------------------------------------------------

    def start(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def _start(self):
        self.driver_exe = built_program("tools/ui_driver/ui_driver.exe")
        self.vantrix_exe = built_program("app/vantrix.exe")
        self.root = Path(tempfile.mkdtemp(prefix="vantrix-e2e-"))
        self._start_display()
        self.env = dict(os.environ)
        self.env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": str(self.root / "prefix"),
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            # No prompts to install Mono or Gecko, no desktop menu entries.
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
            # Lets non-ASCII arguments through to the Windows programs.
            "LC_ALL": "C.UTF-8",
        })
        (self.root / "prefix").mkdir()
        # One persistent server, started first, so every later wine call
        # starts fast. It runs until stop().
        self._run(["wineserver", "-p"])
        self._run(["wineboot", "-i"], timeout=180)
        # No window manager runs on Xvfb: Wine draws the frames and moves the
        # X focus itself, and windows keep the positions the program asks.
        self._run(["wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver",
                   "/v", "Managed", "/d", "N", "/f"])

    def stop(self):
        for log in self.programs:
            log.close()
        if self.env is not None:
            subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True, timeout=60)
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()

    def _start_display(self):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the display number once it accepts connections.
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        if not number:
            raise E2eError("Xvfb did not start")
        self.display = ":" + number

    def _run(self, args, timeout=WINE_CALL_TIMEOUT, check=True, cwd=None):
        # Output goes to files, not pipes: Wine may leave helper processes
        # (the server, services) behind that inherit the handles, and a pipe
        # would then never reach its end.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            process = subprocess.run(args, env=self.env, stdout=out, stderr=err,
                                     stdin=subprocess.DEVNULL, timeout=timeout, cwd=cwd)
            out.seek(0)
            err.seek(0)
            result = subprocess.CompletedProcess(
                args, process.returncode, out.read().decode("cp1252", "replace"),
                err.read().decode("utf-8", "replace"))
        if check and result.returncode != 0:
            raise E2eError(f"{args} failed with {result.returncode}: {result.stdout}{result.stderr}")
        return result

    # -- the UI driver ----------------------------------------------------------

    def driver(self, *args, check=True):
        """Runs one ui_driver command; returns its records, or None when it
        failed and check is False.

        A command on a window that must exist is tried again when the driver
        saw no such window: on a loaded machine a freshly started Wine process
        has, rarely, enumerated no windows at all (and then died in ld.so on
        its way out) while the window stood there all along. A window that is
        really gone fails every attempt."""
        needs_window = args[0] not in ("find", "wait-gone", "foreground")
        for attempt in range(1, DRIVER_ATTEMPTS + 1):
            result = self._run(["wine", str(self.driver_exe), *map(str, args)], check=False)
            if not (needs_window and result.returncode != 0
                    and "error=no window titled" in result.stdout):
                break
            if attempt < DRIVER_ATTEMPTS:
                print(f"ui_driver {args}: no window on attempt {attempt}; trying again "
                      f"({result.stderr.strip()!r})", file=sys.stderr)
                time.sleep(0.5)
        if result.returncode != 0:
            if check:
                raise E2eError(f"ui_driver {args} failed: {result.stdout}{result.stderr}")
            return None
        return parse_records(result.stdout)

    def window_exists(self, title):
        return self.driver("find", title, check=False) is not None

    def wait_for_window(self, title, timeout=DEFAULT_TIMEOUT):
        records = self.driver("find", title, "--wait", timeout, check=False)
        if records is None:
            # Once more from a fresh process, for the rare one that sees no
            # windows at all (see driver()).
            records = self.driver("find", title, "--wait", 2, check=False)
        if records is None:
            raise E2eError(f"no window titled {title!r} within {timeout} s")
        return records[0]

    def wait_gone(self, title, timeout=DEFAULT_TIMEOUT):
        if self.driver("wait-gone", title, "--wait", timeout, check=False) is None:
            raise E2eError(f"window {title!r} still there after {timeout} s")

    def window_facts(self, title):
        """{'window': {...}, 'rect': {...}, 'client': {...}, 'style': {...},
        'focus': {...}} of a top-level window."""
        facts = {}
        for record in self.driver("window", title):
            kind = record.get("") or next(iter(record))
            facts[kind] = record
        return facts

    def controls(self, title):
        """The controls of a window, keyed by id (ints as ints)."""
        listed = {}
        for record in self.driver("controls", title):
            record = dict(record)
            for key in ("id", "x", "y", "w", "h"):
                record[key] = int(record[key])
            listed[record["id"]] = record
        return listed

    def control_text(self, title, control_id):
        return self.controls(title)[control_id]["text"]

    def focused_control(self, title):
        """The id of the focused control, 'window' or 'none'."""
        return self.window_facts(title)["focus"]["focus"]

    def click(self, title, control_id):
        self.driver("click", title, control_id)

    def set_text(self, title, control_id, text):
        self.driver("set-text", title, control_id, text)

    def answer_file_dialog(self, title, path, timeout=DEFAULT_TIMEOUT):
        self.wait_for_window(title, timeout)
        self.driver("file-dialog", title, path)
        self.wait_gone(title, timeout)

    def cancel_file_dialog(self, title, timeout=DEFAULT_TIMEOUT):
        self.wait_for_window(title, timeout)
        self.driver("file-dialog-cancel", title)
        self.wait_gone(title, timeout)

    def read_message(self, title, timeout=DEFAULT_TIMEOUT):
        """The text of the message box with this title, once it shows."""
        self.wait_for_window(title, timeout)
        return self.driver("message", title)[0]["text"]

    def dismiss_message(self, title, timeout=DEFAULT_TIMEOUT):
        self.driver("message-dismiss", title)
        self.wait_gone(title, timeout)

    def close_window(self, title):
        self.driver("close", title)

    def foreground_title(self):
        return self.driver("foreground")[0]["title"]

    # -- real keys ----------------------------------------------------------------

    def xdotool(self, *args):
        return self._run(["xdotool", *map(str, args)]).stdout

    def bring_to_front(self, title):
        """Makes the window the foreground window inside Wine and gives its X
        window the X focus: keys go to the focused X window, and Wine does not
        always move the X focus itself."""
        self.driver("front", title, check=False)
        x_windows = wait_until(
            lambda: self._run(["xdotool", "search", "--name", f"^{title}$"], check=False)
            .stdout.split(), what=f"the X window of {title!r}")
        self.xdotool("windowfocus", "--sync", x_windows[0])
        wait_until(lambda: self.foreground_title() == title, what=f"{title!r} in the foreground")

    def press_keys(self, *keys, delay_ms=100):
        """Real key presses to the focused window (never --window: Wine may
        ignore such synthetic events)."""
        self.xdotool("key", "--delay", delay_ms, *keys)

    def screenshot(self, name, rect=None):
        """Keeps a PNG of the screen (or of rect = (x, y, w, h)) as an artefact."""
        target = artefact_dir() / name
        args = ["import", "-display", self.display, "-window", "root"]
        if rect is not None:
            x, y, w, h = rect
            args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
        self._run(args + [str(target)])
        return target

    # -- the program ----------------------------------------------------------------

    def start_program(self, workdir, exe=None, args=()):
        """Starts a Windows program in workdir; the Popen's pid is the Windows
        process and its exit status the program's exit code. Its standard
        output goes to the file named by the Popen's `output` attribute."""
        output = self.root / f"program-{len(self.programs)}.out"
        log = open(output, "wb")
        self.programs.append(log)
        process = subprocess.Popen(["wine", str(exe or self.vantrix_exe), *map(str, args)],
                                   cwd=workdir, env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=subprocess.DEVNULL)
        process.output = output
        return process

    def file_dialog_state(self, title):
        """(the file name box's text, [the texts of the dialog's combo boxes])"""
        records = self.driver("file-dialog-state", title)
        return records[0]["name"], [r["text"] for r in records[1:]]

    def new_folder(self, name):
        folder = self.root / name
        folder.mkdir(parents=True)
        return folder


class RunningProgram:
    """A started Windows program; ended when the test is done with it."""

    def __init__(self, session, process, workdir):
        self.session = session
        self.process = process
        self.workdir = Path(workdir)

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """The program's exit code once it has ended."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise E2eError(f"the program still runs after {timeout} s") from None

    def records(self):
        """What the program printed so far, as ui_driver-style records."""
        return parse_records(self.process.output.read_text("cp1252"))

    def end(self):
        """Ends the program if it still runs: the close command first, then
        the hard way."""
        if self.process.poll() is not None:
            return
        if self.session.window_exists(MAIN_TITLE):
            self.session.close_window(MAIN_TITLE)
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(timeout=10)


def start_vantrix(session, workdir, select_game=None):
    """Starts vantrix.exe in workdir and waits for its main window. When the
    program asks for a saved game at startup, the dialog is answered with
    select_game (a Wine path), or cancelled when that is None."""
    program = RunningProgram(session, session.start_program(workdir), workdir)
    try:
        session.wait_for_window(MAIN_TITLE)
        if select_game is None:
            session.cancel_file_dialog(SELECT_GAME_TITLE)
        else:
            session.answer_file_dialog(SELECT_GAME_TITLE, select_game)
    except BaseException:
        program.end()
        raise
    return program


def prepare_game_folder(folder, exe_source=None):
    """A game folder as the program expects: Skarvel.exe (a copy of
    exe_source, or a placeholder file: the program only probes it) and an
    empty Saves folder. Returns the folder's Wine name, ending in a backslash."""
    folder = Path(folder)
    (folder / "Saves").mkdir(parents=True, exist_ok=True)
    if exe_source is not None:
        shutil.copyfile(exe_source, folder / "Skarvel.exe")
    else:
        (folder / "Skarvel.exe").write_bytes(b"MZ stand-in")
    return windows_path(folder) + "\\"


def write_settings(workdir, game_folder, save_path="nix", spread="30"):
    """Writes vantrix.prf as the program itself writes it."""
    lines = [f"Skarvel = {game_folder}", f"game = {save_path}", f"random = {spread}"]
    (Path(workdir) / SETTINGS_NAME).write_bytes("".join(l + "\r\n" for l in lines).encode("cp1252"))


def read_settings(workdir):
    """The key/value lines of vantrix.prf, keys as written."""
    text = (Path(workdir) / SETTINGS_NAME).read_bytes().decode("cp1252")
    return dict(line.split(" = ", 1) for line in text.split("\r\n") if line)
