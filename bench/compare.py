#!/usr/bin/env python3
"""kelvora-cli beside libvips, GraphicsMagick and ImageMagick, end to end.

Makes a photo-like 24-megapixel PPM, then runs every operation of kelvora-cli
and the fastest peer command for the same work in turn (A B A B ...), each as
a whole process reading the PPM and writing a PPM. Prints per operation the
median wall time of each side, the median of the pairwise ratios, each side's
median CPU time (user and system) and peak memory, and the physical limit of a safe save: copying
kelvora-cli's output with dd and fsync (dd bs=4M conv=fsync), measured in the
same rotation, beside kelvora-cli's time over it. Operations kelvora-cli does
not offer yet are listed as such. The JPEG rows ("jpeg ...") do the same on
the picture as a JPEG of quality 90 (made with vips), written back as JPEG at
that quality; every row gives the sizes of both outputs. With --before, an older kelvora-cli runs in
the same rotation, so a change is measured side by side with what it replaces.

--threads default (the default) lets every side use its threads as users run
it: libvips and the Magicks their own defaults, kelvora-cli all cores.
--threads 1 holds every side to one thread (VIPS_CONCURRENCY=1,
OMP_NUM_THREADS=1, the Magicks' thread limit, KELVORA_THREADS=1). The peers
(libvips-tools, graphicsmagick, imagemagick) are needed only here, never by
the build or the tests.

    bench/compare.py [--cli build/src/cli/kelvora-cli] [--before OLD-CLI]
                     [--runs 5] [--only copy,gamma] [--threads default|1]
                     [--folder DIR]
"""

import argparse
import math
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 6000, 4000


def photo_like(path, width, height):
    """Smooth colour gradients with texture and grain, written row by row.

    Rows are built from bytes operations only (translate, big-integer xor),
    so the 72 MB take about a second in plain Python."""
    rng = random.Random(13)
    base = bytearray(3 * width)
    for x in range(width):
        t = x / width
        base[3 * x] = int(40 + 170 * t) & 0xFF
        base[3 * x + 1] = int(90 + 80 * (1 - t) * t * 4) & 0xFF
        base[3 * x + 2] = int(200 - 150 * t + 25 * math.sin(x / 140)) & 0xFF
    base = bytes(base)
    grain = [int.from_bytes(bytes(rng.getrandbits(3) for _ in range(3 * width)), "big")
             for _ in range(61)]
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        for y in range(height):
            shift = int(60 * y / height - 30 + 20 * math.sin(y / 90))
            table = bytes(min(255, max(0, v + shift)) for v in range(256))
            row = int.from_bytes(base.translate(table), "big") ^ grain[y % len(grain)]
            f.write(row.to_bytes(3 * width, "big"))


# name, kelvora-cli option, its arguments, peer commands for the same work ({i}
# input, {o} output, {gm} and {im} the Magicks' thread limit in one-thread
# runs); the fastest peer is the yardstick. The option's name decides whether
# kelvora-cli offers the operation (its --help).
GM = "gm convert {gm}{i} "
IM = "convert {im}{i} "
VIPS_LINEAR = "vips linear {i} {o} --uchar -- "
OPERATIONS = [
    ("copy", None, [], ["vips copy {i} {o}"]),
    ("mirror h", "--mirror", ["h"], ["vips flip {i} {o} horizontal"]),
    ("mirror v", "--mirror", ["v"], ["vips flip {i} {o} vertical"]),
    ("turn 90", "--rotate", ["rechts:90"], ["vips rot {i} {o} d90"]),
    ("turn 180", "--rotate", ["rechts:180"], ["vips rot {i} {o} d180"]),
    ("crop 80 %", "--crop", ["500,400,5500,3600"], ["vips crop {i} {o} 500 400 5000 3200"]),
    ("rotate 10 (nearest)", "--rotate", ["rechts:frei:10"],
     ["vips rotate {i} {o} 10 --interpolate nearest"]),
    ("resize 4500x3000", "--resize", ["4500x3000"],
     ["vips resize {i} {o} 0.75 --kernel linear"]),
    ("resize 9000x6000", "--resize", ["9000x6000"],
     ["vips resize {i} {o} 1.5 --kernel linear"]),
    ("gamma", "--correct", ["gamma:4"],
     ["vips gamma {i} {o} --exponent 1.6", GM + "-gamma 1.6 {o}"]),
    ("brightness", "--correct", ["helligkeit:4"],
     [GM + "-operator All Add 12.5% {o}", VIPS_LINEAR + "1 32"]),
    ("contrast", "--correct", ["kontrast:4"],
     [GM + "-level 12%,88% {o}", GM + "-contrast {o}", VIPS_LINEAR + "1.32 -41"]),
    ("threshold 1 bit", "--depth", ["1:nearest"],
     ["vips relational_const {i} {o} moreeq 128"]),
    ("ordered dither 8 bit", "--depth", ["8:ordered:standard"],
     [IM + "-ordered-dither o8x8,6 {o}"]),
    ("Floyd-Steinberg 8 bit", "--depth", ["8:fs"],
     [IM + "-dither FloydSteinberg -colors 256 {o}"]),
]

