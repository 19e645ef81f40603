#!/usr/bin/env python3
"""End-to-end runs of the real Tunesmith executable in a virtual X server, driven as a player drives it.

Each run starts from a fresh copy of an installed program folder. The light run goes the whole way: the start-up
window, "Load!", a tweak switched off with a mouse click, the description box under the pointer, "Preview Changes"
turned on, "Save Config" answered by typing the path into the file dialog and saved through the preview, the "Config
saved!" box, "Restore Backup..." opened and closed, the changed tweak alone under View > Show Changed Only, a preset
of the player's own saved and applied from the Presets menu, the search field (Ctrl+F, a few letters), the
connection settings dialog saved with a click, the About box, and Quit from the menu, which asks about the unsaved
change: Esc keeps the window, Return saves through the file dialog and the preview. The start-up window also shows a
config found where a profile's hint says. The saved game config must hold exactly the bytes the command-line tool
writes for the same steps, and a backup of the file as it was. The dark run shows the start-up window, the
description box and the About box on GTK's dark palette; the high-DPI run shows the windows at twice the size; the
slow-update run chooses Quit while "Load Game" waits for a slow update server. Every window is photographed and
compared with its reference picture in tests/e2e/reference.

Usage: run_gui.py --program DIR --work DIR [--references DIR] [--shots DIR] [--update-references]
"""

import argparse
import http.server
import os
import shutil
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # nothing is written into the source tree
from xsession import Display, Failure, find_pixels, log, stop

HERE = os.path.dirname(os.path.abspath(__file__))
PROFILE = "Example Game"
TITLE = "Tunesmith | Example Game"
ORIGINAL_CONFIG = b'// my settings\r\nbind w "+forward"\r\nseta r_fullscreen "1"\r\nseta r_gamma "120"\r\n'


def px(twips):
    """Twips to pixels as the windows round them (15 twips a pixel, halves away from zero)."""
    return (twips + 7) // 15 if twips >= 0 else -((-twips + 7) // 15)


