"""What the page test and the page benchmark share: Chromium driven by
Selenium, and the page of a run as wrd and wrd-dot write it."""
import os
import shutil
import subprocess

DRIVER = shutil.which("chromedriver") or "/usr/bin/chromedriver"
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    MISSING = None if os.path.exists(DRIVER) else "chromedriver (Debian: chromium-driver)"
except ImportError:
    MISSING = "Selenium for /usr/bin/python3 (Debian: python3-selenium)"


def browser(width=1280, height=800):
    """Headless Chromium in a window of this size, with no sandbox (which root lacks)."""
    options = webdriver.ChromeOptions()
    for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=%d,%d" % (width, height)):
        options.add_argument(flag)
    return webdriver.Chrome(service=Service(DRIVER), options=options)


def page(folder, wrd, wrd_dot, text):
    """The page of the run of `text` (bytes or str), written by wrd and wrd-dot
    in `folder`, which it makes: its path, its bytes and wrd's report."""
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "wrd.txt"), "wb") as out:
        out.write(text if isinstance(text, bytes) else text.encode())
    report = subprocess.run([wrd], cwd=folder, check=True, capture_output=True).stdout
    html = subprocess.run([wrd_dot, "-T", "html"], cwd=folder, input=report, check=True, capture_output=True).stdout
    path = os.path.join(folder, "steps.html")
    with open(path, "wb") as out:
        out.write(html)
    return path, html, report.decode("utf-8", "replace")
