#!/usr/bin/python3
"""Measures the page of wrd-dot -T html in Chromium, driven by Selenium in a
1280x800 window: the time of one step (Next, then the layout of the page) on
lists of 1,000 and 20,000 nodes, and the size and opening time of the page of a
text of 100,000 words (20,000 distinct), and the time that the page's text box
takes to run that text and the GPL-3 text 18 times over (where Debian's
common-licenses has it) against native wrd, with the longest task of the
page's main thread. Prints the figures as Markdown.

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
# the seconds from the click, the longest gap between two frames meanwhile,
# the longest task of the main thread (a PerformanceObserver's long tasks,
# those over 50 ms, until a second after the run; 0 for none) and the parts
# of the run's time that the page notes, where it notes them.
TIME_RUN = """
const done=arguments[arguments.length-1],button=document.getElementById('try-run'),t0=performance.now();
let last=t0,gap=0,longest=0;
const observer=new PerformanceObserver((list)=>{for(const e of list.getEntries())longest=Math.max(longest,e.duration);});
observer.observe({type:'longtask'});
const frame=(t)=>{gap=Math.max(gap,t-last);last=t;if(button.disabled)requestAnimationFrame(frame);};
button.click();
requestAnimationFrame(frame);
const wait=()=>{
  if(button.disabled)return setTimeout(wait,5);
  const seconds=(performance.now()-t0)/1000;
  setTimeout(()=>{observer.disconnect();
    done([seconds,gap,longest,JSON.parse(document.getElementById('try-note').dataset.times||'{}')]);},1000);
};
wait();"""


def run_in_page(driver, path, folder, what):
    """The text of `folder` run by the module in the page of `path` against
    native wrd, in turns, so that a change of the machine's load falls on
    both; medians of 5."""
    native, runs = [], []
    driver.set_script_timeout(120)
    driver.get("file://" + path)
    for _ in range(5):
        t0 = time.perf_counter()
        subprocess.run([os.path.join(BUILD, "wrd")], cwd=folder, check=True, capture_output=True)
        native.append(time.perf_counter() - t0)
        runs.append(driver.execute_async_script(TIME_RUN))
    print("\n%s: native wrd %.2f s, run in the page %.2f s (longest frame gap %.0f ms, longest main-thread task "
          "%.0f ms; medians of 5)" % (what, statistics.median(native), statistics.median(r[0] for r in runs),
                                      statistics.median(r[1] for r in runs), statistics.median(r[2] for r in runs)))
    # The page's own laps, each from the click: the module compiled, the
    # worker's message back, the run loaded and drawn; within the worker, from
    # the text's arrival: the instance made, the text run, the data made.
    parts = {}
    for run in runs:
        for name, ms in run[3].items():
            parts.setdefault(name, []).append(ms)
    if parts:
        print("Laps in ms (medians): " + ", ".join("%s %.0f" % (name, statistics.median(ms))
                                                  for name, ms in parts.items()))


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
            run_in_page(driver, path, folder, "100,000 words (20,000 distinct)")
            licence = "/usr/share/common-licenses/GPL-3"
            if os.path.exists(licence):
                with open(licence, "rb") as text:
                    gpl = text.read() * 18
                path, _, _ = written(os.path.join(folder, "gpl"), os.path.join(BUILD, "wrd"),
                                     os.path.join(BUILD, "wrd-dot"), gpl)
                run_in_page(driver, path, os.path.join(folder, "gpl"), "GPL-3 18 times over")
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
