#!/usr/bin/env python3
"""Times wrd against three peers on texts from 4 KiB to 4 MiB and writes
bench/results.md (the table) and bench/chart.svg (time against size, log-log).

usage: python3 bench/run.py [--quick]
Needs hyperfine, gnuplot, GNU time (/usr/bin/time) and the bench preset's build,
which it makes first. --quick stops at 256 KiB and writes to build/bench instead."""
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "bench")
SEPARATORS = " \\r\\n\\t,.?!"  # the eight separator bytes, escaped for the shell tools
PEERS = {
    "wrd": [os.path.join(BUILD, "wrd")],
    "awk": ["awk", 'BEGIN { RS = "[' + SEPARATORS + ']+" } length($0) { n[$0]++ } '
            "END { for (w in n) print n[w], w }", "wrd.txt"],
    "tr, sort, uniq -c": ["bash", "-c", "tr -s '" + SEPARATORS + "' '\\n' < wrd.txt | sort | uniq -c"],
    "python Counter": ["python3", "-c", "import collections, re; c = collections.Counter("
                       "w for w in re.split(rb'[" + SEPARATORS + "]+', open('wrd.txt', 'rb').read()) if w); "
                       "print('\\n'.join(f'{n} {w!r}' for w, n in c.items()))"],
}
# Size, rounds and runs per round: every round runs each command in turn, so a
# slow spell of the machine falls on all of them alike.
SIZES = [(4 << 10, 30, 10), (16 << 10, 10, 10), (64 << 10, 5, 4), (256 << 10, 3, 1),
         (1 << 20, 3, 1), (4 << 20, 3, 1)]


def run(command, cwd=None):
    return subprocess.run(command, cwd=cwd, check=True, capture_output=True, env=dict(os.environ, LC_ALL="C"))


def times(command, cwd, rounds, runs):
    """Seconds per whole-process run, from hyperfine without a shell."""
    result = []
    out = os.path.join(cwd, "hyperfine.json")
    for _ in range(rounds):
        run(["hyperfine", "-N", "--warmup", "5" if runs > 1 else "0", "--runs", str(runs), "--export-json", out,
             "--", subprocess.list2cmdline(command)], cwd)
        result += json.load(open(out))["results"][0]["times"]
    return result


def peak_kib(command, cwd):
    return int(run(["/usr/bin/time", "-f", "%M", *command], cwd).stderr.split()[-1])


def distinct_words(path):
    words = run(["bash", "-c", "tr -s '" + SEPARATORS + "' '\\n' < " + path + " | sort -u | grep -c ."])
    return int(words.stdout) + 2  # and the two seed words


def main():
    missing = [tool for tool in ("hyperfine", "gnuplot", "/usr/bin/time") if shutil.which(tool) is None]
    if missing:
        sys.exit("missing " + ", ".join(missing) + ": apt-get install hyperfine gnuplot-nox time libbenchmark-dev")
    quick = "--quick" in sys.argv
    run(["cmake", "--preset", "bench"], ROOT)
    run(["cmake", "--build", "--preset", "bench"], ROOT)
    rows = []
    with tempfile.TemporaryDirectory() as work:
        open(os.path.join(work, "wrd.txt"), "w").write("a")
        floor = peak_kib(PEERS["wrd"], work)
        for size, rounds, runs in SIZES:
            if quick and size > 256 << 10:
                break
            path = os.path.join(work, "wrd.txt")
            with open(path, "wb") as text:
                text.write(run([os.path.join(BUILD, "make_corpus"), str(size)]).stdout)
            medians = {name: statistics.median(times(cmd, work, rounds, runs)) for name, cmd in PEERS.items()}
            memory = {name: peak_kib(cmd, work) for name, cmd in PEERS.items()}
            rows.append((size, distinct_words(path), rounds * runs, medians, memory))
            print(f"{size >> 10} KiB done", file=sys.stderr)

    names = list(PEERS)
    lines = ["| input | distinct words | runs | " + " | ".join(f"{n} median" for n in names) +
             " | " + " | ".join(f"{n} peak" for n in names) + " | wrd peak over floor, limit |",
             "|---" * (4 + 2 * len(names)) + "|"]
    for size, distinct, count, medians, memory in rows:
        over = (memory["wrd"] - floor) * 1024
        limit = size + 96 * distinct
        lines.append(f"| {size >> 10} KiB | {distinct} | {count} | " +
                     " | ".join(f"{medians[n] * 1e3:.2f} ms" for n in names) + " | " +
                     " | ".join(f"{memory[n] / 1024:.1f} MiB" for n in names) +
                     f" | {over / 1024:.0f} KiB of {limit / 1024:.0f} KiB |")
    lines.append(f"\nwrd's floor, its peak on a 1-byte file: {floor / 1024:.1f} MiB.")
    # A quick run leaves the published table and chart alone.
    published = BUILD if quick else os.path.join(ROOT, "bench")
    open(os.path.join(published, "results.md"), "w").write("\n".join(lines) + "\n")
    print("\n".join(lines))

    data = os.path.join(BUILD, "times.dat")
    with open(data, "w") as out:
        for size, _, _, medians, _ in rows:
            out.write(f"{size} " + " ".join(f"{medians[n]}" for n in names) + "\n")
    plots = ", ".join(f"'{data}' using 1:{i + 2} with linespoints title '{n}'" for i, n in enumerate(names))
    script = ("set terminal svg size 720,440 dynamic font 'sans,12'; set logscale xy; set grid; "
              "set key top left; set xlabel 'input'; set ylabel 'median time per run (s)'; set format y '%g'; "
              "set xtics ('4 KiB' 4096, '16 KiB' 16384, '64 KiB' 65536, '256 KiB' 262144, '1 MiB' 1048576, "
              "'4 MiB' 4194304); "
              f"set output '{os.path.join(published, 'chart.svg')}'; plot {plots}")
    run(["gnuplot", "-e", script])


if __name__ == "__main__":
    main()
