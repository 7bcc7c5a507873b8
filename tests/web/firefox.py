#!/usr/bin/python3
"""The browser build in Debian's headless Firefox (WebGL on Mesa's software
rasteriser), driven over WebDriver BiDi: the page starts through its steps,
draws the scene, and the keys play it. Prints PASS/FAIL lines and
"web firefox: N passed, M failed".

Usage: firefox.py --build build-web --site DIR --base URL --probe image_probe --out DIR
URL serves DIR; the game is played from DIR/game/."""

import argparse
import base64
import json
import os
import re
import subprocess
import sys
import tempfile
import time

import websocket

from cdp import stop
from lifecycle import START_STEPS

# Firefox keeps WebGL off where it finds no GPU it trusts; this machine's
# software GL is what the page gets, as on a phone without drivers it likes.
PREFS = {"webgl.force-enabled": True, "webgl.disabled": False, "browser.shell.checkDefaultBrowser": False,
         "datareporting.policy.dataSubmissionEnabled": False, "app.update.enabled": False,
         "browser.startup.homepage_override.mstone": "ignore", "toolkit.telemetry.enabled": False}
RIGHT = "\ue014"  # WebDriver's ArrowRight


class Firefox:
    def __init__(self, log_path):
        self.profile = tempfile.mkdtemp(prefix="dravik-firefox-")
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            f.writelines(f'user_pref("{k}", {json.dumps(v)});\n' for k, v in PREFS.items())
        self.log = open(log_path, "w+")
        self.process = subprocess.Popen(
            # Headless Firefox finds no GL; in an X server (Xvfb) it draws with Mesa's.
            ["firefox-esr", *([] if os.environ.get("DISPLAY") else ["--headless"]), "--no-remote",
             "--profile", self.profile,
             "--remote-debugging-port", "0", "--width", "1280", "--height", "800"],
            stdout=self.log, stderr=subprocess.STDOUT)
        deadline, url = time.monotonic() + 60, None
        while url is None and time.monotonic() < deadline and self.process.poll() is None:
            self.log.seek(0)
            found = re.search(r"WebDriver BiDi listening on (ws://\S+)", self.log.read())
            url = found and found[1]
            time.sleep(0.2)
        if url is None:
            raise RuntimeError("firefox gave no WebDriver BiDi address")
        self.socket = websocket.create_connection(url.rstrip("/") + "/session", timeout=120,
                                                  suppress_origin=True)
        self.last_id, self.events = 0, []
        self.send("session.new", capabilities={})
        self.send("session.subscribe", events=["log.entryAdded"])
        self.context = self.send("browsingContext.getTree")["contexts"][0]["context"]

    def send(self, method, **params):
        self.last_id += 1
        self.socket.send(json.dumps({"id": self.last_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.last_id:
                if message.get("type") == "error":
                    raise RuntimeError(f"{method}: {message.get('error')}: {message.get('message')}")
                return message["result"]
            if message.get("type") == "event":
                self.events.append(message["params"])

    def evaluate(self, expression):
        result = self.send("script.evaluate", expression=expression, awaitPromise=True,
                           target={"context": self.context}, resultOwnership="none")
        if result["type"] == "exception":
            raise RuntimeError(f"{expression}: {result['exceptionDetails']['text']}")
        return json.loads(json.dumps(deserialize(result["result"])))

    def wait_for(self, expression, seconds):
        deadline = time.monotonic() + seconds
        while not (value := self.evaluate(expression)) and time.monotonic() < deadline:
            time.sleep(0.1)
        return value

    def close(self):
        self.socket.close()
        stop(self.process, self.log, self.profile, 15)


def deserialize(value):
    """A BiDi remote value as plain Python."""
    kind, inner = value["type"], value.get("value")
    if kind in ("array", "set"):
        return [deserialize(v) for v in inner]
    if kind == "object":
        return {k: deserialize(v) for k, v in inner}
    return None if kind in ("undefined", "null") else inner


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build", "--site", "--base", "--probe", "--out"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(os.path.join(args.site, "game")):
        os.symlink(os.path.abspath(args.build), os.path.join(args.site, "game"))
    passed = failed = 0

    def check(name, ok):
        nonlocal passed, failed
        print(f"{'PASS' if ok else 'FAIL'}: firefox: {name}", flush=True)
        passed, failed = passed + bool(ok), failed + (not ok)

    def shot(name):
        data = browser.send("browsingContext.captureScreenshot", context=browser.context,
                            clip={"type": "element", "element": canvas})["data"]
        path = os.path.join(args.out, f"firefox_{name}.png")
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))
        return path

    def probe(*words):
        return [float(v) for v in subprocess.run([args.probe, *words], check=True, capture_output=True,
                                                  text=True).stdout.split()]

    browser = Firefox(os.path.join(args.out, "firefox.log"))
    try:
        browser.send("browsingContext.navigate", context=browser.context, url=args.base + "game/",
                     wait="complete")
        started = browser.wait_for("!document.getElementById('loading') && document.title", 120)
        marks = browser.evaluate("performance.getEntriesByType('mark').map(m => m.name)"
                                 ".filter(n => n.startsWith('dravik: ') && !/^dravik: (context|first frame)/.test(n))"
                                 ".map(n => n.slice(8))")
        shown = [m for i, m in enumerate(marks or []) if i == 0 or marks[i - 1] != m]
        check(f"the page starts through its steps ({', '.join(shown)})", started and shown == START_STEPS)
        version = browser.evaluate("(c => c.getContext('webgl2') ? 2 : c.getContext('webgl') ? 1 : 0)"
                                   "(document.getElementById('canvas'))")
        check(f"a WebGL {version} context", version in (1, 2))
        canvas = browser.send("script.evaluate", expression="document.getElementById('canvas')",
                              awaitPromise=False, target={"context": browser.context},
                              resultOwnership="root")["result"]
        time.sleep(1)
        before = shot("start")
        colours, _, spread = probe("stats", before)
        check(f"the scene is drawn ({colours:.0f} colours, spread {spread:.1f})", colours > 50 and spread > 10)
        browser.evaluate("document.getElementById('canvas').focus(), true")
        deadline, change = time.monotonic() + 20, 0.0
        while change < 4.0 and time.monotonic() < deadline:
            browser.send("input.performActions", context=browser.context, actions=[{
                "type": "key", "id": "keys", "actions": [{"type": "keyDown", "value": RIGHT},
                                                         {"type": "pause", "duration": 100},
                                                         {"type": "keyUp", "value": RIGHT}]}])
            change = probe("diff", before, shot("right"))[0]
        check(f"holding Right moves the picture ({change:.1f})", change >= 4.0)
        errors = [e.get("text") for e in browser.events if e.get("level") == "error"]
        check(f"no console errors ({errors})", not errors)
    finally:
        browser.close()
    print(f"web firefox: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
