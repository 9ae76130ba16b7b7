"""The stand-in game under Wine: the status it shows of the newest randomized
copy in its Saves folder, which the stories read to see a copy from inside
the "game"."""
import os
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import harness  # noqa: E402

STANDIN_TITLE = "Skarvel"
STATUS_LABEL = 100


def write_copy(saves, name, *drivers):
    """Writes a copy the way the program does: whole into a temporary file,
    then moved over the name in one step, so the stand-in never sees half."""
    temporary = saves / (name + ".tmp")
    harness.make_save(temporary, *drivers)
    os.replace(temporary, saves / name)


class StandinGameTest(unittest.TestCase):
    def test_shows_the_newest_copy_and_counts_each_new_one(self):
        with harness.WineSession() as wine:
            game = wine.new_folder("game")
            harness.prepare_game_folder(
                game, harness.built_program("tools/standin_game/standin_game.exe"))
            saves = game / "Saves"
            # The saved game itself is not a copy and must not be shown.
            harness.make_save(saves / "cup.gam", "Cup:ai:99")
            game_process = wine.start_program(game, game / "Skarvel.exe")
            wine.wait_for_window(STANDIN_TITLE)

            def status():
                return wine.control_text(STANDIN_TITLE, STATUS_LABEL).split("\r\n")

            self.assertEqual(status(),
                             ["Skarvel stand-in", "No randomized copy yet", "Copies seen: 0"])

            write_copy(saves, "_random_cup.gam", "Anna:human:12", "Bot:ai:45:30")
            first = harness.wait_until(
                lambda: (lines := status())[1] == "Copy: _random_cup.gam" and lines,
                what="the first copy in the stand-in")
            self.assertEqual(first[2:5], ["Copies seen: 1", "Anna   human", "Bot   AI 45"])
            self.assertEqual(len(first), 6, first)
            self.assertRegex(first[5], r"^Written: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}$")
            # A copy counts once, however often it is looked at; the stand-in
            # looks every 250 ms, so a second covers several looks.
            harness.assert_stays(status, first, 1.0)

            # A fresh draw over the same name counts as a new copy.
            write_copy(saves, "_random_cup.gam", "Anna:human:12", "Bot:ai:61:30")
            second = harness.wait_until(lambda: (lines := status())[2] == "Copies seen: 2" and lines,
                                        what="the second copy in the stand-in")
            self.assertEqual(second[1:5],
                             ["Copy: _random_cup.gam", "Copies seen: 2", "Anna   human",
                              "Bot   AI 61"])
            wine.screenshot("standin_game.png", rect=(440, 10, 420, 300))

            wine.close_window(STANDIN_TITLE)
            self.assertEqual(game_process.wait(timeout=harness.DEFAULT_TIMEOUT), 0)


if __name__ == "__main__":
    unittest.main()
