#!/usr/bin/python3
"""Times our tunlex and the peer tools over one corpus and prints the table and the targets.

Called by scripts/bench, which builds everything first. Each tool runs once over the whole
corpus per timed run (file names as arguments, or the folder for tunlex), from
the corpus folder, standard output to /dev/null. Exit status: 0 when every tool ran, even
with targets missed; 1 when a tool failed.
"""

import argparse
import filecmp
import json
import os
import shutil
import subprocess
import sys

import plan

HERE = os.path.dirname(os.path.abspath(__file__))
PYTHON = "/usr/bin/python3"  # Debian's, where python3-mutagen is
MP3INFO_FORMAT = r"%F\t%a\t%t\t%l\t%n\t%y\t%g\t%S\t%r\t%Q\t%o\n"
KIB = 1024


class ToolFailed(Exception):
    pass


def log(message):
    print(message, file=sys.stderr, flush=True)


def run(argv, stdout="/dev/null", allowed=None):
    """Wall seconds, peak RSS (KiB) and CPU seconds of one run, taken by the small runner
    program; raises ToolFailed on an exit code other than 0 (or one `allowed` accepts with the
    stderr text)."""
    stderr_path = os.path.join(ARGS.work, "stderr.txt")
    try:
        measured = subprocess.run([RUNNER, str(TIMEOUT), stdout, stderr_path] + argv, env=ENV,
                                  capture_output=True, text=True, check=True).stdout.split()
    except subprocess.CalledProcessError as error:
        raise ToolFailed(f"{argv[0]}: {error.stderr.strip()}") from error
    seconds, peak, code, cpu = (float(measured[0]), int(measured[1]), int(measured[2]),
                                float(measured[3]))
    if code == -1:
        raise ToolFailed(f"{' '.join(argv[:3])} ... still running after {TIMEOUT} s: killed")
    if code != 0:
        with open(stderr_path, errors="replace") as f:
            err = f.read()
        if not (allowed and allowed(code, err)):
            raise ToolFailed(f"{' '.join(argv[:3])} ... exited with {code}: {err[-600:].strip()}")
    return seconds, peak, cpu


def mp3info_accepts(code, err):
    """mp3info exits 16 when a file has no ID3v1 tag for the tag fields asked for."""
    lines = err.splitlines()
    return code == 16 and lines and all(l.endswith("does not have an ID3 1.x tag.") for l in lines)


def output(argv):
    return subprocess.run(argv, capture_output=True, text=True).stdout.strip()


def drop_caches():
    subprocess.run(["sync"], check=True)
    with open("/proc/sys/vm/drop_caches", "w") as f:
        f.write("3\n")


def resident_pages(paths):
    out = subprocess.run(["fincore", "--bytes", "--noheadings", "--output", "RES"] + paths,
                         capture_output=True, text=True, check=True).stdout
    return sum(int(x) for x in out.split())


def cold_cache_usable(sample):
    """Whether dropping the page cache works here, and why not when it does not."""
    try:
        drop_caches()
    except OSError as error:
        return False, f"writing /proc/sys/vm/drop_caches failed: {error.strerror}"
    left = resident_pages(sample)
    if left:
        return False, f"after a drop {left} bytes of the corpus stayed in the page cache"
    return True, ""


def warm(files):
    for name in files:
        with open(name, "rb") as f:
            while f.read(1 << 20):
                pass


def fmt_rate(x):
    return f"{x:,.0f}"


def fmt_kib(kib):
    return f"{kib / KIB:.1f} MiB" if kib >= KIB else f"{kib} KiB"


def fmt_bytes(b):
    if b is None:
        return "-"
    return f"{b / 1000:,.1f} KB" if b >= 10_000 else f"{b:,.0f} B"


