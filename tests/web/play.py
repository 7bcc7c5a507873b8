#!/usr/bin/python3
"""End-to-end checks of the browser build on the real page in headless
Chromium: keys through the DevTools protocol, screenshots of the canvas, the
console. Prints PASS/FAIL lines, figures (never checked) and
"web e2e: N passed, M failed".

Usage: play.py --build build-web --site DIR --base URL --probe image_probe --out DIR
URL serves DIR; the game is played from DIR/game/ (below the server's root,
as from any folder of a web server) and from DIR/broken/, a copy whose data
holds the FAULTS."""

import argparse
import base64
import gzip
import os
import re
import shutil
import subprocess
import sys
import time

from cdp import Chromium
from controls import check_pans, play_gamepad, play_touch
from lifecycle import copy_site, play_context_loss, play_fullscreen, play_loading, play_offline

# The desktop draws these patches of its start-up picture in this colour
# (mean red, green, blue in build/screenshot.png); a random tree may hide one.
DESKTOP_GRASS = (54.6, 137.4, 34.1)
GRASS_PATCHES = [(280, 540), (230, 440), (540, 640), (860, 560)]

MOVED = 4.0

# name: (KeyboardEvent.key, .code, Windows virtual-key code)
KEYS = {"Right": ("ArrowRight", "ArrowRight", 39), "Left": ("ArrowLeft", "ArrowLeft", 37),
        "Up": ("ArrowUp", "ArrowUp", 38), "Down": ("ArrowDown", "ArrowDown", 40),
        "Space": (" ", "Space", 32), "F1": ("F1", "F1", 112), "F2": ("F2", "F2", 113),
        "Escape": ("Escape", "Escape", 27), "PageDown": ("PageDown", "PageDown", 34)}

# Written over files of the data package, padded to their length (the
# package's index in dravik.js gives each file's byte range).
FAULTS = {"/data/shaders/basic-fixed.vert": b"this is not GLSL\n",
          "/data/meshes/display/tree.json": b"this is not JSON"}

# Runs before the page's scripts: records each rendered frame (the game
# clears once a frame), the first draw call, the animation frames and the
# context; refuses the context types listed, to play a browser without them.
# While __dravik.watch is set, a ground patch of each drawn frame is read back
# until one differs from the last before the input (key, touch move, mark()).
HOOK = """(() => {
  const refused = %s;
  const seen = window.__dravik = {frames: [], firstDraw: null, gl: null, animationFrames: 0};
  for (const proto of [WebGLRenderingContext.prototype, WebGL2RenderingContext.prototype]) {
    const clear = proto.clear, draw = proto.drawElements;
    proto.clear = function (m) { seen.frames.push(performance.now()); return clear.call(this, m); };
    proto.drawElements = function (...a) { seen.firstDraw ??= performance.now(); return draw.apply(this, a); };
  }
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    if (refused.includes(type)) return null;
    return seen.gl = getContext.call(this, type, attributes);
  };
  const request = window.requestAnimationFrame;
  const patch = new Uint8Array(128 * 32 * 4), last = new Uint8Array(patch.length);
  seen.mark = () => { const w = seen.watch; if (w && w.inputAt === null) w.inputAt = seen.animationFrames; };
  for (const type of ['keydown', 'touchmove']) addEventListener(type, seen.mark, true);
  window.requestAnimationFrame = (f) => request.call(window, (t) => {
    const drawn = seen.frames.length, watch = seen.watch;
    seen.animationFrames++; f(t);
    if (!watch || watch.frames !== null || seen.frames.length === drawn) return;
    seen.gl.readPixels(480, 60, 128, 32, seen.gl.RGBA, seen.gl.UNSIGNED_BYTE, patch);
    if (watch.inputAt === null) { last.set(patch); watch.ready = true; }
    else if (patch.some((v, i) => v !== last[i])) watch.frames = seen.animationFrames - watch.inputAt;
  });
})();"""


