#!/usr/bin/python3
"""Plays the page hosted from a folder of a web server (the web zip, as
tests/stages/packages.sh unpacks it) in headless Chromium. Prints PASS/FAIL
lines and "hosted: N passed, M failed".

Usage: hosted.py --root DIR --path SUB/PATH/ --probe image_probe --out DIR"""

import argparse
import os
import sys

from lifecycle import serve
from play import Run

parser = argparse.ArgumentParser()
for option in ("--root", "--path", "--probe", "--out"):
    parser.add_argument(option, required=True)
args = parser.parse_args()
os.makedirs(args.out, exist_ok=True)
port, server = serve(args.root)
run = Run(args)
try:
    run.load(f"http://127.0.0.1:{port}/{args.path}")
    run.check("web zip: the page starts and draws, the scene and its grass",
              run.wait_for_frames(10) and all(run.drawn(run.shot("hosted"))))
    run.check("web zip: its service worker keeps the page, no console errors", run.page.wait_for(
        "navigator.serviceWorker.controller !== null", 30) and not run.errors())
finally:
    run.browser.close()
    server.terminate()
print(f"hosted: {run.passed} passed, {run.failed} failed")
sys.exit(1 if run.failed else 0)
