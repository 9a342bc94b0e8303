#!/usr/bin/env python3
"""How well kelvora-cli --auto repairs known faults, beside the peers' automatic corrections.

Each photo (any that ImageMagick reads; natural photos, for instance those of the
Debian packages mate-backgrounds and python3-skimage) is given five faults with
ImageMagick: too dark (each channel times 0.6), too bright (gamma 1.7), flat
(levels pushed into 20..80 %), a yellow cast (blue times 0.8) and dark and flat
together (levels into 5..55 %). Each faulty picture is then repaired by
`kelvora-cli --auto`, ImageMagick's -auto-level, -normalize and -auto-gamma and
GraphicsMagick's -normalize, and compared with the photo it came from (PSNR in
dB, ImageMagick's compare). Prints the mean PSNR per fault and tool, the mean
over all faults, and how far --auto lies above the best peer.

    bench/auto_eval.py [--cli build/src/cli/kelvora-cli] PHOTO...

Needs imagemagick and graphicsmagick (only here, never by the build or the tests).
"""

import argparse
import os
import subprocess
import sys
import tempfile

FAULTS = [
    ("zu dunkel", ["-evaluate", "multiply", "0.6"]),
    ("zu hell", ["-gamma", "1.7"]),
    ("flau", ["+level", "20%,80%"]),
    ("Farbstich", ["-channel", "B", "-evaluate", "multiply", "0.8", "+channel"]),
    ("dunkel+flau", ["+level", "5%,55%"]),
]


def tools(cli):
    return [
        ("unverändert", lambda src, dst: ["cp", src, dst]),
        ("--auto", lambda src, dst: [cli, src, "--auto", "-o", dst]),
        ("IM -auto-level", lambda src, dst: ["convert", src, "-auto-level", dst]),
        ("IM -normalize", lambda src, dst: ["convert", src, "-normalize", dst]),
        ("IM -auto-gamma", lambda src, dst: ["convert", src, "-auto-gamma", dst]),
        ("GM -normalize", lambda src, dst: ["gm", "convert", src, "-normalize", dst]),
    ]


def psnr(a, b):
    run = subprocess.run(["compare", "-metric", "PSNR", a, b, "null:"],
                         capture_output=True, text=True)
    text = run.stderr.split()[0] if run.stderr.split() else "0"
    # Identical pictures have no finite PSNR; 60 dB stands for "no visible change".
    return 60.0 if text == "inf" else min(60.0, float(text))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", default="build/src/cli/kelvora-cli")
    parser.add_argument("photos", nargs="+")
    args = parser.parse_args()
    cli = os.path.abspath(args.cli)
    named = tools(cli)
    table = {fault: {name: [] for name, _ in named} for fault, _ in FAULTS}
    with tempfile.TemporaryDirectory() as work:
        for n, photo in enumerate(args.photos):
            original = os.path.join(work, f"{n}.png")
            subprocess.run(["convert", photo, "-type", "TrueColor", "-depth", "8", original],
                           check=True)
            for f, (fault, operations) in enumerate(FAULTS):
                faulty = os.path.join(work, f"{n}_{f}.png")
                subprocess.run(["convert", original, *operations, "-depth", "8", faulty],
                               check=True)
                for t, (name, command) in enumerate(named):
                    out = os.path.join(work, f"{n}_{f}_{t}.png")
                    subprocess.run(command(faulty, out), check=True,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    table[fault][name].append(psnr(original, out))
    names = [name for name, _ in named]
    mean = lambda values: sum(values) / len(values)
    print(f"{len(args.photos)} Fotos, mittlerer PSNR zum Original in dB")
    print("| Fehler | " + " | ".join(names) + " |")
    print("|---" * (len(names) + 1) + "|")
    overall = {name: [] for name in names}
    for fault, _ in FAULTS:
        row = [mean(table[fault][name]) for name in names]
        for name, value in zip(names, row):
            overall[name].append(value)
        print(f"| {fault} | " + " | ".join(f"{v:.2f}" for v in row) + " |")
    totals = {name: mean(values) for name, values in overall.items()}
    print("| **Mittel** | " + " | ".join(f"**{totals[n]:.2f}**" for n in names) + " |")
    best_peer = max(v for n, v in totals.items() if n not in ("--auto", "unverändert"))
    print(f"--auto über dem besten anderen Werkzeug: {totals['--auto'] - best_peer:+.2f} dB")


if __name__ == "__main__":
    sys.exit(main())
