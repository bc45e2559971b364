#!/usr/bin/env python3
"""A bounded fuzz pass over kavelmor-host: mutated scene files and hostile command lines.

    reference_host/tests/fuzz_host.py BUILD_DIR [--seconds 120] [--seed 1]

Starts from the built-in scene (--print-scene) and, run after run, replaces, removes or repeats values
in it (wrong types, huge, tiny, negative and zero numbers, deep nesting, names of nothing), adds
random command-line options, and runs the program on an 8 x 6 picture with a time limit. A run fails
when the program is ended by a signal, hangs past the limit, prints a sanitizer report, or exits
non-zero without an "error:" line. Not part of CI: it stops after --seconds and prints what it found,
exiting 1 if anything failed. The failing inputs are kept in the work directory it names.
"""
import argparse
import copy
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

HOSTILE_VALUES = [
    None, True, False, 0, -1, 1, 2**31, -2**31, 2**63, 2**64 - 1, 1e12, -1e12, 1e13, 1e308, -1e308,
    5e-324, 1e-300, 0.5, "", "x", "ray_trace", "sky", "Floor", [], [0], [0, 0], [0, 0, 0], [1e308, 0, 0],
    [0, 0, 1e-320], ["a", "b", "c"], {}, {"a": 1}, [[[[[[[[0]]]]]]]],
]
EXTRA_OPTIONS = [
    ["--sample", "0"], ["--sample", "-7"], ["--sample", "100"], ["--sample", "101"], ["--sample", "999999"],
    ["--l-size", "0"], ["--l-size", "-3"], ["--l-size", "1e12"], ["--l-size", "1e308"], ["--l-size", "nan"],
    ["--l-size", "inf"], ["--l-size", "0x1p3"], ["--use-prefix", "1"], ["--use-prefix", "2"],
    ["--prefix", ""], ["--prefix", "Key"], ["--settings-hex", "00"], ["--settings-hex", "zz" * 33],
    ["--settings-hex", "ff" * 33], ["--settings-hex", "00" * 33], ["--threads", "0"], ["--threads", "64"],
    ["--surface", "Nowhere"], ["--surface", "Floor"], ["--compare"], ["--print-settings"],
    ["--width", "0"], ["--height", "16385"], ["--width", "-1"],
]
SANITIZER_WORDS = ("AddressSanitizer", "LeakSanitizer", "runtime error:", "UndefinedBehaviorSanitizer")


def paths(value, prefix=()):
    """Every path into a JSON value, containers included."""
    yield prefix
    if isinstance(value, dict):
        for key, item in value.items():
            yield from paths(item, prefix + (key,))
    elif isinstance(value, list):
        for index, item in enumerate(value):
            yield from paths(item, prefix + (index,))


def mutate(scene, rng):
    scene = copy.deepcopy(scene)
    for _ in range(rng.randint(1, 4)):
        target = rng.choice(list(paths(scene))[1:])
        parent = scene
        for step in target[:-1]:
            parent = parent[step]
        key = target[-1]
        action = rng.random()
        if action < 0.6:
            parent[key] = copy.deepcopy(rng.choice(HOSTILE_VALUES))
        elif action < 0.75:
            del parent[key]
        elif action < 0.9 and isinstance(parent[key], (int, float)) and not isinstance(parent[key], bool):
            parent[key] = parent[key] * rng.choice([-1, 0, 1e6, 1e-6, 1e15])
        elif isinstance(parent, list):
            parent.append(copy.deepcopy(parent[key]))
    return scene


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("--seconds", type=float, default=120)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--timeout", type=float, default=30)
    args = parser.parse_args()
    program = os.path.join(args.build_dir, "reference_host", "kavelmor-host")
    rng = random.Random(args.seed)
    base = json.loads(subprocess.run([program, "--print-scene"], capture_output=True, text=True, check=True).stdout)
    work = tempfile.mkdtemp(prefix="kavelmor-fuzz-")
    runs, rendered, failures = 0, 0, []
    stop = time.monotonic() + args.seconds
    while time.monotonic() < stop:
        scene_path = os.path.join(work, "scene-%d.json" % runs)
        with open(scene_path, "w") as file:
            json.dump(mutate(base, rng), file)
        command = [program, scene_path, "-o", os.path.join(work, "out.png"), "--no-progress"]
        for _ in range(rng.randint(0, 2)):
            command += rng.choice(EXTRA_OPTIONS)
        command += ["--width", "8", "--height", "6"]
        runs += 1
        try:
            result = subprocess.run(command, capture_output=True, text=True, timeout=args.timeout)
        except subprocess.TimeoutExpired:
            failures.append((command, "no end within %g s" % args.timeout))
            continue
        output = result.stdout + result.stderr
        if result.returncode < 0 or result.returncode >= 128:
            failures.append((command, "ended by a signal (%d)" % result.returncode))
        elif any(word in output for word in SANITIZER_WORDS):
            failures.append((command, "sanitizer report"))
        elif result.returncode != 0 and "error:" not in output and "--" not in output:
            failures.append((command, "non-zero exit without a message"))
        else:
            rendered += result.returncode == 0
            os.remove(scene_path)
            continue
        failures[-1] += (output[-2000:],)
    for command, reason, output in failures:
        print("FAILED (%s): %s\n%s" % (reason, " ".join(command), output))
    if failures:
        print("%d runs (%d rendered), %d failed; failing scenes are kept in %s" % (runs, rendered, len(failures), work))
        return 1
    shutil.rmtree(work)
    print("%d runs (%d rendered), none failed" % (runs, rendered))
    return 0


if __name__ == "__main__":
    sys.exit(main())
