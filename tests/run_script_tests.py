#!/usr/bin/env python3
"""Runs NOVRIX script tests through novrix-run and checks what they print against their expectations.

    run_script_tests.py --novrix PATH tests/scripts/basics/case.488   one test (what ctest runs)
    run_script_tests.py --novrix PATH tests/scripts [more paths ...]   every *.488 below, then a summary

A test is `<area>/<case>.488`. Its expectations, as comments in the script:
    // expect: TEXT                     next stdout line (exact; nothing after the colon: an empty line)
    // expect error(ROW:COL): TEXT      exit status 1, stderr has `[Error] <case>.488(ROW:COL): TEXT`
    // expect warning(ROW:COL): TEXT    stderr has `[Warning] ...` (exit status not implied)
    // expect hint(ROW:COL): TEXT       stderr has `[Hint] ...`
    // expect runtime error: TEXT       exit status 2, stderr has `Runtime Error: TEXT at [...`
    // expect runtime error(R:C): TEXT  ... and `at [R:C]`
    // timeout: N                       seconds before the run is killed (default 10)
The position may be left out of error/warning/hint (`// expect error: TEXT`): any position then matches.
Without an error expectation the run must exit 0 and report `Succesfully Execute` on stderr.
Beside the script, `<case>.expected` (whole stdout, instead of `// expect:` lines) and `<case>.stdin`
(keyboard input; otherwise stdin is empty) are optional.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import dataclasses
import difflib
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
from pathlib import Path

kDefaultTimeout = 10.0
kSuccessLine = "Succesfully Execute"
kSanitizerExitCode = 86
kEncoding = ("utf-8", "surrogateescape")  # scripts and output are byte strings; keep every byte

kExpectOutput = re.compile(r"//\s*expect:(.*)$")
kExpectDiagnostic = re.compile(r"//\s*expect\s+(error|warning|hint)\s*(?:\((\d+):(\d+)\))?:(.*)$")
kExpectRuntime = re.compile(r"//\s*expect\s+runtime\s+error\s*(?:\((\d+):(\d+)\))?:(.*)$")
kTimeout = re.compile(r"//\s*timeout:\s*(\S+)\s*$")
# Looks like an expectation but matches no form above: a typo that would otherwise check nothing.
kExpectLike = re.compile(r"//\s*expect\w*(?:\s+\w+){0,2}\s*(?:\([^)]*\))?\s*:", re.IGNORECASE)
kSanitizerReport = re.compile(r"ERROR: (?:Address|Leak|Undefined)Sanitizer|^\S+:\d+:\d+: runtime error: ",
                              re.M)


class TestDefinitionError(Exception):
    """The script's expectations are contradictory or malformed."""


def dropOneSpace(text: str) -> str:
    return text[1:] if text.startswith(" ") else text


@dataclasses.dataclass
class ExpectedDiagnostic:
    kind: str  # "Error", "Warning" or "Hint", as the compiler prints it
    row: int | None
    col: int | None
    text: str

    def describe(self, fileName: str) -> str:
        where = f"{self.row}:{self.col}" if self.row is not None else "*:*"
        return f"[{self.kind}] {fileName}({where}): {self.text}"

    def foundIn(self, fileName: str, stderrLines: list[str]) -> bool:
        if self.row is not None:
            return self.describe(fileName) in stderrLines
        prefix, suffix = re.escape(f"[{self.kind}] {fileName}("), re.escape(f"): {self.text}")
        pattern = re.compile(prefix + r"\d+:\d+" + suffix)
        return any(pattern.fullmatch(line) for line in stderrLines)


@dataclasses.dataclass
class ExpectedRuntimeError:
    text: str
    row: int | None
    col: int | None

    def prefix(self) -> str:
        where = f"{self.row}:{self.col}]" if self.row is not None else ""
        return f"Runtime Error: {self.text} at [{where}"


@dataclasses.dataclass
class Expectations:
    stdout: str
    diagnostics: list[ExpectedDiagnostic]
    runtimeError: ExpectedRuntimeError | None
    timeout: float
    stdinFile: Path | None

    @property
    def exitStatus(self) -> int:
        if any(d.kind == "Error" for d in self.diagnostics):
            return 1
        return 2 if self.runtimeError else 0