class Run:
    def __init__(self, args):
        self.args, self.passed, self.failed, self.hook = args, 0, 0, None
        self.browser = Chromium(os.path.join(args.out, "chromium.log"))
        self.page = self.browser.page
        for domain in ("Page", "Runtime", "Log", "Network"):
            self.page.send(f"{domain}.enable")
        self.page.send("Emulation.setDeviceMetricsOverride", width=1280, height=720,
                       deviceScaleFactor=1, mobile=False)
        self.page.send("Emulation.setFocusEmulationEnabled", enabled=True)

    def check(self, name, ok):
        print(f"{'PASS' if ok else 'FAIL'}: {name}", flush=True)
        self.passed, self.failed = self.passed + bool(ok), self.failed + (not ok)

    def load(self, url, refused=(), extra=""):
        if self.hook:
            self.page.send("Page.removeScriptToEvaluateOnNewDocument", identifier=self.hook)
        self.hook = self.page.send("Page.addScriptToEvaluateOnNewDocument",
                                   source=HOOK % list(refused) + extra)["identifier"]
        self.page.events.clear()
        self.page.send("Page.navigate", url=url)

    def frames(self):
        return self.page.evaluate("window.__dravik ? __dravik.frames.length : 0")

    def wait_for_frames(self, count, seconds=30):
        return self.page.wait_for(f"window.__dravik && __dravik.frames.length >= {count}", seconds)

    def console(self, *types):
        return [" ".join(str(a.get("value", "")) for a in p["args"])
                for m, p in self.page.events if m == "Runtime.consoleAPICalled" and p["type"] in types]

    def errors(self):
        found = self.console("error", "assert")
        found += [p["exceptionDetails"]["text"] for m, p in self.page.events
                  if m == "Runtime.exceptionThrown"]
        # WebGL reports misuse (a wrong upload format, say) as warnings.
        found += [p["entry"]["text"] for m, p in self.page.events if m == "Log.entryAdded"
                  and (p["entry"]["level"] == "error" or "WebGL" in p["entry"]["text"])]
        for line in found:
            print(f"  {line}")
        return found

    def key(self, kind, name):
        key, code, virtual = KEYS[name]
        text = {"text": key} if kind == "keyDown" and len(key) == 1 else {}
        self.page.send("Input.dispatchKeyEvent", type=kind, key=key, code=code,
                       windowsVirtualKeyCode=virtual, nativeVirtualKeyCode=virtual, **text)

    # The game polls the keyboard once a frame and moves by each frame's
    # time; on a page with slow frames, a key held for some seconds moves it
    # by anything from one frame's time to two frames' more. So a key is
    # held until a frame comes that many seconds after the last one before
    # the press, and one more frame follows the release (seen=False: the
    # game is paused and draws none).
    def hold(self, name, seconds, after=0.3, seen=True):
        self.hold_with(lambda: self.key("keyDown", name), lambda: self.key("keyUp", name),
                       seconds, after, seen)

    def hold_with(self, press, release, seconds, after=0.3, seen=True):
        before = self.page.evaluate("__dravik.frames.at(-1)")
        press()
        time.sleep(seconds)
        if seen and not self.page.wait_for(
                f"__dravik.frames.at(-1) >= {before + 1000 * seconds}", 10):
            print("note: no frame drawn in 10 s while the input was held", flush=True)
        elif not seen:  # paused, the game draws nothing but reads its gamepads each animation frame
            self.wait_for_animation_frames(2)
        release()
        if seen:
            self.wait_for_frames(self.frames() + 1, 10)
        else:
            self.wait_for_animation_frames(2)
        time.sleep(after)

    def wait_for_animation_frames(self, count):
        start = self.page.evaluate("__dravik.animationFrames")
        self.page.wait_for(f"__dravik.animationFrames >= {start + count}", 10)

    # An input whose effect shows is given until it shows: a slow page moves
    # by each frame's time, so a timed hold moves it by anything. It is given
    # in pulses that each last until a frame is drawn, so that each moves the
    # world by a frame or two, until the picture differs from BEFORE by
    # `moved` (a mean difference per channel; 4 is about a 20 px scroll), for
    # 20 s at most; the last picture is shot as NAME.
    def hold_until(self, press, release, before, name, moved=MOVED):
        deadline = time.monotonic() + 20
        while True:
            self.hold_with(press, release, 0.05, after=0)
            picture = self.shot(name)
            if self.probe("diff", before, picture)[0] >= moved or time.monotonic() > deadline:
                return picture

    def move(self, key, before, name, **until):
        return self.hold_until(lambda: self.key("keyDown", key), lambda: self.key("keyUp", key),
                               before, name, **until)

    # A toggle's effect is awaited as a move's is: the page may show a frame
    # it drew late on a busy machine.
    def shot_until(self, name, done, seconds=10):
        deadline = time.monotonic() + seconds
        while not done(picture := self.shot(name)) and time.monotonic() < deadline:
            time.sleep(0.2)
        return picture

    def shot(self, name):
        box = self.page.evaluate("(({x, y, width, height}) => ({x, y, width, height}))"
                                 "(document.getElementById('canvas').getBoundingClientRect())")
        data = self.page.send("Page.captureScreenshot", format="png", clip=dict(box, scale=1))
        path = os.path.join(self.args.out, f"{name}.png")
        with open(path, "wb") as f:
            f.write(base64.b64decode(data["data"]))
        return path

    def latency(self, what, press, release):  # ten tries, right (0) and left (1) by turns
        counts = []
        for left in [0, 1] * 5:
            self.page.wait_for("(__dravik.watch ??= {inputAt: null, frames: null}).ready", 5)
            press(left)
            counts.append(self.page.wait_for("__dravik.watch.frames", 3) or 0)
            release(left)
            self.page.evaluate("__dravik.watch = null")
            self.wait_for_frames(self.frames() + 2, 10)
        print(f"  figure: {what} to the first frame that shows it: median {sorted(counts)[5]}"
              f" animation frames of 10 tries ({min(counts)}..{max(counts)}; 0: none within 3 s)")

    def probe(self, *words):
        return [float(v) for v in subprocess.run([self.args.probe, *words], check=True,
                                                  capture_output=True, text=True).stdout.split()]

    def drawn(self, picture):
        """The scene is there (as the desktop checks it) and so is the grass."""
        colours, _, spread = self.probe("stats", picture)
        grass = [self.probe("mean", picture, str(x), str(y), "40", "40") for x, y in GRASS_PATCHES]
        print("  grass patches: " + ", ".join(" ".join(f"{c:.0f}" for c in g) for g in grass))
        matching = sum(all(abs(c - d) <= 25 for c, d in zip(g, DESKTOP_GRASS)) for g in grass)
        return colours > 500 and spread > 10, matching >= 3


