"""Drives headless Chromium through its DevTools protocol over a pipe (--remote-debugging-pipe:
commands on descriptor 3, answers and events on descriptor 4, each message JSON ended by a NUL),
so that a test needs nothing beyond Python and the browser. Used by browser_phone.sh."""

import fcntl
import json
import os
import subprocess
import tempfile
import time


class DevToolsError(Exception):
    pass


class Browser:
    def __init__(self, chromium, log):
        self.profile = tempfile.mkdtemp(prefix="devtools-profile.")
        to_browser, self.to_browser = os.pipe()
        self.from_browser, from_browser = os.pipe()
        # The browser's ends above 3 and 4, so that moving one there cannot close the other.
        to_browser_read = fcntl.fcntl(to_browser, fcntl.F_DUPFD, 10)
        from_browser_write = fcntl.fcntl(from_browser, fcntl.F_DUPFD, 10)
        os.close(to_browser)
        os.close(from_browser)

        # Bash puts the pipe's ends on descriptors 3 and 4, where the browser looks for them.
        moves = (f'exec "$@" 3<&{to_browser_read} 4>&{from_browser_write} '
                 f'{to_browser_read}<&- {from_browser_write}>&-')
        self.process = subprocess.Popen(
            ["/bin/bash", "-c", moves, "bash", chromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + self.profile, "--remote-debugging-pipe", "about:blank"],
            pass_fds=(to_browser_read, from_browser_write),
            stdout=log, stderr=log)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        try:
            self.call("Browser.close")
        except DevToolsError:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self.to_browser)
        os.close(self.from_browser)
        subprocess.run(["rm", "-rf", self.profile], check=False)

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise DevToolsError("the browser did not answer in time")
            chunk = os.read(self.from_browser, 1 << 16)
            if not chunk:
                raise DevToolsError("the browser closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, params=None, session=None, timeout=20):
        """Sends one command and returns its result; events that come meanwhile are kept."""
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise DevToolsError(f"{method}: {answer['error']}")
                return answer.get("result", {})
            self.events.append(answer)

    def wait_event(self, method, session, timeout=20):
        deadline = time.monotonic() + timeout
        while True:
            for k, event in enumerate(self.events):
                if event.get("method") == method and event.get("sessionId") == session:
                    del self.events[k]
                    return event.get("params", {})
            self.events.append(self._read_message(deadline))

    def new_page(self):
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})
        page = Page(self, session["sessionId"])
        page.call("Page.bringToFront")  # a page in the background gets no animation frames
        return page


class Page:
    def __init__(self, browser, session):
        self.browser = browser
        self.session = session
        self.call("Page.enable")

    def call(self, method, params=None):
        return self.browser.call(method, params, self.session)

    def emulate(self, width, height, phone, reduced_motion):
        self.call("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": phone})
        self.call("Emulation.setTouchEmulationEnabled", {"enabled": phone, "maxTouchPoints": 5})
        self.call("Emulation.setEmulatedMedia", {"features": [
            {"name": "prefers-reduced-motion", "value": "reduce" if reduced_motion else ""}]})

    def open(self, url):
        self.browser.events.clear()
        self.call("Page.navigate", {"url": url})
        self.browser.wait_event("Page.loadEventFired", self.session)

    def evaluate(self, expression):
        """The value of a JavaScript expression (a promise is waited for)."""
        result = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True,
                                                "returnByValue": True})
        if "exceptionDetails" in result:
            raise DevToolsError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def swipe(self, x_from, x_to, y):
        """A one-finger swipe from x_from to x_to in a few steps."""
        steps = [x_from + (x_to - x_from) * k // 4 for k in range(5)]
        self.call("Input.dispatchTouchEvent",
                  {"type": "touchStart", "touchPoints": [{"x": steps[0], "y": y}]})
        for x in steps[1:]:
            self.call("Input.dispatchTouchEvent",
                      {"type": "touchMove", "touchPoints": [{"x": x, "y": y}]})
        self.call("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def key(self, key, code, key_code):
        for kind in ("rawKeyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code,
                                                 "windowsVirtualKeyCode": key_code})

    def let_time_pass(self, milliseconds):
        """Runs the page's clock ahead by `milliseconds` of virtual time, timers included,
        without waiting for them in real time."""
        self.call("Emulation.setVirtualTimePolicy", {"policy": "advance", "budget": milliseconds})
        self.browser.wait_event("Emulation.virtualTimeBudgetExpired", self.session)
