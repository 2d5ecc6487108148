#!/usr/bin/env python3
"""Times wrd-dot's own SVG against Graphviz's dot on made-up reports of 1,000 to
1,000,000 nodes. Prints the figures as Markdown; bench/page_steps.py measures
the page.

usage: python3 bench/pictures.py [BUILD]   (default: build, which holds wrd-dot)
Needs hyperfine, GNU time (/usr/bin/time) and Graphviz."""
import json
import os
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"))
WRD_DOT = os.path.join(BUILD, "wrd-dot")
DOT_LIMIT = 60  # seconds that dot gets per run


def report(nodes, path):
    """A report as wrd prints it: newest node first, each linked to the next."""
    address = [0x55D0C3A40000 + 0x40 * (nodes - i) for i in range(nodes)]
    with open(path, "w") as out:
        out.write("Zacatek seznamu: %#x\n" % address[0])
        for i in range(nodes):
            successor = "%#x" % address[i + 1] if i + 1 < nodes else "(nil)"
            out.write("%3d Adresa: %#x Cetnost: %3d Slovo: slovo%d  Dalsi: %s\n"
                      % (i + 1, address[i], 1 + i % 9, nodes - i, successor))


def median_seconds(command, runs):
    """The median of `runs` runs of a shell command, from hyperfine."""
    with tempfile.NamedTemporaryFile(suffix=".json") as result:
        subprocess.run(["hyperfine", "--warmup", "1", "--runs", str(runs), "--export-json", result.name,
                        command], check=True, capture_output=True)
        return statistics.median(json.load(open(result.name))["results"][0]["times"])


def dot_seconds(dot_file, runs):
    """dot's time per run, or None for a run that passed the limit."""
    times = []
    for _ in range(runs):
        done = subprocess.run(["/usr/bin/time", "-f", "%e", "timeout", str(DOT_LIMIT), "dot", "-Tsvg", dot_file],
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        times.append(float(done.stderr.split()[-1]) if done.returncode == 0 else None)
    return times


def main():
    with tempfile.TemporaryDirectory() as folder:
        print("| Nodes | `wrd-dot -T svg` (peak memory) | `dot -Tsvg` on the same report's DOT |")
        print("|---:|---:|---:|")
        dot_gave_up = False
        for nodes in (1000, 10000, 100000, 1000000):
            listed = os.path.join(folder, "report.txt")
            report(nodes, listed)
            svg = median_seconds("'%s' -T svg < '%s' > /dev/null" % (WRD_DOT, listed), 10 if nodes < 1000000 else 5)
            peak = subprocess.run(["/usr/bin/time", "-f", "%M", WRD_DOT, "-T", "svg"], stdin=open(listed),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True).stderr.split()[-1]
            dot = "not tried"
            if not dot_gave_up:
                graph = os.path.join(folder, "report.dot")
                subprocess.run([WRD_DOT], stdin=open(listed), stdout=open(graph, "w"), check=True)
                times = dot_seconds(graph, 5 if nodes < 10000 else 3)
                done = sorted(t for t in times if t is not None)
                dot_gave_up = len(done) < len(times)
                dot = ("%.2f s" % statistics.median(done) if not dot_gave_up
                       else "more than %d s in %d runs of %d" % (DOT_LIMIT, len(times) - len(done), len(times)))
            print("| {:,} | {:.3f} s ({:.1f} MB) | {} |".format(nodes, svg, int(peak) / 1000, dot))


if __name__ == "__main__":
    main()