def decode(data: bytes) -> str:
    return data.decode(*kEncoding)


def normaliseFinalNewline(text: str) -> str:
    return text + "\n" if text and not text.endswith("\n") else text


def parseExpectations(script: Path) -> Expectations:
    outputLines: list[str] = []
    diagnostics: list[ExpectedDiagnostic] = []
    runtimeErrors: list[ExpectedRuntimeError] = []
    timeout = kDefaultTimeout
    for number, line in enumerate(decode(script.read_bytes()).split("\n"), start=1):
        line = line.removesuffix("\r")
        if m := kExpectOutput.search(line):
            outputLines.append(dropOneSpace(m.group(1)))
        elif m := kExpectRuntime.search(line):
            row, col = (int(m.group(1)), int(m.group(2))) if m.group(1) else (None, None)
            runtimeErrors.append(ExpectedRuntimeError(dropOneSpace(m.group(3)).rstrip(), row, col))
        elif m := kExpectDiagnostic.search(line):
            row, col = (int(m.group(2)), int(m.group(3))) if m.group(2) else (None, None)
            text = dropOneSpace(m.group(4)).rstrip()
            diagnostics.append(ExpectedDiagnostic(m.group(1).capitalize(), row, col, text))
        elif m := kTimeout.search(line):
            try:
                timeout = float(m.group(1))
            except ValueError:
                raise TestDefinitionError(f"line {number}: bad time-out {m.group(1)!r}") from None
        elif kExpectLike.search(line):
            raise TestDefinitionError(f"line {number}: unrecognised expectation: {line.strip()}")

    if len(runtimeErrors) > 1:
        raise TestDefinitionError("more than one `// expect runtime error`")
    runtimeError = runtimeErrors[0] if runtimeErrors else None
    if runtimeError and any(d.kind == "Error" for d in diagnostics):
        raise TestDefinitionError("a script cannot expect both a compile error and a run-time error")

    expectedFile = script.with_suffix(".expected")
    if expectedFile.exists():
        if outputLines:
            raise TestDefinitionError(f"both `// expect:` lines and {expectedFile.name}; keep one")
        stdout = normaliseFinalNewline(decode(expectedFile.read_bytes()))
    else:
        stdout = "".join(line + "\n" for line in outputLines)

    stdinFile = script.with_suffix(".stdin")
    return Expectations(stdout, diagnostics, runtimeError, timeout, stdinFile if stdinFile.exists() else None)


@dataclasses.dataclass
class RunResult:
    exitStatus: int | None  # None: killed after the time-out
    stdout: str
    stderr: str


def childEnvironment(home: str) -> dict[str, str]:
    env = dict(os.environ)
    env["NOVRIX_HOME"] = home  # a run never reads or writes the developer's own settings
    # Scripts see the C locale unless a test asks for another: decimal point '.', no currency symbol.
    env["LC_ALL"] = "C"
    env.pop("LANG", None)
    # A sanitizer failure must not pass for a compile error (both would exit 1).
    for name, extra in (("ASAN_OPTIONS", ""), ("UBSAN_OPTIONS", ":print_stacktrace=1")):
        if "exitcode=" not in env.get(name, ""):
            env[name] = ":".join(filter(None, [env.get(name, ""), f"exitcode={kSanitizerExitCode}{extra}"]))
    return env


def runScript(novrix: Path, script: Path, expect: Expectations, timeoutScale: float) -> RunResult:
    with tempfile.TemporaryDirectory(prefix="novrix-test-home-") as home:
        stdin = open(expect.stdinFile, "rb") if expect.stdinFile else subprocess.DEVNULL
        try:
            process = subprocess.Popen(
                [str(novrix), script.name], cwd=script.parent, stdin=stdin, stdout=subprocess.PIPE,
                stderr=subprocess.PIPE, env=childEnvironment(home), start_new_session=True)
            try:
                out, err = process.communicate(timeout=expect.timeout * timeoutScale)
                status: int | None = process.returncode
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)  # the whole group, children included
                out, err = process.communicate()
                status = None
        finally:
            if expect.stdinFile:
                stdin.close()
    return RunResult(status, decode(out), decode(err))


