#!/usr/bin/env python3
"""Checks of the system-wide installation: the launcher's per-user program folder, and the Debian package built by
CPack, installed and started by a normal user in a virtual X server.

As root (CI) the package is installed for real with apt-get, a throwaway user starts the program and the package
and the user are removed afterwards. Otherwise the package is unpacked into a scratch folder and the launcher is
pointed at it, and the current user plays the normal user.

Usage: run_package.py --build DIR --work DIR [--references DIR] [--shots DIR] [--update-references]
"""

import argparse
import fcntl
import filecmp
import os
import pwd
import shutil
import signal
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing is written into the source tree
from xsession import Display, Failure, log, run, stop

HERE = os.path.dirname(os.path.abspath(__file__))
INSTALLED = "/opt/tunesmith"
APP_ID = "invalid.tunesmith.Tunesmith"
USER = "tunesmith-e2e"
PROFILES = ["Example Game.tsm", "OpenArena.tsm", "Xonotic.tsm"]
PACKAGE_FILES = [
    "./opt/tunesmith/tunesmith", "./opt/tunesmith/tunesmith-cli", "./opt/tunesmith/tsm.mid",
    "./opt/tunesmith/donate.png", *[f"./opt/tunesmith/profiles/{name}" for name in PROFILES],
    "./usr/bin/tunesmith", "./usr/bin/tunesmith-cli", f"./usr/share/applications/{APP_ID}.desktop",
    f"./usr/share/metainfo/{APP_ID}.metainfo.xml", "./usr/share/icons/hicolor/scalable/apps/tunesmith.svg",
    *[f"./usr/share/icons/hicolor/{size}x{size}/apps/tunesmith.png" for size in (16, 24, 32, 48, 64, 128, 256)],
]


def expect(condition, message):
    if not condition:
        raise Failure(message)


def same_file(a, b):
    return filecmp.cmp(a, b, shallow=False)


# The launcher's per-user program folder -------------------------------------------------------------------------

def launcher_checks(args):
    """The launcher prepares a program folder per user from the installed one, and keeps it up to date without
    undoing what the user changed."""
    root = os.path.join(args.work, "launcher")
    installed = os.path.join(root, "installed")
    run(["cmake", "--install", args.build, "--prefix", installed])
    bin_folder = os.path.join(root, "bin")
    os.makedirs(bin_folder)
    launcher = os.path.join(bin_folder, "tunesmith")
    shutil.copy(os.path.join(args.build, "packaging", "tunesmith"), launcher)
    os.symlink("tunesmith", os.path.join(bin_folder, "tunesmith-cli"))
    data = os.path.join(root, "data")
    env = {"PATH": os.environ["PATH"], "HOME": os.path.join(root, "home"), "XDG_DATA_HOME": data,
           "TUNESMITH_INSTALLED_FOLDER": installed}
    folder = os.path.join(data, "tunesmith")

    out = run([os.path.join(bin_folder, "tunesmith-cli"), "check", "Example Game"], env=env)
    expect(out.startswith("Example Game.tsm: ok"), f"tunesmith-cli through the launcher printed {out!r}")
    for program in ("tunesmith", "tunesmith-cli"):
        copy = os.path.join(folder, program)
        expect(os.path.isfile(copy) and not os.path.islink(copy), f"{program} is not copied into {folder}")
        expect(same_file(copy, os.path.join(installed, program)), f"{program} differs from the installed one")
        expect(os.access(copy, os.X_OK), f"the copy of {program} cannot be run")
    for media in ("tsm.mid", "donate.png"):
        expect(os.readlink(os.path.join(folder, media)) == os.path.join(installed, media),
               f"{media} is not linked to the installed one")
    for name in PROFILES:
        expect(same_file(os.path.join(folder, "profiles", name), os.path.join(installed, "profiles", name)),
               f"the profile {name} was not copied")
    log("launcher: first start prepared the program folder")

    # The player edits one profile and deletes another; a new release changes all three, brings a new profile
    # and a new command-line tool.
    with open(os.path.join(folder, "profiles", "OpenArena.tsm"), "ab") as edited:
        edited.write(b"My own note.\r\n")
    os.remove(os.path.join(folder, "profiles", "Xonotic.tsm"))
    for name in PROFILES:
        with open(os.path.join(installed, "profiles", name), "ab") as shipped:
            shipped.write(b"Notes of the new release.\r\n")
    shutil.copyfile(os.path.join(installed, "profiles", "Example Game.tsm"),
                    os.path.join(installed, "profiles", "New Game.tsm"))
    with open(os.path.join(installed, "tunesmith-cli"), "ab") as program:
        program.write(b"\0new release")  # bytes past the end of the executable: it still runs

    run([os.path.join(bin_folder, "tunesmith-cli"), "check", "Example Game"], env=env)
    profiles = os.path.join(folder, "profiles")
    expect(same_file(os.path.join(profiles, "Example Game.tsm"), os.path.join(installed, "profiles",
                                                                              "Example Game.tsm")),
           "an unchanged profile was not brought up to date")
    with open(os.path.join(profiles, "OpenArena.tsm"), "rb") as edited:
        expect(edited.read().endswith(b"My own note.\r\n"), "the player's own profile was overwritten")
    expect(not os.path.exists(os.path.join(profiles, "Xonotic.tsm")), "a profile the player deleted came back")
    expect(os.path.exists(os.path.join(profiles, "New Game.tsm")), "a new profile of the release was not copied")
    expect(same_file(os.path.join(folder, "tunesmith-cli"), os.path.join(installed, "tunesmith-cli")),
           "the copied tunesmith-cli was not replaced by the new release")
    log("launcher: a new release updates what the player left alone and nothing else")


