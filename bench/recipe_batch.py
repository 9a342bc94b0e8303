#!/usr/bin/env python3
"""A recipe over a batch of photos: kelvora-cli --batch beside the peers.

Makes 24 photo-like 6-megapixel JPEGs (3000 x 2000, each a little different)
and runs one recipe over all of them: a crop of 90 % on each side, a quarter
turn to the right, brightness +16 and a resize to half the width. kelvora-cli
runs it as one batch on all cores (`--recipe R --batch --out-dir D FILES`);
each peer runs the same chain per file, started by GNU parallel on all cores:
GraphicsMagick's convert with the four operations in one process, and libvips
as a pipeline of its commands through its own uncompressed format. The
fastest peer is the yardstick. Sides run in turn (A B C A B C ...), each after
a sync, and the first round only warms the caches.

Prints per side the median wall time of the batch, its ratio to the fastest
peer, and the peak memory of one job (one file on its own), beside the goal
of at most 2.2 x the picture + 40 MB.

    bench/recipe_batch.py [--cli build/src/cli/kelvora-cli] [--runs 3]
                          [--files 24] [--folder DIR]

Needs GNU parallel, graphicsmagick and libvips-tools (the peers are needed
only here, never by the build or the tests).
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from compare import photo_like  # noqa: E402

WIDTH, HEIGHT = 3000, 2000
RECIPE = """# Kelvora-Rezept 1
# the benchmark's chain: crop, quarter turn, brightness, half size
--crop 150,100,2850,1900@3000x2000
--rotate rechts:90
--correct helligkeit:2:8
--resize 900x
"""
# The same chain for the peers, as GNU parallel's commands ({} the input, {/}
# its name, {/.} without the extension; OUT and TMP the folders): +16 of 255
# is 6.2745 % of the full scale.
GM = ("gm convert {} -crop 2700x1800+150+100 -rotate 90 -operator All Add 6.2745% "
      "-sample 50% -quality 90 OUT/{/}")
VIPS = ("vips crop {} TMP/{/.}-1.v 150 100 2700 1800 && vips rot TMP/{/.}-1.v TMP/{/.}-2.v d90"
        " && vips linear TMP/{/.}-2.v TMP/{/.}-3.v 1 16 --uchar"
        " && vips subsample TMP/{/.}-3.v 'OUT/{/}[Q=90]' 2 2 && rm TMP/{/.}-[123].v")


def filled(command, values):
    """command with each key of values replaced by its value."""
    for key, value in values.items():
        command = command.replace(key, value)
    return command


def make_photos(cli, folder, count):
    """count JPEGs from one photo-like picture, mirrored and brightened in turn."""
    base = os.path.join(folder, "base.ppm")
    photo_like(base, WIDTH, HEIGHT)
    paths = []
    for n in range(count):
        path = os.path.join(folder, "in", "photo%02d.jpg" % n)
        words = ["--correct", "helligkeit:%d:2" % (n % 9 - 4)]
        words += [["--mirror", "h"], ["--mirror", "v"], [], ["--rotate", "links:180"]][n % 4]
        subprocess.run([cli, base] + words + ["-o", path], check=True)
        paths.append(path)
    os.remove(base)
    return paths


def run(argv, env=None):
    """Wall seconds and the peak resident MiB of the process and its children."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    err = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("%s failed: %s" % (" ".join(argv[:4]), err.strip()[:300]))
    return wall, usage.ru_maxrss / 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--cli", default="build/src/cli/kelvora-cli")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--files", type=int, default=24)
    parser.add_argument("--folder", help="where the photos and outputs go (default: a new "
                        "temporary folder, removed at the end)")
    args = parser.parse_args()
    for tool in ("parallel", "gm", "vips"):
        if not shutil.which(tool):
            sys.exit("%s is missing: apt-get install parallel graphicsmagick libvips-tools" % tool)
    cli = os.path.abspath(args.cli)
    folder = args.folder or tempfile.mkdtemp(prefix="kelvora-recipe-")
    for sub in ("in", "kelvora", "gm", "vips", "tmp", "one"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    photos = sorted(os.path.join(folder, "in", f) for f in os.listdir(os.path.join(folder, "in")))
    if len(photos) != args.files:
        photos = make_photos(cli, folder, args.files)
    recipe = os.path.join(folder, "bench.rezept")
    with open(recipe, "w") as f:
        f.write(RECIPE)
    cores = len(os.sched_getaffinity(0))
    out = lambda side: os.path.join(folder, side)
    peer = lambda command, side: (["parallel", "--will-cite", "--jobs", str(cores),
                                   filled(command, {"OUT": out(side), "TMP": out("tmp")}), ":::"] + photos)
    sides = {
        "kelvora": [cli, "--recipe", recipe, "--batch", "--out-dir", out("kelvora")] + photos,
        "gm": peer(GM, "gm"),
        "vips": peer(VIPS, "vips"),
    }
    # one file alone: the memory of one job
    one = {"{}": photos[0], "{/.}": "one", "{/}": "one.jpg", "OUT": out("one"), "TMP": out("tmp")}
    alone = {
        "kelvora": [cli, "--recipe", recipe, photos[0], "-o", os.path.join(out("one"), "one.jpg")],
        "gm": ["sh", "-c", filled(GM, one)],
        "vips": ["sh", "-c", filled(VIPS, one)],
    }
    walls = {side: [] for side in sides}
    for n in range(args.runs + 1):
        for side, argv in sides.items():
            shutil.rmtree(out(side))
            os.makedirs(out(side))
            os.sync()
            wall, _ = run(argv)
            if n > 0:
                walls[side].append(wall)
    peaks = {side: max(run(argv)[1] for _ in range(2)) for side, argv in alone.items()}

    picture_mb = WIDTH * HEIGHT * 3 / 2**20
    fastest = min(("gm", "vips"), key=lambda s: statistics.median(walls[s]))
    print("%d photos of %dx%d (%.1f MiB each as pixels), %d cores, %d runs after one warm-up; "
          "load %.1f" % (len(photos), WIDTH, HEIGHT, picture_mb, cores, args.runs,
                         os.getloadavg()[0]))
    print("| side | batch s | / fastest peer | peak MiB of one job |")
    print("|---|---|---|---|")
    for side in sides:
        ratio = statistics.median(k / p for k, p in zip(walls[side], walls[fastest]))
        print("| %s | %.2f | %.2f | %.0f |" % (side, statistics.median(walls[side]), ratio,
                                               peaks[side]))
    print("goals: kelvora / fastest peer (%s) <= 0.7; peak <= %.0f MiB (2.2 x picture + 40)"
          % (fastest, 2.2 * picture_mb + 40))
    if not args.folder:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
