"""A virtual X server and the player's hands for the end-to-end runs: find windows by title, click, type, take
screenshots and compare them with the reference pictures.

Needs Xvfb, xdotool and ImageMagick (import, compare, convert). Standard library only.
"""

import os
import re
import shutil
import subprocess
import time

# Fonts the renders depend on, and nothing else: a private font configuration sees only these files, so that a
# machine with more fonts installed draws the windows exactly as CI does.
FONT_FILES = [
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "/usr/share/fonts/opentype/urw-base35/URWGothic-Book.otf",
    "/usr/share/fonts/opentype/urw-base35/URWGothic-Demi.otf",
]

# A screenshot may differ from its reference in this share of its pixels (at least ALLOWED_MINIMUM), by more than
# the colour fuzz, before the window counts as changed: room for a blinking text cursor and faint differences in
# smoothing, none for a label one pixel out of place (that alone changes some 300 pixels).
ALLOWED_SHARE = 0.001
ALLOWED_MINIMUM = 40
FUZZ = "10%"


class Failure(Exception):
    """A check of the end-to-end run failed."""


def log(message):
    print(f"[e2e] {message}", flush=True)


def run(args, **kwargs):
    result = subprocess.run(args, text=True, capture_output=True, **kwargs)
    if result.returncode != 0:
        raise Failure(f"{' '.join(args)} failed ({result.returncode}): {result.stdout}{result.stderr}")
    return result.stdout


def stop(process):
    """Ends a process that is still running, killing it when it does not end within five seconds."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Display:
    """An Xvfb server on a free display number, 1600 x 1000 at 96 dots per inch, without a window manager (windows
    open at 0,0 and keep the size the program gives them)."""

    def __init__(self, work):
        self.work = work
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1000x24", "-dpi", "96", "-nolisten", "tcp",
             "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "xvfb.log"), "w"))
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            raise Failure("Xvfb did not start (see xvfb.log)")
        self.name = f":{number}"
        self.fonts = self._font_config()

    def _font_config(self):
        fonts = os.path.join(self.work, "fonts")
        os.makedirs(fonts, exist_ok=True)
        for path in FONT_FILES:
            if not os.path.exists(path):
                raise Failure(f"font {path} is missing: scripts/install-deps.sh installs it")
            link = os.path.join(fonts, os.path.basename(path))
            if not os.path.lexists(link):
                os.symlink(path, link)
        # Open to everyone: the package check's throwaway user keeps its font cache here too.
        cache = os.path.join(self.work, "fontcache")
        os.makedirs(cache, exist_ok=True)
        os.chmod(cache, 0o1777)
        config = os.path.join(self.work, "fonts.conf")
        with open(config, "w") as out:
            out.write(f"""<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>{fonts}</dir>
  <cachedir>{cache}</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
