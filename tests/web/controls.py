"""Gamepad and touch controls on the real page, played by play.py."""

import time

# Headless Chromium has no gamepads: a plain object in the standard mapping.
GAMEPADS = "\nconst __pads = [null, null, null, null]; navigator.getGamepads = () => __pads;"
PAD = ("{id: 'stand-in', index: 0, connected: true, mapping: 'standard', timestamp: 0,"
       " axes: [0, 0, 0, 0], buttons: [...Array(17)].map(() => ({}))}")
PAD_BUTTONS = {"Camera": 0, "Projection": 3, "Pause": 9}  # named as the touch buttons
diff = lambda run, a, b: run.probe("diff", a, b)[0]
shift = lambda run, a, b: int(run.probe("shift", a, b, "15", "35")[0])  # as play_normal's


def check_pans(run, name, before, after):
    """The move in the panning mode (held until the picture changed by 14,
    which a scroll reaches at about 150 px) moved the camera: the disc's rims
    moved 10 px or more, and the sky in the top rows changed (see
    tests/lib/stage.sh, check_pans)."""
    rim, sky = run.probe("rim", before, after)[0], run.probe("diff", before, after, "0", "3")[0]
    with open(after, "rb") as picture:  # pixels of a 1280 px wide canvas
        scale = int.from_bytes(picture.read(24)[16:20], "big") / 1280
    run.check(f"{name} (the disc's rims moved {rim:.0f} px, the sky changed by {sky})",
              rim >= 10 * scale and sky > 1.0 and diff(run, before, after) > 1.0)


def play_moves(run, what, press, release):
    """press(x, button): the stick to x (-1..1), with a button of PAD_BUTTONS held."""
    def hold(x, seconds, button=None, seen=True):
        run.hold_with(lambda: press(x, button), release, seconds, seen=seen)

    start = run.shot(f"{what}_start")
    hold(0.1, 1.0)
    drift = diff(run, start, run.shot(f"{what}_dead_zone"))
    run.check(f"{what}: a stick inside the dead zone leaves the picture still ({drift:.2f})", drift < 0.5)
    moved = run.hold_until(lambda: press(1, None), release, start, f"{what}_right")
    dx = shift(run, start, moved)
    run.check(f"{what}: the stick scrolls the world (house moved {dx} px)", dx < -10)
    run.wait_for_frames(run.frames() + 5, 10)
    run.check(f"{what}: a released stick stops the motion",
              diff(run, moved, run.shot(f"{what}_released")) < 0.5)
    back = run.hold_until(lambda: press(-1, None), release, moved, f"{what}_back")
    hold(0, 0.15, "Camera")
    pan = run.hold_until(lambda: press(1, None), release, back, f"{what}_pan", moved=14)
    check_pans(run, f"{what}: the camera button then the stick pans the camera instead",
               back, pan)
    run.hold_until(lambda: press(-1, None), release, pan, f"{what}_panned_back", moved=14)
    hold(0, 0.15, "Camera")
    before = run.shot(f"{what}_perspective")
    hold(0, 0.15, "Projection")
    changed = run.shot_until(f"{what}_ortho", lambda shot: diff(run, before, shot) > 1.0)
    run.check(f"{what}: the projection button changes the projection",
              diff(run, before, changed) > 1.0)
    hold(0, 0.15, "Projection")
    hold(0, 0.1, "Pause", seen=False)
    time.sleep(0.5)
    paused, frames = run.shot(f"{what}_paused1"), run.frames()
    hold(1, 0.4, seen=False)
    run.check(f"{what}: pause freezes the picture while the stick is held",
              diff(run, paused, run.shot(f"{what}_paused2")) < 0.5 and run.frames() == frames)
    hold(0, 0.1, "Pause", seen=False)
    run.check(f"{what}: a second pause resumes the game", run.wait_for_frames(frames + 2, 10))
    run.latency(f"a {what} stick push", lambda left: press(1 - 2 * left, None), lambda left: release())


def play_gamepad(run, url):
    run.load(url, extra=GAMEPADS)
    run.wait_for_frames(10)
    js = run.page.evaluate
    js(f"__pads[0] = {PAD}")  # during play

    def press(x, button):
        js(f"__pads[0].axes[0] = {x}; __pads[0].buttons.forEach((b, i) =>"
           f" b.pressed = i === {PAD_BUTTONS.get(button, -1)}); __dravik.mark()")

    play_moves(run, "gamepad", press, lambda: press(0, None))
    moving = run.shot("gamepad_moving")
    press(1, None)
    run.wait_for_frames(run.frames() + 5, 10)
    js("__pads[0].connected = false; __pads[0] = null")
    run.wait_for_frames(run.frames() + 2, 10)
    pulled = run.shot("gamepad_pulled")
    run.wait_for_frames(run.frames() + 5, 10)
    run.check("gamepad: pulled out mid-move, it stops the motion", shift(run, moving, pulled) < 0
              and diff(run, pulled, run.shot("gamepad_pulled_later")) < 0.5)
    run.check("gamepad: no console errors", not run.errors())


# The last play: the phone emulation stays on.
def play_touch(run, url):
    page = run.page
    page.send("Emulation.setDeviceMetricsOverride", width=844, height=390, deviceScaleFactor=1,
              mobile=True)
    page.send("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)  # before loading
    run.load(url)
    run.wait_for_frames(10)
    # The canvas's box, and the centre of each control shown over its lower half.
    (x, y, width, height), at = page.evaluate("""(() => {
      const canvas = document.getElementById('canvas').getBoundingClientRect(), at = {};
      for (const e of document.querySelectorAll('[data-control]')) {
        const b = e.getBoundingClientRect(), centre = [b.x + b.width / 2, b.y + b.height / 2];
        at[e.ariaLabel || 'Stick'] = b.width > 0 && b.bottom <= canvas.bottom
          && centre[1] > canvas.y + canvas.height / 2 && centre;
      }
      return [[canvas.x, canvas.y, canvas.width, canvas.height], at]; })()""")
    run.check(f"touch: the canvas fits the phone at 16:9 ({width:.0f} x {height:.0f}), the controls"
              f" over its lower half ({at})", abs(width / height - 16 / 9) < 0.01
              and max(width / 844, height / 390) > 0.99 and all(at.values()) and len(at) == 4)

    touch = lambda kind, *points: page.send("Input.dispatchTouchEvent", type=kind, touchPoints=[
        dict(x=px, y=py, id=i) for i, (px, py) in enumerate(points)])

    def press(dx, button):
        held, (sx, sy) = [at[button]] if button else [], at["Stick"]
        touch("touchStart", *held, (sx, sy))
        touch("touchMove", *held, (sx + 60 * dx, sy))

    play_moves(run, "touch", press, lambda: touch("touchEnd"))
    cx, cy = x + width / 2, y + height / 2  # a swipe, then a pinch, on the canvas
    for gesture in ([[(cx, cy + 80 - 20 * i)] for i in range(9)],
                    [[(cx - 20 - 15 * i, cy), (cx + 20 + 15 * i, cy)] for i in range(9)]):
        for i, points in enumerate(gesture):
            touch("touchMove" if i else "touchStart", *points)
            time.sleep(0.02)
        touch("touchEnd")
    time.sleep(0.5)
    view = page.evaluate("[scrollX, scrollY, visualViewport.scale]")
    run.check(f"touch: thumbs neither scroll nor zoom the page (x, y, scale: {view})", view == [0, 0, 1])
    run.check("touch: no console errors", not run.errors())
