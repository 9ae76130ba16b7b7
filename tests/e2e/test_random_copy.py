"""The Random button of the real vantrix.exe under Wine: the randomized copy
written beside a synthetic saved game, byte by byte against the original; a
second draw around the loaded values; a read-only earlier copy refused with
the "Vantrix" message box and left as it was."""
import os
import stat
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402
from harness import MAIN_TITLE, wait_until  # noqa: E402
from test_saved_game import (  # noqa: E402
    RANDOM, SPREAD, build_save, extra_offset, level_offset, log_after, log_text,
    start_with_saved_game)

ENTRIES = 3
# (make_save argument, human, AI level, extra value). Anna is the only, so
# the last, human: her extra value stays. Zed's level and extra value are 0
# and stay. Max lies near the top, where results are cut at 200.
DRIVERS = [
    ("Anna:human:12", True, 0, 12),
    ("Bot:ai:45:80", False, 45, 80),
    ("Lee, J:ai:150:30", False, 150, 30),
    ("Zed:ai:0:0", False, 0, 0),
    ("Max:ai:190:195", False, 190, 195),
]
COUNT = len(DRIVERS)
HUMAN_SLOT = 1
# A human's level byte is never read nor changed: give it a value that a
# randomizer touching it would move.
HUMAN_LEVEL_BYTE = 77
ROSTER = ["", "Anna   human", "Bot   AI 45", "Lee    J", "Zed   AI 0", "Max   AI 190", ""]
# Longer than 64 KB; the bytes past the described ones are filler that the
# copy must carry through.
SIZE = 70000
SPREAD_TEXT = "30"
COPY_NAME = "_random_cup.gam"


def clamp(value):
    return max(0, min(200, value))


def drawn_places(slot):
    """[(offset, loaded value)] of the bytes a draw may move in this slot:
    an AI's nonzero level, and a nonzero extra value of any slot but the
    last human's. One deviation moves them all."""
    _, human, level, extra = DRIVERS[slot - 1]
    places = []
    if not human and level != 0:
        places.append((level_offset(COUNT, slot), level))
    if slot != HUMAN_SLOT and extra != 0:
        places.append((extra_offset(COUNT, ENTRIES, slot), extra))
    return places


session = harness.WineSession()
setUpModule, tearDownModule = session.start, session.stop