# The same for a photo as users have it: the picture as a JPEG of quality 90,
# written back as JPEG at that quality (kelvora-cli keeps the source's by
# itself; the peers are told).
JPEG_QUALITY = 90
GMJ = "gm convert {gm}{i} -quality %d " % JPEG_QUALITY
VJ = "{o}[Q=%d]" % JPEG_QUALITY
JPEG_OPERATIONS = [
    ("jpeg copy", None, [], ["vips copy {i} " + VJ, GMJ + "{o}"]),
    ("jpeg brightness", "--correct", ["helligkeit:4"],
     ["vips linear {i} " + VJ + " --uchar -- 1 32", GMJ + "-operator All Add 12.5% {o}"]),
    ("jpeg crop 80 %", "--crop", ["500,400,5500,3600"],
     ["vips crop {i} " + VJ + " 500 400 5000 3200", GMJ + "-crop 5000x3200+500+400 {o}"]),
    ("jpeg turn 90", "--rotate", ["rechts:90"], ["vips rot {i} " + VJ + " d90",
                                                GMJ + "-rotate 90 {o}"]),
    ("jpeg resize half", "--resize", ["3000x2000"],
     ["vips shrink {i} " + VJ + " 2 2", "vips resize {i} " + VJ + " 0.5 --kernel linear",
      GMJ + "-filter Box -resize 3000x2000 {o}"]),
]


def label(argv, picture):
    """A peer command's short name: the tool and its operation."""
    if argv[0] == "vips":
        return "vips " + argv[1]
    return argv[0] + " " + " ".join(argv[argv.index(picture) + 1:-1])


