#!/usr/bin/env python3
"""Mutation testing: how many one-line changes to the game's code the tests catch.

Each mutant changes one token on one line of a .cpp file (headers with
--headers), rebuilds the tests in a build directory of its own and runs the
fast tests through CTest, stopping at the first failure. The file is restored
byte for byte after each mutant, also on Ctrl-C, SIGTERM or SIGHUP; after a
SIGKILL the next run restores it from the copy kept in the build directory.

What it changes, one token at a time:
  numbers      integers 0 -> 1, 1 -> 0, n -> n+1; floats x -> 1.25x (0 -> 1.0);
               a unary minus dropped, a float's sign flipped
  comparisons  < <=, > >=, == != swapped with their neighbour
  arithmetic   + -, * / swapped (also += -=, *= /=)
  logic        ! dropped, an if/while condition negated, && || swapped
Operators count only with a space on both sides (the code's style), which
keeps out templates, pointers, references and unary operators.
What it leaves alone: comments, preprocessor lines (#include, #define...),
static_assert and assert (compiled out in RelWithDebInfo), the contents of
string and character literals, so log and message text, and array sizes in
declarations (a smaller size does not compile, a larger one changes nothing).

A mutant is caught when a test fails or the tests hang past the timeout
(reported as "timeout", counted as caught), or when the build fails after
compiling (the campaign's missions are built by kvxtool); it survives when
every test passes. One that does not compile is counted apart, and so is a
file the tests do not build (e.g. main_game.cpp).
"""
import argparse
import base64
import json
import os
import random
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

SIGNALS = (signal.SIGINT, signal.SIGTERM, signal.SIGHUP)
DEFAULT_EXCLUDE = "CampaignSim|PlaySoak|Kvxtool|Campaign|mutate_list"  # slow, external, or not the game
CONFIGURE = ["-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DKORVANE_WINDOWS=OFF", "-DKORVANE_BENCH=OFF"]
SWAP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "==",
        "+": "-", "-": "+", "*": "/", "/": "*", "+=": "-=", "-=": "+=", "*=": "/=", "/=": "*=",
        "&&": "||", "||": "&&"}
COMPARE = {"<", "<=", ">", ">=", "==", "!="}
OPERATOR = re.compile(r"(?<=\s)(<=|>=|==|!=|\+=|-=|\*=|/=|&&|\|\||<|>|\+|-|\*|/)(?=\s)")
NUMBER = re.compile(r"(?<![\w.])(0[xX][0-9a-fA-F]+|\d+\.\d*(?:[eE][+-]?\d+)?|\.\d+(?:[eE][+-]?\d+)?"
                    r"|\d+[eE][+-]?\d+|\d+)([fFuUlL]*)(?![\w.])")
INTEGER = r"\d+|0[xX][0-9a-fA-F]+"
UNARY_MINUS = re.compile(r"(?:^|[(\[{,=?:]|\breturn)\s*-\s*$")
# "type name[" at a declaration; the numbers between its brackets are a size.
ARRAY_DECL = re.compile(r"(?<![\w.>])(?!(?:return|case|else|delete|throw)\b)[A-Za-z_][\w:<>]*[\s*&]+"
                        r"[A-Za-z_]\w*\s*\[([^\]]*)\]")
# A condition that declares its variable: "if (const char c = ...)".
DECLARATION = re.compile(r"\s*(?:const\s+)?[\w:<>]+[\s*&]+\w+\s*=(?!=)")
SKIP_LINE = re.compile(r"^\s*(static_assert|assert)\s*\(")


class Interrupted(Exception):
    pass


def blank_code(line, in_comment):
    """The line with comments and literals' contents replaced by spaces (columns
    kept), and whether a block comment is still open at its end."""
    out, i, n = [], 0, len(line)
    while i < n:
        if in_comment:
            end = line.find("*/", i)
            stop = n if end < 0 else end + 2
            out.append(" " * (stop - i))
            in_comment, i = end < 0, stop
        elif line.startswith("//", i):
            out.append(" " * (n - i))
            break
        elif line.startswith("/*", i):
            out.append("  ")
            in_comment, i = True, i + 2
        elif line[i] in "\"'":
            j = i + 1
            while j < n and line[j] != line[i]:
                j += 2 if line[j] == "\\" else 1
            if j >= n:  # not closed on this line
                out.append(line[i] + " " * (n - i - 1))
                break
            out.append(line[i] + " " * (j - i - 1) + line[j])
            i = j + 1
        else:
            out.append(line[i])
            i += 1
    return "".join(out), in_comment


