#!/usr/bin/env python3
"""Times korsh against peer interpreters on the same small programs.

The programs live in bench/peers/ as bK.kor, bK.fs, bK.lua, bK.py and bK.cc
(K = 1..5); each takes its iteration count N from the command line (korsh:
N stands in the text given to -e) and prints its final value, which is
checked.  Peers: korsh -e, gforth-fast, lua5.4, luajit -joff, python3 and
the C++ program built with g++ -O2.  A missing peer is skipped with a note;
nothing is installed (see bench/README.md for the packages).

Method: N is chosen per program and peer so that one run takes about
--target seconds of CPU.  Every round runs every program of every peer once
with N and once with N = 0 (its empty start-up), in a shuffled order; the
figure is (median CPU time with N - median CPU time with 0) / N over the
rounds.  CPU time (user + system of the child) is used because the
benchmark machines are shared; wall-clock medians are printed alongside.
B6 is the start-up of korsh -e '' (wall clock and CPU, medians).

Python 3 standard library only.  Run from anywhere:
    scripts/peer_bench.py --korsh build/release/bin/korsh
"""
import argparse
import os
import platform
import random
import re
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PEERS_DIR = os.path.join(ROOT, "bench", "peers")

PROGRAMS = {
    "b1": ("B1 counted loop, real +", 3.0),
    "b2": ("B2 chain * + / per iteration", 7.0),
    "b3": ("B3 If on a real in a loop", 10.0),
    "b4": ("B4 While loop, counter on stack", 5.0),
    "b5": ("B5 Eval of a program per iteration", None),
}


def expected(prog, n):
    """The value each program must print for N = n."""
    if prog == "b2":
        x = 1.0
        for _ in range(min(n, 100000)):   # converged long before that
            x = (x * 1.0000001 + 0.5) / 1.5
        return x
    if prog == "b3":
        return -1.0 if n % 2 else 0.0
    return float(n)


NUMBER = re.compile(r"[-+]?(?:\d[\d,]*\.?\d*|\.\d+)(?:[eE][-+]?\d+)?")


def last_number(text):
    lines = [l for l in text.strip().splitlines() if l.strip()]
    if not lines:
        return None
    line = lines[-1]
    # korsh prints the stack as " 1:   value": drop the level label.
    line = re.sub(r"^\s*\d+:", "", line)
    found = NUMBER.findall(line)
    if not found:
        return None
    try:
        return float(found[-1].replace(",", ""))
    except ValueError:
        return None


class Peer:
    def __init__(self, name, suffix, argv_for):
        self.name = name
        self.suffix = suffix
        self.argv_for = argv_for   # (program file, n) -> argv

    def command(self, prog, n):
        return self.argv_for(os.path.join(PEERS_DIR, prog + self.suffix), n)


def korsh_argv(korsh):
    def argv(path, n):
        with open(path) as f:
            text = f.read().strip()
        return [korsh, "-e", re.sub(r"\bN\b", str(n), text)]
    return argv


def build_cxx(workdir, cxx, notes):
    exes = {}
    for prog in PROGRAMS:
        src = os.path.join(PEERS_DIR, prog + ".cc")
        exe = os.path.join(workdir, prog)
        r = subprocess.run([cxx, "-O2", "-o", exe, src], capture_output=True, text=True)
        if r.returncode != 0:
            notes.append("C++: %s did not build: %s" % (src, r.stderr.strip()[:200]))
            return None
        exes[prog] = exe
    return exes


