#!/usr/bin/env python3
"""Times each benchmark under novrix-run, Lua 5.4 and Python 3 and prints the medians side by side.

Every benchmark is three programs (`NAME.488`, `NAME.lua`, `NAME.py`) that print the same checksum. The
three are run interleaved (novrix, lua, python, novrix, ...) so that a change in machine load hits all
of them alike. Exits 1 when an implementation fails or the checksums disagree.
"""

from __future__ import annotations

import argparse
import collections
import dataclasses
import math
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

kBenchDir = Path(__file__).resolve().parent
kDefaultNovrix = kBenchDir.parent / "build" / "apps" / "novrix-run"


@dataclasses.dataclass
class Implementation:
    name: str
    extension: str
    command: list[str]  # the program file is appended
    times: list[float] = dataclasses.field(default_factory=list)
    checksum: str | None = None
    failure: str | None = None

    def reset(self) -> None:
        self.times, self.checksum, self.failure = [], None, None

    def median(self) -> float | None:
        return statistics.median(self.times) if self.failure is None and self.times else None


def runOnce(implementation: Implementation, program: Path, timeout: float, env: dict[str, str]) -> None:
    if not program.exists():
        implementation.failure = f"{program.name} is missing"
        return
    start = time.perf_counter()
    try:
        result = subprocess.run(implementation.command + [program.name], cwd=program.parent, env=env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
    except FileNotFoundError:
        implementation.failure = f"{implementation.command[0]} not found"
        return
    except subprocess.TimeoutExpired:
        implementation.failure = f"no result within {timeout:g} s"
        return
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        lastLine = (result.stderr.decode("utf-8", "replace").strip().splitlines() or ["no message"])[-1]
        implementation.failure = f"exit status {result.returncode}: {lastLine}"
        return
    checksum = result.stdout.decode("utf-8", "replace").strip()
    if implementation.checksum is not None and checksum != implementation.checksum:
        implementation.failure = f"printed {checksum!r} after {implementation.checksum!r} in an earlier run"
        return
    implementation.checksum = checksum
    implementation.times.append(elapsed)


@dataclasses.dataclass
class Row:
    benchmark: str
    seconds: dict[str, float | None]  # per implementation; None: failed
    problems: list[str]


def ratio(numerator: float | None, denominator: float | None) -> float | None:
    return numerator / denominator if numerator is not None and denominator else None


def runBenchmark(name: str, implementations: list[Implementation], runs: int, timeout: float,
                 env: dict[str, str]) -> Row:
    for implementation in implementations:
        implementation.reset()
    for _ in range(runs):
        for implementation in implementations:
            if implementation.failure is None:
                runOnce(implementation, kBenchDir / f"{name}.{implementation.extension}", timeout, env)
    rejectWrongChecksums([i for i in implementations if i.failure is None])
    problems = [f"{name}: {i.name} failed: {i.failure}" for i in implementations if i.failure]
    return Row(name, {i.name: i.median() for i in implementations}, problems)


def rejectWrongChecksums(succeeded: list[Implementation]) -> None:
    """Marks as failed whatever disagrees with the majority (all of them when there is none)."""
    counts = collections.Counter(i.checksum for i in succeeded)
    if len(counts) < 2:
        return
    agreed, votes = counts.most_common(1)[0]
    for implementation in succeeded:
        if votes < 2 or implementation.checksum != agreed:
            others = ", ".join(f"{i.name} {i.checksum}" for i in succeeded if i is not implementation)
            implementation.failure = f"checksum {implementation.checksum} disagrees ({others})"


def geometricMean(values: list[float | None]) -> float | None:
    present = [v for v in values if v is not None and v > 0]
    return math.exp(sum(math.log(v) for v in present) / len(present)) if present else None


kHeaders = ["benchmark", "novrix s", "lua s", "python s", "novrix/lua", "python/novrix"]


def tableCells(rows: list[Row]) -> list[list[str]]:
    def cell(value: float | None, digits: int) -> str:
        return "failed" if value is None else f"{value:.{digits}f}"

    lines: list[list[float | None]] = []
    for row in rows:
        n, lua, py = row.seconds["novrix"], row.seconds["lua"], row.seconds["python"]
        lines.append([n, lua, py, ratio(n, lua), ratio(py, n)])
    cells = [[row.benchmark] + [cell(v, 3 if c < 3 else 2) for c, v in enumerate(line)]
             for row, line in zip(rows, lines)]
    means = [geometricMean([line[c] for line in lines]) for c in range(5)]
    cells.append(["geometric mean"] + [cell(v, 3 if c < 3 else 2) for c, v in enumerate(means)])
    return cells


def formatPlain(cells: list[list[str]]) -> str:
    widths = [max(len(row[c]) for row in [kHeaders] + cells) for c in range(len(kHeaders))]
    def line(row: list[str]) -> str:
        cells = [text.ljust(widths[c]) if c == 0 else text.rjust(widths[c]) for c, text in enumerate(row)]
        return "  ".join(cells)
    return "\n".join([line(kHeaders), "  ".join("-" * w for w in widths)] + [line(row) for row in cells])


def formatMarkdown(cells: list[list[str]]) -> str:
    lines = ["| " + " | ".join(kHeaders) + " |", "|---" + "|---:" * (len(kHeaders) - 1) + "|"]
    return "\n".join(lines + ["| " + " | ".join(row) + " |" for row in cells])


def benchmarkNames(only: list[str]) -> list[str]:
    names = sorted(p.stem for p in kBenchDir.glob("*.488"))
    unknown = sorted(set(only) - set(names))
    if unknown:
        raise SystemExit(f"run.py: no such benchmark: {', '.join(unknown)} (have: {', '.join(names)})")
    return [n for n in names if n in only] if only else names


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--runs", type=int, default=5, help="runs of each program (default 5); medians shown")
    parser.add_argument("--novrix", type=Path, default=kDefaultNovrix,
                        help=f"novrix-run (default {kDefaultNovrix})")
    parser.add_argument("--lua", default="lua5.4", help="Lua 5.4 interpreter (default lua5.4)")
    parser.add_argument("--python", default=sys.executable,
                        help="Python 3 interpreter (default: the one running this script)")
    parser.add_argument("--timeout", type=float, default=120.0, help="seconds before a run counts as failed")
    parser.add_argument("--markdown", action="store_true", help="print the table as Markdown")
    parser.add_argument("--novrix-arg", action="append", default=[],
                        help="extra argument for novrix-run, e.g. --novrix-arg=--break=1000 (repeatable)")
    parser.add_argument("only", nargs="*", help="benchmarks to run (default: all)")
    args = parser.parse_args()

    implementations = [
        Implementation("novrix", "488", [str(args.novrix.resolve()), *args.novrix_arg]),
        Implementation("lua", "lua", [args.lua]),
        Implementation("python", "py", [args.python]),
    ]
    rows: list[Row] = []
    with tempfile.TemporaryDirectory(prefix="novrix-bench-home-") as home:
        env = dict(os.environ, NOVRIX_HOME=home)  # keep the runs away from the user's own settings
        for name in benchmarkNames(args.only):
            print(f"running {name} ({args.runs} runs each) ...", file=sys.stderr, flush=True)
            rows.append(runBenchmark(name, implementations, max(1, args.runs), args.timeout, env))

    cells = tableCells(rows)
    print(formatMarkdown(cells) if args.markdown else formatPlain(cells))
    problems = [problem for row in rows for problem in row.problems]
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