# The Debian package ---------------------------------------------------------------------------------------------

def build_package(args):
    out_folder = os.path.join(args.work, "package")
    run(["cpack", "--config", os.path.join(args.build, "CPackConfig.cmake"), "-B", out_folder])
    debs = [name for name in os.listdir(out_folder) if name.endswith(".deb")]
    expect(len(debs) == 1, f"cpack made {debs}")
    deb = os.path.join(out_folder, debs[0])
    contents = run(["dpkg-deb", "--contents", deb])
    # Mode, owner, size, date, time, then the name, which may hold spaces.
    listed = {" ".join(line.split()[5:]) for line in contents.splitlines()}
    missing = [path for path in PACKAGE_FILES if path not in listed]
    expect(not missing, f"the package lacks {missing}")
    info = run(["dpkg-deb", "--field", deb, "Package", "Version", "Depends"])
    expect("libqt6widgets6" in info, f"the package does not depend on Qt Widgets: {info}")
    log(f"package {debs[0]} built with {len(listed)} entries; {' '.join(info.split())[:100]}...")

    unpacked = os.path.join(args.work, "unpacked")
    run(["dpkg-deb", "-x", deb, unpacked])
    run(["desktop-file-validate", os.path.join(unpacked, "usr/share/applications", f"{APP_ID}.desktop")])
    run(["appstreamcli", "validate", "--no-net", "--pedantic",
         os.path.join(unpacked, "usr/share/metainfo", f"{APP_ID}.metainfo.xml")])
    log("desktop entry and AppStream metainfo are valid")
    return deb, unpacked


class Installation:
    """The package installed for real (as root) or unpacked into a scratch root, and the user who runs it."""

    def __init__(self, args, deb, unpacked):
        self.real = os.geteuid() == 0
        self.deb = deb
        self.created_user = False
        self.installed_before = False
        if self.real:
            status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "tunesmith"], capture_output=True,
                                    text=True).stdout
            self.installed_before = "install ok installed" in status
            run(["apt-get", "install", "-y", "--no-install-recommends", "-o", "DPkg::Lock::Timeout=120", deb],
                env={**os.environ, "DEBIAN_FRONTEND": "noninteractive"})
            self.folder = INSTALLED
            self.bin = "/usr/bin"
            try:
                pwd.getpwnam(USER)
            except KeyError:
                run(["useradd", "--create-home", "--shell", "/bin/sh", USER])
                self.created_user = True
            self.home = pwd.getpwnam(USER).pw_dir
            # The user's own runtime folder, which Qt would otherwise make in /tmp and leave behind.
            self.runtime = os.path.join(args.work, "runtime")
            os.mkdir(self.runtime, 0o700)
            os.chown(self.runtime, pwd.getpwnam(USER).pw_uid, pwd.getpwnam(USER).pw_gid)
            # Left by an earlier run that was cut short: the user's first start must be a first start.
            shutil.rmtree(os.path.join(self.home, ".local", "share", "tunesmith"), ignore_errors=True)
            log(f"package installed with apt-get; running as the user {USER}")
        else:
            self.folder = os.path.join(unpacked, INSTALLED.lstrip("/"))
            self.bin = os.path.join(unpacked, "usr/bin")
            self.home = os.path.join(args.work, "home")
            os.makedirs(self.home)
            log("not root: the package is unpacked, and the current user runs it")

    def command(self, env, *args):
        """args run as the normal user, with env as its whole environment."""
        env = {**env, "HOME": self.home}
        if not self.real:
            return list(args), {**env, "TUNESMITH_INSTALLED_FOLDER": self.folder}
        env["XDG_RUNTIME_DIR"] = self.runtime
        return ["runuser", "-u", USER, "--", "env", "-i", *[f"{k}={v}" for k, v in env.items()], *args], None

    def remove(self):
        if not self.real:
            return
        if not self.installed_before:
            run(["dpkg", "--purge", "tunesmith"])
            expect(not os.path.exists(INSTALLED) and not os.path.exists("/usr/bin/tunesmith"),
                   "removing the package left its files behind")
            log("package removed")
        if self.created_user:
            subprocess.run(["userdel", "--remove", USER], capture_output=True)


