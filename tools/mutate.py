#!/usr/bin/env python3
"""Plants small faults in C++ sources, one at a time, and tells which ones the
test suite notices.

    python3 tools/mutate.py --files 'src/core/**/*.cpp' --count 60 --seed 1
    python3 tools/mutate.py --files src/core/outgoing/SendQueue.cpp --all
    python3 tools/mutate.py --files 'src/core/**/*.cpp' --list     (sites only)
    python3 tools/mutate.py --files 'src/core/**/*.cpp' --only 2,5  (two of the 60 again)

How it works:

- The working tree as it is now (tracked files and untracked ones that git
  does not ignore, so uncommitted edits count) is copied into a scratch
  folder, build-mutate/tree by default; --head copies the last commit
  instead. The copy writes only files whose content differs, so a second run
  rebuilds only what changed. The tree you work in is never touched.
- The copy is configured (Ninja when available, ccache when available) and
  built once in build-mutate/build, and the whole suite must pass there.
- Each mutant changes one spot of one file: a flipped comparison (== and !=,
  < and >=, > and <=), a boundary moved by one (< and <=, > and >=),
  true and false swapped, && and || swapped, an integer constant plus one,
  or a call statement removed (a line that is just `foo(...);`,
  `obj.method(...);` or `emit signal(...);`). Comments, strings, character
  constants, preprocessor lines and static_assert are never touched.
- The mutated file's objects are rebuilt first. When the compiler turns the
  mutant into exactly the same machine code (objects equal without debug
  information), it is "equivalent" and no test is run. Otherwise everything
  is rebuilt incrementally and the tests that ctest knows are run, two at a
  time, the ones whose source includes the mutated file's header first. The
  first failing test kills the mutant and stops the rest.
- Each test has its own time limit: four times what it took on the
  unmutated tree, at least --test-timeout seconds (ctest's own --timeout
  would lose to the suite's TIMEOUT properties). A test over its limit, or a
  mutant over --timeout seconds in all, counts as "timeout", which the
  suite noticed (a hang).
- The kill rate is (killed + timeout) / (killed + timeout + survived):
  mutants that do not build, and equivalent ones, are left out.

--report FILE writes the run as Markdown. Anything below the line
"<!-- notes -->" in an existing report (the reasons a survivor is
equivalent, for instance) is kept when the report is written again.
"""

import argparse
import fnmatch
import glob
import hashlib
import io
import json
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tarfile
import tempfile
import time
from dataclasses import dataclass, field

NOTES_MARK = "<!-- notes -->"


# --------------------------------------------------------------------------
# Finding the sites


