#!/usr/bin/env python3
"""Free Pascal as the oracle for script tests in the common subset of Delphi and Free Pascal.

A script whose first line is `// oracle: fpc` gets its `<case>.expected` from Free Pascal: the script is
compiled with `fpc -Mdelphi` in a temporary folder, run in the script's folder (stdin from `<case>.stdin`
or empty), and its stdout is the expected output.

    fpc_oracle.py check tests/scripts   regenerate into a temporary folder, compare with the committed files
    fpc_oracle.py write tests/scripts   rewrite the committed .expected files

`check` exits 77 (a skip for ctest) when fpc is not installed or no script asks for the oracle.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import dataclasses
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

kMarker = re.compile(r"//\s*oracle:\s*fpc\s*$")
kTimeout = re.compile(r"//\s*timeout:\s*(\S+)\s*$", re.M)
kDefaultTimeout = 10.0
kSkipExitCode = 77
# Delphi keeps real constants in full precision; Free Pascal folds e.g. 2.0/3.0 in single precision
# unless told otherwise.
kPrelude = "{$MINFPCONSTPREC 64}"
kFpcOptions = ["-Mdelphi", "-O1", "-vw-", "-l-"]


def isOracleScript(script: Path) -> bool:
    with open(script, "rb") as f:
        firstLine = f.readline().decode("utf-8", "surrogateescape").rstrip("\r\n")
    return bool(kMarker.match(firstLine))


def oracleScripts(roots: list[Path]) -> list[Path]:
    found: list[Path] = []
    for root in roots:
        if not root.exists():
            raise SystemExit(f"fpc_oracle.py: no such file or folder: {root}")
        candidates = sorted(root.rglob("*.488")) if root.is_dir() else [root]
        found.extend(script for script in candidates if isOracleScript(script))
    return found


@dataclasses.dataclass
class Generated:
    script: Path
    stdout: bytes | None  # None when fpc could not compile or run it
    problem: str = ""


def generate(fpc: str, script: Path, workRoot: Path) -> Generated:
    """Compiles and runs one script under Free Pascal; object files stay in a folder of their own."""
    work = Path(tempfile.mkdtemp(prefix=script.stem + "-", dir=workRoot))
    source = script.read_bytes()
    # The prelude goes on the first line (a comment) so that fpc's line numbers match the script's.
    (work / (script.stem + ".pas")).write_bytes(kPrelude.encode() + source)
    compile_ = subprocess.run(
        [fpc, *kFpcOptions, f"-FU{work}", f"-FE{work}", f"-Fi{script.parent.resolve()}",
         script.stem + ".pas"],
        cwd=work, stdin=subprocess.DEVNULL, capture_output=True)
    executable = work / script.stem
    if compile_.returncode != 0 or not executable.exists():
        output = (compile_.stdout + compile_.stderr).decode("utf-8", "replace")
        return Generated(script, None, "fpc could not compile it:\n" + output)

    timeoutMatch = kTimeout.search(source.decode("utf-8", "surrogateescape"))
    timeout = float(timeoutMatch.group(1)) if timeoutMatch else kDefaultTimeout
    stdinFile = script.with_suffix(".stdin")
    try:
        with open(stdinFile if stdinFile.exists() else os.devnull, "rb") as stdin:
            run = subprocess.run([str(executable)], cwd=script.parent, stdin=stdin, capture_output=True,
                                 timeout=timeout)
    except subprocess.TimeoutExpired:
        return Generated(script, None, f"the fpc build did not finish within {timeout:g} s")
    if run.returncode != 0:
        return Generated(script, None, f"the fpc build exited with status {run.returncode}:\n"
                         + run.stderr.decode("utf-8", "replace"))
    return Generated(script, run.stdout)


def normaliseFinalNewline(data: bytes) -> bytes:
    return data + b"\n" if data and not data.endswith(b"\n") else data


def textDiff(committed: bytes, generated: bytes, name: str) -> str:
    lines = difflib.unified_diff(
        normaliseFinalNewline(committed).decode("utf-8", "replace").splitlines(keepends=True),
        normaliseFinalNewline(generated).decode("utf-8", "replace").splitlines(keepends=True),
        f"{name} (committed)", f"{name} (fpc)")
    return "".join(lines)


def generateAll(fpc: str, scripts: list[Path], jobs: int) -> list[Generated]:
    with tempfile.TemporaryDirectory(prefix="novrix-fpc-oracle-") as workRoot:
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, jobs)) as pool:
            return list(pool.map(lambda script: generate(fpc, script, Path(workRoot)), scripts))


def check(results: list[Generated]) -> int:
    failed = 0
    for result in results:
        expectedFile = result.script.with_suffix(".expected")
        if result.stdout is None:
            problem = result.problem
        elif not expectedFile.exists():
            problem = f"{expectedFile.name} is missing (build the target fpc-expectations)"
        elif normaliseFinalNewline(expectedFile.read_bytes()) != normaliseFinalNewline(result.stdout):
            problem = (f"{expectedFile.name} differs from what fpc prints"
                       " (build the target fpc-expectations)\n"
                       + textDiff(expectedFile.read_bytes(), result.stdout, expectedFile.name))
        else:
            continue
        failed += 1
        print(f"FAIL {result.script}: {problem}")
    print(f"{len(results) - failed} of {len(results)} oracle scripts agree with fpc")
    return 1 if failed else 0


def write(results: list[Generated]) -> int:
    failed = 0
    for result in results:
        if result.stdout is None:
            failed += 1
            print(f"FAIL {result.script}: {result.problem}")
            continue
        expectedFile = result.script.with_suffix(".expected")
        old = expectedFile.read_bytes() if expectedFile.exists() else None
        if old != result.stdout:
            expectedFile.write_bytes(result.stdout)
            print(f"wrote {expectedFile}")
    print(f"{len(results) - failed} of {len(results)} oracle scripts written, {failed} failed")
    return 1 if failed else 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("mode", choices=["check", "write"])
    parser.add_argument("paths", nargs="+", type=Path, help="script folders (searched for *.488) or scripts")
    parser.add_argument("--fpc", help="the Free Pascal compiler (default: fpc on PATH)")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()

    fpc = args.fpc or shutil.which("fpc")
    if not fpc:
        if args.mode == "write":
            print("fpc (Free Pascal) is not installed: no expectations written")
            return 1
        print("SKIPPED: fpc (Free Pascal) is not installed; the oracle scripts were not checked")
        return kSkipExitCode
    scripts = oracleScripts(args.paths)
    if not scripts:
        print("SKIPPED: no script starts with `// oracle: fpc`")
        return kSkipExitCode if args.mode == "check" else 0
    results = generateAll(fpc, scripts, args.jobs)
    return check(results) if args.mode == "check" else write(results)


if __name__ == "__main__":
    sys.exit(main())