def nudged(text):
    """The literal `text` nudged: integers 0 -> 1, 1 -> 0, n -> n+1; floats x -> 1.25x."""
    if re.fullmatch(INTEGER, text):
        base = 16 if text[:2].lower() == "0x" else 8 if text[0] == "0" and len(text) > 1 else 10
        value = int(text, base)
        new = {0: 1, 1: 0}.get(value, value + 1)
        return {16: hex, 8: lambda v: "0%o" % v, 10: str}[base](new)
    value = float(text)
    new = "%g" % (value * 1.25) if value else "1.0"
    return new if re.search(r"[.e]", new) else new + ".0"


def closing(code, start):
    """The index of the parenthesis closing the one at `start`, -1 if not on the line."""
    depth = 0
    for i in range(start, len(code)):
        depth += {"(": 1, ")": -1}.get(code[i], 0)
        if depth == 0:
            return i
    return -1


def negated(condition):
    """Whether the whole condition is one negation: "!x" or "!(x < y)"."""
    rest = condition.lstrip()
    if not rest.startswith("!"):
        return False
    rest = rest[1:].lstrip()
    whole = rest.startswith("(") and closing(rest, 0) == len(rest.rstrip()) - 1
    return whole or not OPERATOR.search(rest)


def mutations(line, code):
    """Every one-token change of `line`, as (kind, changed line)."""
    sizes = set()
    for decl in ARRAY_DECL.finditer(code):
        sizes.update(range(decl.start(1), decl.end(1)))
    found = []
    for m in NUMBER.finditer(code):
        if m.start() in sizes:
            continue
        found.append(("number", line[:m.start()] + nudged(m.group(1)) + m.group(2) + line[m.end():]))
        if UNARY_MINUS.search(code[:m.start()]):  # -x -> x
            dash = code.rindex("-", 0, m.start())
            found.append(("sign", line[:dash] + line[dash + 1:]))
        elif not re.fullmatch(INTEGER, m.group(1)) and not re.search(r"[-+]\s*$", code[:m.start()]):
            # x -> -x: floats only (integers are mostly counts and indices), and
            # not after a binary + or -, whose swap does the same
            found.append(("sign", line[:m.start()] + "-" + line[m.start():]))
    for m in OPERATOR.finditer(code):
        op = m.group(1)
        if op in "+-" and (code[:m.start()].rstrip().endswith('"') or code[m.end():].lstrip()[:1] == '"'):
            continue  # joins text: - does not compile
        kind = "logic" if op in ("&&", "||") else "compare" if op in COMPARE else "arith"
        found.append((kind, line[:m.start()] + SWAP[op] + line[m.end():]))
    for m in re.finditer(r"!(?!=)", code):
        found.append(("logic", line[:m.start()] + line[m.end():]))
    for m in re.finditer(r"\b(?:if|while)\s*\(", code):
        end = closing(code, m.end() - 1)
        condition = code[m.end():end]
        if end < 0 or DECLARATION.match(condition) or negated(condition):
            continue  # not closed on this line, declares a variable, or the same as dropping its !
        found.append(("logic", line[:m.end()] + "!(" + line[m.end():end] + ")" + line[end:]))
    return found


def candidates(root, rel):
    """Every mutant of one source file: dicts with file, line, kind, old, new."""
    text = (root / rel).read_text(encoding="utf-8", errors="surrogateescape")
    result, in_comment, continued = [], False, False
    for number, line in enumerate(text.splitlines(), 1):
        code, in_comment = blank_code(line, in_comment)
        directive = continued or code.lstrip().startswith("#")
        continued = directive and line.endswith("\\")
        if directive or SKIP_LINE.match(code):
            continue
        for kind, new in mutations(line, code):
            result.append({"file": rel, "line": number, "kind": kind, "old": line, "new": new})
    return result


def sources(root, folders, headers):
    exts = (".cpp", ".h") if headers else (".cpp",)
    for folder in folders:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix in exts and path.is_file():
                yield path.relative_to(root).as_posix()


def run(cmd, timeout):
    """(return code or None on timeout, output); the whole process group is
    killed on timeout or when a signal interrupts the wait."""
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            text=True, errors="replace", start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out
    except BaseException as e:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        out, _ = proc.communicate()
        if isinstance(e, subprocess.TimeoutExpired):
            return None, out
        raise


