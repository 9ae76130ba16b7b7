"""The main window of the real vantrix.exe under Wine: its frame, its six
controls, keyboard navigation, the spread field under real typing, message
boxes and the close command.

Every story starts the program in a fresh working folder beside a game folder
with Skarvel.exe and an empty Saves folder, so it finds the game; it has no
saved game, so it asks for one at startup and the story cancels that dialog.
"""
import unittest

import harness
from harness import MAIN_TITLE, SELECT_GAME_TITLE, E2eError, wait_until

WS_TABSTOP = 0x00010000
WS_EX_CLIENTEDGE = 0x00000200
ES_AUTOHSCROLL = 0x0080
SS_TYPEMASK = 0x001F
SS_LEFT = 0x0000
BS_TYPEMASK = 0x000F
BS_PUSHBUTTON = 0x0000

GAME, START, RANDOM, SPREAD, SAVE_LABEL, LOG_LABEL = 20, 21, 22, 5, 10, 8

# id: (class, x, y, width, height, text after a startup whose dialog was
# cancelled and whose settings hold a spread of 30)
EXPECTED_CONTROLS = {
    SAVE_LABEL: ("Static", 10, 10, 350, 24, "nix"),
    GAME: ("Button", 10, 100, 80, 30, "Game"),
    START: ("Button", 10, 170, 80, 30, "Start Skarvel"),
    RANDOM: ("Button", 150, 100, 80, 30, "Random"),
    LOG_LABEL: ("Static", 10, 300, 280, 280, ""),
    SPREAD: ("Edit", 150, 170, 80, 30, "30"),
}

session = harness.WineSession()
setUpModule, tearDownModule = session.start, session.stop


class MainWindowTest(unittest.TestCase):
    def setUp(self):
        name = self.id().rsplit(".", 1)[-1]
        game_folder = harness.prepare_game_folder(session.new_folder(name + "/Skarvel"))
        self.workdir = session.new_folder(name + "/work")
        harness.write_settings(self.workdir, game_folder, save_path="nix", spread="30")
        self.program = harness.start_vantrix(session, self.workdir)
        self.addCleanup(self.program.end)

    def focused(self):
        return session.focused_control(MAIN_TITLE)

    def press_and_expect_focus(self, key, expected):
        session.press_keys(key)
        wait_until(lambda: self.focused() == str(expected), what=f"focus on {expected} after {key}")

    def spread_text(self):
        return session.control_text(MAIN_TITLE, SPREAD)

    def test_window_frame_and_controls_as_laid_out(self):
        # Found by its exact title, or window_facts fails.
        facts = session.window_facts(MAIN_TITLE)
        self.assertEqual((facts["rect"]["x"], facts["rect"]["y"]), ("10", "10"))
        self.assertEqual((facts["client"]["w"], facts["client"]["h"]), ("400", "500"))
        style = facts["style"]
        for flag, expected in [("caption", "1"), ("sysmenu", "1"), ("minimizebox", "0"),
                               ("maximizebox", "0"), ("thickframe", "0"), ("visible", "1")]:
            self.assertEqual(style[flag], expected, f"window style bit {flag}")
        self.assertEqual(facts["focus"]["focus"], "window", "no control has the focus at first")

        controls = {i: c for i, c in session.controls(MAIN_TITLE).items() if c["direct"] == "1"}
        self.assertEqual(sorted(controls), sorted(EXPECTED_CONTROLS))
        for control_id, (cls, x, y, w, h, text) in EXPECTED_CONTROLS.items():
            c = controls[control_id]
            self.assertEqual((c["class"], c["x"], c["y"], c["w"], c["h"], c["text"]),
                             (cls, x, y, w, h, text), f"control {control_id}")
            style = int(c["style"], 16)
            self.assertEqual(bool(style & WS_TABSTOP), cls != "Static",
                             f"control {control_id}: only buttons and the field are tab stops")
            if cls == "Static":
                self.assertEqual(style & SS_TYPEMASK, SS_LEFT, f"label {control_id} is SS_LEFT")
            if cls == "Button":
                self.assertEqual(style & BS_TYPEMASK, BS_PUSHBUTTON,
                                 f"button {control_id} is a plain push button, not a default one")
        spread = controls[SPREAD]
        self.assertTrue(int(spread["exstyle"], 16) & WS_EX_CLIENTEDGE, "sunken edge")
        self.assertTrue(int(spread["style"], 16) & ES_AUTOHSCROLL, "scrolls horizontally")

        rect = facts["rect"]
        session.screenshot("main_window.png",
                           (int(rect["x"]), int(rect["y"]), int(rect["w"]), int(rect["h"])))

    def test_tab_and_shift_tab_cycle_and_wrap_then_alt_f4_ends_with_0(self):
        session.bring_to_front(MAIN_TITLE)
        for expected in [GAME, START, RANDOM, SPREAD, GAME]:
            self.press_and_expect_focus("Tab", expected)
        for expected in [SPREAD, RANDOM, START, GAME, SPREAD]:
            self.press_and_expect_focus("shift+Tab", expected)
        session.press_keys("alt+F4")
        self.assertEqual(self.program.wait_exit(), 0)
        self.assertFalse(session.window_exists(MAIN_TITLE))

    def test_typed_out_of_range_spread_reverts_and_typed_value_is_kept(self):
        session.bring_to_front(MAIN_TITLE)
        for expected in [GAME, START, RANDOM, SPREAD]:
            self.press_and_expect_focus("Tab", expected)
        # Tab selected the field's text, so typing replaces it. Each key is
        # validated on its own pass (a pass is 50 ms; the keys come 250 ms
        # apart): 2 and 25 are accepted, 250 is not and falls back to 25.
        session.press_keys("2", "5", "0", delay_ms=250)
        wait_until(lambda: self.spread_text() == "25", what="the field back at 25")
        session.press_keys("End", "BackSpace", "BackSpace", "1", "2", "0")
        wait_until(lambda: self.spread_text() == "120", what="the typed 120 in the field")

        session.close_window(MAIN_TITLE)
        self.assertEqual(self.program.wait_exit(), 0)
        self.assertEqual(harness.read_settings(self.workdir)["random"], "120")

    def test_enter_presses_no_button_and_message_box_is_modal(self):
        session.bring_to_front(MAIN_TITLE)
        self.press_and_expect_focus("Tab", GAME)
        session.press_keys("Return")
        # A marker after the Return: Start without a saved game shows a
        # message box. Events are handled in order, so had Return pressed
        # Game, its dialog would have opened first and held the loop.
        session.click(MAIN_TITLE, START)
        try:
            text = session.read_message("ERROR")
        except E2eError:
            self.assertFalse(session.window_exists(SELECT_GAME_TITLE), "Return pressed Game")
            raise
        self.assertEqual(text, "No Game")
        self.assertFalse(session.window_exists(SELECT_GAME_TITLE), "Return pressed Game")
        self.assertEqual(session.window_facts(MAIN_TITLE)["style"]["enabled"], "0",
                         "the main window is disabled while its message box is open")
        session.dismiss_message("ERROR")
        wait_until(lambda: session.window_facts(MAIN_TITLE)["style"]["enabled"] == "1",
                   what="the main window enabled again")
        self.assertIsNone(self.program.process.poll(), "the program goes on after the message")



