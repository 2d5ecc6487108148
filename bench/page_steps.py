#!/usr/bin/python3
"""Measures the page of wrd-dot -T html in Chromium, driven by Selenium in a
1280x800 window: the time of one step (Next, then the layout of the page) on
lists of 1,000 and 20,000 nodes, and the size and opening time of the page of a
text of 100,000 words (20,000 distinct), and the time that the page's text box
takes to run that text against native wrd. Prints the figures as Markdown.

usage: /usr/bin/python3 bench/page_steps.py [BUILD]   (default: build)
Needs Debian's chromium, chromium-driver and python3-selenium."""
import gzip
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests"))
from browser import browser, page as written  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
STEPS = 40


def page(folder, words):
    """The page of the run of `words`, 12 to a line, written in `folder`: its path and bytes."""
    text = "\n".join(" ".join(words[i:i + 12]) for i in range(0, len(words), 12)) + "\n"
    path, html, _ = written(folder, os.path.join(BUILD, "wrd"), os.path.join(BUILD, "wrd-dot"), text)
    return path, html


# Clicks Next STEPS times, laying the page out after each, and returns the
# milliseconds per step.
TIME_STEPS = """
const next=document.getElementById('next'),t0=performance.now();
for(let i=0;i<%d;++i){next.click();document.body.getBoundingClientRect();document.body.offsetHeight;}
return (performance.now()-t0)/%d;""" % (STEPS, STEPS)


def step_ms(driver, folder, nodes):
    """One step's median time, over 5 runs of STEPS steps at the end of a run that
    made `nodes` nodes: the last STEPS calls repeat words drawn at random."""
    rng = random.Random(nodes)
    words = ["w%d" % i for i in range(nodes - 2)]  # and the seeds, pokus and druhy
    words += rng.choices(words, k=STEPS)
    path, _ = page(folder, words)
    times = []
    for _ in range(5):
        driver.get("file://%s#step=%d" % (path, len(words) + 4 - STEPS))
        driver.refresh()
        times.append(driver.execute_script(TIME_STEPS))
    return statistics.median(times)


def open_ms(driver, url):
    """Milliseconds from the start of navigation to the load event's end, median of 5."""
    times = []
    for _ in range(5):
        driver.get("about:blank")
        driver.get(url)
        times.append(driver.execute_script(
            "const t=performance.getEntriesByType('navigation')[0];return t.loadEventEnd-t.startTime;"))
    return statistics.median(times)


# Clicks Run in the text box and waits for the run to be ready to step; returns
# the seconds from the click, and the longest gap between two frames meanwhile.
TIME_RUN = """
const done=arguments[arguments.length-1],button=document.getElementById('try-run'),t0=performance.now();
let last=t0,gap=0;
const frame=(t)=>{gap=Math.max(gap,t-last);last=t;if(button.disabled)requestAnimationFrame(frame);};
button.click();
requestAnimationFrame(frame);
const wait=()=>button.disabled?setTimeout(wait,5):done([(performance.now()-t0)/1000,gap]);
wait();"""


def run_in_page(driver, path, folder):
    """The 100,000 words run by the module in the page against native wrd, in
    turns, so that a change of the machine's load falls on both; medians of 5."""
    native, runs = [], []
    driver.set_script_timeout(120)
    driver.get("file://" + path)
    for _ in range(5):
        t0 = time.perf_counter()
        subprocess.run([os.path.join(BUILD, "wrd")], cwd=folder, check=True, capture_output=True)
        native.append(time.perf_counter() - t0)
        runs.append(driver.execute_async_script(TIME_RUN))
    print("\n100,000 words: native wrd %.2f s, run in the page %.2f s (longest frame gap %.0f ms; medians of 5)"
          % (statistics.median(native), statistics.median(r[0] for r in runs),
             statistics.median(r[1] for r in runs)))


def main():
    driver = browser()
    try:
        with tempfile.TemporaryDirectory() as folder:
            for nodes in (1000, 20000):
                print("| %s nodes | %.2f ms per step |" % (format(nodes, ","), step_ms(driver, folder, nodes)))
            rng = random.Random(7)
            vocabulary = ["slovo%d" % i for i in range(20000)]
            words = vocabulary + rng.choices(vocabulary, k=80000)
            rng.shuffle(words)
            path, html = page(folder, words)
            empty = os.path.join(folder, "empty.html")
            with open(empty, "w") as out:
                out.write("<!DOCTYPE html><html><body></body></html>")
            distinct = len(set(words))
            print("\nPage of 100,000 words (%d distinct): %d bytes, %d gzipped; opens in %.0f ms at step 0, "
                  "%.0f ms at the last step; an empty page in %.0f ms (medians of 5)"
                  % (distinct, len(html), len(gzip.compress(html)), open_ms(driver, "file://" + path + "#step=0"),
                     open_ms(driver, "file://%s#step=%d" % (path, len(words) + 4)),
                     open_ms(driver, "file://" + empty)))
            run_in_page(driver, path, folder)
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