def find_peers(args, workdir, notes):
    peers = []
    korsh = os.path.abspath(args.korsh or os.path.join(ROOT, "build", "release", "bin", "korsh"))
    if os.access(korsh, os.X_OK):
        peers.append(Peer("korsh", ".kor", korsh_argv(korsh)))
    else:
        notes.append("korsh: %s not found (build it or pass --korsh)" % korsh)
    simple = [
        ("gforth-fast", ".fs", "gforth-fast", []),
        ("lua5.4", ".lua", "lua5.4", []),
        ("luajit -joff", ".lua", "luajit", ["-joff"]),
        ("python3", ".py", args.python, []),
    ]
    for name, suffix, exe, flags in simple:
        path = shutil.which(exe)
        if not path:
            notes.append("%s: not installed, skipped" % name)
            continue
        peers.append(Peer(name, suffix,
                          lambda f, n, p=path, fl=flags: [p] + fl + [f, str(n)]))
    cxx = shutil.which(args.cxx)
    exes = build_cxx(workdir, cxx, notes) if cxx else None
    if exes:
        peers.append(Peer("C++ -O2", ".cc", lambda f, n, e=exes: [
            e[os.path.splitext(os.path.basename(f))[0]], str(n)]))
    elif not cxx:
        notes.append("C++: %s not found, skipped" % args.cxx)
    wanted = args.peers.split(",") if args.peers else None
    if wanted:
        peers = [p for p in peers if p.name.split()[0] in wanted or p.name in wanted]
    return peers