def package_checks(args, display):
    deb, unpacked = build_package(args)
    # One run at a time installs the package and uses the throwaway user.
    with open(os.path.join(os.environ.get("TMPDIR", "/tmp"), "tunesmith-e2e-package.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        setup = Installation(args, deb, unpacked)
        try:
            run_installed(args, display, setup)
        finally:
            setup.remove()


def run_installed(args, display, setup):
    env = display.environment(os.path.join(args.work, "session"))
    # The user's own folders: the launcher's default places, not the session's scratch ones.
    for key in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
        env.pop(key)
    command, own_env = setup.command(env, os.path.join(setup.bin, "tunesmith"))
    log_path = os.path.join(args.work, "installed.log")
    process = subprocess.Popen(command, env=own_env, cwd="/", stdout=open(log_path, "w"), stderr=subprocess.STDOUT)
    try:
        window = display.wait_window("Load Game Profile")
        display.shot(window, args, args.work, "startup-installed")
        check_user_folder(setup)
        if setup.real:
            # The window shows the icon the package put into the desktop's icon theme.
            icon = subprocess.run(["xprop", "-display", display.name, "-id", str(window), "_NET_WM_ICON"],
                                  capture_output=True, text=True).stdout
            expect("_NET_WM_ICON(CARDINAL)" in icon, f"the window has no icon: {icon.strip()}")
            log("the window shows the installed icon")
        # The start-up window has no Quit: the program is ended as a session would end it.
        pid = display.window_pid(window)
        os.kill(pid, signal.SIGTERM)
        display.wait_gone("Load Game Profile")
        process.wait(timeout=10)
    finally:
        stop(process)

    command, own_env = setup.command({"PATH": env["PATH"], "LC_ALL": "C.UTF-8"},
                                     os.path.join(setup.bin, "tunesmith-cli"), "check", "Example Game")
    out = run(command, env=own_env)
    expect(out.startswith("Example Game.tsm: ok"), f"the installed tunesmith-cli printed {out!r}")
    log(f"installed tunesmith-cli: {out.strip()}")


def check_user_folder(setup):
    folder = os.path.join(setup.home, ".local", "share", "tunesmith")
    for name in ("config.cfg", "version.cfg", "backups", "profiles", "tunesmith"):
        expect(os.path.exists(os.path.join(folder, name)), f"the per-user program folder lacks {name}")
    with open(os.path.join(folder, "version.cfg"), "rb") as version:
        expect(version.read().strip() == b"103", "version.cfg does not hold 103")
    expect(same_file(os.path.join(folder, "tunesmith"), os.path.join(setup.folder, "tunesmith")),
           "the per-user tunesmith is not the installed one")
    if setup.real:
        owner = pwd.getpwnam(USER).pw_uid
        for name in ("config.cfg", "version.cfg", "backups", "tunesmith"):
            expect(os.stat(os.path.join(folder, name)).st_uid == owner, f"{name} does not belong to {USER}")
    for name in ("config.cfg", "version.cfg", "backups"):
        expect(not os.path.exists(os.path.join(setup.folder, name)), f"the program wrote {name} into {setup.folder}")
    log(f"per-user program folder {folder} prepared; nothing written to {setup.folder}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="the build folder (cmake -B)")
    parser.add_argument("--work", required=True, help="an empty scratch folder")
    parser.add_argument("--references", default=os.path.join(HERE, "reference"))
    parser.add_argument("--shots", help="also copy every screenshot into this folder")
    parser.add_argument("--update-references", action="store_true", help="make the screenshots the references")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    os.makedirs(args.work, exist_ok=True)
    # The throwaway user reads the fonts and configuration kept here.
    os.chmod(args.work, 0o755)

    started = time.monotonic()
    display = None
    try:
        launcher_checks(args)
        display = Display(args.work)
        package_checks(args, display)
    except Failure as failure:
        print(f"[e2e] FAILED: {failure}", file=sys.stderr)
        return 1
    finally:
        if display:
            display.stop()
    log(f"all package checks passed in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
