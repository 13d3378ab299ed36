#!/usr/bin/python3
"""`scripts/run --demo` (the real zintor, input on a private Xvfb) hands the page's address to
$BROWSER; one script then runs in two engines: headless Chromium, and WebKit (Safari's engine:
WebKitGTK's MiniBrowser driven by WebKitWebDriver). The page loads, the link comes up, the menus
show; a held key moves the cursor until let go, and also stops when the page loses the focus;
typed text reaches the X server; the keys say what the key map makes them do and
change with "#", "*" shows the key help on the page, a notice closes after its time however often
the screen is sent again; the touchpad moves the pointer, clicks, drags and (Chromium's emulated
touch) scrolls, the keyboard mode types as written (punctuation, accents, €); the page is
installable (manifest, icon); a wrong token, a second phone and a big frame are refused in clear
words. The demo always removes its configuration: after Ctrl+C (Chromium) and after Zintor ended
by itself (WebKit)."""

import contextlib, importlib.util, os, re, shutil, signal, socket, subprocess, sys, tempfile, time

ZINTOR, DEMO = sys.argv[1:3]
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"  # webkit2gtk-driver's

missing = [p for p in ("Xvfb", "chromium", "chromedriver", "WebKitWebDriver", "xdotool", "xev")
           if not shutil.which(p)] + ([] if os.path.exists(MINIBROWSER) else ["MiniBrowser"])
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
from selenium.common.exceptions import StaleElementReferenceException

work = tempfile.mkdtemp(prefix="zintor-web-")
children = []  # each leads its own process group
# ctest's time-out sends SIGTERM: end as by an error, so that everything started here goes too.
signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAIL: terminated"))


def start(command, **options):
    children.append(subprocess.Popen(command, start_new_session=True, **options))
    return children[-1]


def xserver():
    read_end, write_end = os.pipe()  # the display's number comes back on it
    start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
          pass_fds=[write_end], stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        env = dict(os.environ, DISPLAY=":" + pipe.readline().strip())
    env.pop("WAYLAND_DISPLAY", None)
    return env


def chromium():
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium")
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                 "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--ignore-certificate-errors",
                 "--user-data-dir=" + os.path.join(work, "chromium"), "--window-size=390,844"):
        options.add_argument(flag)
    return webdriver.Chrome(options=options, service=Service(shutil.which("chromedriver")))


def webkit():
    # On an X server of its own, away from the pointer and keys Zintor makes. Its web process
    # sandbox needs user namespaces, which test machines in containers do not give.
    env = dict(xserver(), WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS="1")
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    start(["WebKitWebDriver", "--port=%d" % port], env=env, stdout=subprocess.DEVNULL,
          stderr=subprocess.DEVNULL)
    options = webdriver.WebKitGTKOptions()
    options.binary_location = MINIBROWSER
    options.add_argument("--automation")
    options.set_capability("acceptInsecureCerts", True)
    for _ in range(100):
        with contextlib.suppress(OSError), socket.create_connection(("127.0.0.1", port)):
            break
        time.sleep(0.1)
    driver = webdriver.Remote("http://127.0.0.1:%d" % port, options=options)
    driver.set_window_rect(0, 0, 390, 700)
    return driver


xev_seen = []  # what xev reported: "+1" "-1" for a button's press and release, a character a key


def seen(what, why):  # `what` among the events since the last time it was seen
    def found(_):
        text = "".join(iter(xev.stdout.readline, ""))
        for press, button, name in re.findall(
                r"Button(Press|Release) event.*?button (\d+),|keysym 0x\w+, (\w+)\)", text, re.S):
            char = name if len(name) == 1 else {"comma": ",", "eacute": "\u00e9",
                                                "EuroSign": "\u20ac"}.get(name, "")
            xev_seen.append(char if name else ("+" if press == "Press" else "-") + button)
        return what in "".join(xev_seen) and not xev_seen.clear()
    WebDriverWait(xev, 10).until(found, why)