def main():
    global ARGS, ENV, RUNNER, TIMEOUT
    p = argparse.ArgumentParser()
    p.add_argument("--corpus", required=True)
    p.add_argument("--index", required=True)
    p.add_argument("--tunlex", required=True)
    p.add_argument("--peers", required=True, help="build folder of taglib_read and floor")
    p.add_argument("--work", required=True)
    p.add_argument("--runs", type=int, default=5)
    p.add_argument("--cold-runs", type=int, default=3)
    p.add_argument("--jobs", type=int, default=8)
    ARGS = p.parse_args()
    ENV = dict(os.environ, LC_ALL="C.UTF-8", PYTHONIOENCODING="utf-8")
    os.makedirs(ARGS.work, exist_ok=True)
    work = os.path.abspath(ARGS.work)
    ARGS.work = work

    with open(ARGS.index) as f:
        index = json.load(f)
    files, pictures = index["files"], index["pictures"]
    corpus = os.path.abspath(ARGS.corpus)
    os.chdir(corpus)

    # A folder of only the picture files, for tunlex (hard links: same cache).
    picture_dir = corpus + ".pictures"
    linked = os.path.isdir(picture_dir) and sorted(os.listdir(picture_dir)) == sorted(pictures) \
        and all(os.path.samefile(n, os.path.join(picture_dir, n)) for n in pictures)
    if not linked:
        shutil.rmtree(picture_dir, ignore_errors=True)
        os.makedirs(picture_dir)
        for name in pictures:
            os.link(name, os.path.join(picture_dir, name))

    def tunlex(jobs, target_dir):
        return [ARGS.tunlex, "--format", "tsv", "--encoding", "sjis", "-j", str(jobs), target_dir]

    RUNNER = os.path.join(ARGS.peers, "runner")
    # Generous (mutagen under strace takes about 3 ms a file here): only a hang reaches it.
    TIMEOUT = 60 + len(files) // 50
    taglib = os.path.join(ARGS.peers, "taglib_read")
    floor = os.path.join(ARGS.peers, "floor")
    mutagen = [PYTHON, os.path.join(HERE, "mutagen_read.py")]
    mutagen_version = output([PYTHON, "-c", "import mutagen; print(mutagen.version_string)"])
    taglib_version = output(["pkg-config", "--modversion", "taglib"])
    mp3info_version = output(["dpkg-query", "-W", "-f", "${Version}", "mp3info"])
    mp3info = [shutil.which("mp3info") or "/usr/bin/mp3info", "-r", "a", "-p", MP3INFO_FORMAT]

    print(f"tunlex: tunlex --format tsv --encoding sjis -j N . (in {corpus})")
    print(f"corpus: {corpus}, {len(files)} files, {len(pictures)} with an APIC frame, "
          f"{sum(os.path.getsize(n) for n in files) / 1e6:.0f} MB")

    failures = []

    # The floor's plans: what tunlex -j 1 calls, traced over all files and over the pictures.
    def trace(argv, out):
        run(["/usr/bin/strace", "-f", "-qq", "-y", "-s", "0", "-o", out] + argv)

    log("bench: tracing tunlex -j 1 for the floor's plan")
    full_trace = os.path.join(work, "tunlex-all.strace")
    picture_trace = os.path.join(work, "tunlex-pictures.strace")
    full_plan = os.path.join(work, "floor-all.plan")
    picture_plan = os.path.join(work, "floor-pictures.plan")
    try:
        warm(files)
        trace(tunlex(1, "."), full_trace)
        trace(tunlex(1, picture_dir), picture_trace)
    except ToolFailed as error:
        print(f"FAILED: tunlex under strace: {error}")
        return 1
    roots = [corpus, picture_dir]
    mirrored, skipped = plan.write_plan(full_trace, full_plan, roots)
    plan.write_plan(picture_trace, picture_plan, roots)
    common = mirrored.most_common()
    per_file = ", ".join(f"{name} {c / len(files):.2f}" for name, c in common if c >= len(files) / 2)
    in_all = ", ".join(f"{name} x{c}" for name, c in common if c < len(files) / 2)
    print(f"floor mirrors, per file: {per_file}; in all: {in_all or 'nothing more'}")
    print("not mirrored (tunlex calls these in the same stretch): "
          + (", ".join(f"{n} x{c}" for n, c in skipped.most_common()) or "nothing"))

    tools = [
        ("floor (same calls, no parsing)", "floor", [floor, full_plan], [floor, picture_plan]),
        ("tunlex -j 1", "tunlex1", tunlex(1, "."), tunlex(1, picture_dir)),
        (f"tunlex -j {ARGS.jobs}", "tunlexN", tunlex(ARGS.jobs, "."), None),
        (f"TagLib {taglib_version} (MPEG::File, Fast)", "taglib", [taglib] + files,
         [taglib] + pictures),
        ("mutagen " + mutagen_version, "mutagen", mutagen + files, mutagen + pictures),
        (f"mp3info {mp3info_version} (-p, -r a)", "mp3info", mp3info + files,
         mp3info + pictures),
    ]

    allowed = {"mp3info": mp3info_accepts}

    # Warm: everything read once, one untimed run each, then the timed runs round-robin so a
    # drift in machine load touches every tool alike.
    log(f"bench: warm cache, {ARGS.runs} runs of each tool, round-robin")
    warm(files)
    times = {key: [] for _, key, _, _ in tools}
    cpu_times = {key: [] for _, key, _, _ in tools}
    rss = {key: 0 for _, key, _, _ in tools}
    broken = set()
    for round_number in range(ARGS.runs + 1):
        for label, key, argv, _ in tools:
            if key in broken:
                continue
            try:
                seconds, peak, cpu = run(argv, allowed=allowed.get(key))
            except ToolFailed as error:
                failures.append(f"{label}: {error}")
                broken.add(key)
                continue
            if round_number > 0:
                times[key].append(seconds)
                cpu_times[key].append(cpu)
                rss[key] = max(rss[key], peak)

    # Bytes each tool reads from a picture-carrying file.
    log("bench: bytes read per picture file, under strace")
    read_per_picture = {}
    for label, key, _, argv in tools:
        if argv is None or key in broken:
            continue
        out = os.path.join(work, f"{key}-pictures.strace")
        try:
            run(["/usr/bin/strace", "-f", "-qq", "-y", "-s", "0", "-e",
                 "trace=openat,open,read,pread64,readv,preadv,preadv2,mmap", "-o", out] + argv,
                allowed=allowed.get(key))
        except ToolFailed as error:
            failures.append(f"{label} under strace: {error}")
            continue
        total, opened = plan.bytes_read(out)
        if len(opened) != len(pictures):
            failures.append(f"{label}: opened {len(opened)} of {len(pictures)} picture files")
        read_per_picture[key] = total / len(pictures)

    n = len(files)
    # The fastest run: other work on the machine only ever adds time.
    best = {k: min(v) for k, v in times.items() if v}
    rate = {k: n / s for k, s in best.items()}

    print()
    print(f"Warm page cache, {n} files. files/s: files / the wall time of the fastest of "
          f"{ARGS.runs} runs of the whole process, start-up included (one untimed run first; "
          "tools taken in turn).")
    print("CPU us/file: user + system time of the run that used least, / files. "
          "peak RSS: the largest ru_maxrss of those runs (wait4 in a small static runner). "
          "read / picture file: bytes returned by read/pread64/readv on .mp3 descriptors under "
          f"strace -y, over the {len(pictures)} picture-carrying files alone, / {len(pictures)}.")
    header = ("tool", "files/s", "runs' range", "CPU us/file", "time / floor", "speed / TagLib",
              "peak RSS", "read / picture file")
    rows = []
    for label, key, _, _ in tools:
        if key not in best:
            rows.append((label, "FAILED", "", "", "", "", "", ""))
            continue
        rows.append((
            label, fmt_rate(rate[key]),
            f"{fmt_rate(n / max(times[key]))}-{fmt_rate(n / min(times[key]))}",
            f"{min(cpu_times[key]) / n * 1e6:.1f}",
            f"{best[key] / best['floor']:.2f}x" if "floor" in best else "-",
            f"{rate[key] / rate['taglib']:.2f}x" if "taglib" in rate else "-",
            fmt_kib(rss[key]), fmt_bytes(read_per_picture.get(key)),
        ))
    print_table(header, rows)

    # Cold page cache.
    print()
    cold = {}
    identical = None
    usable, why = cold_cache_usable(files[: min(50, len(files))])
    if not usable:
        print(f"Cold cache: figures unavailable on this machine: {why}.")
    else:
        cold_tools = [("floor (single thread)", "floor", [floor, full_plan]),
                      ("tunlex -j 1", "tunlex1", tunlex(1, ".")),
                      (f"tunlex -j {ARGS.jobs}", "tunlexN", tunlex(ARGS.jobs, "."))]
        log(f"bench: cold cache, {ARGS.cold_runs} runs of each, caches dropped before each")
        cold_times = {key: [] for _, key, _ in cold_tools}
        outputs = {}
        for run_number in range(ARGS.cold_runs):
            for label, key, argv in cold_tools:
                if key in broken:
                    continue
                out = os.path.join("/dev/shm", f"tunlex-bench-{key}.out")
                drop_caches()
                try:
                    seconds, _, _ = run(argv, stdout=out if key != "floor" else "/dev/null")
                except ToolFailed as error:
                    failures.append(f"{label} (cold): {error}")
                    broken.add(key)
                    continue
                cold_times[key].append(seconds)
                if key != "floor":
                    kept = os.path.join(work, f"{key}-cold-{run_number}.out")
                    shutil.move(out, kept)
                    outputs.setdefault(key, []).append(kept)
        cold = {k: n / min(v) for k, v in cold_times.items() if v}
        print(f"Cold page cache (sync; echo 3 > /proc/sys/vm/drop_caches before each run; "
              f"fastest of {ARGS.cold_runs}):")
        cold_rows = []
        for label, key, _ in cold_tools:
            if key not in cold:
                cold_rows.append((label, "FAILED", ""))
                continue
            cold_rows.append((label, fmt_rate(cold[key]),
                              f"{cold[key] / cold['floor']:.2f}x" if "floor" in cold else "-"))
        print_table(("tool", "files/s", "speed / floor"), cold_rows)
        if "tunlexN" in outputs and "tunlex1" in outputs:
            reference = outputs["tunlex1"][0]
            identical = all(filecmp.cmp(reference, other, shallow=False)
                            for other in outputs["tunlex1"][1:] + outputs["tunlexN"])
            print(f"-j {ARGS.jobs} output identical to -j 1's in every cold run: "
                  f"{'yes' if identical else 'NO'} ({os.path.getsize(reference)} bytes each)")
            if not identical:
                failures.append(f"tunlex -j {ARGS.jobs} printed other output than -j 1 (cold)")

    # Targets.
    print()
    print("Targets:")

    def verdict(ok, text):
        print(f"  {'PASS' if ok else 'MISS'}  {text}")

    def unavailable(text, why):
        print(f"  N/A   {text}: {why}")

    text = "tunlex -j 1 >= 4x TagLib files/s (warm)"
    if "tunlex1" in rate and "taglib" in rate:
        ratio = rate["tunlex1"] / rate["taglib"]
        verdict(ratio >= 4, f"{text}: {ratio:.2f}x")
    else:
        unavailable(text, "a tool failed")
    text = "tunlex -j 1 time <= 1.3x the floor's (warm)"
    if "tunlex1" in best and "floor" in best:
        ratio = best["tunlex1"] / best["floor"]
        verdict(ratio <= 1.3, f"{text}: {ratio:.2f}x")
    else:
        unavailable(text, "a tool failed")
    text = "tunlex peak RSS < 8 MiB over the corpus"
    tunlex_keys = [k for k in ("tunlex1", "tunlexN") if k in best]
    if tunlex_keys:
        peak = max(rss[k] for k in tunlex_keys)
        verdict(peak < 8 * KIB, f"{text}: {fmt_kib(peak)}")
    else:
        unavailable(text, "tunlex failed")
    text = "tunlex reads < 64 KiB per picture file"
    if "tunlex1" in read_per_picture:
        b = read_per_picture["tunlex1"]
        verdict(b < 64 * KIB, f"{text}: {fmt_bytes(b)}")
    else:
        unavailable(text, "tunlex failed under strace")
    target = f"cold tunlex -j {ARGS.jobs} >= 2x the single-threaded floor's files/s"
    if not usable:
        unavailable(target, "no cold-cache figures on this machine")
    elif "tunlexN" in cold and "floor" in cold:
        ratio = cold["tunlexN"] / cold["floor"]
        verdict(ratio >= 2, f"{target}: {ratio:.2f}x")
    else:
        unavailable(target, "a tool failed")

    with open(os.path.join(work, "results.json"), "w") as f:
        json.dump({"files": n, "best_seconds": best,
                   "files_per_second": rate, "peak_rss_kib": rss,
                   "read_per_picture": read_per_picture,
                   "cold_files_per_second": cold, "cold_identical": identical,
                   "failures": failures}, f, indent=1)
    if failures:
        print()
        for failure in failures:
            print(f"FAILED: {failure}")
        return 1
    return 0


def print_table(header, rows):
    widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
    line = lambda r: "| " + " | ".join(str(c).ljust(w) for c, w in zip(r, widths)) + " |"
    print(line(header))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for r in rows:
        print(line(r))


if __name__ == "__main__":
    sys.exit(main())