def run_once(argv, env):
    """Wall seconds, peak resident MiB, CPU seconds and exit code of one whole process."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    err = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    cpu = usage.ru_utime + usage.ru_stime
    return wall, usage.ru_maxrss / 1024, cpu, child.returncode, err


def offered(cli, option):
    text = subprocess.run([cli, "--help"], capture_output=True, text=True).stdout
    return option is None or any(line.split()[:1] == [option] for line in text.splitlines())


def measure(sides, runs, env, copy_limit=None):
    """sides: {label: (argv, output)}; returns {label: [(wall, peak, cpu)]} or an error.

    copy_limit: (kelvora's output, the copy's input) for the side "limit",
    which copies kelvora's output of the first round with dd and fsync."""
    results = {label: [] for label in sides}
    for n in range(runs + 1):  # the first round warms the caches and is not counted
        for label, (argv, output) in sides.items():
            if label == "limit" and not os.path.exists(copy_limit[1]):
                shutil.copyfile(copy_limit[0], copy_limit[1])
            if os.path.exists(output):
                os.remove(output)
            # Each run starts with nothing left to write back: a side that
            # flushes its file would otherwise also wait for the one before.
            os.sync()
            wall, peak, cpu, code, err = run_once(argv, env)
            if code != 0:
                return None, "%s: exit %d: %s" % (label, code, err.strip()[:200])
            if n > 0:
                results[label].append((wall, peak, cpu))
    return results, None


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", default="build/src/cli/kelvora-cli")
    parser.add_argument("--before", help="an older kelvora-cli to measure beside it")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", help="comma-separated operation names (prefixes)")
    parser.add_argument("--threads", choices=["default", "1"], default="default",
                        help="default: every side with its own threads; 1: one thread each")
    parser.add_argument("--folder", help="where the picture and outputs go (default: a new "
                        "temporary folder, removed at the end)")
    args = parser.parse_args()

    for tool in ("vips", "gm", "convert", "dd"):
        if not shutil.which(tool):
            sys.exit("%s is missing: apt-get install libvips-tools graphicsmagick imagemagick"
                     % tool)
    one = args.threads == "1"
    env = dict(os.environ)
    for name in ("VIPS_CONCURRENCY", "OMP_NUM_THREADS", "MAGICK_THREAD_LIMIT", "KELVORA_THREADS"):
        env.pop(name, None)
        if one:
            env[name] = "1"
    limits = {"gm": "-limit threads 1 " if one else "", "im": "-limit thread 1 " if one else ""}
    folder = args.folder or tempfile.mkdtemp(prefix="kelvora-compare-")
    os.makedirs(folder, exist_ok=True)
    picture = os.path.join(folder, "photo.ppm")
    if not os.path.exists(picture):
        photo_like(picture, WIDTH, HEIGHT)
    jpeg = os.path.join(folder, "photo.jpg")
    if not os.path.exists(jpeg):
        subprocess.run(["vips", "copy", picture, "%s[Q=%d]" % (jpeg, JPEG_QUALITY)], check=True)
    mb = os.path.getsize(picture) / 2**20
    print("picture: %dx%d, %.0f MiB; %d runs each after one warm-up; threads: %s; "
          "%d cores; load %.1f; memory goal %.0f MiB"
          % (WIDTH, HEIGHT, mb, args.runs, args.threads, os.cpu_count(), os.getloadavg()[0],
             2.2 * mb + 40))

    clis = {"kelvora": args.cli}
    if args.before:
        clis = {"before": args.before, "kelvora": args.cli}
    header = ["operation"] + ["%s s" % c for c in clis] + ["peer s", "peer"]
    header += ["%s/peer" % c for c in clis] + ["safe copy s", "kelvora/copy"]
    header += ["%s CPU s" % c for c in clis] + ["peer CPU s"]
    header += ["%s MiB" % c for c in clis] + ["peer MiB"]
    header += ["kelvora out MiB", "peer out MiB"]
    rows = [header]
    work = [(op, picture, ".ppm") for op in OPERATIONS]
    work += [(op, jpeg, ".jpg") for op in JPEG_OPERATIONS]
    for (name, option, values, peers), source, ext in work:
        if args.only and not any(name.startswith(p) for p in args.only.split(",")):
            continue
        missing = [c for c, path in clis.items() if not offered(path, option)]
        if "kelvora" in missing:
            rows.append([name, "not yet"])
            continue
        out = lambda side: os.path.join(folder, "out-%s%s" % (side, ext))
        sides = {c: ([path, source] + ([option] if option else []) + values + ["-o", out(c)],
                     out(c)) for c, path in clis.items() if c not in missing}
        for n, command in enumerate(peers):
            argv = command.format(i=source, o=out("peer%d" % n), **limits).split()
            sides["peer%d" % n] = (argv, out("peer%d" % n))
        copy_in = os.path.join(folder, "copy-in" + ext)
        if os.path.exists(copy_in):
            os.remove(copy_in)
        sides["limit"] = (["dd", "if=" + copy_in, "of=" + out("limit"), "bs=4M", "conv=fsync",
                           "status=none"], out("limit"))
        results, error = measure(sides, args.runs, env, (out("kelvora"), copy_in))
        if error:
            rows.append([name, "failed: " + error])
            continue
        wall = {s: statistics.median(w for w, _, _ in r) for s, r in results.items()}
        peak = {s: statistics.median(p for _, p, _ in r) for s, r in results.items()}
        cpu = {s: statistics.median(c for _, _, c in r) for s, r in results.items()}
        peer = min((s for s in wall if s.startswith("peer")), key=wall.get)
        ratio = lambda a, b: "%.2f" % statistics.median(
            x[0] / y[0] for x, y in zip(results[a], results[b]))
        row = [name]
        row += ["%.3f" % wall[c] if c in wall else "-" for c in clis]
        row += ["%.3f" % wall[peer], label(sides[peer][0], source)]
        row += [ratio(c, peer) if c in results else "not yet" for c in clis]
        row += ["%.3f" % wall["limit"], ratio("kelvora", "limit")]
        row += ["%.2f" % cpu[c] if c in cpu else "-" for c in clis]
        row.append("%.2f" % cpu[peer])
        row += ["%.0f" % peak[c] if c in peak else "-" for c in clis]
        row.append("%.0f" % peak[peer])
        row += ["%.1f" % (os.path.getsize(sides[s][1]) / 2**20) for s in ("kelvora", peer)]
        rows.append(row)
        print("  ".join(row), file=sys.stderr)

    widths = [max(len(r[i]) for r in rows if i < len(r)) for i in range(len(header))]
    for r in rows:
        print("| " + " | ".join(c.ljust(widths[i]) for i, c in enumerate(r)) + " |")
        if r is header:
            print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    if not args.folder:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
