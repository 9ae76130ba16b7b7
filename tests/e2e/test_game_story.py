"""A player's whole story with the real vantrix.exe under Wine: the first
start asks for the game and a saved game, Random writes a copy, Start starts
the game (the stand-in, copied into the game folder as Skarvel.exe), F5 in
the game writes a fresh copy that the game then shows, the close stores the
settings, and the next start asks for nothing. Also: cancelling the question
for the game ends the program, and F5 in the program's own window writes
nothing.
"""
import os
import unittest

import harness
from harness import FIND_GAME_TITLE, MAIN_TITLE, SELECT_GAME_TITLE, wait_until

STANDIN_TITLE = "Skarvel"
STANDIN_STATUS = 100
START, RANDOM, SPREAD, SAVE_LABEL, LOG_LABEL = 21, 22, 5, 10, 8

# The synthetic saved game: one human in slot 1, five AI drivers, none of
# their levels or extra values 0 (those would never change).
ENTRIES = 3
DRIVERS = ["Ana:human:40", "Bo:ai:45:80", "Cid:ai:120:95", "Dee:ai:160:60", "Eli:ai:90:110",
           "Fay:ai:30:70"]
DRIVER_LINES = ["Ana   human", "Bo   AI 45", "Cid   AI 120", "Dee   AI 160", "Eli   AI 90",
                "Fay   AI 30"]
AI_SLOTS = range(2, 7)
SPREAD_TEXT = "60"

session = harness.WineSession()
setUpModule, tearDownModule = session.start, session.stop


def make_save(path):
    harness.make_save(path, "--entries", ENTRIES, *DRIVERS)


# Where the saved game's layout puts the bytes a copy may change.
def level_offset(slot, count=len(DRIVERS)):
    return 66 + 13 * count + 92 * slot + 4


def extra_offset(slot, count=len(DRIVERS), entries=ENTRIES):
    return 82 + 1449 * count + 8 + 56 * entries + 348 * (slot - 1) + 28


CHANGEABLE = {level_offset(s) for s in AI_SLOTS} | {extra_offset(s) for s in AI_SLOTS}


def identity(path):
    """What changes with every copy written by a new file moved over the name."""
    try:
        status = os.stat(path)
    except FileNotFoundError:
        return None
    return (status.st_ino, status.st_mtime_ns, status.st_size)


def log_lines():
    return session.control_text(MAIN_TITLE, LOG_LABEL).split("\r\n")[:-1]


def logged_levels():
    """The AI levels of the newest draw, as the program logged them."""
    lines = [line for line in log_lines() if line.startswith("> AI:")]
    return [int(n) for n in lines[-1][len("> AI:"):].split()] if lines else None


def standin_status():
    return session.control_text(STANDIN_TITLE, STANDIN_STATUS).split("\r\n")


def copies_seen():
    return int(standin_status()[2].removeprefix("Copies seen: "))


def loop_round_trip():
    """Returns once the program's loop has run a whole pass, F5 poll included,
    after this call began: an out-of-range spread typed into the field is set
    back by the pass that takes its event; the second one is taken by a later
    pass than the first one's, which has polled F5 by then."""
    for _ in range(2):
        session.set_text(MAIN_TITLE, SPREAD, "250")
        wait_until(lambda: session.control_text(MAIN_TITLE, SPREAD) == SPREAD_TEXT,
                   what="the spread field set back by the loop")


