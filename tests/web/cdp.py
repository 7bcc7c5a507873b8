"""A small client of Chromium's DevTools protocol: Debian's headless chromium
with a fresh profile and its debugging port on loopback, one page driven over
a websocket (python3-websocket)."""

import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket

FLAGS = [
    "--headless", "--use-angle=swiftshader", "--enable-unsafe-swiftshader", "--no-sandbox",
    # The machine has no network: nothing may try to reach one.
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--no-first-run", "--no-default-browser-check", "--mute-audio",
    "--remote-debugging-address=127.0.0.1", "--remote-debugging-port=0",
]


def wait(probe, what, process, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and process.poll() is None:
        try:
            found = probe()
        except (OSError, ValueError, IndexError):  # not written yet
            found = None
        if found:
            return found
        time.sleep(0.1)
    raise RuntimeError(f"chromium gave no {what}")


class Chromium:
    def __init__(self, log_path):
        self.profile = tempfile.mkdtemp(prefix="dravik-chromium-")
        self.log = open(log_path, "w")
        self.process = subprocess.Popen(
            ["chromium", *FLAGS, f"--user-data-dir={self.profile}", "about:blank"],
            stdout=self.log, stderr=subprocess.STDOUT)
        # Chromium writes the port it picked into the profile.
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        port = wait(lambda: open(port_file).read().split()[0], "debugging port", self.process)
        list_url = f"http://127.0.0.1:{port}/json/list"
        pages = wait(lambda: [t for t in json.load(urllib.request.urlopen(list_url, timeout=5))
                              if t["type"] == "page"], "page", self.process)
        self.page = Page(pages[0]["webSocketDebuggerUrl"])

    def close(self):
        self.page.socket.close()
        stop(self.process, self.log, self.profile)


def stop(process, log, profile, seconds=10):
    """Ends a browser started with a profile folder of its own, and removes it."""
    process.terminate()
    try:
        process.wait(seconds)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    log.close()
    shutil.rmtree(profile, ignore_errors=True)


class Page:
    """Commands to one page; the events that arrive meanwhile are kept, in
    order, in self.events as (method, params)."""

    def __init__(self, url):
        # No Origin header, which Chromium would refuse. A page on a machine
        # loaded by other work may be slow: a command fails after 2 minutes.
        self.socket = websocket.create_connection(url, timeout=120, suppress_origin=True)
        self.last_id = 0
        self.events = []

    def send(self, method, **params):
        self.last_id += 1
        self.socket.send(json.dumps({"id": self.last_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.last_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            if "method" in message:
                self.events.append((message["method"], message.get("params", {})))

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, seconds):
        """Polls an expression until it is truthy; its last value."""
        deadline = time.monotonic() + seconds
        while not (value := self.evaluate(expression)) and time.monotonic() < deadline:
            time.sleep(0.05)
        return value
