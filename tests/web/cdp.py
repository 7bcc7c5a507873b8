"""A small client of Chromium's DevTools protocol: starts Debian's headless
chromium with a fresh profile and its debugging port on loopback, and drives
one page over a websocket (python3-websocket)."""

import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket

CHROMIUM_FLAGS = [
    "--headless",
    # WebGL on SwiftShader whatever Chromium's default of the day.
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--no-sandbox",
    # The machine has no network: nothing may try to reach one.
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--no-first-run",
    "--no-default-browser-check",
    "--mute-audio",
    "--remote-debugging-address=127.0.0.1",
    "--remote-debugging-port=0",
]


class Chromium:
    """One browser process with one page; close() ends both."""

    def __init__(self, executable="chromium", log_path=os.devnull):
        self.profile = tempfile.mkdtemp(prefix="dravik-chromium-")
        self.log = open(log_path, "w")
        self.process = subprocess.Popen(
            [executable, *CHROMIUM_FLAGS, f"--user-data-dir={self.profile}", "about:blank"],
            stdout=self.log, stderr=subprocess.STDOUT)
        port = self._debugging_port()
        targets = self._wait(lambda: self._pages(port), "a page target")
        self.page = Page(targets[0]["webSocketDebuggerUrl"])

    def _debugging_port(self):
        # Chromium writes the port it picked into the profile.
        path = os.path.join(self.profile, "DevToolsActivePort")
        text = self._wait(lambda: os.path.exists(path) and open(path).read().strip(),
                          "DevToolsActivePort")
        return int(text.splitlines()[0])

    @staticmethod
    def _pages(port):
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=5) as answer:
            return [t for t in json.load(answer) if t.get("type") == "page"]

    def _wait(self, probe, what, seconds=30):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(f"chromium exited with {self.process.returncode}")
            try:
                found = probe()
            except OSError:
                found = None
            if found:
                return found
            time.sleep(0.1)
        raise RuntimeError(f"chromium gave no {what} within {seconds} s")

    def close(self):
        try:
            self.page.close()
        finally:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
            self.log.close()
            shutil.rmtree(self.profile, ignore_errors=True)


class Page:
    """Commands to one page; the events that arrive meanwhile are kept in
    order in self.events as (method, params)."""

    def __init__(self, url):
        # No Origin header: Chromium refuses debugging clients that send one
        # it does not know.
        # A page on a machine loaded by other work can take a long while to
        # answer; a command that gets no answer in two minutes fails.
        self.socket = websocket.create_connection(url, timeout=120, suppress_origin=True)
        self.next_id = 0
        self.events = []

    def send(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            if "method" in message:
                self.events.append((message["method"], message.get("params", {})))

    def evaluate(self, expression):
        """The value of a JavaScript expression in the page (awaited when it
        is a promise)."""
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, seconds):
        """Polls an expression until it is truthy; its last value."""
        deadline = time.monotonic() + seconds
        value = self.evaluate(expression)
        while not value and time.monotonic() < deadline:
            time.sleep(0.05)
            value = self.evaluate(expression)
        return value

    def close(self):
        self.socket.close()