def play_normal(run, url):
    run.load(url)
    if not run.wait_for_frames(10):
        return run.check("the game draws frames", False)
    page, diff = run.page, lambda a, b: run.probe("diff", a, b)[0]
    # The house's band of rows: the centre band is mostly the ground disc,
    # whose outline stays put while the world scrolls, and a few random trees.
    shift = lambda a, b: int(run.probe("shift", a, b, "15", "35")[0])
    print(f"  figure: navigation to first drawn frame: {page.evaluate('__dravik.firstDraw'):.0f} ms"
          " (target <= 3000 ms)")
    run.check("title is ZOKT 5 Dravik", page.evaluate("document.title") == "ZOKT 5 Dravik")
    run.check("a desktop page shows no touch controls", page.evaluate(
        "[...document.querySelectorAll('[data-control], #turn')].every(e => e.offsetWidth === 0)"))
    size = page.evaluate("[__dravik.gl.drawingBufferWidth, __dravik.gl.drawingBufferHeight]")
    run.check(f"drawing buffer is 1280 x 720 (got {size})", size == [1280, 720])
    run.check("a WebGL 2 context, no fallback line",
              page.evaluate("__dravik.gl instanceof WebGL2RenderingContext")
              and not any("falling back" in t for t in run.console("warning")))
    start = run.shot("start")
    scene, grass = run.drawn(start)
    run.check("scene is drawn (not a blank frame)", scene)
    run.check("grass where the desktop shows grass", grass)

    right = run.move("Right", start, "right")
    dx = shift(start, right)
    run.check(f"holding Right scrolls the world to the left (house moved {dx} px)", dx < -10)
    back = run.move("Left", right, "back")
    run.hold("Space", 0.15)  # held until a frame is drawn: the game has read it
    pan = run.move("Right", back, "pan", moved=14)
    check_pans(run, "Space then Right pans the camera instead of scrolling", back, pan)
    run.move("Left", pan, "panned_back", moved=14)
    run.hold("Space", 0.15)
    before = run.shot("before_f2")
    run.hold("F2", 0.15)
    changed = run.shot_until("ortho", lambda shot: diff(before, shot) > 1.0)
    run.check("F2 changes the projection", diff(before, changed) > 1.0)
    run.hold("F2", 0.15)
    restored = run.shot_until("persp", lambda shot: diff(before, shot) < 0.5)
    run.check("a second F2 restores the projection", diff(before, restored) < 0.5)

    run.key("keyDown", "Escape")
    run.key("keyUp", "Escape")
    time.sleep(0.5)
    paused1, frames = run.shot("paused1"), run.frames()
    run.hold("Right", 0.4, seen=False)
    paused2 = run.shot("paused2")
    # Nothing is rendered, and the picture stays without preserveDrawingBuffer.
    run.check("Escape freezes the picture, and keeps it",
              diff(paused1, paused2) < 0.5 and run.frames() == frames
              and run.probe("stats", paused2)[2] > 10)
    run.hold("Escape", 0.05, after=0, seen=False)
    run.wait_for_frames(run.frames() + 2, 10)
    resumed = run.shot("resumed1")
    run.check("a second Escape resumes the game",
              diff(resumed, run.move("Right", resumed, "resumed2")) > 1.0)
    run.hold("Left", 0.3)

    # A listener after the game's sees what the game did with each key. The
    # page is made taller than the window; PageDown shows that it scrolls.
    page.evaluate("__dravik.keys = []; addEventListener('keydown', e =>"
                  " __dravik.keys.push([e.code, e.defaultPrevented]));"
                  " document.body.style.paddingBottom = '3000px'")
    run.hold("PageDown", 0.1, after=0.5)
    scrolled = page.evaluate("scrollY")
    page.evaluate("scrollTo(0, 0)")
    for name in ("Down", "Up", "Right", "Left", "Space", "Space", "F1", "F2", "F2"):
        run.hold(name, 0.15, after=0.1)
    run.hold("Escape", 0.05, after=0, seen=False)
    run.hold("Escape", 0.05, after=0.4, seen=False)
    prevented = dict(page.evaluate("__dravik.keys"))
    run.check(f"the page does not scroll when the game's keys are pressed (PageDown: {scrolled}"
              f" px, the game's keys: {page.evaluate('scrollY')} px)",
              scrolled > 0 and page.evaluate("scrollY") == 0)
    run.check(f"the browser's own action is prevented for the game's keys only ({prevented})",
              prevented.pop("PageDown", None) is False and len(prevented) == 8
              and all(prevented.values()))
    page.evaluate("document.body.style.paddingBottom = ''; scrollTo(0, 0); document.activeElement.blur()")
    for kind in ("mousePressed", "mouseReleased"):
        page.send("Input.dispatchMouseEvent", type=kind, x=640, y=360, button="left", clickCount=1)
    run.check("a click on the canvas gives it the focus",
              page.evaluate("document.activeElement.id") == "canvas")

    counts = "[__dravik.frames.length, __dravik.animationFrames]"
    first, animation = page.evaluate(counts)
    end, holds = time.monotonic() + 10, 0
    while time.monotonic() < end:  # 10 s of play
        run.hold("Right", 1.0, after=0)
        run.hold("Left", 1.0, after=0)
        holds += 2
    last, animation_end = page.evaluate(counts)
    stamps = page.evaluate(f"__dravik.frames.slice({first}, {last})")
    intervals = sorted(b - a for a, b in zip(stamps, stamps[1:]))
    # Each hold waits for a frame drawn a second after its press and one
    # after its release: as many frames as a slow machine gives.
    run.check(f"frames are drawn during play ({len(stamps)} for {holds} holds)",
              len(stamps) >= 2 * holds)
    if intervals:
        print(f"  figure: frame interval over 10 s of play: median "
              f"{intervals[len(intervals) // 2]:.1f} ms, p99 {intervals[len(intervals) * 99 // 100]:.1f}"
              f" ms ({len(stamps)} frames drawn; {animation_end - animation - len(stamps)} of"
              f" {animation_end - animation} animation frames came sooner than 15 ms after the"
              " last update and drew nothing)")
    run.latency("a key press", lambda left: run.key("keyDown", ("Right", "Left")[left]),
                lambda left: run.key("keyUp", ("Right", "Left")[left]))
    run.check("no console errors or WebGL warnings in a normal run", not run.errors())
    run.check("nothing on standard error (console.warn)", not run.console("warning"))

    files = {p["response"]["url"].rsplit("/", 1)[-1] or "index.html"
             for m, p in page.events if m == "Network.responseReceived"}
    files = {f for f in files if os.path.isfile(os.path.join(run.args.build, f))}
    data = [open(os.path.join(run.args.build, f), "rb").read() for f in sorted(files)]
    print(f"  figure: download: {sum(map(len, data)) / 1e6:.2f} MB raw, "
          f"{sum(len(gzip.compress(d, 9)) for d in data) / 1e6:.2f} MB gzip (target <= 2 MB gzip;"
          f" {', '.join(sorted(files))})")


