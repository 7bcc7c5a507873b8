#!/usr/bin/python3
"""Frame cost of the browser build next to a raw WebGL anchor, in Debian's
headless Chromium with WebGL on SwiftShader (the browser of the web checks,
tests/web/cdp.py): WebGL calls per drawn frame, and main-thread task time
(DevTools' TaskDuration, wall clock) per drawn frame at 1x and 4x CPU
throttling, with the main thread's CPU time (ThreadTime) at 1x, which other
work on the machine does not stretch. A drawn frame is an animation frame whose
callbacks drew something.

The game is played from SITE/game/. One of its frames is recorded and drawn
again, with the least state change, by bench/webgl_anchor.html from
SITE/anchor/, in the same browser. Prints a table of figures, never checked;
fails only when a page draws nothing or the anchor reports an error. The
times are the median of a few short windows at each rate, shown with the
least and the most, as other work on the machine comes in bursts. The
pictures of both pages and the recorded frame land in OUT (game.png,
anchor.png, frame.json).

Usage: web_frame_cost.py --build build-web --site DIR --base URL --out DIR
URL serves DIR."""

import argparse
import base64
import os
import shutil
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "web"))
from cdp import Chromium  # noqa: E402

CAPTURE = open(os.path.join(here, "webgl_calls.js")).read()
WARM_UP, COUNTED, SETTLE, WINDOW = 3, 3, 1, 3  # seconds
WINDOWS = 5
RATES = (1, 4)
# The main thread's CPU time only unthrottled: Chromium throttles it by
# keeping it busy, so its CPU time at 4x says nothing of the page.
COLUMNS = [("task ms 1x", ("task", 1)), ("task ms 4x", ("task", 4)), ("CPU ms 1x", ("cpu", 1))]
TOP = 8


def metrics(page):
    """Main-thread task time (wall clock) and CPU time, the clock, the drawn frames."""
    found = {m["name"]: m["value"] for m in page.send("Performance.getMetrics")["metrics"]}
    return (found["TaskDuration"], found["ThreadTime"], found["Timestamp"],
            page.evaluate("__cost.drawnFrames"))


def problems(page):
    found = [p["exceptionDetails"]["text"] + " " + str(p["exceptionDetails"].get("exception", {})
                                                        .get("description", ""))
             for m, p in page.events if m == "Runtime.exceptionThrown"]
    return found + [" ".join(str(a.get("value", "")) for a in p["args"]) for m, p in page.events
                    if m == "Runtime.consoleAPICalled" and p["type"] in ("error", "assert")]