def centre(left, top, width, height, scale=1):
    """The middle of a control placed at these twips, in window pixels."""
    return (scale * (px(left) + px(width) // 2), scale * (px(top) + px(height) // 2))


# "Load!" on the start-up window's first frame, which stands at 0,0.
LOAD_BUTTON = (240, 3000, 2120, 495)
# "Save!" of the connection settings dialog. Its frame is moved up 90 twips and everything on it down 90, so in
# the window the button stands where these twips say.
PING_SAVE_BUTTON = (240, 3600, 3855, 495)

# What the save preview and the backup chooser show of the run's scratch folder and of the clock, left out of the
# comparison (left, top, width, height in pixels): the caption naming the config's path, in the preview (640 x 360)
# and in the chooser (820 x 420); in the chooser also the date and time in the backup's name, in the list (the
# digits of "Example Game 06-12 15-25 game") and in the diff's "+++" line, the path after the diff's "---", and the
# horizontal scroll bar, whose handle the length of that path sizes.
PREVIEW_MASKS = [(11, 8, 618, 35)]
RESTORE_MASKS = [(11, 8, 798, 35), (108, 46, 78, 14), (366, 46, 428, 14), (458, 60, 86, 15), (335, 364, 459, 14)]


def greenish(r, g, b):
    """The On marker's green, in the light palette's RGB(0, 128, 0) or a lighter shade of it."""
    return g >= 100 and r * 2 <= g and b * 2 <= g


class SlowManifest:
    """An update server on 127.0.0.1 that answers "no update" only after a delay, and counts the requests."""

    def __init__(self, delay):
        manifest = self
        self.requests = 0

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                manifest.requests += 1
                time.sleep(delay)
                body = b"[103]\r\n"
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/update.txt"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def stop(self):
        self.server.shutdown()
        self.server.server_close()


class Run:
    def __init__(self, display, args, name, theme=None, scale=None, update_url=None):
        self.display = display
        self.args = args
        self.name = name
        self.scale = scale or 1
        self.root = os.path.join(args.work, name)
        self.home = os.path.join(self.root, "home", "player")
        self.program = os.path.join(self.root, "program")
        self.game = os.path.join(self.home, "games", "example")
        shutil.copytree(args.program, self.program, symlinks=True)
        os.makedirs(self.game)
        with open(os.path.join(self.game, "game.cfg"), "wb") as out:
            out.write(ORIGINAL_CONFIG)
        os.makedirs(os.path.join(self.home, ".openarena", "baseoa"))
        with open(os.path.join(self.home, ".openarena", "baseoa", "q3config.cfg"), "wb") as out:
            out.write(b'seta r_fullscreen "0"\n')
        # No update check (no network in CI) unless a run serves one itself, and the game's install directory
        # already chosen.
        update = f"update|1\r\nupdateurl|{update_url}\r\n" if update_url else "update|0\r\n"
        with open(os.path.join(self.program, "config.cfg"), "wb") as out:
            out.write(f"{update}{PROFILE}.tsm|{self.game}\r\n".encode())
        self.env = display.environment(self.home, theme=theme, scale=scale)
        self.log_path = os.path.join(self.root, "tunesmith.log")
        self.process = None

    def start(self):
        log(f"{self.name}: starting {self.program}/tunesmith")
        self.process = subprocess.Popen([os.path.join(self.program, "tunesmith")], cwd=self.home, env=self.env,
                                        stdout=open(self.log_path, "w"), stderr=subprocess.STDOUT)
        return self.display.wait_window("Load Game Profile")

    def shot(self, window, name, masks=()):
        return self.display.shot(window, self.args, self.root, name, masks)

    def startup_shot(self, window, name):
        """The start-up window. The text of its install directory box, the run's own scratch folder, is left out: the
        box shows the end of the path, placed to fractions of a pixel by the length of the whole."""
        left, top, width, height = (px(1200), px(3600) + px(945), px(1575), px(270))
        inner = (left + 2, top + 2, width - 4, height - 4)
        return self.shot(window, name, masks=[tuple(self.scale * value for value in inner)])

    def load_profile(self, startup):
        x, y = centre(*LOAD_BUTTON, scale=self.scale)
        self.display.click(startup, x, y)
        main = self.display.wait_window(TITLE)
        self.display.wait_gone("Load Game Profile")
        return main

    def first_switch(self, main):
        """The top left corner of the first on/off tweak of the first column: its On marker, filled green."""
        picture = self.display.screenshot(main, os.path.join(self.root, "main-before.png"))
        box = find_pixels(picture, greenish, (0, 0, 210 * self.scale, picture[1]))
        if not box:
            raise Failure("no On marker found on the first page")
        return box[0], box[1]

    def save_as(self, target):
        """Answers the file dialog by typing the path; gives the preview dialog."""
        dialog = self.display.wait_window("Save As")
        self.display.keys(dialog, "ctrl+a")
        self.display.type(dialog, target)
        self.display.keys(dialog, "Return")
        self.display.wait_gone("Save As")
        return self.display.wait_window("Preview Changes")

    def quit(self, main):
        # "Quit" is the last entry of the File menu.
        self.display.keys(main, "alt+f", "Up", "Return")
        self.ended()

    def ended(self):
        try:
            code = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise Failure(f"{self.name}: the program did not end after Quit")
        if code != 0:
            raise Failure(f"{self.name}: the program ended with status {code}")
        for title in (TITLE, "Load Game Profile", "About", "Connection Settings", "Preview Changes", "Restore Backup"):
            if self.display.windows(title):
                raise Failure(f'{self.name}: the window "{title}" is still shown after Quit')
        log(f"{self.name}: Quit ended the program (status 0)")

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        if self.process:
            stop(self.process)


def expected_save(run):
    """What "Save Config" must write after the steps of the light run, by the command-line tool on a copy of the
    program folder and of the game config as they were before the window touched them."""
    folder = os.path.join(run.root, "cli")
    shutil.copytree(run.program, os.path.join(folder, "program"), symlinks=True)
    game = os.path.join(folder, "game")
    os.makedirs(game)
    shutil.copyfile(os.path.join(run.game, "game.cfg"), os.path.join(game, "game.cfg"))
    target = os.path.join(folder, "target.cfg")
    with open(target, "wb") as out:
        out.write(ORIGINAL_CONFIG)
    subprocess.run([os.path.join(folder, "program", "tunesmith-cli"), "--program-folder",
                    os.path.join(folder, "program"), "save", PROFILE, "--install-dir", game, "--config", target,
                    "--set", "r_fullscreen=0"], check=True, capture_output=True)
    with open(target, "rb") as saved:
        return saved.read()


def light_run(display, args):
    with Run(display, args, "light") as run:
        expected = expected_save(run)
        startup = run.start()
        run.startup_shot(startup, "startup")
        # OpenArena, two entries down, has no directory stored: its config is where the profile's hint says.
        display.click(startup, px(240) + 40, px(720) + 8)
        display.keys(startup, "Down", "Down")
        run.startup_shot(startup, "startup-found")
        display.keys(startup, "Up", "Up")
        main = run.load_profile(startup)

        # Switch the first on/off tweak ("Full screen", r_fullscreen) off with a click on its Off button.
        left, top = run.first_switch(main)
        display.click(main, left + px(300) + px(200) // 2, top + px(40) + px(200) // 2)
        # The pointer over the tweak's caption shows the description box.
        display.hover(main, left + px(600) + 20, top + px(255) // 2)
        picture = run.shot(main, "main")
        box = find_pixels(picture, lambda r, g, b: (r, g, b) == (255, 255, 225))
        if not box or box[2] - box[0] < 200:
            raise Failure("the description box did not appear under the pointer")
        log(f"description box shown at {box[0]},{box[1]}")

        # Options > Preview Changes, the last entry of the Options menu, turned on; then File > Save > Save Config,
        # and "Save" (the default button) in the preview of the lines the save changes.
        display.keys(main, "alt+o", "Up", "Return")
        target = os.path.join(run.game, "game.cfg")
        display.keys(main, "alt+f", "Right", "Return")
        preview = run.save_as(target)
        run.shot(preview, "preview", masks=PREVIEW_MASKS)
        display.keys(preview, "Return")
        display.wait_gone("Preview Changes")
        message = display.wait_window("Tunesmith")
        run.shot(message, "saved")
        display.keys(message, "Return")
        display.wait_gone("Tunesmith")
        check_saved(run, target, expected)

        # File > Save > Restore Backup... lists that backup; the dialog is closed without restoring.
        display.keys(main, "alt+f", "Right", "Down", "Return")
        restore = display.wait_window("Restore Backup")
        run.shot(restore, "restore", masks=RESTORE_MASKS)
        display.keys(restore, "Escape")
        display.wait_gone("Restore Backup")
        check_saved(run, target, expected)

        # The player's own work: the first tweak switched on again differs from the config as saved, and is the one
        # control View > Show Changed Only leaves. "Save Current as Preset..." (the fifth entry of Presets) keeps it
        # as a preset, which the menu lists after that entry: applied, it switches the tweak on again.
        display.click(main, left + px(30) + px(200) // 2, top + px(40) + px(200) // 2)
        display.keys(main, "alt+v", "Return")
        display.hover(main, 560, 300)
        run.shot(main, "changed")
        display.keys(main, "alt+v", "Return")
        display.keys(main, "alt+p", *["Down"] * 4, "Return")
        asked = display.wait_window("Save Current as Preset")
        display.type(asked, "Match")
        display.keys(asked, "Return")
        display.wait_gone("Save Current as Preset")
        with open(os.path.join(run.program, "presets", PROFILE, "Match.cfg"), "rb") as preset:
            if not preset.read().startswith(b'seta r_fullscreen "1"\r\n'):
                raise Failure("the player's preset does not hold the tweak as it was")
        display.click(main, left + px(300) + px(200) // 2, top + px(40) + px(200) // 2)
        display.keys(main, "alt+p", *["Down"] * 5, "Return")
        run.first_switch(main)
        log("Show Changed Only left the changed tweak; the player's preset was saved, listed and applied")

        # Ctrl+F opens the search field over the status line and typing counts the tweaks found; Esc closes it. The
        # pointer first leaves the tweak's caption (the description box closes) for an empty spot of the page.
        display.hover(main, 560, 300)
        display.keys(main, "ctrl+f")
        display.type(main, "smok")
        run.shot(main, "find")
        display.keys(main, "Escape")

        # Options > Connection Settings, saved with a click on "Save!".
        display.keys(main, "alt+o", "Return")
        ping = display.wait_window("Connection Settings")
        display.move(ping, 690, 0)
        run.shot(ping, "connection")
        display.click(ping, *centre(*PING_SAVE_BUTTON))
        display.wait_gone("Connection Settings")

        # Help > About: the last entry of the Help menu.
        display.keys(main, "alt+h", "Up", "Return")
        about = display.wait_window("About")
        display.move(about, 690, 0)
        run.shot(about, "about")

        # Quit with an unsaved change asks first: Esc keeps the window; Return saves through Save Config's own
        # path (the file dialog, the preview), and then the program ends.
        display.keys(main, "alt+f", "Up", "Return")
        display.keys(display.wait_window("Tunesmith"), "Escape")
        display.wait_gone("Tunesmith")
        display.keys(main, "alt+f", "Up", "Return")
        display.keys(display.wait_window("Tunesmith"), "Return")
        display.keys(run.save_as(target), "Return")
        display.keys(display.wait_window("Tunesmith"), "Return")
        run.ended()
        with open(target, "rb") as saved:
            if b'seta r_fullscreen "1"' not in saved.read():
                raise Failure("the save asked for at Quit did not write the tweak switched on")
        log("Quit asked about the unsaved change, kept the window on Esc and saved on Return")


def check_saved(run, target, expected):
    with open(target, "rb") as saved:
        content = saved.read()
    if not content.startswith(b'// my settings\r\nbind w "+forward"\r\nseta r_fullscreen "0"\r\n'):
        raise Failure(f"the saved config does not keep its lines or lacks the switched tweak: {content[:120]!r}")
    if content != expected:
        raise Failure("the saved config differs from what tunesmith-cli writes for the same steps")
    backups = os.listdir(os.path.join(run.program, "backups"))
    if len(backups) != 1:
        raise Failure(f"expected one backup, found {backups}")
    with open(os.path.join(run.program, "backups", backups[0]), "rb") as backup:
        if backup.read() != ORIGINAL_CONFIG:
            raise Failure(f"the backup {backups[0]} does not hold the config as it was")
    log(f"saved config checked: {len(content)} bytes as expected, backup \"{backups[0]}\"")


def dark_run(display, args):
    with Run(display, args, "dark", theme="dark") as run:
        startup = run.start()
        run.startup_shot(startup, "startup-dark")
        main = run.load_profile(startup)
        left, top = run.first_switch(main)
        display.hover(main, left + px(600) + 20, top + px(255) // 2)
        run.shot(main, "main-dark")
        display.keys(main, "alt+h", "Up", "Return")
        about = display.wait_window("About")
        display.move(about, 690, 0)
        run.shot(about, "about-dark")
        run.quit(main)


def hidpi_run(display, args):
    with Run(display, args, "hidpi", scale=2) as run:
        startup = run.start()
        width, height = display.geometry(startup)[2:]
        if (width, height) != (2 * px(3615), 2 * px(4995)):
            raise Failure(f"at scale 2 the start-up window is {width}x{height}")
        run.startup_shot(startup, "startup-2x")
        main = run.load_profile(startup)
        run.shot(main, "main-2x")
        run.quit(main)


def slow_update_run(display, args):
    """"Load Game" checks for updates while the main window is on screen; Quit chosen while the check waits for a
    slow server must end the program cleanly once the answer is in, not delete the windows under the check."""
    server = SlowManifest(delay=3)
    try:
        with Run(display, args, "slow-update", update_url=server.url) as run:
            main = run.load_profile(run.start())
            display.keys(main, "alt+f", "Down", "Right", "Down", "Return")  # File > Load > Load Game
            time.sleep(0.5)
            run.quit(main)
        if server.requests != 2:
            raise Failure(f"slow-update: {server.requests} update checks, not the start's and Load Game's")
    finally:
        server.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="an installed program folder (cmake --install)")
    parser.add_argument("--work", required=True, help="an empty scratch folder")
    parser.add_argument("--references", default=os.path.join(HERE, "reference"))
    parser.add_argument("--shots", help="also copy every screenshot into this folder")
    parser.add_argument("--update-references", action="store_true", help="make the screenshots the references")
    args = parser.parse_args()
    if args.shots:
        os.makedirs(args.shots, exist_ok=True)
    os.makedirs(args.references, exist_ok=True)
    os.makedirs(args.work, exist_ok=True)

    display = Display(args.work)
    log(f"Xvfb on display {display.name}")
    started = time.monotonic()
    try:
        for scenario in (light_run, dark_run, hidpi_run, slow_update_run):
            scenario(display, args)
    except Failure as failure:
        print(f"[e2e] FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        display.stop()
    log(f"all GUI checks passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