def try_in(engine, make_driver, xenv):
    def xdotool(*args):
        return subprocess.run(["xdotool", *args], env=xenv, capture_output=True, text=True,
                              check=True).stdout

    def pointer():
        return int(re.search(r"X=(\d+)", xdotool("getmouselocation", "--shell")).group(1))

    def stops(why):  # the cursor stands still, short of the screen's edge (">" may still be held)
        last = [pointer(), time.time()]

        def still(_):
            now = pointer()
            if now != last[0]:
                last[:] = [now, time.time()]
            return time.time() - last[1] > 0.4
        WebDriverWait(driver, 3, 0.05).until(still, why)
        assert pointer() < 600, why

    driver = make_driver()
    driver.set_page_load_timeout(20)  # a page that never loads fails here, not after minutes
    # The page redraws its screen: an element read while it is replaced is read again.
    wait = WebDriverWait(driver, 20, ignored_exceptions=(StaleElementReferenceException,))
    # The demo, its browser a recorder of the address it is to open; mktemp's folders in tmp/.
    recorder, tmp, log = (os.path.join(work, engine + name) for name in ("-browser", "-tmp", ".txt"))
    open(recorder, "w").write('#!/bin/sh\necho "$1" >"$0.part" && mv "$0.part" "$0.opened"\n')
    os.chmod(recorder, 0o755)
    os.mkdir(tmp)
    demo = start([DEMO, "--demo"], stdout=open(log, "w"), stderr=subprocess.STDOUT, env=dict(
        xenv, ZINTOR_PROGRAM=ZINTOR, ZINTOR_DEMO_PORT="0", BROWSER=recorder, TMPDIR=tmp,
        QT_QPA_PLATFORM="offscreen"))
    try:
        wait.until(lambda _: os.path.exists(recorder + ".opened"), "the browser was not opened")
        address = open(recorder + ".opened").read().strip()
        base, token = address.split("?t=")
        assert re.fullmatch(r"https://127\.0\.0\.1:\d+/", base) and len(token) >= 22, address

        def logged(text):
            wait.until(lambda _: text in open(log).read(), text)

        def refused(url, why):  # the socket closed with the reason, before any message
            events = driver.execute_async_script("""
                const done = arguments[1], seen = [], ws = new WebSocket(arguments[0]);
                ws.onmessage = () => seen.push("message");
                ws.onclose = e => done(seen.concat("closed: " + e.reason));
                setTimeout(() => done(seen), 5000);""", url)
            assert events == ["closed: " + why], events
            logged("connection from 127.0.0.1 refused (" + why)

        def shows(element, text):
            wait.until(lambda d: text in d.find_element(By.ID, element).text, text)

        # With the token the link comes up and the menu shows; no socket for a wrong token or a
        # second phone, whose page says why (an old address, a foreign origin: the server test).
        driver.get(address)
        shows("screen", "Move Mouse")
        assert "Zintor connected" in driver.find_element(By.ID, "link").text
        sockets = base.replace("https:", "wss:") + "ws?t="
        refused(sockets + "wrong", "missing or wrong pairing token")
        refused(sockets + token, "another phone is connected")
        first = driver.current_window_handle
        driver.switch_to.new_window("tab")
        driver.get(address)
        shows("link", "Another phone is connected")
        driver.close()
        driver.switch_to.window(first)
        if os.environ.get("ZINTOR_WEB_SCREENSHOT") and engine == "chromium":  # scripts/screenshots
            driver.save_screenshot(os.environ["ZINTOR_WEB_SCREENSHOT"])
        items = driver.find_elements(By.CSS_SELECTOR, "#menu li")
        next(i for i in items if i.text == "Move Mouse").click()
        shows("mode", "keypad on")

        # Holding ">" moves the cursor right until the key is let go or the page loses the focus.
        # (A page gone silent: the server test.)
        right = driver.find_element(By.CSS_SELECTOR, '#keypad button[data-code=">"]')
        for blur in (False, True):
            xdotool("mousemove", "100", "100")
            ActionChains(driver).click_and_hold(right).perform()
            WebDriverWait(driver, 5).until(lambda _: pointer() > 130, "no move right")
            if blur:  # still held on the page
                driver.execute_script("window.dispatchEvent(new Event('blur'))")
            else:
                ActionChains(driver).release(right).perform()
            stops("the cursor went on after " + ("blur" if blur else "let go"))
        ActionChains(driver).release(right).perform()

        # Key 0 opens the input box; what is typed there reaches the window under the pointer.
        xdotool("mousemove", "700", "600")
        key = lambda code: driver.find_element(By.CSS_SELECTOR, '#keypad [data-code="%s"]' % code)
        ActionChains(driver).click(key("0")).perform()
        wait.until(lambda d: d.find_element(By.ID, "text")).send_keys("Hi5")
        driver.find_element(By.ID, "send").click()
        seen("HHii55", "Hi5 did not reach the X server")
        close = '//*[@id="screen"]//button[text()="Close"]'
        wait.until(lambda d: d.find_element(By.XPATH, close)).click()

        # The keys say what they do; "#" changes them, "*" shows the help on the page too. The
        # key map's notice goes after its 2 s while keys keep sending the screen again.
        does = lambda text: wait.until(lambda _: key("1").get_attribute("title") == text, text)
        click = lambda *elements: [ActionChains(driver).click(e).perform() for e in elements]
        does("Left click")
        click(key("#"))
        does("Start the show")
        shows("notice", "Presentation")
        for _ in range(8):
            click(key("c")), time.sleep(0.4)
        assert not driver.find_elements(By.ID, "notice"), "the notice stayed"
        click(key("*"))
        shows("help", "Start the show")
        click(key("*"), key("#"), key("#"))  # Media, Desktop
        does("Left click")

        # The touchpad: a finger moves the pointer (accelerated), a tap clicks, touch and hold
        # drags; two fingers scroll (the wheel: button 5 down the page).
        mode = lambda name: driver.find_element(By.CSS_SELECTOR, '[data-mode="%s"]' % name).click()
        mode("touch")
        pad = driver.find_element(By.ID, "touch")
        xdotool("mousemove", "500", "600")
        ActionChains(driver).move_to_element(pad).click_and_hold().move_by_offset(40, 0) \
            .move_by_offset(40, 0).release().perform()
        wait.until(lambda _: pointer() > 600, "the touchpad did not move the pointer")
        xdotool("mousemove", "700", "600")
        ActionChains(driver).move_to_element(pad).click().perform()
        seen("+1-1", "a tap did not click")
        ActionChains(driver).move_to_element(pad).click_and_hold().perform()
        seen("+1", "touch and hold did not press the button")
        ActionChains(driver).release().perform()
        seen("-1", "the drag did not end")
        if engine == "chromium":
            x, y = driver.execute_script(
                "const r = touch.getBoundingClientRect(); return [r.x, r.bottom - 20]")
            for kind, dy in [("touchStart", 0)] + [("touchMove", d) for d in range(10, 130, 10)] \
                    + [("touchEnd", 0)]:
                driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
                    {"x": x + 60 + 80 * i, "y": y - dy, "id": i} for i in (0, 1)
                    if kind != "touchEnd"]})
            seen("+5-5", "two fingers did not scroll")

        # The keyboard mode types what the phone's keyboard does, character by character.
        mode("keyboard")
        driver.find_element(By.ID, "typing").send_keys("ok,\u00e9\u20ac")
        seen("ookk,,\u00e9\u00e9\u20ac\u20ac", "the keyboard mode did not type as written")
        mode("keys")

        # Installable: the manifest opens the page with its token, the icon is there.
        manifest = driver.execute_async_script("""
            const done = arguments[0];
            fetch(document.querySelector("link[rel=manifest]").href).then(r => r.json())
              .then(m => fetch(m.icons[1].src).then(i => done([m.start_url, i.status])))
              .catch(e => done(String(e)));""")
        assert manifest == ["/?t=" + token, 200], manifest

        # An oversized frame ends the page's connection (a hang-up for the program, which goes
        # on); the page connects again by itself and the link comes back.
        driver.execute_script("socket.send('x'.repeat(5000))")
        logged("phone lost (page closed (code 1009")
        shows("screen", "Move Mouse")
        if engine == "chromium":
            os.killpg(demo.pid, signal.SIGINT)  # Ctrl+C
        else:  # Zintor ends by itself
            program = os.path.realpath(ZINTOR)
            for pid in open("/proc/%d/task/%d/children" % (demo.pid, demo.pid)).read().split():
                with contextlib.suppress(OSError):
                    if os.path.realpath("/proc/%s/exe" % pid) == program:
                        os.kill(int(pid), signal.SIGKILL)
        demo.wait(10)
        assert not [f for f in os.listdir(tmp) if f.startswith("tmp.")], "the demo left its files"
        print("web phone in %s: OK" % engine)
    finally:
        driver.quit()


try:
    xenv = xserver()  # Zintor's input goes here
    # A window that records the keys it gets (no window manager: the focus follows the pointer).
    xev = start(["xev", "-geometry", "300x200+600+500", "-event", "keyboard", "-event", "button"],
                env=xenv, stdout=subprocess.PIPE, text=True, bufsize=1)
    os.set_blocking(xev.stdout.fileno(), False)
    try_in("chromium", chromium, xenv)
    try_in("webkit", webkit, xenv)
finally:
    for child in reversed(children):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(child.pid, signal.SIGKILL)
    shutil.rmtree(work, ignore_errors=True)