def checkRun(script: Path, expect: Expectations, run: RunResult, timeoutScale: float) -> list[str]:
    """Returns what is wrong with the run, one line each; empty when the test passes."""
    problems: list[str] = []
    if run.exitStatus is None:
        return [f"killed after the time-out of {expect.timeout * timeoutScale:g} s"]
    if kSanitizerReport.search(run.stderr):
        problems.append("sanitizer report on stderr")
    if run.exitStatus < 0:
        problems.append(f"killed by signal {-run.exitStatus}")
    elif run.exitStatus != expect.exitStatus:
        problems.append(f"exit status {run.exitStatus}, expected {expect.exitStatus}")

    stderrLines = [line.removesuffix("\r") for line in run.stderr.split("\n")]
    for diagnostic in expect.diagnostics:
        if not diagnostic.foundIn(script.name, stderrLines):
            problems.append(f"missing on stderr: {diagnostic.describe(script.name)}")
    if expect.runtimeError:
        if not any(line.startswith(expect.runtimeError.prefix()) for line in stderrLines):
            problems.append(f"missing on stderr: a line starting with {expect.runtimeError.prefix()!r}")
    elif expect.exitStatus == 0 and not any(line.startswith(kSuccessLine) for line in stderrLines):
        problems.append(f"missing on stderr: {kSuccessLine}")

    if normaliseFinalNewline(run.stdout) != expect.stdout:
        problems.append("stdout differs from the expected output")
    return problems


def stdoutDiff(expected: str, actual: str) -> str:
    lines = difflib.unified_diff(expected.splitlines(keepends=True),
                                 normaliseFinalNewline(actual).splitlines(keepends=True),
                                 "expected stdout", "actual stdout")
    return "".join(line if line.endswith("\n") else line + "\n" for line in lines)


@dataclasses.dataclass
class Outcome:
    script: Path
    passed: bool
    report: str


def runTest(novrix: Path, script: Path, timeoutScale: float) -> Outcome:
    try:
        expect = parseExpectations(script)
    except (TestDefinitionError, OSError) as error:
        return Outcome(script, False, f"FAIL {script}\n  bad test: {error}\n")
    if not (novrix.is_file() and os.access(novrix, os.X_OK)):
        return Outcome(script, False, f"FAIL {script}\n  novrix-run not built: no executable at {novrix}\n")
    run = runScript(novrix, script, expect, timeoutScale)
    problems = checkRun(script, expect, run, timeoutScale)
    if not problems:
        return Outcome(script, True, f"PASS {script}\n")
    report = [f"FAIL {script}\n"] + [f"  - {problem}\n" for problem in problems]
    if normaliseFinalNewline(run.stdout) != expect.stdout:
        report.append(stdoutDiff(expect.stdout, run.stdout))
    report.append("--- stderr ---\n" + (normaliseFinalNewline(run.stderr) or "(empty)\n"))
    return Outcome(script, False, "".join(report))


def collectScripts(paths: list[Path]) -> list[Path]:
    scripts: list[Path] = []
    for path in paths:
        if path.is_dir():
            scripts.extend(sorted(path.rglob("*.488")))
        elif path.is_file():
            scripts.append(path)
        else:
            raise SystemExit(f"run_script_tests.py: no such file or folder: {path}")
    return scripts


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("paths", nargs="+", type=Path, help="script files or folders to search for *.488")
    parser.add_argument("--novrix", type=Path, help="the novrix-run executable (default: novrix-run on PATH)")
    parser.add_argument("--timeout-scale", type=float, default=1.0,
                        help="multiply every time-out (slow builds, e.g. sanitizers)")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1, help="tests run at once")
    parser.add_argument("-v", "--verbose", action="store_true", help="also list passing tests")
    args = parser.parse_args()

    novrix = args.novrix or Path(shutil.which("novrix-run") or "novrix-run")
    novrix = novrix.resolve()
    scripts = collectScripts(args.paths)
    single = len(scripts) == 1 and args.paths[0].is_file()

    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = [pool.submit(runTest, novrix, script, args.timeout_scale) for script in scripts]
        for future in futures:
            outcome = future.result()
            failed += not outcome.passed
            if not outcome.passed or args.verbose or single:
                sys.stdout.write(outcome.report)
                sys.stdout.flush()
    if not single:
        print(f"{len(scripts) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
