#!/usr/bin/python3
"""End-to-end checks of the browser build on the real page, in headless
Chromium with WebGL on SwiftShader: keys through the DevTools protocol,
screenshots of the canvas, the console. Prints PASS/FAIL lines, the figures
(never checked) and "web e2e: N passed, M failed".

Usage: play.py --build build-web --site DIR --base http://127.0.0.1:PORT/
               --probe path/to/image_probe --out DIR
The server serves DIR; the build is played from DIR/game/ (a path below the
server's root, as a page published in any folder is) and a copy whose data
holds a broken vertex shader and a broken model from DIR/broken/."""

import argparse
import base64
import gzip
import os
import re
import shutil
import subprocess
import sys
import time
from urllib.parse import urlparse

from cdp import Chromium

# The desktop draws the ground near the view centre in this colour (mean
# red, green, blue of build/screenshot.png over the patches below); the
# patches are grass in its start-up picture whatever the random trees do,
# most of them at least.
DESKTOP_GRASS = (54.6, 137.4, 34.1)
GRASS_PATCHES = [(280, 540), (230, 440), (540, 640), (860, 560)]
GRASS_TOLERANCE = 25

# key: (KeyboardEvent.key, code, Windows virtual-key code, text)
KEYS = {
    "Right": ("ArrowRight", "ArrowRight", 39, ""),
    "Left": ("ArrowLeft", "ArrowLeft", 37, ""),
    "Up": ("ArrowUp", "ArrowUp", 38, ""),
    "Down": ("ArrowDown", "ArrowDown", 40, ""),
    "Space": (" ", "Space", 32, " "),
    "F1": ("F1", "F1", 112, ""),
    "F2": ("F2", "F2", 113, ""),
    "Escape": ("Escape", "Escape", 27, ""),
    "PageDown": ("PageDown", "PageDown", 34, ""),
}

# Installed before the page's own scripts: records when the game draws (one
# clear per rendered frame, the first draw call) and the context it made,
# and can refuse contexts to play a browser without WebGL 2 or WebGL.
HOOK = """
(() => {
  const refused = %s;
  const seen = window.__dravik = {frames: [], firstDraw: null, gl: null, animationFrames: 0};
  const requestFrame = window.requestAnimationFrame;
  window.requestAnimationFrame = function (callback) {
    return requestFrame.call(window, (time) => { seen.animationFrames++; callback(time); });
  };
  for (const proto of [WebGLRenderingContext.prototype, WebGL2RenderingContext.prototype]) {
    const clear = proto.clear, draw = proto.drawElements;
    proto.clear = function (mask) { seen.frames.push(performance.now()); return clear.call(this, mask); };
    proto.drawElements = function (...args) {
      if (seen.firstDraw === null) seen.firstDraw = performance.now();
      return draw.apply(this, args);
    };
  }
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    if (refused.includes(type)) return null;
    const context = getContext.call(this, type, attributes);
    if (context && type.includes('webgl')) seen.gl = context;
    return context;
  };
})();
"""


