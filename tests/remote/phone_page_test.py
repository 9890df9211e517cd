#!/usr/bin/python3
"""The phones' page in a real browser: headless Chromium, driven by Selenium,
against the jukebox program started in a temporary folder with phone ordering
switched on. A guest enters the PIN, finds a song by part of its Chinese title,
orders it and sees it under "已點歌曲"; the jukebox's queue then holds it.
A second order is moved to the front ("插播") and deleted ("刪除").
All this happens while strangers on the network attack the server (idle
sockets, a 20 MB body, a chunked 1 MB body, a 10,000-character URL,
pipelined requests never read); each attack is answered or closed within a
second. Then a brute force of the PIN from fifty addresses makes every new
login wait: a second phone is told so, the first guest still orders, and the
jukebox keeps its queue.

Usage: phone_page_test.py <karaoke executable> [folder for screenshots]
Everything the test writes (program copy, catalogue, browser profile) stays in
a temporary folder that is removed at the end.
"""
import json
import os
import shutil
import socket
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support import expected_conditions as ready
from selenium.webdriver.support.ui import WebDriverWait

PIN = "2468"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_jukebox(executable, folder, port):
    program = os.path.join(folder, "karaoke")
    shutil.copy(executable, program)
    with open(os.path.join(folder, "Setting.ini"), "w", encoding="utf-8") as ini:
        ini.write(f"PhoneOrdering = 1\r\nPhoneOrderingPort = {port}\r\nPhoneOrderingPin = {PIN}\r\n")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=folder, XDG_RUNTIME_DIR=folder)
    log = open(os.path.join(folder, "karaoke.log"), "w")
    return subprocess.Popen([program], cwd=folder, env=env, stdout=log, stderr=subprocess.STDOUT)


def wait_for_page(port, jukebox):
    for _ in range(600):
        if jukebox.poll() is not None:
            raise SystemExit("the jukebox ended before its page was up")
        try:
            urllib.request.urlopen(f"http://127.0.0.1:{port}/", timeout=1).read()
            return
        except OSError:
            time.sleep(0.05)
    raise SystemExit("the phones' page never came up")


def fill_catalogue(folder):
    """Songs added as another program would add them while the jukebox runs."""
    db = sqlite3.connect(os.path.join(folder, "karaoke.db"))
    db.execute("INSERT INTO singer(singer_name, singer_sex) VALUES ('江蕙', 0)")
    code = db.execute("SELECT max(singer_code) FROM singer").fetchone()[0]
    for num, name in [("102001", "家後"), ("102002", "酒後的心聲"), ("102003", "落雨聲")]:
        db.execute("INSERT INTO song(song_num, song_kind, song_name, song_text_count, song_singer_code,"
                   " song_build_date, song_location) VALUES (?, 1, ?, ?, ?, '2024/05/01', '/songs/x.mpg')",
                   (num, name, len(name), code))
    db.commit()
    db.close()


def connect_from(host, port):
    """A socket from 127.0.0.<host>, as another device of the room's network."""
    client = socket.socket()
    client.bind((f"127.0.0.{host}", 0))
    client.settimeout(1.0)
    client.connect(("127.0.0.1", port))
    return client


def first_answer(client):
    """The status of the server's answer, 0 when it closed without one; a
    second of silence is a hang and fails."""
    try:
        data = client.recv(4096)
    except ConnectionResetError:
        return 0
    return int(data[9:12]) if data.startswith(b"HTTP/1.") else 0


def send_until_stopped(client, data):
    try:
        client.sendall(data)
    except (BrokenPipeError, ConnectionResetError, socket.timeout):
        pass  # the server stopped reading