def mask_code(text):
    """The text with comments, string and character literals blanked out
    (newlines kept), so that positions still match the original."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == '"' and i > 0 and text[i - 1] == "R" and not (i > 1 and (text[i - 2].isalnum() or text[i - 2] == "_") and text[i - 2] not in "uU8L"):
            m = re.match(r'R"([^()\\\s]{0,16})\(', text[i - 1:])
            if m:
                end = text.find(")" + m.group(1) + '"', i)
                j = n if end < 0 else end + len(m.group(1)) + 2
                blank(i, j)
                i = j
            else:
                i += 1
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum())):
            # A quote between two alphanumerics is a digit separator (1'000).
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            blank(i, min(j + 1, n))
            i = j + 1
        else:
            i += 1
    return "".join(out)


@dataclass
class Site:
    path: str          # relative to the tree's root
    line: int          # 1-based
    col: int           # 0-based, in the line
    length: int        # characters replaced
    op: str
    original: str
    replacement: str

    def key(self):
        return (self.path, self.line, self.col, self.op)


# Comparisons and logic need a blank on both sides: `a < b` is a
# comparison, `QList<int>` and `T &&x` are not.
SPACED = r"(?<=\s)({})(?=\s)"
CMP_FLIP = {"==": "!=", "!=": "==", "<": ">=", ">=": "<", ">": "<=", "<=": ">"}
BOUNDARY = {"<": "<=", "<=": "<", ">": ">=", ">=": ">"}
CALL_STATEMENT = re.compile(
    r"^(\s*)((?:emit\s+)?(?:[A-Za-z_][\w]*(?:::|\.|->))*[A-Za-z_]\w*(?:<[\w:, ]*>)?\(.*\)\s*;)\s*$")
NOT_A_CALL = {"return", "if", "while", "for", "switch", "case", "delete", "throw", "sizeof", "co_return",
              "co_await", "Q_ASSERT", "Q_ASSERT_X", "Q_UNUSED", "Q_DECLARE_METATYPE", "Q_OBJECT", "static_assert",
              "goto", "new"}
STATEMENT_ENDS = (";", "{", "}", ":", ")", "else")


def balanced(s):
    depth = 0
    for ch in s:
        depth += ch == "("
        depth -= ch == ")"
        if depth < 0:
            return False
    return depth == 0


def find_sites(path, text):
    masked = mask_code(text).split("\n")
    lines = text.split("\n")
    sites = []
    previous_code = "{"
    for number, (code, real) in enumerate(zip(masked, lines), start=1):
        stripped = code.strip()
        if not stripped:
            continue
        if stripped.startswith("#") or "static_assert" in code:
            previous_code = stripped
            continue

        def add(col, length, op, replacement):
            sites.append(Site(path, number, col, length, op, real[col:col + length], replacement))

        for m in re.finditer(SPACED.format("==|!=|<=|>=|<|>"), code):
            if re.search(r"operator\s*$", code[:m.start()]):
                continue
            add(m.start(), len(m.group(1)), "flip", CMP_FLIP[m.group(1)])
            if m.group(1) in BOUNDARY:
                add(m.start(), len(m.group(1)), "boundary", BOUNDARY[m.group(1)])
        for m in re.finditer(SPACED.format(r"&&|\|\|"), code):
            add(m.start(), 2, "logic", "||" if m.group(1) == "&&" else "&&")
        for m in re.finditer(r"\b(true|false)\b", code):
            add(m.start(), len(m.group(1)), "bool", "false" if m.group(1) == "true" else "true")
        for m in re.finditer(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])", code):
            digits = m.group(1)
            value = int(digits, 16) if digits[:2].lower() == "0x" else int(digits, 8 if len(digits) > 1 and digits[0] == "0" else 10)
            new = (digits[:2] + format(value + 1, "X" if digits[2:].isupper() else "x")
                   if digits[:2].lower() == "0x" else str(value + 1))
            add(m.start(1), len(digits), "const", new)
        m = CALL_STATEMENT.match(code)
        if m and balanced(m.group(2)) and previous_code.endswith(STATEMENT_ENDS):
            first = re.match(r"[A-Za-z_]\w*", m.group(2)).group(0)
            if first not in NOT_A_CALL:
                start = len(m.group(1))
                add(start, len(real.rstrip()) - start, "call", ";")
        previous_code = stripped
    return sites


def apply(text, site):
    lines = text.split("\n")
    line = lines[site.line - 1]
    lines[site.line - 1] = line[:site.col] + site.replacement + line[site.col + site.length:]
    return "\n".join(lines)


# --------------------------------------------------------------------------
# The scratch copy and its build


def run(cmd, log, cwd=None, timeout=None, env=None):
    """Runs cmd, appending its output to log; True when it succeeded."""
    with open(log, "ab") as out:
        out.write(("\n$ " + " ".join(cmd) + "\n").encode())
        out.flush()
        proc = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, env=env, start_new_session=True)
        try:
            return proc.wait(timeout=timeout) == 0
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            return False


def tree_files(root, head):
    """{relative path: bytes} of the working tree, or of HEAD with head."""
    if head:
        data = subprocess.run(["git", "-C", root, "archive", "--format=tar", "HEAD"],
                              check=True, capture_output=True).stdout
        files = {}
        with tarfile.open(fileobj=io.BytesIO(data)) as tar:
            for member in tar.getmembers():
                if member.isfile():
                    files[member.name] = (tar.extractfile(member).read(), member.mode)
        return files
    names = subprocess.run(["git", "-C", root, "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                           check=True, capture_output=True).stdout.decode().split("\0")
    files = {}
    for name in names:
        full = os.path.join(root, name)
        if name and os.path.isfile(full) and not os.path.islink(full):
            with open(full, "rb") as f:
                files[name] = (f.read(), os.stat(full).st_mode)
    return files


def sync_tree(files, dest):
    """Makes dest hold exactly files, writing only what differs."""
    os.makedirs(dest, exist_ok=True)
    for name, (content, mode) in files.items():
        target = os.path.join(dest, name)
        try:
            with open(target, "rb") as f:
                if f.read() == content:
                    continue
        except OSError:
            os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(content)
        os.chmod(target, mode & 0o777)
    for folder, _, names in os.walk(dest):
        for name in names:
            rel = os.path.relpath(os.path.join(folder, name), dest)
            if rel not in files:
                os.remove(os.path.join(folder, name))


def stripped_digest(obj):
    """A digest of an object file's code and data, without debug information,
    which records columns and so changes with any edit."""
    with tempfile.NamedTemporaryFile(suffix=".o") as tmp:
        if subprocess.run(["objcopy", "--strip-debug", obj, tmp.name], capture_output=True).returncode != 0:
            return None
        with open(tmp.name, "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()


class Build:
    def __init__(self, tree, build, log, jobs):
        self.tree, self.dir, self.log, self.jobs = tree, build, log, jobs
        self.ninja = shutil.which("ninja") is not None
        self.objects = {}    # source path -> [object paths relative to the build folder]
        self.targets = None  # what "everything" means: the test programs

    def configure(self):
        cmd = ["cmake", "-S", self.tree, "-B", self.dir, "-DCMAKE_BUILD_TYPE=RelWithDebInfo"]
        if self.ninja and not os.path.exists(os.path.join(self.dir, "CMakeCache.txt")):
            cmd += ["-G", "Ninja"]
        if shutil.which("ccache"):
            cmd += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"]
        return run(cmd, self.log)

    def build(self, targets=None, timeout=None):
        cmd = ["cmake", "--build", self.dir, "-j", str(self.jobs)]
        targets = targets or self.targets
        if targets:
            cmd += ["--target"] + targets
        return run(cmd, self.log, timeout=timeout)

    def objects_of(self, path):
        """The object files compiled from the tree's path (a file may be
        compiled into more than one target)."""
        if path not in self.objects:
            found = []
            for folder, _, names in os.walk(self.dir):
                for name in names:
                    if name == os.path.basename(path) + ".o":
                        rel = os.path.relpath(os.path.join(folder, name), self.dir)
                        # The object's path ends with the source's path below
                        # its CMakeLists.txt folder.
                        parts = path.split("/")
                        if any(rel.endswith("/".join(parts[k:]) + ".o") for k in range(len(parts) - 1)):
                            found.append(rel)
            self.objects[path] = found
        return self.objects[path]


# --------------------------------------------------------------------------
# Running the tests


@dataclass
class Test:
    name: str
    command: list
    cwd: str
    env: dict
    serial: bool = False
    baseline: float = 0.0
    sources: set = field(default_factory=set)


def list_tests(build):
    out = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                         check=True, capture_output=True).stdout
    tests = []
    for t in json.loads(out)["tests"]:
        env = dict(os.environ)
        # ctest runs a test in the folder of the CTestTestfile that names it,
        # which is where a test program is built.
        cwd = os.path.dirname(t["command"][0]) if t.get("command") else build
        serial = False
        for prop in t.get("properties", []):
            if prop["name"] == "ENVIRONMENT":
                for item in prop["value"]:
                    key, _, value = item.partition("=")
                    env[key] = value
            elif prop["name"] == "WORKING_DIRECTORY":
                cwd = prop["value"]
            elif prop["name"] in ("RUN_SERIAL", "RESOURCE_LOCK"):
                serial = True
        tests.append(Test(t["name"], t.get("command") or [], cwd, env, serial))
    return tests


def test_sources(tree, tests):
    """Which of the tree's files each test's sources name in #include lines,
    read from the add_executable / quillon_add_test calls of tests/."""
    by_name = {t.name: t for t in tests}
    for cml in glob.glob(os.path.join(tree, "tests", "**", "CMakeLists.txt"), recursive=True):
        folder = os.path.dirname(cml)
        with open(cml, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for m in re.finditer(r"(?:quillon_add_test|add_executable)\(\s*(\w+)([^)]*)\)", text):
            test = by_name.get(m.group(1))
            if not test:
                continue
            for source in m.group(2).split():
                full = os.path.join(folder, source)
                if os.path.isfile(full):
                    with open(full, encoding="utf-8", errors="replace") as f:
                        test.sources.update(re.findall(r'#\s*include\s*"([^"]+)"', f.read()))


def ordered_for(path, tests):
    """The tests, those that include the mutated file's header (or sit in
    the folder of its area) first, then the quickest first."""
    stem = os.path.splitext(os.path.basename(path))[0]
    area = os.path.basename(os.path.dirname(path))

    def near(t):
        return any(os.path.splitext(os.path.basename(s))[0] == stem for s in t.sources) or t.name.startswith(area)
    return sorted(tests, key=lambda t: (not near(t), t.baseline))


def run_tests(tests, jobs, limit_for, overall, log):
    """Runs tests jobs at a time until one fails. Returns (status, test):
    ("pass", None), ("fail", name), ("timeout", name)."""
    deadline = time.monotonic() + overall
    waiting = list(tests)
    running = {}    # Popen -> (test, started)
    result = ("pass", None)
    with open(log, "ab") as out:
        try:
            while (waiting or running) and result[0] == "pass":
                while waiting and len(running) < jobs and not (running and waiting[0].serial):
                    t = waiting.pop(0)
                    out.write(("\n== " + t.name + "\n").encode())
                    out.flush()
                    p = subprocess.Popen(t.command, cwd=t.cwd, env=t.env, stdout=out, stderr=subprocess.STDOUT,
                                         stdin=subprocess.DEVNULL, start_new_session=True)
                    running[p] = (t, time.monotonic())
                    if t.serial:
                        break
                time.sleep(0.05)
                now = time.monotonic()
                for p, (t, started) in list(running.items()):
                    code = p.poll()
                    if code is not None:
                        del running[p]
                        t.last = now - started
                        if code != 0:
                            result = ("fail", t.name)
                            break
                    elif now - started > limit_for(t) or now > deadline:
                        result = ("timeout", t.name)
                        break
        finally:
            for p in running:
                try:
                    os.killpg(p.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                p.wait()
    return result


# --------------------------------------------------------------------------


def expand(root, patterns):
    found = []
    for pattern in patterns:
        matches = sorted(glob.glob(os.path.join(root, pattern), recursive=True))
        if not matches:
            sys.exit(f"mutate: no file matches {pattern}")
        for m in matches:
            rel = os.path.relpath(m, root)
            if os.path.isfile(m) and rel not in found:
                found.append(rel)
    return found


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--files", action="append", required=True, metavar="GLOB",
                    help="files to mutate, relative to the repository ('**' spans folders); repeatable")
    ap.add_argument("--count", type=int, default=60, help="mutants to draw (default 60)")
    ap.add_argument("--seed", type=int, default=1, help="seed for drawing the sites (default 1)")
    ap.add_argument("--all", action="store_true", help="try every site instead of drawing --count")
    ap.add_argument("--ops", default="flip,boundary,bool,logic,const,call",
                    help="operators to use, comma-separated (default: all)")
    ap.add_argument("--only", metavar="N,N,...",
                    help="of the drawn mutants, try only these (numbers as a run prints them: its survivors, say)")
    ap.add_argument("--list", action="store_true", help="print the chosen sites and stop")
    ap.add_argument("--head", action="store_true", help="mutate the last commit instead of the working tree")
    ap.add_argument("--scratch", help="scratch folder (default: build-mutate/ in the repository)")
    ap.add_argument("--jobs", type=int, default=2, help="parallel compile jobs and test programs (default 2)")
    ap.add_argument("--test-timeout", type=float, default=30,
                    help="least time limit for one test, in seconds (default 30; else 4x its normal time)")
    ap.add_argument("--timeout", type=float, default=900, help="time limit for one mutant's tests (default 900 s)")
    ap.add_argument("--exclude", metavar="REGEX", help="tests not to run (a name search, as ctest -E)")
    ap.add_argument("--report", metavar="FILE", help="write the run as Markdown to FILE")
    args = ap.parse_args()

    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True, capture_output=True,
                          text=True).stdout.strip()
    ops = set(args.ops.split(","))
    paths = expand(root, args.files)
    sources = {}
    sites = []
    for p in paths:
        with open(os.path.join(root, p), encoding="utf-8") as f:
            sources[p] = f.read()
        sites += [s for s in find_sites(p, sources[p]) if s.op in ops]
    if args.all:
        chosen = list(sites)
    else:
        chosen = random.Random(args.seed).sample(sites, min(args.count, len(sites)))
    chosen.sort(key=Site.key)
    if args.only:
        numbers = [int(n) for n in args.only.split(",")]
        if any(n < 1 or n > len(chosen) for n in numbers):
            sys.exit(f"mutate: --only takes numbers from 1 to {len(chosen)}")
        chosen = [chosen[n - 1] for n in numbers]
        args.numbers = numbers
    # The commit the run started from (the tree may move on while it runs).
    args.commit = subprocess.run(["git", "-C", root, "rev-parse", "--short", "HEAD"], capture_output=True,
                                 text=True).stdout.strip()
    print(f"{len(sites)} sites in {len(paths)} files; trying {len(chosen)}", flush=True)

    def describe(s):
        before = sources[s.path].split("\n")[s.line - 1].strip()
        after = apply(sources[s.path], s).split("\n")[s.line - 1].strip()
        return f"{s.path}:{s.line} {s.op}: {before}  →  {after or '(removed)'}"

    if args.list:
        for s in chosen:
            print(describe(s))
        return 0

    scratch = os.path.abspath(args.scratch or os.path.join(root, "build-mutate"))
    tree, build_dir, log = os.path.join(scratch, "tree"), os.path.join(scratch, "build"), os.path.join(scratch, "log.txt")
    os.makedirs(scratch, exist_ok=True)
    open(log, "w").close()
    print(f"Copying the {'last commit' if args.head else 'working tree'} to {tree}; build log in {log}", flush=True)
    files = tree_files(root, args.head)
    for p in paths:
        if p not in files:
            sys.exit(f"mutate: {p} is not in the copied tree")
        sources[p] = files[p][0].decode("utf-8")
    sync_tree(files, tree)

    started = time.monotonic()
    b = Build(tree, build_dir, log, args.jobs)
    if not b.configure():
        sys.exit(f"mutate: the unmutated tree does not configure; see {log}")
    # Only the test programs (and what they link) are built, not the
    # application, the benchmark or the packaging. Before the first build
    # ctest names no program for a test, and the test's name is taken as
    # its target's.
    names = [os.path.basename(t.command[0]) if t.command else t.name for t in list_tests(build_dir)]
    known = subprocess.run(["cmake", "--build", build_dir, "--target", "help"], capture_output=True,
                           text=True).stdout
    b.targets = sorted({n for n in names if re.search(rf"(^|[\s:]){re.escape(n)}(:|\s|$)", known, re.M)}) or None
    if not b.build():
        sys.exit(f"mutate: the unmutated tree does not build; see {log}")
    # A test that runs something else than a program of this build (a
    # script checking the installed files) is left out.
    tests = list_tests(build_dir)
    inside = lambda t: bool(t.command) and os.path.abspath(t.command[0]).startswith(os.path.abspath(build_dir) + os.sep)
    skipped = [t.name for t in tests if not inside(t)]
    tests = [t for t in tests if inside(t)]
    if args.exclude:
        skipped += [t.name for t in tests if re.search(args.exclude, t.name)]
        tests = [t for t in tests if not re.search(args.exclude, t.name)]
    if skipped:
        print(f"Not run (no test program of this build, or --exclude): {', '.join(skipped)}", flush=True)
    if not tests:
        sys.exit("mutate: ctest lists no test program")
    test_sources(tree, tests)
    print(f"Built in {time.monotonic() - started:.0f} s; running the {len(tests)} tests on the unmutated tree",
          flush=True)
    t0 = time.monotonic()
    status, name = run_tests(tests, args.jobs, lambda t: 600, args.timeout * 2, log)
    if status != "pass":
        sys.exit(f"mutate: {name} fails on the unmutated tree ({status}); see {log}")
    for t in tests:
        t.baseline = getattr(t, "last", 0.0)
    print(f"Suite passes in {time.monotonic() - t0:.0f} s", flush=True)
    clean = {}
    for p in paths:
        objs = b.objects_of(p)
        clean[p] = [stripped_digest(os.path.join(build_dir, o)) for o in objs]

    results = []
    limit_for = lambda t: max(args.test_timeout, 4 * t.baseline)

    def stop(signum, frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, stop)
    s = None
    try:
        for i, s in enumerate(chosen, start=1):
            target = os.path.join(tree, s.path)
            t0 = time.monotonic()
            with open(target, "w", encoding="utf-8") as f:
                f.write(apply(sources[s.path], s))
            objs = b.objects_of(s.path)
            detail = ""
            # The mutated file's objects are deleted first, so that what is
            # compared below is surely compiled from the mutant, whatever the
            # build tool makes of the file times.
            for o in objs:
                try:
                    os.remove(os.path.join(build_dir, o))
                except FileNotFoundError:
                    pass
            if b.ninja and objs and not b.build(objs, timeout=args.timeout):
                status = "no-build"
            elif objs and None not in clean[s.path] and \
                    [stripped_digest(os.path.join(build_dir, o)) for o in objs] == clean[s.path]:
                status = "equivalent"
            elif not b.build(timeout=args.timeout):
                status = "no-build"
            else:
                outcome, name = run_tests(ordered_for(s.path, tests), args.jobs, limit_for, args.timeout, log)
                status = {"pass": "survived", "fail": "killed", "timeout": "timeout"}[outcome]
                detail = name or ""
            with open(target, "w", encoding="utf-8") as f:
                f.write(sources[s.path])
            seconds = time.monotonic() - t0
            results.append((s, status, detail, seconds))
            print(f"[{i}/{len(chosen)}] {describe(s)}  => {status}{' (' + detail + ')' if detail else ''}"
                  f" {seconds:.0f}s", flush=True)
            if args.report:
                write_report(args, root, results, describe, len(chosen))
    except KeyboardInterrupt:
        print("Interrupted; the scratch file is restored.")
        if s:
            with open(os.path.join(tree, s.path), "w", encoding="utf-8") as f:
                f.write(sources[s.path])

    summary, rate, judged, counts = tally(results)
    print(f"\n{summary}\nKill rate: {rate:.1f} % ({counts['killed'] + counts['timeout']} of {judged} that built "
          f"and differ) in {(time.monotonic() - started) / 60:.0f} min")
    survivors = [r for r in results if r[1] == "survived"]
    if survivors:
        print("Survivors:")
        for s, *_ in survivors:
            print("  " + describe(s))
    if args.report:
        write_report(args, root, results, describe, len(chosen))
    return 0


def tally(results):
    counts = {k: sum(1 for r in results if r[1] == k) for k in ("killed", "timeout", "survived", "no-build", "equivalent")}
    judged = counts["killed"] + counts["timeout"] + counts["survived"]
    rate = 100.0 * (counts["killed"] + counts["timeout"]) / judged if judged else 0.0
    summary = (f"killed {counts['killed']}, timeout {counts['timeout']}, survived {counts['survived']}, "
               f"no-build {counts['no-build']}, equivalent {counts['equivalent']}")
    return summary, rate, judged, counts


def write_report(args, root, results, describe, planned):
    summary, rate, judged, counts = tally(results)
    notes = ""
    if os.path.exists(args.report):
        with open(args.report, encoding="utf-8") as f:
            old = f.read()
        if NOTES_MARK in old:
            notes = old[old.index(NOTES_MARK) + len(NOTES_MARK):].strip("\n")
    commit = args.commit
    cmd = "python3 tools/mutate.py " + " ".join(f"--files '{f}'" for f in args.files)
    cmd += " --all" if args.all else f" --count {args.count} --seed {args.seed}"
    cmd += f" --only {args.only}" if args.only else ""
    cmd += f" --exclude '{args.exclude}'" if args.exclude else ""
    lines = [
        "# Mutation run", "",
        f"`{cmd}` on {commit}{'' if args.head else ' (working tree)'}, {time.strftime('%Y-%m-%d')}.", "",
        f"**Kill rate: {rate:.1f} %** ({counts['killed'] + counts['timeout']} of {judged} mutants that built "
        f"and changed the machine code). {summary}."
        + (f" Partial: {len(results)} of {planned} mutants so far." if len(results) < planned else ""), "",
        "| # | where | operator | original → mutated | result |",
        "| --- | --- | --- | --- | --- |",
    ]
    esc = lambda x: x.replace("|", "\\|").replace("`", "'")
    for i, (s, status, detail, _) in enumerate(results, start=1):
        text = describe(s).split(": ", 1)[1]
        before, after = text.split("  →  ")
        lines.append(f"| {args.numbers[i - 1] if args.only else i} | {s.path}:{s.line} | {s.op} | `{esc(before)}` → `{esc(after)}` | "
                     f"{status}{' (' + detail + ')' if detail else ''} |")
    lines += ["", "## Survivors", ""]
    lines += [f"- {describe(s)}" for s, status, *_ in results if status == "survived"] or ["None."]
    lines += ["", NOTES_MARK, notes, ""]
    with open(args.report, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print(f"Report written to {args.report}")


if __name__ == "__main__":
    sys.exit(main())