class Run:
    def __init__(self, args):
        self.args = args
        self.passed = 0
        self.failed = 0
        self.figures = []
        self.browser = Chromium(log_path=os.path.join(args.out, "chromium.log"))
        self.page = self.browser.page
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.page.send(f"{domain}.enable")
        self.page.send("Emulation.setDeviceMetricsOverride", width=1280, height=720,
                       deviceScaleFactor=1, mobile=False)
        # Keys reach the page as they would a focused browser window.
        self.page.send("Emulation.setFocusEmulationEnabled", enabled=True)
        self.hook = None

    def check(self, name, ok):
        print(f"{'PASS' if ok else 'FAIL'}: {name}", flush=True)
        if ok:
            self.passed += 1
        else:
            self.failed += 1
        return ok

    def figure(self, line):
        print(f"  figure: {line}", flush=True)
        self.figures.append(line)

    # --- page -----------------------------------------------------------------
    def load(self, url, refused=()):
        if self.hook is not None:
            self.page.send("Page.removeScriptToEvaluateOnNewDocument", identifier=self.hook)
        source = HOOK % ("[" + ",".join(f"'{t}'" for t in refused) + "]")
        self.hook = self.page.send("Page.addScriptToEvaluateOnNewDocument",
                                   source=source)["identifier"]
        self.page.events.clear()
        self.page.send("Page.navigate", url=url)

    def wait_for_frames(self, count, seconds=30):
        return self.page.wait_for(f"window.__dravik && __dravik.frames.length >= {count}", seconds)

    def console(self, *types):
        """Text of the console calls of the given types since the last load."""
        return [" ".join(str(a.get("value", a.get("description", ""))) for a in p["args"])
                for m, p in self.page.events
                if m == "Runtime.consoleAPICalled" and p["type"] in types]

    def errors(self):
        found = [f"console.error: {t}" for t in self.console("error", "assert")]
        for method, params in self.page.events:
            if method == "Runtime.exceptionThrown":
                found.append(f"exception: {params['exceptionDetails'].get('text')}")
            elif method == "Log.entryAdded":
                entry = params["entry"]
                # WebGL reports misuse (a wrong upload format, say) as warnings.
                if entry["level"] == "error" or "WebGL" in entry["text"]:
                    found.append(f"{entry['level']}: {entry['text']}")
        return found

    # --- input and pictures ---------------------------------------------------
    def key(self, kind, name):
        key, code, virtual, text = KEYS[name]
        params = dict(type=kind, key=key, code=code, windowsVirtualKeyCode=virtual,
                      nativeVirtualKeyCode=virtual)
        if text and kind == "keyDown":
            params["text"] = text
        self.page.send("Input.dispatchKeyEvent", **params)

    def frames(self):
        return self.page.evaluate("__dravik.frames.length")

    # The game polls the keyboard once a frame: keys are held, never tapped.
    # A page busy with a slow frame takes a press and its release together,
    # so a key is held at least until two frames have been rendered, and the
    # release is followed by one more (unless the game is paused: seen=False).
    def hold(self, name, seconds, after=0.3, seen=True):
        self.key("keyDown", name)
        pressed = self.frames()
        time.sleep(seconds)
        if seen:
            self.wait_for_frames(pressed + 2, 10)
        self.key("keyUp", name)
        if seen:
            self.wait_for_frames(self.frames() + 1, 10)
        time.sleep(after)

    def press(self, name):
        self.hold(name, 0.15)

    def escape(self):
        self.key("keyDown", "Escape")
        self.key("keyUp", "Escape")

    def shot(self, name):
        box = self.page.evaluate(
            "(() => { const r = document.getElementById('canvas').getBoundingClientRect();"
            " return [r.x, r.y, r.width, r.height]; })()")
        clip = dict(x=box[0], y=box[1], width=box[2], height=box[3], scale=1)
        data = self.page.send("Page.captureScreenshot", format="png", clip=clip)["data"]
        path = os.path.join(self.args.out, f"{name}.png")
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))
        return path

    def probe(self, *words):
        return subprocess.run([self.args.probe, *words], check=True, capture_output=True,
                              text=True).stdout.split()

    def diff(self, a, b):
        return float(self.probe("diff", a, b)[0])

    def shift(self, a, b):
        return int(self.probe("shift", a, b)[0])


def grass_patches(run, picture):
    matching = 0
    for x, y in GRASS_PATCHES:
        colour = [float(v) for v in run.probe("mean", picture, str(x), str(y), "40", "40")]
        print(f"  ground at ({x}, {y}): {' '.join(f'{c:.0f}' for c in colour)}")
        if all(abs(c - d) <= GRASS_TOLERANCE for c, d in zip(colour, DESKTOP_GRASS)):
            matching += 1
    return matching


