#!/usr/bin/env python3
"""The novrix program as started from a desktop: it starts, loads Standard.488 from its home, and a
SIGTERM closes it as the close button does: the named script and the settings file are written back and
the program ends with status 0. Usage: novrix_app_test.py PATH-TO-NOVRIX"""
import os
import signal
import subprocess
import sys
import tempfile
import time


def wait_for(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def main():
    novrix = sys.argv[1]
    with tempfile.TemporaryDirectory() as home:
        standard = os.path.join(home, "Standard.488")
        with open(standard, "wb") as f:
            f.write(b"program Std;\r\nbegin\r\nend.\r\n")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", NOVRIX_HOME=home,
                   XDG_CONFIG_HOME=os.path.join(home, "config"))
        program = subprocess.Popen([novrix], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        try:
            log = os.path.join(home, "novrix_DebugLog.Txt")
            if not wait_for(lambda: os.path.exists(log), 20):
                print("FAIL: the debug log file was not created at start-up")
                return 1
            time.sleep(1.0)  # the first showing: the warm-up compile and Standard.488
            if program.poll() is not None:
                print("FAIL: novrix ended by itself with status", program.returncode)
                return 1
            program.send_signal(signal.SIGTERM)
            status = program.wait(timeout=20)
        finally:
            if program.poll() is None:
                program.kill()
                program.wait()
        output = program.stdout.read().decode(errors="replace")
        if status != 0:
            print("FAIL: status", status, output)
            return 1
        ini = os.path.join(home, "novrix.ini")
        with open(ini, "rb") as f:
            settings = f.read()
        if b"[General]" not in settings or b"SearchLAN=True" not in settings:
            print("FAIL: the settings file was not written:", settings)
            return 1
        with open(standard, "rb") as f:
            if f.read() != b"program Std;\r\nbegin\r\nend.\r\n":
                print("FAIL: Standard.488 changed")
                return 1
    print("ok: novrix started, and SIGTERM closed it with the settings written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
