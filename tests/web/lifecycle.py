"""The page as an app people keep, played by play.py: a lost and restored
WebGL context, full screen, installability, offline starts and updates."""

import os
import re
import shutil
import socket
import subprocess
import time

diff = lambda run, a, b: run.probe("diff", a, b)[0]


def site_files(build):
    """All the page needs: the service worker and the files it keeps."""
    worker = open(os.path.join(build, "sw.js")).read()
    return ["sw.js", *re.findall(r"'([^']+)'", re.search(r"const files = \[(.*)\];", worker)[1])]


def copy_site(build, folder):
    for name in site_files(build):
        os.makedirs(os.path.dirname(os.path.join(folder, name)), exist_ok=True)
        shutil.copy(os.path.join(build, name), os.path.join(folder, name))


# Added to the page's hook: the loading box as the page shows it first and
# at the game's first clear, as [shown, label, bar max, bar value].
LOADING = """
const loading = () => (box => box && [box.offsetWidth > 0, box.querySelector('label').textContent,
  box.querySelector('progress').max, box.querySelector('progress').value])(document.getElementById('loading'));
addEventListener('DOMContentLoaded', () => __dravik.loading = [loading()]);
// Animation frames from the start's first step to its last.
__dravik.startFrames = 0;
(function count() {
  const marks = performance.getEntriesByType('mark').map(m => m.name);
  if (marks.includes('dravik: textures 1 of 7') && !marks.includes('dravik: started')) __dravik.startFrames++;
  if (!marks.includes('dravik: started')) requestAnimationFrame(count);
})();
for (const proto of [WebGLRenderingContext.prototype, WebGL2RenderingContext.prototype]) {
  const clear = proto.clear;
  proto.clear = function (m) {
    if (__dravik.loading && __dravik.loading.length === 1) __dravik.loading.push(loading());
    return clear.call(this, m);
  };
}"""
CANNOT_DOWNLOAD = "The game could not be downloaded. Check your connection and reload the page."


# The start's steps as the page marks them (each as it begins), in order.
START_STEPS = ([f"textures {i} of 7" for i in range(1, 8)] + [f"models {i} of 7" for i in range(1, 8)]
               + ["collider", "level", "texts"] + [f"shaders {i} of 3" for i in range(1, 4)] + ["started"])


def play_loading(run, base):
    run.load(base + "game/", extra=LOADING)
    drawn = run.wait_for_frames(2)
    first, at_draw = ((run.page.evaluate("__dravik.loading") or []) + [None, None])[:2]
    steps = len(START_STEPS) - 1
    run.check(f"loading: a bar from the first paint ({first}), full and \"Starting…\" at the game's first"
              f" clear ({at_draw}), gone after its first frame", drawn and first and first[0]
              and first[1].startswith("Loading…") and at_draw == [True, "Starting…", steps, steps]
              and run.page.evaluate("!document.getElementById('loading')"))
    # A step waiting on the browser's shader compiles is shown again each frame.
    marks = run.page.evaluate("performance.getEntriesByType('mark').map(m => m.name)"
                              ".filter(n => n.startsWith('dravik: ') && !/^dravik: (context|first frame)/.test(n))"
                              ".map(n => n.slice(8))")
    shown = [m for i, m in enumerate(marks) if i == 0 or marks[i - 1] != m]
    frames = run.page.evaluate("__dravik.startFrames")
    print(f"  figure: the start's {steps} steps ran over {frames} animation frames")
    run.check(f"loading: the bar goes through the start's steps in order ({', '.join(shown)})",
              shown == START_STEPS)
    started = run.shot("started")
    moved = run.move("Right", started, "started_right")
    run.check("loading: after the steps the game plays (Right scrolls the level)",
              diff(run, started, moved) >= 1.0)
    copy_site(run.args.build, os.path.join(run.args.site, "nowasm"))
    os.remove(os.path.join(run.args.site, "nowasm", "dravik.wasm"))
    run.load(base + "nowasm/")
    text = run.page.wait_for("(b => b && b.classList.contains('error') && b.offsetWidth > 0 && b.textContent)"
                             "(document.getElementById('loading'))", 30)
    run.check(f"loading: without dravik.wasm the bar's place says \"{text}\", console.error names the file",
              text == CANNOT_DOWNLOAD and any("dravik.wasm" in e for e in run.console("error")))


def lose_and_restore(run, name):
    """The frames drawn while the context was lost, those after its restore, and a shot."""
    run.page.evaluate("__dravik.lose.loseContext()")
    run.page.wait_for("__dravik.gl.isContextLost()", 5)
    time.sleep(0.3)
    frames = run.frames()
    time.sleep(0.7)
    lost = run.frames() - frames
    run.page.evaluate("__dravik.restoredAt = 0; __dravik.lose.restoreContext()")
    run.page.wait_for("__dravik.restoredAt", 5)
    time.sleep(0.8)
    return lost, run.frames() - frames - lost, run.shot(name)


