"""The Win32 desktop services under Wine, through desktop_probe.exe: the
events the controls report, the open-file dialog's starting point and
result, files and their sharing, launching a program, and text conversion.
vantrix.exe uses all of these, but reaches some (preset file names, sharing,
the shell fallback) only in ways a story cannot easily bring about."""
import os
import shutil
import unittest

import harness
from harness import RunningProgram, wait_until, windows_path

PROBE_TITLE = "Vantrix probe"
DIALOG_TITLE = "Probe Open"
GAME, START, RANDOM, SPREAD, SAVE_LABEL = 20, 21, 22, 5, 10
CONTROL, CLOSE = "13100", "16"

session = harness.WineSession()
setUpModule, tearDownModule = session.start, session.stop


class DesktopServicesTest(unittest.TestCase):
    def setUp(self):
        self.folder = session.new_folder(self.id().rsplit(".", 1)[-1])
        self.probe_exe = harness.built_program("tools/ui_driver/desktop_probe.exe")

    def probe(self, *args, workdir=None):
        process = session.start_program(workdir or self.folder, exe=self.probe_exe, args=args)
        program = RunningProgram(session, process, workdir or self.folder)
        self.addCleanup(program.end)
        return program

    # -- events -------------------------------------------------------------------

    def test_controls_report_clicks_changes_and_focus_and_close_leaves_window_open(self):
        probe = self.probe("events")
        session.wait_for_window(PROBE_TITLE)
        events = []

        def expect(*new):
            """Waits for the next events and checks them: (code, control, field)."""
            events.extend(new)
            got = wait_until(lambda: (lambda r: r if len(r) >= len(events) else None)(
                [(r["event"], int(r["control"]), r["field"]) for r in probe.records()
                 if "event" in r]), what=f"{len(events)} events")
            self.assertEqual(got, events)

        session.click(PROBE_TITLE, GAME)
        expect((CONTROL, GAME, "30"))  # the first: creating the field reported nothing
        session.click(PROBE_TITLE, START)
        expect((CONTROL, START, "30"))  # one event per click
        session.set_text(PROBE_TITLE, SPREAD, "abc")
        expect((CONTROL, SPREAD, "abc"))  # a change from outside
        session.click(PROBE_TITLE, RANDOM)  # the probe then sets the field to 77
        expect((CONTROL, RANDOM, "abc"), (CONTROL, SPREAD, "77"))

        # A click focuses its button, as a mouse click does.
        self.assertEqual(session.focused_control(PROBE_TITLE), str(RANDOM))
        session.bring_to_front(PROBE_TITLE)
        session.press_keys("Tab")
        expect((CONTROL, SPREAD, "77"))  # focus gained
        session.press_keys("9", "Return")  # typed over the selection; Return is nothing
        expect((CONTROL, SPREAD, "9"))
        session.press_keys("Tab")
        expect((CONTROL, SPREAD, "9"))  # focus lost
        self.assertEqual(session.focused_control(PROBE_TITLE), str(GAME))

        # Real mouse clicks: a label reports nothing, a button once.
        client = session.window_facts(PROBE_TITLE)["client"]
        x, y = int(client["x"]), int(client["y"])
        session.xdotool("mousemove", x + 20, y + 15, "click", "1")  # on SaveLabel
        session.xdotool("mousemove", x + 50, y + 185, "click", "1")  # on StartButton
        expect((CONTROL, START, "9"))

        session.close_window(PROBE_TITLE)
        expect((CLOSE, 0, "9"))
        self.assertEqual(probe.wait_exit(), 0)
        after = [r for r in probe.records() if r.get("") == "after-close"]
        self.assertEqual(after, [{"": "after-close", "title": PROBE_TITLE, "field": "9"}],
                         "the window stayed open and readable after the close command")

    # -- the open-file dialog -------------------------------------------------------

    def open_dialog(self, initial, filter_text="gam|*.gam", position=0):
        probe = self.probe("choose-file", DIALOG_TITLE, initial, filter_text, position)
        session.wait_for_window(DIALOG_TITLE)
        return probe

    def probe_result(self, probe):
        self.assertEqual(probe.wait_exit(), 0)
        record = probe.records()[-1]
        self.assertEqual(record["cwd-unchanged"], "1", "the working directory was changed")
        return record["result"]

    def test_preset_file_name_is_kept_only_when_a_file_could_bear_it(self):
        saves = self.folder / "Saves"
        saves.mkdir()
        cases = [("cup.gam", "cup.gam"), ("", ""), ("tab\there.gam", "")] + [
            (f"a{c}b.gam", "") for c in '?*:"<>|/']
        for name, expected in cases:
            with self.subTest(name=name):
                probe = self.open_dialog(windows_path(saves) + "\\" + name)
                try:
                    shown, combos = session.file_dialog_state(DIALOG_TITLE)
                finally:
                    session.cancel_file_dialog(DIALOG_TITLE)
                self.assertEqual(shown, expected)
                self.assertIn("Saves", combos, "opened in the folder before the last backslash")
                self.assertIn("gam", combos, "the first filter is chosen")
                self.assertEqual(self.probe_result(probe), "", "cancelled gives the empty text")

    def test_path_without_backslash_is_all_preset_name(self):
        # No folder: the dialog starts where the system chooses (Wine: the
        # folder used last), which is not checked here.
        probe = self.open_dialog("cup.gam")
        try:
            shown, _ = session.file_dialog_state(DIALOG_TITLE)
        finally:
            session.cancel_file_dialog(DIALOG_TITLE)
        self.assertEqual(shown, "cup.gam")
        self.assertEqual(self.probe_result(probe), "")

    def test_filter_position_and_a_typed_new_file_returns_its_full_path(self):
        saves = self.folder / "Saves"
        saves.mkdir()
        two_filters = "exe|Skarvel.exe|all|*.*"
        for position, expected in [(0, "exe"), (1, "exe"), (2, "all")]:
            with self.subTest(position=position):
                probe = self.open_dialog(windows_path(saves) + "\\", two_filters, position)
                try:
                    combos = session.file_dialog_state(DIALOG_TITLE)[1]
                finally:
                    # A file that does not exist, in a folder that does.
                    session.answer_file_dialog(DIALOG_TITLE, "new.gam")
                self.assertIn(expected, combos)
                self.assertNotIn({"exe": "all", "all": "exe"}[expected], combos)
                result = self.probe_result(probe)
                self.assertEqual(result.lower(), (windows_path(saves) + "\\new.gam").lower())

    # -- files ------------------------------------------------------------------------

    def test_files_share_reading_only_refuse_read_only_and_move_in_one_step(self):
        locked = self.folder / "readonly.bin"
        locked.write_bytes(b"locked")
        os.chmod(locked, 0o444)
        (self.folder / "folder").mkdir()
        probe = self.probe("files", windows_path(self.folder))
        self.assertEqual(probe.wait_exit(), 0)
        facts = {}
        for record in probe.records():
            facts.update(record)
        expected = {
            "create-new": "1", "written": "5", "flushed": "1", "closed": "1",
            "length": "5", "read-past-end": "5", "read-at-end": "0",
            "second-reader": "1", "writer-while-read": "0", "content-kept": "hello",
            "recreated": "1", "length-after-recreate": "0",
            "read-only": "1", "writable-is-read-only": "0",
            "create-read-only": "0", "read-only-content": "locked",
            "create-over-folder": "0",
            "moved": "1", "target-content": "hello", "source-left": "0",
            "removed": "1", "removed-again": "0",
        }
        self.assertEqual(facts, expected)

    # -- launching ----------------------------------------------------------------------

    def marker(self, folder_name):
        """A copy of the probe that, started without arguments, writes
        launched.txt into its working directory."""
        folder = self.folder / folder_name
        folder.mkdir()
        target = folder / "marker app.exe"
        shutil.copyfile(self.probe_exe, target)
        return target

    def launched(self, folder):
        report = folder / "launched.txt"
        wait_until(lambda: report.is_file() and report.read_bytes().endswith(b"\n"),
                   what=f"{report} written by the launched program")
        return dict(line.split("=", 1) for line in report.read_text("cp1252").splitlines())

    def test_launch_quotes_the_path_and_keeps_the_working_directory(self):
        marker = self.marker("game folder")
        workdir = session.new_folder(self.id().rsplit(".", 1)[-1] + "/tool")
        probe = self.probe("launch", windows_path(marker), workdir=workdir)
        self.assertEqual(probe.wait_exit(), 0, "the launch does not wait for the program")
        report = self.launched(workdir)
        self.assertEqual(report["command-line"], f'"{windows_path(marker)}"')
        self.assertEqual(report["cwd"].lower(), windows_path(workdir).lower())
        self.assertFalse((marker.parent / "launched.txt").exists())

    def test_launch_hands_a_document_to_the_shell_in_its_own_folder(self):
        marker = self.marker("handler")
        documents = self.folder / "documents"
        documents.mkdir()
        document = documents / "race.vantrixprobe"
        document.write_bytes(b"not a program")
        # The document type opens with the marker, as a file association
        # (Wine's shell reads machine-wide associations, not per-user ones).
        command = f'"{windows_path(marker)}"'
        for key, value in [("HKLM\\Software\\Classes\\.vantrixprobe", "VantrixProbeFile"),
                           ("HKLM\\Software\\Classes\\VantrixProbeFile\\shell\\open\\command",
                            command)]:
            session._run(["wine", "reg", "add", key, "/ve", "/d", value, "/f"])
        workdir = session.new_folder(self.id().rsplit(".", 1)[-1] + "/tool")
        probe = self.probe("launch", windows_path(document), workdir=workdir)
        self.assertEqual(probe.wait_exit(), 0)
        report = self.launched(documents)
        self.assertEqual(report["cwd"].lower(), windows_path(documents).lower())
        self.assertFalse((workdir / "launched.txt").exists())

    # -- text ---------------------------------------------------------------------------

    def test_utf8_becomes_code_page_text_or_nothing(self):
        cases = {
            "-": "",  # the empty text
            "416263": "Abc",
            "68C3A9": "h\xe9",  # é
            "E282AC": "\x80",  # the euro sign's place in code page 1252
            "C328": None,  # an invalid sequence
            "E4B8AD": None,  # a character without an 8-bit form
            "F09F9A97": None,  # outside the basic plane
        }
        probe = self.probe("utf8", *cases)
        self.assertEqual(probe.wait_exit(), 0)
        got = {r["input"]: r.get("text") for r in probe.records()}
        self.assertEqual(got, cases)


if __name__ == "__main__":
    unittest.main()