class RandomCopyTest(unittest.TestCase):
    def setUp(self):
        name = self.id().rsplit(".", 1)[-1]
        game = session.new_folder(name + "/Skarvel")
        game_folder = harness.prepare_game_folder(game)
        self.saves = game / "Saves"
        saved = self.saves / "Cup.gam"
        original = bytearray(build_save(saved, [d[0] for d in DRIVERS], entries=ENTRIES,
                                        size=SIZE))
        original[level_offset(COUNT, HUMAN_SLOT)] = HUMAN_LEVEL_BYTE
        saved.write_bytes(original)
        self.original = bytes(original)
        self.copy = self.saves / COPY_NAME
        workdir = session.new_folder(name + "/work")
        harness.write_settings(workdir, game_folder, save_path=harness.windows_path(saved),
                               spread=SPREAD_TEXT)
        self.program = start_with_saved_game(session, workdir, log_after(*ROSTER))
        self.addCleanup(self.program.end)

    def assert_only_copy_beside_saved_game(self):
        self.assertEqual(sorted(os.listdir(self.saves)), sorted(["Cup.gam", COPY_NAME]),
                         "the saved game and its copy, no temporary file")

    def check_copy(self, copy, spread):
        """Checks a copy against the original and returns the new levels of
        the AI drivers whose level was drawn, in slot order."""
        self.assertEqual(len(copy), len(self.original), "the copy is as long as the saved game")
        drawn, levels = set(), []
        for slot in range(1, COUNT + 1):
            places = drawn_places(slot)
            if not places:
                continue
            deviations = [d for d in range(-spread, spread + 1)
                          if all(copy[at] == clamp(base + d) for at, base in places)]
            self.assertTrue(deviations,
                            f"slot {slot}: {[(base, copy[at]) for at, base in places]} "
                            f"is no single deviation within {spread} of the loaded values")
            drawn.update(at for at, _ in places)
            if places[0][0] == level_offset(COUNT, slot):
                levels.append(copy[places[0][0]])
        changed = [at for at in range(len(copy))
                   if at not in drawn and copy[at] != self.original[at]]
        self.assertEqual(changed, [], "bytes other than the drawn ones changed")
        return levels

    def press_random_and_wait_for_copy(self, previous_inode=None):
        """Clicks Random and waits until a copy has been moved in under the
        copy's name (a new file, as the copy replaces any earlier one in one
        step). Returns the copy's bytes."""
        session.click(MAIN_TITLE, RANDOM)

        def copy_inode():
            try:
                inode = self.copy.stat().st_ino
            except FileNotFoundError:
                return None
            return inode if inode != previous_inode else None

        wait_until(copy_inode, what=f"a new {COPY_NAME} beside the saved game")
        return self.copy.read_bytes()

    def test_random_writes_a_copy_with_drawn_values_and_a_second_draw_starts_from_the_loaded_ones(self):
        copy = self.press_random_and_wait_for_copy()
        levels = self.check_copy(copy, int(SPREAD_TEXT))
        ai_line = "AI:  " + "".join(f"{level}  " for level in levels)
        wait_until(lambda: log_text(session) == log_after(*ROSTER, ai_line),
                   what="the copy's levels on the log's last line")
        self.assert_only_copy_beside_saved_game()
        rect = session.window_facts(MAIN_TITLE)["rect"]
        session.screenshot("random_copy.png",
                           (int(rect["x"]), int(rect["y"]), int(rect["w"]), int(rect["h"])))

        # Spread 0: a draw around the loaded values gives them back exactly,
        # so the second copy equals the saved game; one built on the first
        # copy's values would not.
        session.set_text(MAIN_TITLE, SPREAD, "0")
        second = self.press_random_and_wait_for_copy(previous_inode=self.copy.stat().st_ino)
        self.assertEqual(second, self.original, "a draw with spread 0 gives the saved game back")
        wait_until(lambda: log_text(session) == log_after(*ROSTER, ai_line, "AI:  45  150  190  "),
                   what="the loaded levels on the log's last line")
        self.assert_only_copy_beside_saved_game()

    def test_read_only_copy_brings_up_error_and_stays_as_it_was(self):
        earlier = b"an earlier copy, kept read-only"
        self.copy.write_bytes(earlier)
        os.chmod(self.copy, 0o444)
        attributes = session._run(["wine", "cmd", "/c", "attrib", harness.windows_path(self.copy)])
        self.assertIn("R", attributes.stdout.split(harness.windows_path(self.copy))[0],
                      f"Wine reports the file read-only: {attributes.stdout!r}")

        session.click(MAIN_TITLE, RANDOM)
        self.assertEqual(session.read_message("Vantrix"), "Error")
        session.dismiss_message("Vantrix")
        self.assertEqual(self.copy.read_bytes(), earlier, "the read-only copy changed")
        self.assertEqual(stat.S_IMODE(self.copy.stat().st_mode), 0o444)
        self.assert_only_copy_beside_saved_game()
        # The draw was made and logged before the write failed: one line more.
        last = log_text(session).split("\r\n")[-2]
        self.assertRegex(last, r"^> AI:  (\d+  ){3}$")
        self.assertEqual(log_text(session), log_after(*ROSTER, last[2:]))

        # Writable again, the next press writes the copy.
        os.chmod(self.copy, 0o644)
        copy = self.press_random_and_wait_for_copy(previous_inode=self.copy.stat().st_ino)
        self.check_copy(copy, int(SPREAD_TEXT))
        self.assert_only_copy_beside_saved_game()


if __name__ == "__main__":
    unittest.main()
