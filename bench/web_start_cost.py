#!/usr/bin/python3
"""Start-up cost of the browser build next to a bare WebGL start-up anchor, in
Debian's headless Chromium with WebGL on SwiftShader (tests/web/cdp.py): from
navigation to the first drawn frame, at 1x and 4x CPU throttling (set before
navigating; it slows the page's main thread only, not the GPU process).

The game is started from SITE/game/; bench/webgl_startup.html, from
SITE/startup/ with FRAME (the frame.json of bench/web_frame_cost.py) beside
it, makes the same context, builds the recorded frame's programs, uploads its
textures and draws it once. Each run is a fresh Chromium with a fresh profile,
so no service worker, HTTP cache or compiled-code cache is left from an
earlier run. Figures, from the page's own marks ('dravik: ...' or
'anchor: ...'), a requestAnimationFrame loop injected before the page's
scripts, and a trace of the run:

  first frame    navigation to the page's 'first frame' mark (where the
                 game page makes none, as its loading bar goes away)
  long tasks     the renderer main thread's tasks over 50 ms in that time
                 (ThreadControllerImpl::RunTask in the trace, and the
                 microtask checkpoints run outside any, which the trace
                 shows apart: a promise's continuation after a fetch, say),
                 and their blocking time: the sum of each one's time over
                 50 ms
  longest gap    the longest time between animation frames from the first
                 paint (first-contentful-paint, else first-paint) to the
                 first frame, and the longest that does not overlap the
                 WebGL context's creation
  context        the time between the 'context' and 'context made' marks

What a long task did: the page's marks inside it, else the longest kinds of
work inside it (parsing, script, layout, messages, microtasks: the trace's
categories devtools.timeline and v8.execute); and how many WebAssembly
functions V8 compiled on their first call in it, and how long that took
(v8.wasm). A '-' for the gaps: the first paint came no earlier than the first
frame (paint times are those of the frame's presentation); "2/3": only two of
three runs had one. Each page and rate runs a few times; the table shows
the median [least, most] (other work on the machine comes in bursts), then
the long tasks of the median run (by first frame), at 1x each with the main
thread's CPU time in it (far less than its length where it waits, on the GPU
process say; throttling keeps the thread busy, so at 4x it says nothing).
Figures, never checked; fails only when a page draws nothing.

Usage: web_start_cost.py --build build-web --site DIR --base URL --out DIR --frame frame.json
URL serves DIR."""

import argparse
import json
import os
import re
import shutil
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "web"))
from cdp import Chromium  # noqa: E402

RUNS = 3
RATES = (1, 4)
LONG = 50  # ms
PAGES = (("game", "game/", "dravik: "), ("anchor", "startup/", "anchor: "))
CATEGORIES = "devtools.timeline,blink.user_timing,toplevel,v8.execute,v8.wasm"
# Times of the animation frames from the page's start, before its own scripts;
# and, for a game page that marks no first frame of its own (an older build),
# a mark as the loading bar leaves it, which it does at the first frame.
GONE = "bench: loading bar gone"
FRAMES = """(() => {
  const times = window.__frames = [];
  const loop = () => { times.push(performance.now()); requestAnimationFrame(loop); };
  requestAnimationFrame(loop);
  addEventListener('DOMContentLoaded', () => {
    const bar = document.getElementById('loading');
    if (!bar) return;
    new MutationObserver((changes, observer) => {
      if (bar.isConnected) return;
      performance.mark('%s');
      observer.disconnect();
    }).observe(bar.parentNode, {childList: true});
  });
})();""" % GONE
# The main thread's tasks, and its microtask checkpoints, which may run outside any.
TOP = ("ThreadControllerImpl::RunTask", "BlinkScheduler_PerformMicrotaskCheckpoint")
# Events that tell what a long task without marks did, with what they name.
DOINGS = ("ParseHTML", "EvaluateScript", "v8.compile", "FunctionCall", "TimerFire",
          "FireAnimationFrame", "EventDispatch", "RunMicrotasks", "MajorGC", "MinorGC",
          "UpdateLayoutTree", "Layout", "Paint", "Receive mojo message", "wasm.AsyncInstantiate")


def collect_trace(page):
    page.send("Tracing.end")
    while not page.events or page.events[-1][0] != "Tracing.tracingComplete":
        message = json.loads(page.socket.recv())
        if "method" in message:
            page.events.append((message["method"], message.get("params", {})))
    return [e for m, p in page.events if m == "Tracing.dataCollected" for e in p["value"]]


