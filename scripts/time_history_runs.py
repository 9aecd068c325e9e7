#!/usr/bin/env python3
"""Whole-process figures of one corvix-cli history command, and an fsync probe.

  time_history_runs.py runs N HISTORY WORK -- CLI ARGS...
      Copies HISTORY to WORK/copy.csv (made writable: a copy of a read-only
      file is read-only too) before each run, outside the timing, runs CLI
      with ARGS (the word COPY stands for the copy) and prints the minimum
      and mean wall time and CPU time (user + sys) of the child in ms.
  time_history_runs.py fsync N BYTES WORK
      Writes BYTES to a new file in WORK, then times fsync of the file and
      fsync of the directory separately, N times.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time


def load():
    with open("/proc/loadavg", encoding="ascii") as f:
        return f.read().split()[0]


def figures(name, values):
    return "%s min %.2f mean %.2f" % (name, min(values), statistics.mean(values))


def runs(count, history, work, argv):
    copy = os.path.join(work, "copy.csv")
    argv = [copy if a == "COPY" else a for a in argv]
    walls, cpus = [], []
    for _ in range(count):
        shutil.copyfile(history, copy)
        os.chmod(copy, 0o644)
        start = time.perf_counter()
        child = subprocess.Popen(argv, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        walls.append((time.perf_counter() - start) * 1e3)
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            sys.exit("time_history_runs: %s exited with %d" % (" ".join(argv), child.returncode))
        cpus.append((usage.ru_utime + usage.ru_stime) * 1e3)
    print("%s ms, %s ms over %d runs (load %s)"
          % (figures("wall", walls), figures("user+sys", cpus), count, load()))


def fsync_probe(count, size, work):
    data = b"x" * size
    files, directories = [], []
    directory = os.open(work, os.O_RDONLY | os.O_DIRECTORY)
    try:
        for i in range(count):
            path = os.path.join(work, "probe-%d" % i)
            fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o600)
            os.write(fd, data)
            start = time.perf_counter()
            os.fsync(fd)
            files.append((time.perf_counter() - start) * 1e3)
            os.close(fd)
            os.rename(path, os.path.join(work, "probe"))
            start = time.perf_counter()
            os.fsync(directory)
            directories.append((time.perf_counter() - start) * 1e3)
    finally:
        os.close(directory)
    print("fsync of a %d-byte file: %s ms; of its directory after a rename: %s ms (%d runs, load %s)"
          % (size, figures("", files).strip(), figures("", directories).strip(), count, load()))


def main():
    if len(sys.argv) >= 6 and sys.argv[1] == "runs" and sys.argv[4] != "--" and sys.argv[5] == "--":
        runs(int(sys.argv[2]), sys.argv[3], sys.argv[4], sys.argv[6:])
    elif len(sys.argv) == 5 and sys.argv[1] == "fsync":
        fsync_probe(int(sys.argv[2]), int(sys.argv[3]), sys.argv[4])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