def run_once(argv):
    """Runs argv; returns (cpu seconds, wall seconds, stdout)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t0 = time.perf_counter()
    r = subprocess.run(argv, capture_output=True, text=True, cwd=PEERS_DIR)
    wall = time.perf_counter() - t0
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    if r.returncode != 0:
        raise RuntimeError("%s failed (%d): %s" % (" ".join(argv[:3]), r.returncode, r.stderr.strip()[:300]))
    return cpu, wall, r.stdout


def calibrate(peer, prog, target):
    """The N that makes one run take about `target` CPU seconds."""
    base = run_once(peer.command(prog, 0))[0]
    n = 10000
    while True:
        cpu = run_once(peer.command(prog, n))[0] - base
        if cpu >= target / 4 or n >= 10**9:
            break
        n *= 10 if cpu < target / 100 else 4
    if cpu > 0:
        n = int(n * target / cpu)
    digits = 10 ** max(0, len(str(n)) - 2)
    return max(10000, min(10**9, n // digits * digits))


def check(peer, prog, n, out, notes):
    got = last_number(out)
    want = expected(prog, n)
    if got is None or abs(got - want) > 1e-6 * max(1.0, abs(want)):
        notes.append("%s %s N=%d printed %r, expected %r" % (peer.name, prog, n, out.strip()[-60:], want))


def machine():
    cpu = platform.processor() or "?"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return "%s, %d logical CPUs, %s %s" % (cpu, os.cpu_count() or 0, platform.system(), platform.release())


def versions(peers, args):
    out = []
    probes = {"gforth-fast": ["gforth-fast", "--version"], "lua5.4": ["lua5.4", "-v"],
              "luajit -joff": ["luajit", "-v"], "python3": [args.python, "--version"],
              "C++ -O2": [args.cxx, "--version"]}
    for p in peers:
        if p.name in probes:
            r = subprocess.run(probes[p.name], capture_output=True, text=True)
            text = (r.stdout or r.stderr).strip().splitlines()
            out.append("%s: %s" % (p.name, text[0] if text else "?"))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--korsh", help="the korsh binary (default build/release/bin/korsh)")
    ap.add_argument("--python", default="python3", help="the Python peer (default python3 on PATH)")
    ap.add_argument("--cxx", default=os.environ.get("CXX", "g++"), help="C++ compiler for the C++ peer")
    ap.add_argument("--peers", help="comma-separated subset: korsh,gforth-fast,lua5.4,luajit,python3,C++")
    ap.add_argument("--programs", default=",".join(PROGRAMS), help="comma-separated subset of b1..b5")
    ap.add_argument("--rounds", type=int, default=7)
    ap.add_argument("--target", type=float, default=0.4, help="CPU seconds per run (default 0.4)")
    ap.add_argument("--startup-runs", type=int, default=41)
    ap.add_argument("--cpu", type=int, help="run every program on this CPU only (all peers then "
                    "share one core; on a VM the vCPUs may differ in speed)")
    args = ap.parse_args()
    if args.cpu is not None:
        os.sched_setaffinity(0, {args.cpu})   # the children inherit it

    notes = []
    workdir = tempfile.mkdtemp(prefix="peer_bench.")
    peers = find_peers(args, workdir, notes)
    progs = [p for p in args.programs.split(",") if p in PROGRAMS]
    print("machine: %s" % machine())
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    for v in versions(peers, args):
        print(v)

    sizes = {}
    for prog in progs:
        for peer in peers:
            sizes[prog, peer.name] = calibrate(peer, prog, args.target)

    cpu = {k: [] for k in sizes}
    wall = {k: [] for k in sizes}
    cpu0 = {k: [] for k in sizes}
    wall0 = {k: [] for k in sizes}
    for r in range(args.rounds):
        jobs = [(prog, peer) for prog in progs for peer in peers]
        random.shuffle(jobs)
        for prog, peer in jobs:
            key = (prog, peer.name)
            n = sizes[key]
            c, w, out = run_once(peer.command(prog, n))
            if r == 0:
                check(peer, prog, n, out, notes)
            cpu[key].append(c)
            wall[key].append(w)
            c, w, _ = run_once(peer.command(prog, 0))
            cpu0[key].append(c)
            wall0[key].append(w)
        print("round %d done" % (r + 1), file=sys.stderr)

    startup_cpu, startup_wall = [], []
    korsh = next((p for p in peers if p.name == "korsh"), None)
    if korsh:
        argv = [korsh.command("b1", 0)[0], "-e", ""]
        for _ in range(args.startup_runs):
            c, w, _ = run_once(argv)
            startup_cpu.append(c)
            startup_wall.append(w)
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())

    med = statistics.median

    def table(agg, what):
        print()
        print("ns per iteration, CPU time (%s of %d rounds, empty start-up subtracted)"
              % (what, args.rounds))
        print()
        print("| program | goal | " + " | ".join(p.name for p in peers) + " |")
        print("|---|---:|" + "---:|" * len(peers))
        for prog in progs:
            title, goal = PROGRAMS[prog]
            cells = []
            for peer in peers:
                key = (prog, peer.name)
                ns = (agg(cpu[key]) - agg(cpu0[key])) / sizes[key] * 1e9
                cells.append("%.1f" % ns)
            print("| %s | %s | %s |" % (title, "<= %g" % goal if goal else "", " | ".join(cells)))

    # The median is the figure; the fastest round shows the machine at its
    # quietest (shared VMs slow every interpreter down by up to 2x for
    # minutes at a time, which the interleaving spreads over all peers).
    table(min, "fastest")
    table(med, "median")
    cells = []
    for peer in peers:
        key = (progs[0], peer.name)
        cells.append("%.1f" % (med(wall0[key]) * 1e3))
    print("| empty start-up, wall ms (%s, N = 0) | | %s |" % (progs[0], " | ".join(cells)))
    cells = ["%.2f" % (med(cpu0[(progs[0], peer.name)]) * 1e3) for peer in peers]
    print("| empty start-up, CPU ms (%s, N = 0) | | %s |" % (progs[0], " | ".join(cells)))
    if startup_cpu:
        print()
        print("B6 korsh -e '' start-up: wall %.2f ms, CPU %.2f ms (medians of %d; fastest %.2f ms CPU;"
              " goal <= 1.5 ms)" % (med(startup_wall) * 1e3, med(startup_cpu) * 1e3, len(startup_cpu),
                                    min(startup_cpu) * 1e3))
    print()
    print("wall-clock ns per iteration (same runs, for reference)")
    for prog in progs:
        cells = []
        for peer in peers:
            key = (prog, peer.name)
            cells.append("%s %.1f" % (peer.name, (med(wall[key]) - med(wall0[key])) / sizes[key] * 1e9))
        print("  %s: %s" % (prog, ", ".join(cells)))
    print()
    print("N per run: " + ", ".join("%s/%s=%d" % (k[0], k[1], v) for k, v in sorted(sizes.items())))
    for n in notes:
        print("note: " + n)
    shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    main()
