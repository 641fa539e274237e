"""Takes a screenshot of a page in headless Chromium at a given size, as a phone (touch, a
phone's layout) or as a desktop, once the page has loaded and settled for a moment.
Usage: shoot_page.py CHROMIUM OUTPUT.png WIDTH HEIGHT phone|desktop URL [MILLISECONDS]
With MILLISECONDS, the page is given that much more time first (the scrolling title moves in).
(tests/scripts, which holds the DevTools client, on PYTHONPATH)."""

import base64
import sys

from browser_devtools import Browser

chromium, output, width, height, kind, url = sys.argv[1:7]
settle = int(sys.argv[7]) if len(sys.argv) > 7 else 0
with open("/dev/null", "ab") as log:
    browser = Browser(chromium, log)
    try:
        page = browser.new_page()
        page.emulate(int(width), int(height), kind == "phone", False)
        page.open(url)
        page.evaluate("new Promise(function (done) { setTimeout(done, %d); })" % (700 + settle))
        shot = page.call("Page.captureScreenshot", {"format": "png"})
        with open(output, "wb") as f:
            f.write(base64.b64decode(shot["data"]))
    finally:
        browser.close()
