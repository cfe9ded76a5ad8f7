"""XScreenSaver itself, run in the tests' display with a ~/.xscreensaver of their own.

XScreenSaver 6 starts no display mode while it runs as root ("running as root: not
launching hacks"), so when the tests run as root the daemon, its commands and the
mode it starts run as the unprivileged user `nobody`, in a home and a runtime folder
of their own; the program is copied where that user can reach it (a fresh folder in
the temp folder: a build tree under /root is out of its reach).
"""
import os
import pwd
import re
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path


class XScreenSaverSession:
    def __init__(self, display, program_tree, program):
        """program_tree: a folder (an unpacked .deb's root) copied to the session's own
        folder; program: the path of the program inside that folder."""
        self.work = Path(tempfile.mkdtemp(prefix="velun-xscreensaver-"))
        self.work.chmod(0o755)
        self.display = display
        self.home = self.work / "home"
        self.runtime = self.work / "runtime"
        self.home.mkdir(parents=True)
        self.runtime.mkdir()
        shutil.copytree(program_tree, self.work / "tree", symlinks=True)
        self.program = self.work / "tree" / program
        self.log = self.work / "xscreensaver.log"
        self.daemon = None
        self.user = None
        if os.geteuid() == 0:
            self.user = pwd.getpwnam("nobody")
            for path in [self.work, *self.work.rglob("*")]:
                os.lchown(path, self.user.pw_uid, self.user.pw_gid)
        self.runtime.chmod(0o700)

    @property
    def settings_file(self):
        return self.home / ".config" / "velun-saver" / "settings.ini"

    def write_settings(self, text):
        """Writes the user's settings file of the program, as that user's own."""
        self.settings_file.parent.mkdir(parents=True, exist_ok=True)
        self.settings_file.write_text(text)
        if self.user is not None:
            for path in (self.settings_file.parent.parent, self.settings_file.parent,
                         self.settings_file):
                os.chown(path, self.user.pw_uid, self.user.pw_gid)

    def _command(self, *arguments):
        if self.user is None:
            return list(arguments)
        return ["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}",
                "--clear-groups", *arguments]

    def _env(self):
        env = {"PATH": "/usr/bin:/bin", "HOME": str(self.home), "DISPLAY": self.display,
               "XDG_CONFIG_HOME": str(self.home / ".config"),
               "XDG_RUNTIME_DIR": str(self.runtime), "LC_ALL": "C.UTF-8"}
        if "XAUTHORITY" in os.environ:
            cookie = self.home / ".Xauthority"
            shutil.copy(os.environ["XAUTHORITY"], cookie)
            if self.user is not None:
                os.chown(cookie, self.user.pw_uid, self.user.pw_gid)
            env["XAUTHORITY"] = str(cookie)
        return env

    def command(self, *arguments, timeout=10):
        return subprocess.run(self._command("xscreensaver-command", *arguments), env=self._env(),
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=timeout)

    def start(self):
        """Starts the daemon with only our display mode in its list."""
        (self.home / ".xscreensaver").write_text(
            "timeout:\t60\ncycle:\t\t0\nlock:\t\tFalse\nfade:\t\tFalse\nunfade:\t\tFalse\n"
            "splash:\t\tFalse\nmode:\t\tone\nselected:\t0\n"
            f"programs:\t\"Velun Saver\"  {self.program} -root \\n\n")
        if self.user is not None:
            os.chown(self.home / ".xscreensaver", self.user.pw_uid, self.user.pw_gid)
        self.daemon = subprocess.Popen(
            self._command("xscreensaver", "--no-splash", "--verbose"), env=self._env(),
            stdin=subprocess.DEVNULL, stdout=open(self.log, "w"), stderr=subprocess.STDOUT,
            start_new_session=True)
        deadline = time.monotonic() + 20
        while self.command("-time").returncode != 0:
            if self.daemon.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(f"xscreensaver did not start:\n{self.log.read_text()}")
            time.sleep(0.2)

    def mode_processes(self):
        """Process ids of our display mode that run now."""
        found = []
        for entry in Path("/proc").iterdir():
            if entry.name.isdigit():
                try:
                    command = (entry / "cmdline").read_bytes().split(b"\0")[0]
                except OSError:
                    continue
                if command == bytes(self.program):
                    found.append(int(entry.name))
        return found

    def wait_for_mode(self, running, timeout=15):
        deadline = time.monotonic() + timeout
        while bool(self.mode_processes()) != running:
            if time.monotonic() > deadline:
                return False
            time.sleep(0.1)
        return True

    def mode_window(self):
        """The window XScreenSaver made for the last display mode it started, per its log."""
        started = re.findall(r'forked "[^"]*velun-saver[^"]*" in pid \d+ on window (0x[0-9a-f]+)',
                             self.log.read_text(errors="replace"))
        return started[-1] if started else None

    def stop(self, keep_log=None):
        """Ends the daemon (and so its display mode), keeps its log at keep_log and
        removes the session's folder."""
        if self.daemon is not None and self.daemon.poll() is None:
            self.daemon.send_signal(signal.SIGTERM)
            try:
                self.daemon.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.daemon.kill()
                self.daemon.wait()
        self.daemon = None
        for pid in self.mode_processes():
            os.kill(pid, signal.SIGKILL)
        if keep_log is not None and self.log.exists():
            shutil.copy(self.log, keep_log)
        shutil.rmtree(self.work, ignore_errors=True)