class GameStoryTest(unittest.TestCase):
    def check_copy(self, copy, saved):
        """A copy is the saved game with only AI levels and the non-human
        slots' extra values changed, and holds the levels just logged."""
        data = copy.read_bytes()
        self.assertEqual(len(data), len(saved))
        changed = {i for i, (a, b) in enumerate(zip(data, saved)) if a != b}
        self.assertLessEqual(changed, CHANGEABLE, "bytes the copy must carry through")
        self.assertEqual([data[level_offset(s)] for s in AI_SLOTS], logged_levels())
        return data

    def test_first_run_random_start_f5_in_the_game_and_a_second_start_without_dialogs(self):
        game = session.new_folder("story/Skarvel")
        game_folder = harness.prepare_game_folder(
            game, harness.built_program("tools/standin_game/standin_game.exe"))
        saved_path = game / "Saves" / "cup.gam"
        make_save(saved_path)
        saved = saved_path.read_bytes()
        copy = game / "Saves" / "_random_cup.gam"
        workdir = session.new_folder("story/work")
        program = harness.RunningProgram(session, session.start_program(workdir), workdir)
        self.addCleanup(program.end)

        # No settings: the game, then a saved game.
        session.wait_for_window(MAIN_TITLE)
        session.answer_file_dialog(FIND_GAME_TITLE, harness.windows_path(game / "Skarvel.exe"))
        session.answer_file_dialog(SELECT_GAME_TITLE, harness.windows_path(saved_path))
        wait_until(lambda: log_lines()[-7:] == ["> " + d for d in DRIVER_LINES] + ["> "],
                   what="the saved game's drivers in the log")
        self.assertEqual(session.control_text(MAIN_TITLE, SAVE_LABEL), "cup.gam")

        # Random writes the copy beside the saved game.
        session.set_text(MAIN_TITLE, SPREAD, SPREAD_TEXT)
        self.assertIsNone(identity(copy))
        session.click(MAIN_TITLE, RANDOM)
        wait_until(lambda: (identity(copy) or (0, 0, 0))[2] == len(saved),
                   what="the copy written by Random")
        first = self.check_copy(copy, saved)

        # Start starts the game from the game folder; it shows that copy.
        self.assertFalse(session.window_exists(STANDIN_TITLE))
        session.click(MAIN_TITLE, START)
        session.wait_for_window(STANDIN_TITLE)
        wait_until(lambda: standin_status()[1:3] == ["Copy: _random_cup.gam", "Copies seen: 1"],
                   what="the stand-in showing the first copy")

        # F5 in the game: a fresh copy, which the game sees.
        session.bring_to_front(STANDIN_TITLE)
        before = identity(copy)
        session.press_keys("F5")
        wait_until(lambda: identity(copy) not in (None, before) and identity(copy)[2] == len(saved),
                   what="a fresh copy after F5 in the game")
        second = self.check_copy(copy, saved)
        # Five AI drivers drawn again within +-60: the same field again is
        # about as likely as (1/121)^5.
        self.assertNotEqual(second, first, "a fresh draw")
        status = wait_until(lambda: (s := standin_status())[2] == "Copies seen: 2" and s,
                            what="the game seeing the fresh copy")
        names = [d.split(":")[0] for d in DRIVERS]
        self.assertEqual(status[3:3 + len(DRIVERS)],
                         [DRIVER_LINES[0]] + [f"{names[s - 1]}   AI {second[level_offset(s)]}"
                                              for s in AI_SLOTS])
        # One press, one copy: the game looks every 250 ms, the program would
        # write a second copy 350 ms after the first.
        harness.assert_stays(copies_seen, 2, 1.5)
        session.screenshot("game_story_f5.png")

        # F5 with the program's own window in front writes nothing.
        session.bring_to_front(MAIN_TITLE)
        before = identity(copy)
        session.press_keys("F5")
        loop_round_trip()
        self.assertEqual(identity(copy), before, "F5 outside the game wrote a copy")
        self.assertEqual(copies_seen(), 2)

        session.close_window(STANDIN_TITLE)
        session.wait_gone(STANDIN_TITLE)

        # The close stores the game folder, the saved game and the spread.
        session.close_window(MAIN_TITLE)
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(harness.read_settings(workdir), {
            "Skarvel": game_folder.lower(),
            "game": harness.windows_path(saved_path).lower(),
            "random": SPREAD_TEXT,
        })

        # The second start asks for nothing.
        program = harness.RunningProgram(session, session.start_program(workdir), workdir)
        self.addCleanup(program.end)
        session.wait_for_window(MAIN_TITLE)
        self.assertEqual(session.control_text(MAIN_TITLE, SAVE_LABEL), "cup.gam")
        # The drivers are logged once the saved game is loaded, the last
        # startup step that could ask anything.
        wait_until(lambda: log_lines()[-7:] == ["> " + d for d in DRIVER_LINES] + ["> "],
                   what="the remembered saved game's drivers in the log")
        self.assertEqual(session.control_text(MAIN_TITLE, SPREAD), SPREAD_TEXT)
        self.assertFalse(session.window_exists(FIND_GAME_TITLE))
        self.assertFalse(session.window_exists(SELECT_GAME_TITLE))
        # A modal dialog of any title would disable the main window.
        self.assertEqual(session.window_facts(MAIN_TITLE)["style"]["enabled"], "1")
        session.close_window(MAIN_TITLE)
        self.assertEqual(program.wait_exit(), 0)

    def test_cancelling_the_question_for_the_game_ends_without_settings(self):
        game = session.new_folder("cancel/Skarvel")
        harness.prepare_game_folder(game)
        workdir = session.new_folder("cancel/work")
        program = harness.RunningProgram(session, session.start_program(workdir), workdir)
        self.addCleanup(program.end)

        session.wait_for_window(MAIN_TITLE)
        session.cancel_file_dialog(FIND_GAME_TITLE)
        self.assertEqual(session.read_message("Error"), "No Skarvel.exe !!")
        self.assertIsNone(program.process.poll(), "the message comes before the end")
        session.dismiss_message("Error")
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(list(session.root.joinpath("cancel").rglob(harness.SETTINGS_NAME)), [])


if __name__ == "__main__":
    unittest.main()