""")
        return config

    def environment(self, home, theme=None, scale=None):
        """The environment of a program run on this display: no desktop settings of the machine, fixed fonts and
        font resolution. theme "dark" asks GTK's dark Adwaita palette through Qt's GTK platform theme."""
        env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_RUNTIME_DIR": os.path.join(home, ".runtime"),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "DISPLAY": self.name,
            "QT_QPA_PLATFORM": "xcb",
            "QT_QPA_PLATFORMTHEME": "",
            "QT_FONT_DPI": "96",
            "FONTCONFIG_FILE": self.fonts,
            "NO_AT_BRIDGE": "1",
        }
        if theme == "dark":
            env["QT_QPA_PLATFORMTHEME"] = "gtk3"
            env["GTK_THEME"] = "Adwaita:dark"
        if scale:
            env["QT_SCALE_FACTOR"] = str(scale)
        for folder in (env["XDG_CONFIG_HOME"], env["XDG_CACHE_HOME"], env["XDG_DATA_HOME"], env["XDG_RUNTIME_DIR"]):
            os.makedirs(folder, exist_ok=True)
        os.chmod(env["XDG_RUNTIME_DIR"], 0o700)
        return env

    def stop(self):
        stop(self.process)

    # The player's hands -------------------------------------------------------------------------------------

    def xdotool(self, *args):
        return run(["xdotool", *args], env={**os.environ, "DISPLAY": self.name})

    def windows(self, title):
        """Visible windows whose whole title is title, newest last."""
        try:
            out = self.xdotool("search", "--onlyvisible", "--name", f"^{re.escape(title)}$")
        except Failure:
            return []  # xdotool reports "none found" as a failure
        return [int(line) for line in out.split()]

    def wait_window(self, title, timeout=15):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.windows(title)
            if found:
                time.sleep(0.3)  # the first paint
                return found[-1]
            time.sleep(0.1)
        raise Failure(f'no window "{title}" appeared within {timeout} s')

    def wait_gone(self, title, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not self.windows(title):
                return
            time.sleep(0.1)
        raise Failure(f'the window "{title}" is still open after {timeout} s')

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", str(window))
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def move(self, window, x, y):
        self.xdotool("windowmove", "--sync", str(window), str(x), str(y))
        time.sleep(0.2)

    def click(self, window, x, y):
        """A left click at x, y inside the window."""
        self.xdotool("mousemove", "--window", str(window), "--sync", str(x), str(y))
        time.sleep(0.1)
        self.xdotool("click", "1")
        time.sleep(0.3)

    def hover(self, window, x, y):
        self.xdotool("mousemove", "--window", str(window), "--sync", str(x), str(y))
        time.sleep(0.1)
        # A second small step: the pointer moves over the control rather than appearing on it.
        self.xdotool("mousemove", "--window", str(window), "--sync", str(x + 2), str(y))
        time.sleep(0.4)

    def keys(self, window, *keys):
        """Real key presses (XTEST) to the window, which gets the keyboard focus first."""
        self.xdotool("windowfocus", "--sync", str(window))
        for key in keys:
            self.xdotool("key", "--clearmodifiers", key)
            time.sleep(0.25)

    def type(self, window, text):
        self.xdotool("windowfocus", "--sync", str(window))
        self.xdotool("type", "--delay", "10", text)
        time.sleep(0.2)

    def window_pid(self, window):
        return int(self.xdotool("getwindowpid", str(window)).strip())

    # Pictures -----------------------------------------------------------------------------------------------

    def shot(self, window, args, folder, name, masks=()):
        """Photographs a window as folder/name.png and compares it with the reference picture, but for masks; with
        --shots, a copy goes there too."""
        path = os.path.join(folder, name + ".png")
        picture = self.screenshot(window, path)
        if args.shots:
            shutil.copyfile(path, os.path.join(args.shots, name + ".png"))
        compare(path, os.path.join(args.references, name + ".png"), os.path.join(folder, name + "-diff.png"),
                update=args.update_references, masks=masks)
        return picture

    def screenshot(self, window, path):
        """The window's contents once they have stopped changing."""
        previous = None
        for _ in range(20):
            run(["import", "-display", self.name, "-window", str(window), f"png:{path}"])
            current = pixels(path)
            if current == previous:
                return current
            previous = current
            time.sleep(0.15)
        return previous


def pixels(path):
    """(width, height, RGB bytes) of a picture."""
    size = run(["identify", "-format", "%w %h", path]).split()
    data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return int(size[0]), int(size[1]), data


def find_pixels(picture, predicate, region=None):
    """Bounding box (left, top, right, bottom) of the pixels whose (r, g, b) satisfies predicate, inside region
    (left, top, right, bottom), or None."""
    width, height, data = picture
    left, top, right, bottom = region or (0, 0, width, height)
    box = None
    for y in range(top, min(bottom, height)):
        row = y * width * 3
        for x in range(left, min(right, width)):
            i = row + x * 3
            if predicate(data[i], data[i + 1], data[i + 2]):
                if box is None:
                    box = [x, y, x, y]
                else:
                    box = [min(box[0], x), min(box[1], y), max(box[2], x), max(box[3], y)]
    return tuple(box) if box else None


def compare(shot, reference, diff, update=False, masks=()):
    """Checks a screenshot against its reference picture; with update, the screenshot becomes the reference.
    masks are rectangles (left, top, width, height) left out of the comparison."""
    name = os.path.basename(reference)
    if update or not os.path.exists(reference):
        if not update:
            raise Failure(f"no reference picture {reference}: run with --update-references to make one")
        # Without dates in the file: a picture that did not change keeps its bytes.
        run(["convert", shot, "-strip", "-define", "png:exclude-chunks=date,time,tIME", reference])
        log(f"reference {name} written")
        return
    width, height, _ = pixels(shot)
    ref_width, ref_height, _ = pixels(reference)
    if (width, height) != (ref_width, ref_height):
        raise Failure(f"{name}: the window is {width}x{height}, the reference {ref_width}x{ref_height}")
    if masks:
        covered = []
        for path in (reference, shot):
            out = f"{diff}.{len(covered)}.png"
            draw = [arg for left, top, w, h in masks
                    for arg in ("-draw", f"rectangle {left},{top} {left + w - 1},{top + h - 1}")]
            run(["convert", path, "-fill", "magenta", *draw, out])
            covered.append(out)
        reference, shot = covered
    result = subprocess.run(["compare", "-metric", "AE", "-fuzz", FUZZ, reference, shot, diff],
                            capture_output=True, text=True)
    if result.returncode not in (0, 1):
        raise Failure(f"{name}: compare failed: {result.stderr.strip()}")
    differing = int(float(result.stderr.split()[0]))
    allowed = max(ALLOWED_MINIMUM, int(width * height * ALLOWED_SHARE))
    log(f"{name}: {differing} of {width * height} pixels differ (at most {allowed} may)")
    if differing > allowed:
        raise Failure(f"{name}: {differing} pixels differ from the reference, more than {allowed}; see {diff}")
