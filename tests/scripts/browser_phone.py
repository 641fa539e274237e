"""The album on a phone and on a desktop, in headless Chromium driven through its DevTools
protocol: the slideshow shows its first picture at once, moves with a swipe and with the arrow
keys, gives every picture an alternative text, honours a request for less motion (no fade, no
automatic advance), and the album page does not scroll sideways on a phone.
Usage: browser_phone.py CHROMIUM LOG ALBUM... (folders of built albums, each with index.htm
or INDEX.HTM and dir_0001 ... in the same case). Prints one line per check, exits 1 on a failure."""

import os
import sys

from browser_devtools import Browser, DevToolsError

chromium, log_path, albums = sys.argv[1], sys.argv[2], sys.argv[3:]
failures = 0
checks = 0


def check(name, condition, seen=None):
    global failures, checks
    checks += 1
    if condition:
        print("ok   " + name)
    else:
        failures += 1
        print("FAIL " + name + ("" if seen is None else f" (seen: {seen})"))


# What the slideshow shows: the picture in front of the stage, its opacity and alternative text,
# the fade of the stage's pictures, the strip's alternative texts and the counter.
STATE = """(function () {
  var front = document.querySelector("#palco img.visibile");
  var style = front && getComputedStyle(front);
  return {
    picture: front ? front.getAttribute("src").split("/").pop().toLowerCase() : null,
    opacity: style ? style.opacity : null,
    width: front ? front.naturalWidth : 0,
    alt: front ? front.alt : null,
    frontFade: style ? style.transitionDuration : null,
    fades: Array.from(document.querySelectorAll("#palco img"),
                      function (img) { return getComputedStyle(img).transitionDuration; }),
    strip: Array.from(document.querySelectorAll("#striscia img"), function (img) { return img.alt; }),
    counter: document.getElementById("contatore").textContent
  };
})()"""


def wait_for(page, picture, opaque, limit_ms):
    """The slideshow's state once `picture` is in front (and fully opaque when `opaque`), or
    after `limit_ms` of the page's time."""
    return page.evaluate("""new Promise(function (done) {
      var start = performance.now();
      (function look() {
        var state = %s;
        if ((state.picture === %r && (!%s || state.opacity === "1")) ||
            performance.now() - start > %d) done(state);
        else setTimeout(look, 10);
      })();
    })""" % (STATE, picture, "true" if opaque else "false", limit_ms))


SIZES = [("phone", 390, 844, True), ("desktop", 1280, 800, False)]


def slideshow(browser, album, size, reduced):
    label, width, height, phone = size
    upper = os.path.exists(os.path.join(album, "DIR_0001"))
    menu = os.path.join(album, "DIR_0001/MENU.HTM" if upper else "dir_0001/menu.htm")
    name = f"{os.path.basename(album)} {label}{' less motion' if reduced else ''}:"
    page = browser.new_page()
    page.emulate(width, height, phone, reduced)
    page.open("file://" + menu)

    # At once: the first picture is in front, without a fade, and opaque within a moment of the
    # page's load, where a fade would take 1.6 s.
    state = wait_for(page, "img_001.jpg", True, 300)
    check(f"{name} the first picture is shown at once", state["picture"] == "img_001.jpg" and
          state["opacity"] == "1" and state["frontFade"] == "0s" and state["width"] > 0, state)
    check(f"{name} every picture has its alternative text",
          state["strip"] == ["Foto 1 di 3", "Foto 2 di 3", "Foto 3 di 3"] and
          state["alt"] == "Foto 1 di 3", state)

    # Swipes and arrows, one after the other: each moves one picture on or back.
    middle_x, middle_y = width // 2, height // 3
    steps = [
        ("a swipe to the left", lambda: page.swipe(middle_x + 120, middle_x - 120, middle_y), 2),
        ("the right arrow", lambda: page.key("ArrowRight", "ArrowRight", 39), 3),
        ("a swipe to the right", lambda: page.swipe(middle_x - 120, middle_x + 120, middle_y), 2),
        ("the left arrow", lambda: page.key("ArrowLeft", "ArrowLeft", 37), 1),
    ]
    for what, act, expected in steps:
        act()
        picture = f"img_00{expected}.jpg"
        state = wait_for(page, picture, reduced, 1000)
        check(f"{name} {what} leads to picture {expected}",
              state["picture"] == picture and state["alt"] == f"Foto {expected} di 3" and
              state["counter"] == f"{expected} / 3", state)
        if reduced:
            check(f"{name} picture {expected} shows without a fade", state["opacity"] == "1" and
                  set(state["fades"]) == {"0s"}, state)
        else:
            check(f"{name} picture {expected} fades in", set(state["fades"]) == {"1.6s"}, state)

    # The automatic advance, after longer than its pause (4 s) of the page's time.
    page.let_time_pass(6000)
    state = page.evaluate(STATE)
    if reduced:
        check(f"{name} no automatic advance", state["picture"] == "img_001.jpg", state)
    else:
        check(f"{name} the show moves on by itself", state["picture"] == "img_002.jpg", state)
    page.call("Page.close")


# The album page: no sideways scrolling on a phone, where the rows of buttons wrap; on a desktop
# the rows stay as the build wrote them.
LAYOUT = """(function () {
  var cells = document.querySelectorAll("center > table > tbody > tr > td");
  var tops = new Set(Array.from(cells, function (td) { return td.getBoundingClientRect().top; }));
  return { scroll: document.scrollingElement.scrollWidth, width: innerWidth,
           cells: cells.length, lines: tops.size };
})()"""


def album_page(browser, album, size):
    label, width, height, phone = size
    index = "INDEX.HTM" if os.path.exists(os.path.join(album, "INDEX.HTM")) else "index.htm"
    page = browser.new_page()
    page.emulate(width, height, phone, False)
    page.open("file://" + os.path.join(album, index))
    layout = page.evaluate(LAYOUT)
    name = f"{os.path.basename(album)} {label}: album page"
    check(f"{name} has its 5 buttons", layout["cells"] == 5, layout)
    # A phone's browser widens its layout to a page wider than the screen: compared with the
    # screen's own width.
    check(f"{name} does not scroll sideways",
          layout["scroll"] <= width and layout["width"] == width, layout)
    if phone:
        check(f"{name} wraps the row of buttons", layout["lines"] >= 2, layout)
    else:
        check(f"{name} keeps the row of buttons", layout["lines"] == 1, layout)
    page.call("Page.close")


with open(log_path, "ab") as log:
    browser = Browser(chromium, log)
    try:
        for album in albums:
            for size in SIZES:
                for run, reduced in ((album_page, None), (slideshow, False), (slideshow, True)):
                    try:
                        run(browser, album, size) if reduced is None else run(browser, album, size, reduced)
                    except DevToolsError as error:  # e.g. the page left for another one
                        check(f"{os.path.basename(album)} {size[0]}: {run.__name__} ran to its end",
                              False, error)
    finally:
        browser.close()

print(f"{checks} checks, {failures} failed")
sys.exit(1 if failures else 0)
