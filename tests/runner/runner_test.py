#!/usr/bin/env python3
"""What novrix-run does as a program: Reset by Ctrl+C, the settings written back at exit, a key that can
never come, and a debug run driven by commands on stdin. Each case runs novrix-run in a fresh home."""
import os
import pathlib
import signal
import subprocess
import sys
import tempfile
import time

kRunner = pathlib.Path(sys.argv[1]).resolve()
failures = []


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")
        print(f"FAIL {name}: {detail}")
    else:
        print(f"ok   {name}")


def run(home, script, args=(), stdin=b"", timeout=20):
    path = pathlib.Path(home) / "case.488"
    path.write_text(script)
    env = dict(os.environ, NOVRIX_HOME=home, LC_ALL="C")
    return subprocess.run([str(kRunner), *args, str(path)], input=stdin, capture_output=True, env=env,
                          timeout=timeout)


def interruptedEndlessLoop(home):
    path = pathlib.Path(home) / "loop.488"
    path.write_text("begin\n  NOVRIX_ScreenWriteLn('started');\n  while true do ;\nend.\n")
    env = dict(os.environ, NOVRIX_HOME=home, LC_ALL="C")
    p = subprocess.Popen([str(kRunner), str(path)], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, env=env)
    time.sleep(0.5)
    p.send_signal(signal.SIGINT)
    try:
        out, err = p.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        p.kill()
        out, err = p.communicate()
    check("Ctrl+C ends the run like Reset: a success", p.returncode == 0 and b"Succesfully Execute" in err,
          f"exit {p.returncode}, stderr {err!r}")
    check("output before Ctrl+C is shown", out.startswith(b"started"), repr(out))


def settingsWrittenBack(home):
    r = run(home, "begin\n  NOVRIX_ScreenWriteLn(UserFileName);\n  UserFileName := '/tmp/chosen.txt';\nend.\n")
    ini = (pathlib.Path(home) / "novrix.ini").read_text()
    check("UserFileName defaults to the home's UserFileName.Txt",
          r.stdout.decode().strip() == str(pathlib.Path(home) / "UserFileName.Txt"), repr(r.stdout))
    check("a UserFileName the script assigned is saved at exit", "UserFileName=/tmp/chosen.txt" in ini, ini)
    r = run(home, "begin NOVRIX_ScreenWriteLn(UserFileName); end.")
    check("the next start reads it back", r.stdout.decode().strip() == "/tmp/chosen.txt", repr(r.stdout))


def keyThatNeverComes(home):
    r = run(home, "var c: Char;\nbegin\n  c := NOVRIX_KbdReadKey;\n  NOVRIX_ScreenWriteLn('after');\nend.\n")
    check("ReadKey at the end of the input ends the run as a success", r.returncode == 0, repr(r.stderr))
    check("and says why on stderr", b"input ended" in r.stderr, repr(r.stderr))


def debugRunCommands(home):
    script = "var i: Integer;\nbegin\n  for i := 1 to 2 do\n    WriteLn(i);\n  WriteLn('done');\nend.\n"
    r = run(home, script, ["--break", "4"], stdin=b"c\nc\n")
    err = r.stderr.decode()
    check("a breakpoint pauses every time its line is reached", err.count("paused at line 4") == 2, err)
    check("continue runs to the end", r.stdout.decode() == "1\n2\ndone\n" and r.returncode == 0, repr(r.stdout))
    r = run(home, script, ["--step"], stdin=b"n\nn\nq\n")
    err = r.stderr.decode()
    check("--step pauses at the first line and steps", "paused at line 3" in err and "paused at line 4" in err,
          err)
    check("q stops the run", "done" not in r.stdout.decode(), repr(r.stdout))


def exitStatuses(home):
    check("compile error exits 1", run(home, "begin x := 1; end.").returncode == 1)
    r = run(home, "var i: Integer; begin i := 0; i := 1 div i; end.")
    check("run-time error exits 2 with its line",
          r.returncode == 2 and b"Runtime Error: Division by Zero at [1:31]" in r.stderr, repr(r.stderr))


for case in (interruptedEndlessLoop, settingsWrittenBack, keyThatNeverComes, debugRunCommands, exitStatuses):
    with tempfile.TemporaryDirectory(prefix="novrix-runner-test-") as home:
        case(home)
print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
sys.exit(1 if failures else 0)