def run(url, prefix, rate, log):
    """One start of a page in a fresh browser: its marks, paints, frames and trace."""
    browser = Chromium(log)
    page = browser.page
    try:
        for domain in ("Page", "Runtime"):
            page.send(f"{domain}.enable")
        page.send("Emulation.setDeviceMetricsOverride", width=1280, height=720,
                  deviceScaleFactor=1, mobile=False)
        page.send("Emulation.setFocusEmulationEnabled", enabled=True)
        page.send("Page.addScriptToEvaluateOnNewDocument", source=FRAMES)
        page.send("Emulation.setCPUThrottlingRate", rate=rate)
        page.send("Tracing.start", categories=CATEGORIES, transferMode="ReportEvents")
        page.send("Page.navigate", url=url)
        done = " + ".join(f"performance.getEntriesByName('{m}').length" for m in (prefix + "first frame", GONE))
        deadline = time.monotonic() + 60 * rate
        while not page.evaluate(done):
            if time.monotonic() > deadline:
                raise RuntimeError(f"{url} drew nothing at {rate}x: {problems(page)}")
            time.sleep(0.25)
        # Paint entries come once the frame is presented.
        deadline = time.monotonic() + 5 * rate
        painted = "performance.getEntriesByType('paint').length"
        while not page.evaluate(painted) and time.monotonic() < deadline:
            time.sleep(0.25)
        seen = json.loads(page.evaluate(
            "JSON.stringify({marks: performance.getEntriesByType('mark').map(m => [m.name, m.startTime]),"
            " paints: Object.fromEntries(performance.getEntriesByType('paint')"
            ".map(p => [p.name, p.startTime])), frames: window.__frames})"))
        seen["trace"] = collect_trace(page)
        seen["problems"] = problems(page)
        return seen
    finally:
        browser.close()


def problems(page):
    return [" ".join(str(a.get("value", a.get("description", ""))) for a in p["args"]) for m, p in page.events
            if m == "Runtime.consoleAPICalled" and p["type"] in ("error", "assert")]


def steps(names, prefix):
    """Mark names without the prefix, 'stage 1 of 7' to 'stage 3 of 7' as 'stage 1-3 of 7'."""
    out = []
    for name in (n[len(prefix):] for n in names):
        m = re.fullmatch(r"(.*) (\d+) of (\d+)", name)
        if m and out and (run := re.fullmatch(rf"{re.escape(m[1])} (\d+)(-\d+)? of {m[3]}", out[-1])):
            out[-1] = f"{m[1]} {run[1]}-{m[2]} of {m[3]}" if m[2] != run[1] else out[-1]
        else:
            out.append(name)
    return ", ".join(out)


def doing(event):
    args = event.get("args", {})
    if "src_func" in args:  # a task, by where it was posted
        return f"task of {os.path.basename(args['src_file'])} {args['src_func']}"
    data = args.get("data") or args.get("beginData") or {}
    what = (args.get("chrome_mojo_event_info", {}).get("mojo_interface_tag") or data.get("url")
            or data.get("functionName") or data.get("type") or "")
    return f"{event['name']} {os.path.basename(what.split('?')[0]) or what}".strip()


def described(task, inside, prefix):
    """What a task did: its marks, else its longest kinds of work; and the
    WebAssembly functions compiled on first call in it."""
    what = steps([e["name"] for e in inside if "user_timing" in e["cat"] and e["name"].startswith(prefix)],
                 prefix)
    if not what:
        totals = {}
        for e in inside:
            if e["name"] in DOINGS:
                count, ms = totals.get(doing(e), (0, 0))
                totals[doing(e)] = (count + 1, ms + e["dur"] / 1000)
        top = sorted(((k, n, ms) for k, (n, ms) in totals.items() if ms >= 1), key=lambda t: -t[2])[:3]
        what = ", ".join(f"{k}{f' x{n}' if n > 1 else ''} {ms:.0f} ms" for k, n, ms in top) or doing(task)
    lazy = [e["dur"] / 1000 for e in inside if e["name"] == "wasm.CompileLazy"]
    if lazy:
        what += f" (wasm compiled on first call: {len(lazy)} functions, {sum(lazy):.0f} ms)"
    return what


