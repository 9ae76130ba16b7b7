"""Choosing a saved game in the real vantrix.exe under Wine: a synthetic saved
game (built by the native make_save) picked in the real open-file dialog, its
file name in the save label and its drivers in the log; a remembered saved
game loaded at startup; the Game button's dialog cancelled.

The helpers here (building saved games, where their values lie, the log as
the program must show it, starting with a remembered saved game) are shared
with test_random_copy.
"""
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import MAIN_TITLE, SELECT_GAME_TITLE, wait_until  # noqa: E402

GAME, START, RANDOM, SPREAD, SAVE_LABEL, LOG_LABEL = 20, 21, 22, 5, 10, 8
LOG_LINES = 12


# -- saved games ------------------------------------------------------------------

def build_save(path, drivers, entries=0, size=None):
    """Writes a synthetic saved game with make_save and returns its bytes.
    drivers are make_save's NAME:human[:EXTRA] / NAME:ai:LEVEL[:EXTRA]."""
    size_args = [] if size is None else ["--size", size]
    harness.make_save(path, "--entries", entries, *size_args, *drivers)
    return Path(path).read_bytes()


# Where a driver's values lie (slot counted from 1), from the file layout:
# the AI level 4 bytes after the human flag of the driver's 92-byte record,
# the extra value 28 bytes into its 348-byte record after the entry table.
def level_offset(count, slot):
    return 82 + 13 * count + 92 * (slot - 1) + 80


def extra_offset(count, entries, slot):
    return 82 + 1449 * count + 8 + 56 * entries + 348 * (slot - 1) + 28


# -- the log ----------------------------------------------------------------------

def log_after(*texts):
    """The log label's text after these texts were logged, from the start:
    twelve lines "> " at first, each text logged as "> " + text, the last
    twelve lines shown, each ending in CR LF."""
    lines = (["> "] * LOG_LINES + ["> " + t for t in texts])[-LOG_LINES:]
    return "".join(line + "\r\n" for line in lines)


def log_text(session):
    return session.control_text(MAIN_TITLE, LOG_LABEL)


def wait_for_log(session, expected, what):
    wait_until(lambda: log_text(session) == expected, what=what)


def start_with_saved_game(session, workdir, expected_log):
    """Starts vantrix.exe in workdir, whose settings name a saved game that
    exists, and waits until its roster is in the log."""
    program = harness.RunningProgram(session, session.start_program(workdir), workdir)
    try:
        session.wait_for_window(MAIN_TITLE)
        wait_for_log(session, expected_log, "the remembered saved game's roster in the log")
    except BaseException:
        program.end()
        raise
    return program


# -- the stories ------------------------------------------------------------------

# Anna is human; "Lee, J" holds a comma, so its log line shows the two pieces
# of the name and neither AI nor human; Zed is an AI at level 0.
CUP_DRIVERS = ["Anna:human:12", "Bot:ai:45:80", "Lee, J:ai:150:30", "Zed:ai:0:0"]
CUP_ROSTER = ["", "Anna   human", "Bot   AI 45", "Lee    J", "Zed   AI 0", ""]

session = harness.WineSession()
setUpModule, tearDownModule = session.start, session.stop


class SavedGameTest(unittest.TestCase):
    def setUp(self):
        name = self.id().rsplit(".", 1)[-1]
        self.game = session.new_folder(name + "/Skarvel")
        self.game_folder = harness.prepare_game_folder(self.game)
        self.saves = self.game / "Saves"
        build_save(self.saves / "Cup.gam", CUP_DRIVERS, entries=3)
        self.workdir = session.new_folder(name + "/work")

    def label(self):
        return session.control_text(MAIN_TITLE, SAVE_LABEL)

    def test_saved_game_chosen_in_the_dialog_at_startup_shows_its_name_and_roster(self):
        # "nix" names no file in the working folder, so the program asks.
        harness.write_settings(self.workdir, self.game_folder, save_path="nix")
        # A bare name, typed with capitals: found only if the dialog starts
        # in the game's Saves folder.
        program = harness.start_vantrix(session, self.workdir, select_game="Cup.gam")
        self.addCleanup(program.end)

        wait_until(lambda: self.label() == "cup.gam", what="the chosen file's name, lowered")
        wait_for_log(session, log_after(*CUP_ROSTER), "the roster of Cup.gam in the log")

        session.close_window(MAIN_TITLE)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(harness.read_settings(self.workdir)["game"],
                         (self.game_folder + "Saves\\Cup.gam").lower(),
                         "the full path of the choice, lowered, is remembered")
        self.assertEqual(sorted(os.listdir(self.saves)), ["Cup.gam"], "choosing writes nothing")

    def test_cancelled_game_dialog_shows_nix_and_stops_random_until_a_new_choice(self):
        harness.write_settings(self.workdir, self.game_folder,
                               save_path=harness.windows_path(self.saves / "Cup.gam"))
        loaded = log_after(*CUP_ROSTER)
        program = start_with_saved_game(session, self.workdir, loaded)
        self.addCleanup(program.end)
        self.assertEqual(self.label(), "cup.gam")
        self.assertFalse(session.window_exists(SELECT_GAME_TITLE),
                         "a remembered saved game that opens is loaded without asking")

        session.click(MAIN_TITLE, GAME)
        session.cancel_file_dialog(SELECT_GAME_TITLE)
        wait_until(lambda: self.label() == "nix", what="nix in the save label after cancelling")

        # Random now does nothing. Start, clicked after it, is the marker:
        # events are handled in order, and with no saved game chosen Start
        # says "No Game". By then Random has had its turn.
        session.click(MAIN_TITLE, RANDOM)
        session.click(MAIN_TITLE, START)
        self.assertEqual(session.read_message("ERROR"), "No Game")
        self.assertFalse(session.window_exists("Vantrix"), "Random reported an error")
        session.dismiss_message("ERROR")
        self.assertEqual(sorted(os.listdir(self.saves)), ["Cup.gam"], "Random wrote a copy")
        self.assertEqual(log_text(session), loaded, "cancelling or Random logged something")

        # A new choice works again; its roster follows the first in the log.
        build_save(self.saves / "Duo.gam", ["Kim:ai:7:9", "Ola:human:3"])
        session.click(MAIN_TITLE, GAME)
        session.answer_file_dialog(SELECT_GAME_TITLE, "Duo.gam")
        wait_until(lambda: self.label() == "duo.gam", what="duo.gam in the save label")
        wait_for_log(session, log_after(*CUP_ROSTER, "", "Kim   AI 7", "Ola   human", ""),
                     "the roster of Duo.gam after that of Cup.gam")


if __name__ == "__main__":
    unittest.main()
