#!/usr/bin/env python3
"""Measures the program's start-up and resident memory beside a bare Qt window, in the same run.

usage: measure-startup.py BUILD_DIR SOURCE_DIR [RUNS] [--where] [--budget MIB RATIO]

An installation of 2000 pupils with 20000 + 20000 records is made from the demo; the program
and the bare window (a list of 2000 rows) are started in turn on a private Xvfb with openbox.
"Ready" is the moment the process last used the processor (its time on the processor from
/proc/PID/schedstat, in nanoseconds, looked at every two milliseconds) before it sat idle for
half a second with its window shown: the program has then listed the menu, the bare window its rows. Resident
memory (VmRSS) is read once it is ready. Prints the medians and their ratios; with --budget, fails
when the program's memory (MiB) or its start-up against the bare window's is over the budget.
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

build, source = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
runs = int(sys.argv[3]) if len(sys.argv) > 3 and sys.argv[3].isdigit() else 10
WHERE = "--where" in sys.argv
BUDGET = (float(sys.argv[sys.argv.index("--budget") + 1]), float(sys.argv[sys.argv.index("--budget") + 2])) \
    if "--budget" in sys.argv else None
IDLE = 0.5


def cpu_ticks(pid):
    with open(f"/proc/{pid}/schedstat") as f:
        return int(f.read().split()[0])


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def shown(pid, env):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], env=env,
                           capture_output=True, text=True)
    return found.returncode == 0 and found.stdout.strip() != ""


def resident_by_mapping(pid):
    """KiB resident per mapping name: [heap], anonymous memory, each file."""
    totals, name = {}, None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            fields = line.split()
            if "-" in fields[0] and len(fields) >= 5 and ":" in fields[3]:
                name = fields[5] if len(fields) > 5 else "(anonymous)"
            elif fields[0] == "Rss:":
                totals[name] = totals.get(name, 0) + int(fields[1])
    return totals


def measure(command, cwd, env, where=False):
    start = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    last_ticks, last_change, visible, looked = -1, start, False, start
    while time.monotonic() - start < 60:
        ticks = cpu_ticks(process.pid)
        now = time.monotonic()
        if ticks != last_ticks:
            last_ticks, last_change = ticks, now
        # Whether the window is shown is asked of the X server now and then: xdotool is a
        # process of its own, and asking every time would take the processor from the program.
        if not visible and now - looked >= 0.05:
            visible, looked = shown(process.pid, env), now
        if visible and now - last_change >= IDLE:
            break
        time.sleep(0.002)
    ready = last_change - start
    rss = rss_kib(process.pid) / 1024
    if where:
        totals = resident_by_mapping(process.pid)
        print(f"where the program's {rss:.1f} MiB are (KiB resident):")
        for name, kib in sorted(totals.items(), key=lambda item: -item[1])[:20]:
            print(f"  {kib:7d}  {name}")
    process.send_signal(signal.SIGTERM)
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
    return ready, rss


def main():
    work = tempfile.mkdtemp(prefix="measure-")
    top = os.path.join(work, "install")
    subprocess.run([sys.executable, os.path.join(source, "tools", "make_big_installation.py"),
                    os.path.join(source, "demo"), top], check=True)
    program_dir = os.path.join(top, "約数ドリル")
    for name in os.listdir(os.path.join(build, "bin")):
        if name == "divisor-drill" or (name.startswith("divisor-drill-") and name.endswith(".so")):
            shutil.copy(os.path.join(build, "bin", name), program_dir)
    shutil.copytree(os.path.join(source, "help"), os.path.join(program_dir, "help"), dirs_exist_ok=True)
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    display = ":" + os.read(read, 16).decode().strip()
    env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy", QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8")
    wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1)
    results = {"program": [], "bare": []}
    try:
        for run in range(runs):
            results["program"].append(
                measure([os.path.join(program_dir, "divisor-drill")], program_dir, env, WHERE and run == 0))
            results["bare"].append(measure([os.path.join(build, "bin", "bare-window")], work, env, WHERE and run == 0))
    finally:
        wm.terminate()
        xvfb.terminate()
        shutil.rmtree(work, ignore_errors=True)
    median = {k: (statistics.median(r for r, _ in v), statistics.median(m for _, m in v)) for k, v in results.items()}
    for name, (ready, rss) in median.items():
        print(f"{name:8} ready {ready * 1000:6.0f} ms   resident {rss:5.1f} MiB   (median of {runs})")
    ratio = median['program'][0] / median['bare'][0]
    print(f"program / bare: start-up {ratio:.2f} x, "
          f"resident {median['program'][1]:.1f} MiB against {median['bare'][1]:.1f} MiB")
    if BUDGET:
        mib, most = BUDGET
        over = [f"resident {median['program'][1]:.1f} MiB over {mib} MiB"] if median['program'][1] > mib else []
        over += [f"start-up {ratio:.2f} x over {most} x"] if ratio > most else []
        print("over budget: " + "; ".join(over) if over else f"within budget ({mib} MiB, {most} x)")
        return 1 if over else 0
    return 0


if __name__ == "__main__":
    sys.exit(main())