def play_webgl1(run, url):
    run.load(url, refused=["webgl2"])
    drawn = run.wait_for_frames(10)
    run.check("without WebGL 2: the game runs on WebGL 1", drawn and
              run.page.evaluate("!(__dravik.gl instanceof WebGL2RenderingContext)"))
    run.check("without WebGL 2: the fallback line on the console",
              "OpenGL 3.0 is not supported, falling back to GL 2.1" in run.console("warning"))
    if drawn:
        time.sleep(0.5)
        run.check("without WebGL 2: the scene is drawn, grass included",
                  all(run.drawn(run.shot("webgl1"))))
    run.check("without WebGL 2: no console errors or WebGL warnings", not run.errors())


def play_without_webgl(run, url):
    run.load(url, refused=["webgl2", "webgl", "experimental-webgl"])
    text = run.page.wait_for("(m => m && m.offsetWidth > 0 && m.textContent)"
                             "(document.querySelector('.message.error'))", 30)
    message = "Unable to create the OpenGL Window"
    run.check(f"without WebGL: the page shows \"{message}\"", text == message)
    run.check("without WebGL: the same on console.error",
              any(message in t for t in run.console("error")))
    run.check("without WebGL: the game does not start", run.frames() == 0)


def play_broken_data(run, url):
    run.load(url)
    drawn = run.wait_for_frames(10)
    lines = run.console("log")
    at = next((i for i, t in enumerate(lines)
               if t.startswith("Could not compile vertexShader 35633:")), -2)
    run.check("broken vertex shader: compile message on the console", at >= 0)
    run.check("broken vertex shader: the compiler log follows",
              at >= 0 and len(lines) > at + 1 and lines[at + 1].strip() != "")
    # The JSON parser's exception is caught in the browser build too.
    run.check("broken model: one line on standard error (console.warn), as on the desktop",
              run.console("warning") == ["data/meshes/display/tree.json: not valid JSON"])
    run.check("broken data: the game runs on", drawn)