class FirstRunTest(unittest.TestCase):
    def test_first_run_asks_for_game_and_saved_game_and_stores_settings_where_it_started(self):
        game = session.new_folder("first_run/Skarvel")
        game_folder = harness.prepare_game_folder(game)
        workdir = session.new_folder("first_run/work")
        program = harness.RunningProgram(session, session.start_program(workdir), workdir)
        self.addCleanup(program.end)

        session.wait_for_window(MAIN_TITLE)  # shown before the dialog
        session.answer_file_dialog(harness.FIND_GAME_TITLE, harness.windows_path(game / "Skarvel.exe"))
        session.wait_for_window(SELECT_GAME_TITLE)
        try:
            name, combos = session.file_dialog_state(SELECT_GAME_TITLE)
        finally:
            # Typed, and not there yet: the dialog takes it.
            session.answer_file_dialog(SELECT_GAME_TITLE, "Cup.gam")
        self.assertEqual(name, "", "no preset name")
        self.assertIn("Saves", combos, "starts in the game's Saves folder")
        self.assertIn("gam", combos)
        wait_until(lambda: session.control_text(MAIN_TITLE, SAVE_LABEL) == "cup.gam",
                   what="the chosen saved game's name in its label")

        session.close_window(MAIN_TITLE)
        self.assertEqual(program.wait_exit(), 0)
        # The dialogs left the working directory alone: the settings are there.
        self.assertEqual(harness.read_settings(workdir), {
            "Skarvel": game_folder.lower(),
            "game": (game_folder + "Saves\\Cup.gam").lower(),
            "random": "30",
        })
        self.assertEqual(list(game.rglob(harness.SETTINGS_NAME)), [])


if __name__ == "__main__":
    unittest.main()
