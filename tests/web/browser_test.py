#!/usr/bin/python3
"""`scripts/run --demo` (the real zintor, input on a private Xvfb) hands the page's address to
$BROWSER; headless Chromium (Selenium) opens it: the link comes up, the menus show, a held key
moves the cursor until let go, typed text reaches the X server; wrong tokens, other origins, a
second phone and a big frame are refused; Ctrl+C ends the demo and removes its configuration."""

import contextlib, importlib.util, os, re, shutil, signal, subprocess, sys, tempfile, time

ZINTOR, DEMO = sys.argv[1:3]

missing = [p for p in ("Xvfb", "chromium", "chromedriver", "xdotool", "xev") if not shutil.which(p)]
missing += [] if importlib.util.find_spec("selenium") else ["python3-selenium"]
if missing:
    require = os.environ.get("ZINTOR_REQUIRE_ALL")  # scripts/test: a failure, not a skip
    print(("FAIL: " if require else "SKIP: ") + " ".join(missing) + " not installed")
    sys.exit(1 if require else 77)
from selenium import webdriver
from selenium.webdriver import ActionChains
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

work = tempfile.mkdtemp(prefix="zintor-web-")
children = []  # each leads its own process group
driver = None


def start(command, **options):
    children.append(subprocess.Popen(command, start_new_session=True, **options))
    return children[-1]


try:
    # A private X server; its number comes back on a pipe.
    read_end, write_end = os.pipe()
    start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
          pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        xenv = dict(os.environ, DISPLAY=":" + pipe.readline().strip())
    xenv.pop("WAYLAND_DISPLAY", None)

    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=xenv, capture_output=True, text=True,
                              check=True).stdout

    def pointer():
        return int(re.search(r"X=(\d+)", xdotool("getmouselocation", "--shell")).group(1))

    # A window that records the keys it gets (no window manager: the focus follows the pointer).
    xev = start(["xev", "-geometry", "300x200+600+500", "-event", "keyboard"], env=xenv,
                stdout=subprocess.PIPE, text=True, bufsize=1)

    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--ignore-certificate-errors",
                 "--user-data-dir=" + os.path.join(work, "chromium"), "--window-size=390,844"):
        options.add_argument(flag)
    driver = webdriver.Chrome(options=options, service=Service(shutil.which("chromedriver")))
    wait = WebDriverWait(driver, 20)

    # The demo, its browser a recorder of the address it is to open; mktemp's folders in tmp/.
    recorder, tmp, log = (os.path.join(work, name) for name in ("browser", "tmp", "zintor.txt"))
    open(recorder, "w").write('#!/bin/sh\necho "$1" >"$0.opened"\n')
    os.chmod(recorder, 0o755)
    os.mkdir(tmp)
    demo = start([DEMO, "--demo"], stdout=open(log, "w"), stderr=subprocess.STDOUT, env=dict(
        xenv, ZINTOR_PROGRAM=ZINTOR, ZINTOR_DEMO_PORT="0", BROWSER=recorder, TMPDIR=tmp,
        QT_QPA_PLATFORM="offscreen"))

    wait.until(lambda _: os.path.exists(recorder + ".opened"), "the browser was not opened")
    address = open(recorder + ".opened").read().strip()
    base, token = address.split("?t=")
    assert re.fullmatch(r"https://127\.0\.0\.1:\d+/", base) and len(token) >= 22, address

    def refused(url, why):  # a socket closed before a message, and the refusal logged
        events = driver.execute_async_script("""
            const done = arguments[1], seen = [], ws = new WebSocket(arguments[0]);
            ws.onmessage = () => seen.push("message");
            ws.onclose = () => done(seen.concat("closed"));
            setTimeout(() => done(seen), 5000);""", url)
        assert events == ["closed"], events
        wait.until(lambda _: "connection from 127.0.0.1 refused (" + why in open(log).read(), why)

    def shows(element, text):
        wait.until(lambda d: text in d.find_element(By.ID, element).text, text)

    # Without the token no page; a page of another origin (localhost) gets no socket.
    driver.get(base + "?t=wrong")
    assert "Zintor phone" not in driver.page_source, "page served without the token"
    sockets = base.replace("https:", "wss:") + "ws?t="
    driver.execute_cdp_cmd("Page.setBypassCSP", {"enabled": True})  # so that the page tries
    driver.get(address.replace("127.0.0.1", "localhost"))
    refused(sockets + token, "foreign origin https://localhost:")
    driver.execute_cdp_cmd("Page.setBypassCSP", {"enabled": False})
    # With the token the link comes up and the menu shows; no socket for a wrong token or phone 2.
    driver.get(address)
    shows("screen", "Move Mouse")
    assert "Zintor connected" in driver.find_element(By.ID, "link").text
    refused(sockets + "wrong", "missing or wrong pairing token")
    refused(sockets + token, "another phone is connected")
    if os.environ.get("ZINTOR_WEB_SCREENSHOT"):  # scripts/screenshots: the page at phone size
        driver.save_screenshot(os.environ["ZINTOR_WEB_SCREENSHOT"])
    items = driver.find_elements(By.CSS_SELECTOR, "#menu li")
    next(i for i in items if i.text == "Move Mouse").click()
    shows("mode", "keypad on")

    # Holding ">" moves the cursor right until the key is let go.
    xdotool("mousemove", "100", "100")
    right = driver.find_element(By.CSS_SELECTOR, '#keypad button[data-code=">"]')
    ActionChains(driver).click_and_hold(right).perform()
    WebDriverWait(driver, 5).until(lambda _: pointer() > 130, "the cursor did not move right")
    ActionChains(driver).release(right).perform()
    time.sleep(0.3)
    stopped = pointer()
    time.sleep(0.5)
    assert pointer() == stopped, "the cursor went on after the key was let go"

    # Key 0 opens the input box; what is typed there reaches the window under the pointer.
    xdotool("mousemove", "700", "600")
    ActionChains(driver).click(driver.find_element(By.CSS_SELECTOR, '[data-code="0"]')).perform()
    wait.until(lambda d: d.find_element(By.ID, "text")).send_keys("Hi5")
    driver.find_element(By.ID, "send").click()
    os.set_blocking(xev.stdout.fileno(), False)
    keys = []  # one-character key symbols as xev reports them, each pressed and released

    def typed(_):
        keys.extend(re.findall(r"keysym 0x\w+, (\w)\)", "".join(iter(xev.stdout.readline, ""))))
        return "HHii55" in "".join(keys)

    WebDriverWait(driver, 10).until(typed, "Hi5 did not reach the X server")

    # An oversized frame ends the page's connection (a hang-up for the program, which goes on);
    # the page connects again by itself and the link comes back.
    driver.execute_script("socket.send('x'.repeat(5000))")
    wait.until(lambda _: "phone lost (page closed (code 1009" in open(log).read(), "not refused")
    shows("screen", "Move Mouse")
    os.killpg(demo.pid, signal.SIGINT)  # Ctrl+C: the demo's configuration goes with it
    demo.wait(10)
    assert not [f for f in os.listdir(tmp) if f.startswith("tmp.")], "the demo left its files"
    print("web phone in Chromium: OK")
finally:
    if driver:
        driver.quit()
    for child in reversed(children):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(child.pid, signal.SIGKILL)
    shutil.rmtree(work, ignore_errors=True)