class Attack(threading.Thread):
    """Floods that need no PIN, in rounds, until told to stop (at most 50 rounds)."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.port, self.stop, self.failures = port, threading.Event(), []

    def check(self, name, status, allowed):
        if status not in allowed:
            self.failures.append(f"{name}: {status}")

    def run(self):
        idle = []
        for i in range(300):
            try:
                idle.append(connect_from(2 + i % 5, self.port))
            except OSError:
                pass
        for _ in range(50):
            if self.stop.is_set():
                break
            try:
                self.one_round()
            except OSError as error:  # a hang (timeout) or a refused connection
                self.failures.append(repr(error))
            time.sleep(0.2)
        for client in idle:
            client.close()

    def one_round(self):
        with connect_from(7, self.port) as big:
            send_until_stopped(big, b"POST /api/login HTTP/1.1\r\nHost: x\r\nContent-Length: 20971520\r\n\r\n"
                               + b"x" * (20 * 1024 * 1024))
            self.check("20 MB body", first_answer(big), (413, 0))
        with connect_from(8, self.port) as long_url:
            long_url.sendall(b"GET /api/songs?q=" + b"a" * 10000 + b" HTTP/1.1\r\nHost: x\r\n\r\n")
            self.check("long URL", first_answer(long_url), (414, 0))
        with connect_from(10, self.port) as chunked:
            send_until_stopped(chunked, b"POST /api/login HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n"
                               b"\r\n" + (b"400\r\n" + b"x" * 1024 + b"\r\n") * 1024)
            self.check("chunked 1 MB body", first_answer(chunked), (413,))
        with connect_from(9, self.port) as pipelined:
            pipelined.setblocking(False)
            try:
                for _ in range(10000):
                    pipelined.send(b"GET / HTTP/1.1\r\nHost: x\r\n\r\n")
            except OSError:
                pass  # full: the server reads no more from a client that never reads


def brute_force(port):
    """1,000 wrong PINs from 127.0.0.10 to 127.0.0.59: each answered within a second."""
    statuses = {}
    for i in range(1000):
        body = json.dumps({"pin": f"{(i * 7919) % 10000:04d}"}).encode()
        with connect_from(10 + i % 50, port) as client:
            client.sendall(b"POST /api/login HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\n"
                           + f"Content-Length: {len(body)}\r\n\r\n".encode() + body)
            status = first_answer(client)
        statuses[status] = statuses.get(status, 0) + 1
    assert set(statuses) <= {403, 429, 200}, statuses
    assert statuses.get(403, 0) <= 10 and statuses.get(200, 0) <= 1, statuses
    return statuses


def browser(folder, width=360, height=740, profile="profile"):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # A phone's screen: the desktop window of a headless browser is at least 500 px wide.
    options.add_experimental_option(
        "mobileEmulation", {"deviceMetrics": {"width": width, "height": height, "pixelRatio": 1.0}})
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", f"--window-size={width},{height}",
                     f"--user-data-dir={os.path.join(folder, profile)}", "--lang=zh-TW"]:
        options.add_argument(argument)
    env = dict(os.environ, HOME=folder, XDG_CONFIG_HOME=folder, XDG_CACHE_HOME=folder)
    service = Service("/usr/bin/chromedriver", env=env, log_path=os.path.join(folder, "chromedriver.log"))
    return webdriver.Chrome(service=service, options=options)


def jukebox_queue(port, driver):
    cookie = "; ".join(f"{c['name']}={c['value']}" for c in driver.get_cookies())
    request = urllib.request.Request(f"http://127.0.0.1:{port}/api/queue", headers={"Cookie": cookie})
    return json.load(urllib.request.urlopen(request, timeout=5))


def shoot(driver, shots, name):
    if shots:
        driver.save_screenshot(os.path.join(shots, name))


def guest_orders(driver, port, shots):
    wait = WebDriverWait(driver, 60)
    driver.get(f"http://127.0.0.1:{port}/")
    pin = wait.until(ready.visibility_of_element_located((By.ID, "pin")))
    assert "輸入密碼" in driver.find_element(By.ID, "login").text
    shoot(driver, shots, "phone-pin.png")
    pin.send_keys(PIN)
    driver.find_element(By.ID, "enter").click()

    search_box = wait.until(ready.visibility_of_element_located((By.CSS_SELECTOR, "input[type=search]")))
    search_box.send_keys("雨")
    driver.find_element(By.XPATH, "//button[text()='搜尋']").click()
    wait.until(ready.text_to_be_present_in_element((By.ID, "songs"), "落雨聲"))
    rows = driver.find_elements(By.CSS_SELECTOR, "#songs li")
    assert len(rows) == 1, [row.text for row in rows]
    assert "江蕙" in rows[0].text and "102003" in rows[0].text
    shoot(driver, shots, "phone-results.png")
    rows[0].find_element(By.XPATH, ".//button[text()='點歌']").click()

    wait.until(ready.text_to_be_present_in_element((By.ID, "queue"), "落雨聲--江蕙"))
    assert "已點歌曲" in driver.find_element(By.ID, "main").text
    entry = driver.find_element(By.CSS_SELECTOR, "#queue li")
    assert entry.find_element(By.XPATH, ".//button[text()='刪除']")
    assert entry.find_element(By.XPATH, ".//button[text()='插播']")
    shoot(driver, shots, "phone-queue.png")

    queue = jukebox_queue(port, driver)["queue"]
    assert [(e["num"], e["text"]) for e in queue] == [("102003", "落雨聲--江蕙")], queue
    width = driver.execute_script("return document.documentElement.scrollWidth")
    assert width <= 360, f"the page is {width} px wide"


def guest_rearranges(driver, port):
    """A second order, moved to the front with "插播", then deleted."""
    wait = WebDriverWait(driver, 60)
    search_box = driver.find_element(By.CSS_SELECTOR, "input[type=search]")
    search_box.clear()
    search_box.send_keys("後")
    driver.find_element(By.XPATH, "//button[text()='搜尋']").click()
    wait.until(ready.text_to_be_present_in_element((By.ID, "songs"), "酒後的心聲"))
    row = driver.find_element(By.XPATH, "//ul[@id='songs']/li[contains(., '102002')]")
    row.find_element(By.XPATH, ".//button[text()='點歌']").click()
    wait.until(ready.text_to_be_present_in_element((By.ID, "queue"), "酒後的心聲--江蕙"))

    second = driver.find_element(By.XPATH, "//ul[@id='queue']/li[2]")
    second.find_element(By.XPATH, ".//button[text()='插播']").click()
    wait.until(ready.text_to_be_present_in_element((By.ID, "queue"), "酒後的心聲--插播"))
    queue = jukebox_queue(port, driver)["queue"]
    assert [e["num"] for e in queue] == ["102002", "102003"], queue

    first = driver.find_element(By.XPATH, "//ul[@id='queue']/li[1]")
    first.find_element(By.XPATH, ".//button[text()='刪除']").click()
    wait.until(lambda d: "酒後的心聲" not in d.find_element(By.ID, "queue").text)
    queue = jukebox_queue(port, driver)["queue"]
    assert [e["num"] for e in queue] == ["102003"], queue


def newcomer_waits(folder, port, shots):
    """A phone that comes during the brute force is told why it cannot log in."""
    driver = browser(folder, 390, 844, "newcomer")
    try:
        driver.get(f"http://127.0.0.1:{port}/")
        pin = WebDriverWait(driver, 60).until(ready.visibility_of_element_located((By.ID, "pin")))
        pin.send_keys(PIN)
        driver.find_element(By.ID, "enter").click()
        WebDriverWait(driver, 60).until(
            ready.text_to_be_present_in_element((By.ID, "login-msg"), "有人一直輸錯密碼，手機點歌暫停"))
        shoot(driver, shots, "phone-logins-wait.png")
    finally:
        driver.quit()


def guest_orders_on(driver, port):
    """The guest who logged in before the brute force orders during it."""
    search_box = driver.find_element(By.CSS_SELECTOR, "input[type=search]")
    search_box.clear()
    search_box.send_keys("家後")
    driver.find_element(By.XPATH, "//button[text()='搜尋']").click()
    wait = WebDriverWait(driver, 60)
    wait.until(ready.text_to_be_present_in_element((By.ID, "songs"), "102001"))
    driver.find_element(By.XPATH, "//ul[@id='songs']/li[contains(., '102001')]//button[text()='點歌']").click()
    wait.until(ready.text_to_be_present_in_element((By.ID, "queue"), "家後--江蕙"))
    assert [e["num"] for e in jukebox_queue(port, driver)["queue"]] == ["102003", "102001"]


def main():
    executable = os.path.abspath(sys.argv[1])
    shots = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    with tempfile.TemporaryDirectory(prefix="phone-page-") as folder:
        port = free_port()
        jukebox = start_jukebox(executable, folder, port)
        driver = None
        try:
            wait_for_page(port, jukebox)
            fill_catalogue(folder)
            driver = browser(folder)
            attack = Attack(port)
            attack.start()
            guest_orders(driver, port, shots)
            guest_rearranges(driver, port)
            attack.stop.set()
            attack.join()
            assert not attack.failures, attack.failures
            statuses = brute_force(port)
            newcomer_waits(folder, port, shots)
            guest_orders_on(driver, port)
            assert jukebox.poll() is None, "the jukebox ended"
        finally:
            if driver:
                driver.quit()
            jukebox.kill()
            jukebox.wait()
    print("phone page: PIN, search, order, insert and delete work in Chromium under attack;"
          f" brute force answered {statuses}")


if __name__ == "__main__":
    main()