def play_normal(run, url):
    started = time.monotonic()
    run.load(url)
    if not run.check("the game draws frames", run.wait_for_frames(10)):
        for line in run.console("log", "warning", "error"):
            print(f"  console: {line}")
        return
    page = run.page
    first = page.evaluate("__dravik.firstDraw")
    run.figure(f"navigation to first drawn frame: {first:.0f} ms (target <= 3000 ms)")
    run.check("title is ZOKT 5 Dravik", page.evaluate("document.title") == "ZOKT 5 Dravik")
    size = page.evaluate("[__dravik.gl.drawingBufferWidth, __dravik.gl.drawingBufferHeight]")
    run.check(f"drawing buffer is 1280 x 720 (got {size[0]} x {size[1]})", size == [1280, 720])
    run.check("a WebGL 2 context, no fallback line",
              page.evaluate("__dravik.gl instanceof WebGL2RenderingContext") and
              not any("falling back" in t for t in run.console("log", "warning", "error")))

    start = run.shot("start")
    colours, _, spread = (float(v) for v in run.probe("stats", start))
    run.check("scene is drawn (not a blank frame)", colours > 500 and spread > 10)
    run.check("grass where the desktop shows grass", grass_patches(run, start) >= 3)

    run.hold("Right", 0.35)
    dx = run.shift(start, run.shot("right"))
    print(f"  centre band shift after Right: {dx} px")
    run.check("holding Right scrolls the world to the left", dx < -10)

    run.hold("Left", 0.35)
    back = run.shot("back")
    run.press("Space")
    run.hold("Right", 0.35)
    pan = run.shot("pan")
    pan_dx = run.shift(back, pan)
    print(f"  centre band shift after Space, Right: {pan_dx} px")
    run.check("Space then Right pans the camera instead of scrolling",
              pan_dx > dx / 2 and run.diff(back, pan) > 1.0)
    run.hold("Left", 0.35)
    run.press("Space")
    time.sleep(0.3)

    before = run.shot("before_f2")
    run.press("F2")
    ortho = run.shot("ortho")
    run.check("F2 changes the projection", run.diff(before, ortho) > 1.0)
    run.press("F2")
    run.check("a second F2 restores the projection", run.diff(before, run.shot("persp")) < 0.5)

    run.escape()
    time.sleep(0.5)
    paused1 = run.shot("paused1")
    frames = run.frames()
    run.hold("Right", 0.4, seen=False)
    paused2 = run.shot("paused2")
    drawn = run.frames() - frames
    run.check(f"Escape freezes the picture (frames rendered meanwhile: {drawn})",
              run.diff(paused1, paused2) < 0.5 and drawn == 0)
    run.check("the frozen picture is kept, not blank",
              float(run.probe("stats", paused2)[2]) > 10)
    run.escape()
    run.wait_for_frames(run.frames() + 2, 10)
    resumed1 = run.shot("resumed1")
    run.hold("Right", 0.3)
    run.check("a second Escape resumes the game", run.diff(resumed1, run.shot("resumed2")) > 1.0)
    run.hold("Left", 0.3)

    # Registered after the game's own listeners, so it sees what they did.
    page.evaluate("__dravik.keys = []; window.addEventListener('keydown', e =>"
                  " __dravik.keys.push([e.code, e.defaultPrevented])); 1")
    # A page taller than the window, so that it can scroll at all; PageDown
    # (not the game's) shows that it does.
    page.evaluate("document.body.style.paddingBottom = '3000px'")
    run.hold("PageDown", 0.1, after=0.5)
    scrolled = page.evaluate("window.scrollY")
    page.evaluate("window.scrollTo(0, 0)")
    for name in ("Down", "Up", "Right", "Left", "Space", "Space", "F1", "F2", "F2"):
        run.hold(name, 0.15, after=0.1)
    time.sleep(0.4)
    arrows = page.evaluate("window.scrollY")
    run.check(f"the page does not scroll when the game's keys are pressed "
              f"(PageDown scrolls it {scrolled:.0f} px, the game's keys {arrows:.0f} px)",
              scrolled > 0 and arrows == 0)
    page.evaluate("document.body.style.paddingBottom = ''; window.scrollTo(0, 0)")
    run.escape()
    run.escape()
    prevented = dict(page.evaluate("__dravik.keys"))
    print(f"  default prevented: {prevented}")
    game_keys = ("ArrowDown", "ArrowUp", "ArrowRight", "ArrowLeft", "Space", "F1", "F2",
                 "Escape")
    run.check("the browser's own action is prevented for the game's keys, not for others",
              all(prevented.get(code) is True for code in game_keys) and
              prevented.get("PageDown") is False)

    page.evaluate("document.activeElement.blur()")
    page.send("Input.dispatchMouseEvent", type="mousePressed", x=640, y=360, button="left",
              clickCount=1)
    page.send("Input.dispatchMouseEvent", type="mouseReleased", x=640, y=360, button="left",
              clickCount=1)
    run.check("a click on the canvas gives it the focus",
              page.evaluate("document.activeElement.id") == "canvas")

    # 10 s of play: Right and Left held in turn.
    first_frame = page.evaluate("__dravik.frames.length")
    first_animation_frame = page.evaluate("__dravik.animationFrames")
    end = time.monotonic() + 10
    while time.monotonic() < end:
        run.hold("Right", 1.0, after=0)
        run.hold("Left", 1.0, after=0)
    stamps = page.evaluate(f"__dravik.frames.slice({first_frame})")
    animation_frames = page.evaluate("__dravik.animationFrames") - first_animation_frame
    intervals = sorted(b - a for a, b in zip(stamps, stamps[1:]))
    if intervals:
        median = intervals[len(intervals) // 2]
        p99 = intervals[min(len(intervals) - 1, int(len(intervals) * 0.99))]
        run.figure(f"frame interval over 10 s of play: median {median:.1f} ms, "
                   f"p99 {p99:.1f} ms ({len(intervals)} intervals; of {animation_frames} "
                   f"animation frames, {animation_frames - len(stamps)} came sooner than "
                   f"15 ms after the last update and drew nothing)")
    run.check("frames are drawn during play", len(intervals) > 100)

    errors = run.errors()
    for line in errors:
        print(f"  {line}")
    run.check("no console errors or WebGL warnings in a normal run", not errors)
    run.check("nothing on standard error (console.warn)", not run.console("warning"))

    download_sizes(run, url)
    print(f"  normal run took {time.monotonic() - started:.0f} s")


def download_sizes(run, url):
    fetched = {urlparse(p["response"]["url"]).path.rsplit("/", 1)[-1] or "index.html"
               for m, p in run.page.events if m == "Network.responseReceived"}
    raw = packed = 0
    for name in sorted(fetched):
        path = os.path.join(run.args.build, name)
        if not os.path.isfile(path):
            continue
        data = open(path, "rb").read()
        raw += len(data)
        packed += len(gzip.compress(data, 9))
    run.figure(f"download: {raw / 1e6:.2f} MB raw, {packed / 1e6:.2f} MB gzip "
               f"(target <= 2 MB gzip; {', '.join(sorted(fetched))})")


def play_webgl1(run, url):
    run.load(url, refused=["webgl2"])
    drawn = run.wait_for_frames(10)
    run.check("without WebGL 2: the game runs on WebGL 1",
              drawn and run.page.evaluate("!(__dravik.gl instanceof WebGL2RenderingContext)"))
    lines = run.console("warning")
    run.check("without WebGL 2: the fallback line on the console",
              "OpenGL 3.0 is not supported, falling back to GL 2.1" in lines)
    if drawn:
        time.sleep(0.5)
        picture = run.shot("webgl1")
        colours, _, spread = (float(v) for v in run.probe("stats", picture))
        run.check("without WebGL 2: the scene is drawn, grass included",
                  colours > 500 and spread > 10 and grass_patches(run, picture) >= 3)
    errors = run.errors()
    for line in errors:
        print(f"  {line}")
    run.check("without WebGL 2: no console errors or WebGL warnings", not errors)


def play_without_webgl(run, url):
    run.load(url, refused=["webgl2", "webgl", "experimental-webgl"])
    text = run.page.wait_for(
        "(() => { const m = document.querySelector('.message.error');"
        " return m && m.offsetWidth > 0 && m.offsetHeight > 0 && m.textContent; })()", 30)
    run.check("without WebGL: the page shows \"Unable to create the OpenGL Window\"",
              text == "Unable to create the OpenGL Window")
    run.check("without WebGL: the same on console.error",
              any("Unable to create the OpenGL Window" in t for t in run.console("error")))
    for line in run.console("log", "warning", "error") + run.errors():
        print(f"  console: {line}")
    run.check("without WebGL: the game does not start",
              run.page.evaluate("__dravik.frames.length") == 0)


# Faults written over files of the data package, padded to the same length
# (the package's index in dravik.js gives each file's byte range).
FAULTS = {
    "/data/shaders/basic-fixed.vert": b"this is not GLSL\n",
    "/data/meshes/display/tree.json": b"this is not JSON",
}


def make_broken_copy(build, folder):
    """The build with the FAULTS in its data."""
    os.makedirs(folder, exist_ok=True)
    for name in ("index.html", "dravik.js", "dravik.wasm"):
        shutil.copy(os.path.join(build, name), folder)
    script = open(os.path.join(build, "dravik.js")).read()
    data = bytearray(open(os.path.join(build, "dravik.data"), "rb").read())
    for path, fault in FAULTS.items():
        found = re.search(r'"filename":\s*"%s",\s*"start":\s*(\d+),\s*"end":\s*(\d+)'
                          % re.escape(path), script)
        start, end = int(found.group(1)), int(found.group(2))
        data[start:end] = fault + b" " * (end - start - len(fault))
    open(os.path.join(folder, "dravik.data"), "wb").write(bytes(data))


def play_broken_data(run, url):
    run.load(url)
    drawn = run.wait_for_frames(10)
    lines = run.console("log")
    at = next((i for i, t in enumerate(lines)
               if t.startswith("Could not compile vertexShader 35633:")), None)
    run.check("broken vertex shader: compile message on the console", at is not None)
    run.check("broken vertex shader: the compiler log follows",
              at is not None and at + 1 < len(lines) and lines[at + 1].strip() != "")
    if at is not None and at + 1 < len(lines):
        print(f"  {lines[at]} {lines[at + 1]}")
    # The JSON parser's exception is caught in the browser build too.
    run.check("broken model: one line on standard error (console.warn), as on the desktop",
              run.console("warning") == ["data/meshes/display/tree.json: not valid JSON"])
    for line in run.errors():
        print(f"  {line}")
    run.check("broken data: the game runs on", drawn)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--site", required=True)
    parser.add_argument("--base", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    game = os.path.join(args.site, "game")
    if not os.path.exists(game):
        os.symlink(os.path.abspath(args.build), game)
    make_broken_copy(args.build, os.path.join(args.site, "broken"))

    run = Run(args)
    scenarios = [
        ("normal run", play_normal, "game/"),
        ("WebGL 1 run", play_webgl1, "game/"),
        ("run without WebGL", play_without_webgl, "game/"),
        ("run with broken data", play_broken_data, "broken/"),
    ]
    try:
        for name, play, path in scenarios:
            try:
                play(run, args.base + path)
            except Exception as error:  # a page that stopped answering, say
                run.check(f"the {name} goes to its end ({type(error).__name__}: {error})", False)
    finally:
        run.browser.close()
    start = os.path.join(args.out, "start.png")
    if os.path.exists(start):
        shutil.copy(start, os.path.join(args.out, "screenshot.png"))
        print(f"screenshot: {os.path.join(args.out, 'screenshot.png')}")
    print(f"web e2e: {run.passed} passed, {run.failed} failed")
    return 0 if run.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
