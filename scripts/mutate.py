#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plants one-line faults in the risky code, one at a time, and tells which the tests miss.

Each fault of the list (scripts/mutants.txt) is applied to a copy of the committed tree kept
outside it, the copy is built and tested, and the file is put back before the next fault. The
tree the script is run from is only read (git archive). By default each fault runs the tests its
line names; --whole-suite runs every test for every fault instead (slow: a full link and run
each). Builds go through ccache with the copy as its base folder, so a second run is quick.

  scripts/mutate.py                 every fault, the tests named for it
  scripts/mutate.py --whole-suite   every fault, the whole suite
  scripts/mutate.py --only 3,7      some faults by number
  scripts/mutate.py --check         only check that each fault still applies, build nothing

A fault is killed when a test fails (or the build fails, reported apart and left out of the
rate), and survives when every test passes. Exit status 0 when the kill rate reaches --target.
"""
import argparse
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

SEPARATOR = "@@"


class Mutant:
    def __init__(self, number, line_number, path, before, after, tests):
        self.number = number
        self.line_number = line_number  # in the list, for messages
        self.path = path
        self.before = before
        self.after = after
        self.tests = tests  # "test_x" (the executable) or "test_x:function"

    def label(self):
        return f"#{self.number} {self.path}: {self.before.strip()} -> {self.after.strip()}"


def read_mutants(list_file):
    """One fault a line: file @@ text as it is @@ text with the fault @@ tests (space-separated).
    Blank lines and lines starting with # are skipped."""
    mutants = []
    for n, line in enumerate(list_file.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        parts = [p.strip() for p in line.split(SEPARATOR)]
        if len(parts) != 4 or not parts[0] or not parts[1] or not parts[3]:
            sys.exit(f"{list_file}:{n}: expected 'file @@ before @@ after @@ tests'")
        mutants.append(Mutant(len(mutants) + 1, n, parts[0], parts[1], parts[2], parts[3].split()))
    return mutants


def export_tree(top, rev, stage):
    """The committed tree at `rev`, written below `stage` (emptied first)."""
    shutil.rmtree(stage, ignore_errors=True)
    stage.mkdir(parents=True)
    archive = subprocess.Popen(["git", "-C", str(top), "archive", "--format=tar", rev],
                               stdout=subprocess.PIPE)
    untar = subprocess.run(["tar", "-x", "-C", str(stage)], stdin=archive.stdout)
    archive.stdout.close()
    if archive.wait() != 0 or untar.returncode != 0:
        sys.exit(f"cannot export {rev} of {top}")


def sync_tree(stage, src, keep):
    """Makes `src` hold what `stage` holds, touching only files that differ, so that the build
    in the copy stays valid for the files that did not change. Names in `keep` are left alone."""
    for dirpath, _, files in os.walk(stage):
        rel = Path(dirpath).relative_to(stage)
        (src / rel).mkdir(parents=True, exist_ok=True)
        for name in files:
            a, b = Path(dirpath) / name, src / rel / name
            if not b.is_file() or not filecmp.cmp(a, b, shallow=False):
                shutil.copy2(a, b)
    for dirpath, dirs, files in os.walk(src):
        rel = Path(dirpath).relative_to(src)
        if rel == Path("."):
            dirs[:] = [d for d in dirs if d not in keep]
        for name in files:
            if not (stage / rel / name).exists():
                (src / rel / name).unlink()
        for d in list(dirs):
            if not (stage / rel / d).exists():
                shutil.rmtree(src / rel / d)
                dirs.remove(d)


def run(cmd, log, env, cwd=None):
    with open(log, "a", encoding="utf-8") as out:
        out.write(f"$ {' '.join(cmd)}\n")
        out.flush()
        return subprocess.run(cmd, stdout=out, stderr=subprocess.STDOUT, env=env, cwd=cwd).returncode


class Copy:
    """The copy outside the tree, with its build folder."""

    def __init__(self, src, jobs, log, env):
        self.src, self.build, self.jobs, self.log, self.env = src, src / "build", jobs, log, env

    def configure(self):
        if (self.build / "build.ninja").exists():
            return run(["cmake", str(self.build)], self.log, self.env) == 0
        return run(["cmake", "-S", str(self.src), "-B", str(self.build), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                    "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"], self.log, self.env) == 0

    def build_for(self, tests):
        """Builds what `tests` need (everything when None)."""
        targets = [] if tests is None else sorted({t.split(":")[0] for t in tests})
        return run(["ninja", "-C", str(self.build), f"-j{self.jobs}"] + targets, self.log,
                   self.env) == 0

    def test(self, tests):
        """True when every test passes. None: the whole suite through CTest."""
        if tests is None:
            return run(["ctest", f"-j{self.jobs}", "--timeout", "900"], self.log, self.env,
                       cwd=self.build) == 0
        whole = sorted({t for t in tests if ":" not in t})
        if whole and run(["ctest", "--timeout", "900", "-R", "^(" + "|".join(whole) + ")$"],
                         self.log, self.env, cwd=self.build) != 0:
            return False
        for t in tests:
            if ":" not in t:
                continue
            # A test function on its own, with the environment CTest would give it.
            name, function = t.split(":", 1)
            env = dict(self.env, QT_QPA_PLATFORM="offscreen",
                       TINDORA_TEST_DATA=str(self.src / "tests" / "data"))
            exe = next((p for p in self.build.rglob(name) if p.is_file()), self.build / name)
            if run([str(exe), function], self.log, env, cwd=exe.parent) != 0:
                return False
        return True


def main():
    top = Path(__file__).resolve().parent.parent
    p = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    p.add_argument("--list", type=Path, default=top / "scripts" / "mutants.txt")
    p.add_argument("--rev", default="HEAD", help="the commit to mutate (default HEAD)")
    p.add_argument("--work", type=Path,
                   default=Path(tempfile.gettempdir()) / f"tindora-mutants-{os.getuid()}",
                   help="the folder of the copy and its build, kept between runs")
    p.add_argument("--only", help="comma-separated fault numbers")
    p.add_argument("--whole-suite", action="store_true", help="run every test for each fault")
    p.add_argument("--check", action="store_true", help="only check that each fault applies")
    p.add_argument("--jobs", type=int, default=2)
    p.add_argument("--target", type=float, default=90.0, help="kill rate wanted, in percent")
    args = p.parse_args()

    work = args.work.resolve()
    if work == top or top in work.parents:
        sys.exit("the copy must be outside the tree it is made from")
    mutants = read_mutants(args.list)
    if args.only:
        wanted = {int(n) for n in args.only.split(",")}
        mutants = [m for m in mutants if m.number in wanted]

    src = work / "src"
    export_tree(top, args.rev, work / "stage")
    sync_tree(work / "stage", src, keep={"build", "downloads"})
    shutil.rmtree(work / "stage")
    if (top / "downloads").is_dir() and not (src / "downloads").exists():
        shutil.copytree(top / "downloads", src / "downloads")

    # Each fault must match exactly one place; a list left behind by the code is an error.
    stale = []
    for m in mutants:
        text = (src / m.path).read_text(encoding="utf-8") if (src / m.path).is_file() else ""
        if text.count(m.before) != 1:
            stale.append(f"{args.list.name}:{m.line_number}: {m.label()} "
                         f"(found {text.count(m.before)} times)")
    for s in stale:
        print("stale:", s)
    if args.check or stale:
        print(f"{len(mutants) - len(stale)} of {len(mutants)} faults apply")
        return 1 if stale else 0

    log = work / "mutate.log"
    log.write_text("", encoding="utf-8")
    env = dict(os.environ, CCACHE_BASEDIR=str(src))
    copy = Copy(src, args.jobs, log, env)
    mode = "whole suite" if args.whole_suite else "named tests"
    print(f"{len(mutants)} faults, {mode}; copy in {src}, log in {log}", flush=True)
    if not copy.configure():
        sys.exit(f"configuring the copy failed; see {log}")

    # Unchanged, the tests must pass, or a failure would count as a kill.
    named = sorted({t for m in mutants for t in m.tests})
    baseline = None if args.whole_suite else named
    if not copy.build_for(baseline) or not copy.test(baseline):
        sys.exit(f"the unchanged copy does not build or pass its tests; see {log}")

    killed, survived, unbuilt = [], [], []
    for m in mutants:
        path = src / m.path
        original = path.read_bytes()
        started = time.monotonic()
        tests = None if args.whole_suite else m.tests
        try:
            path.write_bytes(original.replace(m.before.encode(), m.after.encode(), 1))
            with open(log, "a", encoding="utf-8") as out:
                out.write(f"\n==== {m.label()}\n")
            if not copy.build_for(tests):
                verdict, bucket = "NOT BUILT", unbuilt
            elif copy.test(tests):
                verdict, bucket = "SURVIVED", survived
            else:
                verdict, bucket = "killed", killed
        finally:
            path.write_bytes(original)
        bucket.append(m)
        print(f"{verdict:9} {m.label()}  [{' '.join(m.tests)}] {time.monotonic() - started:.0f} s",
              flush=True)

    judged = len(killed) + len(survived)
    rate = 100.0 * len(killed) / judged if judged else 0.0
    print(f"\nkill rate ({mode}): {len(killed)} of {judged} = {rate:.1f} %"
          + (f"; {len(unbuilt)} not built, left out" if unbuilt else ""))
    for m in survived:
        print("  survived:", m.label())
    # The build folder is left with the unchanged sources built, ready for the next run.
    copy.build_for(baseline)
    return 0 if rate >= args.target else 1


if __name__ == "__main__":
    sys.exit(main())