class Runner:
    def __init__(self, args):
        self.args, self.root, self.build = args, args.source, args.build
        self.guard = self.build / "mutate-original.json"

    def restore_leftover(self):
        if self.guard.exists():
            saved = json.loads(self.guard.read_text())
            (self.root / saved["file"]).write_bytes(base64.b64decode(saved["bytes"]))
            print(f"restored {saved['file']} left mutated by an earlier run", file=sys.stderr)
            self.guard.unlink()

    def build_tests(self):
        code, out = run(["cmake", "--build", str(self.build), "-j", str(self.args.jobs),
                         "--target", "korvane_tests"], 1800)
        return code, out

    def ctest(self, timeout):
        cmd = ["ctest", "--test-dir", str(self.build), "-j", str(self.args.jobs), "--stop-on-failure",
               "--no-tests=error", "--timeout", str(int(timeout)), "-LE", "^windows?$",
               "-E", self.args.exclude]
        if self.args.tests:
            cmd += ["-R", self.args.tests]
        code, out = run(cmd, timeout + 5)  # ctest's own timeout names the test that hung
        failed = re.findall(r"^\s*\d+ - (\S+) \((.+)\)$", out, re.M)
        return code, out, failed

    def prepare(self):
        """Configure if needed, build, and time the unchanged tests (they must pass)."""
        if not (self.build / "CMakeCache.txt").exists():
            code, out = run(["cmake", "-S", str(self.root), "-B", str(self.build)] + CONFIGURE, 600)
            if code != 0:
                sys.exit(out + "\nconfiguring the build failed")
        code, out = self.build_tests()
        if code != 0:
            sys.exit(out[-4000:] + "\nthe unchanged tree does not build")
        start = time.monotonic()
        code, out, failed = self.ctest(3600)
        if code != 0:
            sys.exit(out[-4000:] + "\nthe unchanged tree fails its tests; nothing to measure")
        took = time.monotonic() - start
        print(f"tests of the unchanged tree: {took:.1f} s", flush=True)
        return self.args.timeout or max(60.0, 4 * took)

    def try_mutant(self, mutant, timeout):
        """(status, detail) with the mutant in place; the file is restored after."""
        path = self.root / mutant["file"]
        original = path.read_bytes()
        lines = original.decode("utf-8", "surrogateescape").splitlines(keepends=True)
        old = lines[mutant["line"] - 1]
        lines[mutant["line"] - 1] = mutant["new"] + old[len(old.rstrip("\r\n")):]
        self.guard.write_text(json.dumps({"file": mutant["file"],
                                          "bytes": base64.b64encode(original).decode()}))
        try:
            path.write_bytes("".join(lines).encode("utf-8", "surrogateescape"))
            code, out = self.build_tests()
            if code != 0:
                if re.search(r"error:|undefined reference", out):
                    return "nocompile", "-"
                return "caught", "build"
            # This file's own object: the build also recompiles the file the
            # mutant before restored, which says nothing of this one.
            if not re.search(r"Building CXX object \S*/" + re.escape(Path(mutant["file"]).name) + r"\.o\b", out):
                return "notbuilt", "-"
            code, out, failed = self.ctest(timeout)
            if code is None:
                return "timeout", "whole run"
            if failed:
                name, why = failed[0]
                return ("timeout" if "Timeout" in why else "caught"), name
            return ("survived", "-") if code == 0 else ("caught", "ctest")
        finally:
            # A second Ctrl-C must not cut the restoring write short.
            blocked = signal.pthread_sigmask(signal.SIG_BLOCK, SIGNALS)
            path.write_bytes(original)
            self.guard.unlink()
            signal.pthread_sigmask(signal.SIG_SETMASK, blocked)


def pick(root, args):
    chosen = []
    for rel in sources(root, args.folders, args.headers):
        found = candidates(root, rel)
        if args.per_file and len(found) > args.per_file:
            rng = random.Random(f"{args.seed}:{rel}")  # a file's sample does not depend on others
            found = sorted(rng.sample(found, args.per_file), key=lambda m: m["line"])
        chosen += found
    return chosen


COLUMNS = ["caught", "timeout", "survived", "nocompile", "notbuilt"]