def measure(page, name, url, out, record=None):
    page.events.clear()
    page.send("Page.navigate", url=url)
    if not page.wait_for("window.__cost && __cost.drawnFrames >= 30", 90):
        raise RuntimeError(f"{name} drew no frames: {problems(page)}")
    time.sleep(WARM_UP)
    counts = "[__cost.calls, __cost.drawnFrames, __cost.draws]"
    calls, frames, draws = page.evaluate(counts)
    time.sleep(COUNTED)
    calls_end, frames_end, draws_end = page.evaluate(counts)
    frames = frames_end - frames
    if frames <= 0:
        raise RuntimeError(f"{name} drew no frames in {COUNTED} s")
    result = {"draws": (draws_end - draws) / frames,
              "calls": {n: (c - calls.get(n, 0)) / frames for n, c in calls_end.items()
                        if c > calls.get(n, 0)}}
    if record:
        page.evaluate("__cost.wantFrame = true")
        if not page.wait_for("__cost.frame !== null", 30):
            raise RuntimeError(f"{name}: no frame recorded")
        with open(record, "w") as f:
            f.write(page.evaluate("__cost.serialize()"))
    picture = page.send("Page.captureScreenshot", format="png")["data"]
    with open(os.path.join(out, f"{name}.png"), "wb") as f:
        f.write(base64.b64decode(picture))

    # Timed with WebGL's own functions back in place, the draw calls counted
    # only; in short windows, whose median stands (other work on the machine
    # comes in bursts).
    page.evaluate("__cost.light()")
    for rate in RATES:
        page.send("Emulation.setCPUThrottlingRate", rate=rate)
        time.sleep(SETTLE)
        samples = [metrics(page)]
        for _ in range(WINDOWS):
            time.sleep(WINDOW)
            samples.append(metrics(page))
        if any(b[3] <= a[3] for a, b in zip(samples, samples[1:])):
            raise RuntimeError(f"{name} drew no frames in a {WINDOW} s window at {rate}x")
        for kind, at in (("task", 0), ("cpu", 1)):
            costs = sorted(1000 * (b[at] - a[at]) / (b[3] - a[3]) for a, b in zip(samples, samples[1:]))
            result[kind, rate] = (costs[WINDOWS // 2], costs[0], costs[-1])
        result["fps", rate] = (samples[-1][3] - samples[0][3]) / (samples[-1][2] - samples[0][2])
    page.send("Emulation.setCPUThrottlingRate", rate=1)
    result["problems"] = problems(page)
    return result


def table(game, anchor, load):
    total = lambda r: sum(r["calls"].values())
    lines = ["web frame cost per drawn frame: headless Chromium, WebGL on SwiftShader, load average"
             f" {load:.1f} on {os.cpu_count()} CPUs at the start",
             "  main-thread task time (wall clock, throttling included) and CPU time, ms:"
             f" the median [least, most] of {WINDOWS} windows of {WINDOW} s",
             f"  {'':14}{'draws':>6}{'WebGL calls':>13}" + "".join(f"{t:>23}" for t, _ in COLUMNS)
             + "".join(f"{f'frames/s {r}x':>14}" for r in RATES)]
    for name, r in (("game", game), ("anchor", anchor)):
        lines.append(f"  {name:14}{r['draws']:6.0f}{total(r):13.0f}"
                     + "".join(f"{f'{r[k][0]:.2f} [{r[k][1]:.1f}, {r[k][2]:.1f}]':>23}" for _, k in COLUMNS)
                     + "".join(f"{r['fps', rate]:14.1f}" for rate in RATES))
    lines.append(f"  {'game / anchor':14}{'':6}{total(game) / total(anchor):12.2f}x"
                 + "".join(f"{game[k][0] / anchor[k][0]:22.2f}x" for _, k in COLUMNS))
    for name, r in (("game", game), ("anchor", anchor)):
        top = sorted(r["calls"].items(), key=lambda c: -c[1])[:TOP]
        lines.append(f"  {name} calls: " + ", ".join(f"{n} {c:.0f}" for n, c in top))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build", "--site", "--base", "--out"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(os.path.join(args.site, "game")):
        os.symlink(os.path.abspath(args.build), os.path.join(args.site, "game"))
    anchor_folder = os.path.join(args.site, "anchor")
    os.makedirs(anchor_folder, exist_ok=True)
    shutil.copy(os.path.join(here, "webgl_anchor.html"), os.path.join(anchor_folder, "index.html"))

    load = os.getloadavg()[0]
    browser = Chromium(os.path.join(args.out, "chromium.log"))
    page = browser.page
    try:
        for domain in ("Page", "Runtime", "Performance"):
            page.send(f"{domain}.enable")
        page.send("Emulation.setDeviceMetricsOverride", width=1280, height=720,
                  deviceScaleFactor=1, mobile=False)
        page.send("Emulation.setFocusEmulationEnabled", enabled=True)
        page.send("Page.addScriptToEvaluateOnNewDocument", source=CAPTURE)
        frame = os.path.join(anchor_folder, "frame.json")
        game = measure(page, "game", args.base + "game/", args.out, record=frame)
        shutil.copy(frame, os.path.join(args.out, "frame.json"))
        anchor = measure(page, "anchor", args.base + "anchor/", args.out)
    finally:
        browser.close()
    print(table(game, anchor, load))
    for name, r in (("game", game), ("anchor", anchor)):
        for line in r["problems"]:
            print(f"  {name} console: {line}")
    if anchor["problems"]:
        print("FAIL: the anchor page reported errors")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