def play_context_loss(run, url):
    run.load(url)
    run.wait_for_frames(10)
    run.hold("Space", 0.15)  # camera mode 1, the eye panned
    run.hold("Right", 0.35)
    before = run.shot("before_loss")
    run.page.evaluate("__dravik.lose = __dravik.gl.getExtension('WEBGL_lose_context');"
                      " __dravik.gl.canvas.addEventListener('webglcontextrestored',"
                      " () => __dravik.restoredAt = performance.now())")
    lost, drawn, restored = lose_and_restore(run, "restored")
    change = diff(run, before, restored)
    print("  figure: webglcontextrestored to the first frame drawn again: %.0f ms" % run.page.evaluate(
        "__dravik.frames.find(t => t > __dravik.restoredAt) - __dravik.restoredAt"))
    run.check(f"context lost: nothing drawn ({lost} frames); restored: the same picture, pan and"
              f" camera mode kept ({drawn} frames, {change:.2f})", lost == 0 and drawn > 1 and change < 0.5)
    run.hold("Left", 0.35)
    run.check("context restored: the game plays on", diff(run, restored, run.shot("after_restore")) > 1.0)
    run.hold("Escape", 0.05, after=0.5, seen=False)
    paused = run.shot("paused_before_loss")
    _, drawn, restored = lose_and_restore(run, "paused_restored")
    change = diff(run, paused, restored)
    run.check(f"context restored while paused: its picture once more ({drawn} frames, {change:.2f}),"
              " then still", drawn == 1 and change < 0.5)
    run.hold("Escape", 0.05, after=0, seen=False)
    run.check("context restored while paused: Escape resumes the game",
              run.wait_for_frames(run.frames() + 5, 10))
    run.check("context loss and restore: no page errors", not run.errors())


def click(run, selector):
    x, y = run.page.evaluate(f"(b => [b.x + b.width / 2, b.y + b.height / 2])"
                             f"(document.querySelector(\"{selector}\").getBoundingClientRect())")
    for kind in ("mousePressed", "mouseReleased"):
        run.page.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)


def play_fullscreen(run, url):
    page, button = run.page, "[aria-label='Full screen']"
    box = "(b => [b.width, b.height])(document.getElementById('canvas').getBoundingClientRect())"
    metrics = lambda w, h: page.send("Emulation.setDeviceMetricsOverride", width=w, height=h,
                                     deviceScaleFactor=1, mobile=False)
    metrics(1600, 800)  # wider than 16:9, and larger than 1280 x 720
    try:
        run.load(url)
        run.wait_for_frames(10)
        click(run, button)
        entered = page.wait_for("document.fullscreenElement && document.fullscreenElement.id", 5)
        time.sleep(0.3)
        (width, height), buffer = page.evaluate(box), page.evaluate(
            "[__dravik.gl.drawingBufferWidth, __dravik.gl.drawingBufferHeight]")
        run.check(f"full screen: the button enters it, the canvas fills the screen at 16:9 ({width:.0f}"
                  f" x {height:.0f}, drawing buffer {buffer})", entered == "stage" and abs(height - 800) < 1
                  and abs(width / height - 16 / 9) < 0.01 and buffer == [1280, 720])
        # Escape is the browser's there (headless Chromium's leaves full screen and
        # the page never sees it); one that reaches the page pauses nothing.
        frames = run.frames()
        page.evaluate("for (const type of ['keydown', 'keyup'])"
                      " dispatchEvent(new KeyboardEvent(type, {key: 'Escape', code: 'Escape'}))")
        run.check("full screen: Escape does not pause the game", run.wait_for_frames(frames + 5, 5))
        click(run, button)
        left = page.wait_for("!document.fullscreenElement", 5)
        time.sleep(0.3)
        run.check(f"full screen: the button leaves it (canvas {page.evaluate(box)}), no page errors",
                  left and page.evaluate(box) == [1280, 720] and not run.errors())
    finally:
        metrics(1280, 720)


def serve(folder):
    """A loopback web server of the folder: its process and its address."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    return port, subprocess.Popen(["/usr/bin/python3", "-m", "http.server", str(port), "--bind",
                                   "127.0.0.1", "--directory", folder], stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)


def started(run, url):
    run.load(url)
    return run.wait_for_frames(10) and run.page.evaluate("__dravik.firstDraw")


# A host of its own (another origin), which the test stops and starts again.
def play_offline(run, _):
    folder = os.path.join(run.args.site, "offline")
    copy_site(run.args.build, os.path.join(folder, "app"))
    port, server = serve(folder)
    url, page = f"http://127.0.0.1:{port}/app/", run.page
    try:
        time.sleep(0.5)
        online = started(run, url)
        run.check("the service worker keeps the page",
                  online and page.wait_for("navigator.serviceWorker.controller !== null", 30))
        errors = page.send("Page.getInstallabilityErrors").get("installabilityErrors")
        run.check(f"installable: no installability errors ({errors})", errors == [])
        server.terminate()
        server.wait()
        page.send("Network.setCacheDisabled", cacheDisabled=True)
        offline = started(run, url)
        run.check("offline: the game starts and draws, the server stopped",
                  offline and all(run.drawn(run.shot("offline"))))
        print(f"  figure: navigation to first drawn frame: online, first visit {online or 0:.0f} ms;"
              f" offline, from the service worker {offline or 0:.0f} ms")
        page.send("Network.setCacheDisabled", cacheDisabled=False)

        # A new build: another page, and so another hash in the worker.
        for name, old, new in (("index.html", "</body>", "<!-- next build -->\n</body>"),
                               ("sw.js", "const version = '", "const version = 'next")):
            path = os.path.join(folder, "app", name)
            text = open(path).read().replace(old, new)
            open(path, "w").write(text)
        server = subprocess.Popen(server.args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        started(run, url)  # from the old worker, which finds the new one meanwhile
        replaced = page.wait_for(f"caches.keys().then(k => __dravik.names = k.filter(n => n.endsWith("
                                 f"'{url}'))), String(__dravik.names).startsWith('dravik next')"
                                 " && __dravik.names.length === 1", 30)
        run.check(f"update: the new worker replaces the old one and its cache"
                  f" ({page.evaluate('__dravik.names')})", replaced)
        run.check("update: the next load runs the new build", started(run, url) and page.evaluate(
            "document.documentElement.outerHTML.includes('<!-- next build -->')"))
        run.check("offline and update: no page errors", not run.errors())
    finally:
        if server.poll() is None:
            server.terminate()
            server.wait()