def summary(results):
    def table(title, key):
        groups = {}
        for r in results:
            counts = groups.setdefault(key(r), dict.fromkeys(COLUMNS, 0))
            counts[r["status"]] += 1
        print(f"\n{title:<32} mutants caught (timeout) survived nocompile notbuilt  caught%")
        for name, c in sorted(groups.items()):
            tried = c["caught"] + c["timeout"] + c["survived"]
            pct = f"{100 * (c['caught'] + c['timeout']) / tried:.0f}%" if tried else "-"
            print(f"{name:<32} {sum(c.values()):7} {c['caught'] + c['timeout']:6} {c['timeout']:9}"
                  f" {c['survived']:8} {c['nocompile']:9} {c['notbuilt']:8} {pct:>8}")
    table("file", lambda r: r["file"])
    table("folder", lambda r: os.path.dirname(r["file"]))
    survivors = [r for r in results if r["status"] == "survived"]
    print(f"\nsurvivors ({len(survivors)}):")
    for r in survivors:
        print(f"{r['file']}:{r['line']} [{r['kind']}]\n  - {r['old'].strip()}\n  + {r['new'].strip()}")


def main():
    here = Path(__file__).resolve().parent.parent
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folders", nargs="+", help="folders of the source tree to mutate, e.g. src/sim")
    parser.add_argument("--source", type=Path, default=here, help="source tree (default: this repository)")
    parser.add_argument("--build", type=Path, help="build directory (default: SOURCE/build-mutate)")
    parser.add_argument("--per-file", type=int, default=0, metavar="N", help="sample N mutants per file (default: all)")
    parser.add_argument("--seed", type=int, default=1, help="seed of the sample (default 1)")
    parser.add_argument("--list", action="store_true", help="print the mutants and run nothing")
    parser.add_argument("--tests", metavar="REGEX", help="run only the tests matching REGEX (ctest -R)")
    parser.add_argument("--exclude", metavar="REGEX", default=DEFAULT_EXCLUDE,
                        help=f"tests left out (ctest -E; default {DEFAULT_EXCLUDE}); labels window(s) always are")
    parser.add_argument("--timeout", type=float,
                        help="seconds a mutant's tests may take (default: 4x the unchanged run, at least 60)")
    parser.add_argument("--jobs", type=int, default=2, help="parallel build and test jobs (default 2)")
    parser.add_argument("--headers", action="store_true", help="mutate .h files too (each rebuilds much)")
    parser.add_argument("--out", type=Path, help="results as TSV (default: BUILD/mutants.tsv)")
    args = parser.parse_args()
    args.source = args.source.resolve()
    args.build = (args.build or args.source / "build-mutate").resolve()
    mutants = pick(args.source, args)
    if args.list:
        for m in mutants:
            print(f"{m['file']}:{m['line']} [{m['kind']}]\n  - {m['old'].strip()}\n  + {m['new'].strip()}")
        print(f"{len(mutants)} mutants")
        return
    def interrupt(signum, frame):
        raise Interrupted(signal.Signals(signum).name)
    for s in SIGNALS:
        signal.signal(s, interrupt)
    runner = Runner(args)
    args.build.mkdir(parents=True, exist_ok=True)
    runner.restore_leftover()
    results, out_path = [], args.out or args.build / "mutants.tsv"
    try:
        timeout = runner.prepare()
        with open(out_path, "w") as tsv:
            tsv.write("file\tline\tkind\tstatus\tdetail\tseconds\told\tnew\n")
            for i, m in enumerate(mutants, 1):
                start = time.monotonic()
                m["status"], m["detail"] = runner.try_mutant(m, timeout)
                took = time.monotonic() - start
                results.append(m)
                cells = [m["file"], m["line"], m["kind"], m["status"], m["detail"], f"{took:.1f}",
                         m["old"].strip(), m["new"].strip()]
                tsv.write("\t".join(str(c).replace("\t", " ") for c in cells) + "\n")
                tsv.flush()
                print(f"[{i}/{len(mutants)}] {m['file']}:{m['line']} {m['kind']}: {m['status']}"
                      f" {m['detail'] if m['detail'] != '-' else ''} ({took:.0f} s)", flush=True)
    except Interrupted as e:
        print(f"\ninterrupted by {e}; the file is restored, results so far:", file=sys.stderr)
    summary(results)
    print(f"\nresults: {out_path}")


if __name__ == "__main__":
    main()