def figures(seen, prefix):
    marks = {}
    for name, at in seen["marks"]:
        marks.setdefault(name, at)
    drawn = prefix + "first frame" if prefix + "first frame" in marks else GONE
    first = marks[drawn]
    made = (marks.get(prefix + "context"), marks.get(prefix + "context made"))
    # Paint times are those of the frame's presentation: where the first
    # paint is no earlier than the first frame, there are no gaps to time.
    paint = seen["paints"].get("first-contentful-paint", seen["paints"].get("first-paint"))
    gaps = []
    if paint is not None and paint < first:
        times = [paint] + [t for t in sorted(seen["frames"]) if paint < t < first] + [first]
        gaps = list(zip(times, times[1:]))
    apart = [b - a for a, b in gaps if made[0] is None or not (a < made[1] and b > made[0])]

    # The page's main thread is the one its marks are on; its clock, the marks' clock.
    trace = seen["trace"]
    anchor = next(e for e in trace if e["name"] == drawn and "user_timing" in e["cat"])
    thread, offset = (anchor["pid"], anchor["tid"]), anchor["ts"] / 1000 - first
    on = sorted((e for e in trace if (e["pid"], e["tid"]) == thread and e.get("ph") in ("X", "I", "R")),
                key=lambda e: e["ts"])
    # The thread's tasks, and the microtask checkpoints outside any task,
    # which block it as much.
    tasks, end = [], 0
    for task in on:
        if task["name"] not in TOP or task["ts"] < end:
            continue
        end = task["ts"] + task["dur"]
        start, length = task["ts"] / 1000 - offset, task["dur"] / 1000
        if length <= LONG or start < 0 or start >= first:
            continue
        inside = [e for e in on if task["ts"] <= e["ts"] <= end and e is not task]
        what = described(task, inside, prefix)
        tasks.append((start, length, task.get("tdur", 0) / 1000, what))
    return {"first": first, "tasks": tasks, "count": len(tasks), "blocking": sum(t[1] - LONG for t in tasks),
            "gap": max((b - a for a, b in gaps), default=None), "apart": max(apart, default=None),
            "context": made[1] - made[0] if made[0] is not None else None}


def spread(values):
    """The median [least, most]; with how many runs had a value, where not all did."""
    known = sorted(v for v in values if v is not None)
    if not known:
        return "-"
    some = f" {len(known)}/{len(values)}" if len(known) < len(values) else ""
    return f"{known[len(known) // 2]:.0f} [{known[0]:.0f}, {known[-1]:.0f}]{some}"


def main():
    parser = argparse.ArgumentParser()
    for option in ("--build", "--site", "--base", "--out", "--frame"):
        parser.add_argument(option, required=True)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if not os.path.exists(os.path.join(args.site, "game")):
        os.symlink(os.path.abspath(args.build), os.path.join(args.site, "game"))
    folder = os.path.join(args.site, "startup")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(os.path.join(here, "webgl_startup.html"), os.path.join(folder, "index.html"))
    shutil.copy(args.frame, os.path.join(folder, "frame.json"))

    load = os.getloadavg()[0]
    results, notes = {}, []
    for name, path, prefix in PAGES:
        for rate in RATES:
            runs = []
            for i in range(RUNS):
                try:
                    seen = run(args.base + path, prefix, rate, os.path.join(args.out, "chromium-start.log"))
                except RuntimeError as error:
                    print(f"FAIL: {error}")
                    return 1
                notes += [f"{name} {rate}x run {i + 1} console: {p}" for p in seen["problems"]]
                runs.append(figures(seen, prefix))
            results[name, rate] = sorted(runs, key=lambda r: r["first"])

    columns = (("first frame", "first"), ("long tasks", "count"), ("blocking", "blocking"),
               ("longest gap", "gap"), ("gap w/o context", "apart"), ("context", "context"))
    print(f"web start-up, navigation to first drawn frame: headless Chromium, WebGL on SwiftShader,"
          f" load average {load:.1f} on {os.cpu_count()} CPUs at the start")
    with open(args.frame) as f:
        frame = json.load(f)
    print(f"  the anchor builds the recorded frame's {len(frame['programs'])} programs and uploads its"
          f" {len(frame['textures'])} textures ({frame['context']['type']})")
    print(f"  ms, long tasks over {LONG} ms on the main thread; the median [least, most] of {RUNS} runs,"
          " each in a fresh browser")
    print(f"  {'':12}" + "".join(f"{title:>22}" for title, _ in columns))
    for (name, rate), runs in results.items():
        print(f"  {f'{name} {rate}x':12}" + "".join(f"{spread([r[key] for r in runs]):>22}" for _, key in columns))
    for (name, rate), runs in results.items():
        median = runs[len(runs) // 2]
        print(f"  {name} {rate}x, long tasks of the median run (first frame at {median['first']:.0f} ms):")
        for start, length, cpu, what in median["tasks"]:
            # Throttling keeps the thread busy: its CPU time says something at 1x only.
            cpu = f", CPU {cpu:4.0f} ms" if rate == 1 else ""
            print(f"    at {start:6.0f} ms {length:6.0f} ms{cpu}: {what}")
    for note in notes:
        print("  " + note)
    return 0


if __name__ == "__main__":
    sys.exit(main())