def make_broken_copy(build, folder):
    copy_site(build, folder)
    script = open(os.path.join(build, "dravik.js")).read()
    data = bytearray(open(os.path.join(build, "dravik.data"), "rb").read())
    for path, fault in FAULTS.items():
        start, end = map(int, re.search(r'"filename":\s*"%s",\s*"start":\s*(\d+),\s*"end":\s*(\d+)'
                                        % re.escape(path), script).groups())
        data[start:end] = fault.ljust(end - start)
    open(os.path.join(folder, "dravik.data"), "wb").write(data)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build", "--site", "--base", "--probe", "--out"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(os.path.join(args.site, "game")):
        os.symlink(os.path.abspath(args.build), os.path.join(args.site, "game"))
    make_broken_copy(args.build, os.path.join(args.site, "broken"))
    run = Run(args)
    try:
        for play, path in ((play_normal, "game/"), (play_webgl1, "game/"),
                           (play_without_webgl, "game/"), (play_broken_data, "broken/"),
                           (play_context_loss, "game/"), (play_fullscreen, "game/"),
                           (play_loading, ""), (play_offline, ""),
                           (play_gamepad, "game/"), (play_touch, "game/")):
            try:
                play(run, args.base + path)
            except Exception as error:  # a page that stopped answering, say
                run.check(f"{play.__name__} goes to its end ({type(error).__name__}: {error})",
                          False)
    finally:
        run.browser.close()
    if os.path.exists(os.path.join(args.out, "start.png")):
        shutil.copy(os.path.join(args.out, "start.png"), os.path.join(args.out, "screenshot.png"))
        print(f"screenshot: {os.path.join(args.out, 'screenshot.png')}")
    print(f"web e2e: {run.passed} passed, {run.failed} failed")
    return 1 if run.failed else 0


if __name__ == "__main__":
    sys.exit(main())
