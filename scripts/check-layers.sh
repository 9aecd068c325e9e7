#!/usr/bin/env bash
# The layering check: fails when a source file's #include or a CMake file's
# link reaches a layer, or a third-party library, that the table below does
# not give its layer. Tests, benchmarks and fuzzers are held to the layers
# they test or measure. Usage: scripts/check-layers.sh [ROOT]  (default: this tree)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
exec python3 - "$root" <<'PYTHON'
import os
import re
import sys

# Which layers each layer may use (its own files are always allowed) and the
# third-party libraries it may include and link. The standard library, POSIX
# and the compiler's own headers are allowed everywhere.
LAYERS = {
    "text": ([], []),
    "dsp": ([], []),
    "history": (["dsp", "text"], []),
    "predict": (["dsp"], []),
    "net": ([], ["curl"]),
    "commands": (["evaluate", "history", "predict", "net", "dsp", "text"], ["json"]),
    "evaluate": (["history", "predict", "dsp", "text"], ["boost-math"]),
    "report": (["commands", "evaluate", "history", "predict", "net", "dsp", "text"], ["json"]),
    "cli": (["report", "commands", "evaluate", "history", "predict", "net", "dsp", "text"],
            ["cli11", "json"]),
    "ui": (["report", "commands", "evaluate", "history", "predict", "net", "dsp", "text"],
           ["qt", "json"]),
    "app": (["ui", "report", "commands", "evaluate", "history", "predict", "net", "dsp",
             "text"], ["qt"]),
}
FACELESS = ["report", "commands", "evaluate", "history", "predict", "net", "dsp", "text"]
# tests/<layer>/ may use what its layer may use, the test support, GoogleTest
# and the references (reading JSON, Boost.Math's distributions).
TEST_LIBS = ["gtest", "json", "boost-math"]
# Beyond that: the window's tests start the application shell, the
# evaluation is held to the forecast command, the predictors' texts decoded.
TEST_EXTRA = {"tests/ui": ["app"], "tests/evaluate": ["commands"], "tests/predict": ["text"]}
OTHER_ROWS = {
    "tests/support": (["dsp", "text"], ["gtest"]),
    "tests/scripts": (["tests/support"], ["gtest"]),
    "tests": (["tests/support"], ["gtest"]),
    "bench": (FACELESS, ["benchmark"]),
    "fuzz": (FACELESS, []),
    "root": ([], []),
}
LIBRARY_NAMES = {
    "qt": "Qt", "boost-math": "Boost.Math", "boost": "Boost", "json": "nlohmann/json",
    "cli11": "CLI11", "curl": "libcurl", "gtest": "GoogleTest", "benchmark": "Google Benchmark",
}
# The CMake targets each layer builds (corvalith_options, the warning and
# sanitizer flags, may be linked by any target but links nothing itself).
TARGETS = {
    "text": "text", "cp932_table_gen": "text", "dsp": "dsp", "history": "history",
    "predict": "predict", "net": "net", "commands": "commands", "evaluate": "evaluate",
    "report": "report", "ui": "ui", "app_shell": "app", "corvix": "app",
    "corvix-screenshot": "app", "cli_core": "cli", "corvix-cli": "cli",
    "test_support": "tests/support", "test_main": "tests/support",
    "test_allocation_failure": "tests/support",
    "fuzz_support": "fuzz", "corvalith_options": "root",
}
# Functions that hand their arguments on to target_link_libraries: the
# variable is allowed in their body, and the arguments of every call are
# checked instead (after the keyword, or after the target's name).
FORWARDING = {"corvalith_add_test": ("ARG_LIBS", "LIBS"), "corvalith_add_fuzzer": ("ARGN", None)}
FORWARD_END = {"SOURCES", "SLOW", "LABELS"}
LINK_KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE",
                 "LINK_INTERFACE_LIBRARIES", "debug", "optimized", "general"}
SYSTEM_LINKS = {"Threads::Threads", "Iconv::Iconv", "m", "dl", "rt", "pthread"}
GENERATED = {"corvalith"}  # corvalith/version.h, written into the build tree
SOURCE_EXTENSIONS = {".h", ".hh", ".hpp", ".hxx", ".h++", ".inl", ".ipp", ".tpp", ".tcc",
                     ".c", ".cc", ".cpp", ".cxx", ".c++"}

# C and POSIX headers, and the few of glibc, the kernel and the compiler
# that system code needs.
SYSTEM_HEADERS = set("""
assert.h complex.h ctype.h errno.h fenv.h float.h inttypes.h iso646.h limits.h locale.h
math.h setjmp.h signal.h stdalign.h stdarg.h stdatomic.h stdbool.h stddef.h stdint.h
stdio.h stdlib.h stdnoreturn.h string.h tgmath.h threads.h time.h uchar.h wchar.h wctype.h
aio.h cpio.h dirent.h dlfcn.h fcntl.h fmtmsg.h fnmatch.h ftw.h glob.h grp.h iconv.h
langinfo.h libgen.h monetary.h mqueue.h ndbm.h netdb.h nl_types.h poll.h pthread.h pwd.h
regex.h sched.h search.h semaphore.h spawn.h strings.h syslog.h tar.h termios.h ulimit.h
unistd.h utime.h utmpx.h wordexp.h
alloca.h byteswap.h cpuid.h cxxabi.h elf.h endian.h err.h error.h execinfo.h features.h
getopt.h ifaddrs.h link.h malloc.h memory.h mntent.h paths.h pty.h shadow.h sysexits.h
ucontext.h utmp.h values.h arm_neon.h
""".split())
SYSTEM_DIRS = ("sys/", "linux/", "asm/", "bits/", "netinet/", "arpa/", "net/", "sanitizer/",
               "experimental/")

root = os.path.realpath(sys.argv[1])
failures = []


def fail(message):
    failures.append(message)
    print("check-layers: " + message, file=sys.stderr)


def rows():
    table = {}
    for layer, (uses, libs) in LAYERS.items():
        table[layer] = (set(uses) | {layer}, set(libs))
        unit = "tests/" + layer
        table[unit] = (set(uses) | set(TEST_EXTRA.get(unit, [])) | {layer, unit, "tests/support"},
                       set(libs) | set(TEST_LIBS))
    for unit, (uses, libs) in OTHER_ROWS.items():
        table[unit] = (set(uses) | {unit}, set(libs))
    return table


ROWS = rows()
PROJECT_DIRS = set(LAYERS) | {"tests", "bench", "fuzz"}


def unit_of(path):
    """The row a tree-relative path belongs to."""
    parts = path.split("/")
    if len(parts) > 1 and parts[0] in PROJECT_DIRS:
        if parts[0] == "tests" and len(parts) > 2:
            return "tests/" + parts[1] if "tests/" + parts[1] in ROWS else "tests"
        return parts[0]
    return "root"


def library_of_header(name):
    """The library a header outside the tree belongs to: a key of
    LIBRARY_NAMES, "system", or None when it is none of those."""
    if (re.match(r"Qt\w*/", name) or re.fullmatch(r"Q\w*", name)
            or re.fullmatch(r"(private/)?q\w*\.h", name) or re.match(r"qt[56]?/", name)):
        return "qt"
    if name.startswith("boost/math/"):
        return "boost-math"
    for prefix, library in (("boost/", "boost"), ("nlohmann/", "json"), ("CLI/", "cli11"),
                            ("curl/", "curl"), ("gtest/", "gtest"), ("gmock/", "gtest"),
                            ("benchmark/", "benchmark")):
        if name.startswith(prefix):
            return library
    if (re.fullmatch(r"[a-z_]+", name) or name in SYSTEM_HEADERS
            or name.startswith(SYSTEM_DIRS) or re.fullmatch(r"\w*intrin\.h", name)):
        return "system"
    return None


def inside(path):
    return path == root or path.startswith(root + os.sep)


def resolve(file, name, quoted):
    """Where an include leads: ("tree", path), ("outside", None) or
    ("external", None) for a header from the system or a library."""
    here = os.path.dirname(file)
    bases = [os.path.join(root, here), root] if quoted else [root]
    for base in bases:
        found = os.path.realpath(os.path.join(base, name))
        if os.path.isfile(found):
            if not inside(found):
                return "outside", None
            return "tree", os.path.relpath(found, root)
    # Not there (yet): judged by the path the compiler would try first.
    relative = quoted and (name.startswith("./") or "../" in name)
    target = os.path.normpath(os.path.join(here, name) if relative else name)
    if target.startswith(".."):
        return "outside", None
    if target.split("/")[0] in PROJECT_DIRS and "/" in target:
        return "tree", target
    return "external", None


def check_library(where, unit, library, what):
    if library != "system" and library not in ROWS[unit][1]:
        fail(f"{where}: {unit}/ may not use {LIBRARY_NAMES[library]} ({what})")


INCLUDE = re.compile(r"^\s*(?:#|%:)\s*include(?:_next)?\b\s*(.*)$")


def logical_lines(text):
    """Lines with backslash continuations joined, numbered by their first line."""
    number, pending, start = 0, "", 1
    for line in text.split("\n"):
        number += 1
        if not pending:
            start = number
        if line.endswith("\\"):
            pending += line[:-1]
            continue
        yield start, pending + line
        pending = ""


def check_source(file):
    unit = unit_of(file)
    if unit == "root":
        fail(f"{file}: a source outside every layer's folder")
        return
    uses = ROWS[unit][0]
    with open(os.path.join(root, file), encoding="utf-8", errors="replace") as handle:
        text = handle.read()
    for number, line in logical_lines(text):
        found = INCLUDE.match(line)
        if not found:
            continue
        where = f"{file}:{number}"
        header = re.match(r'\s*(?:<([^>]*)>|"([^"]*)")', found.group(1))
        if not header:
            fail(f"{where}: an include through a macro cannot be checked")
            continue
        quoted = header.group(2) is not None
        name = header.group(2) if quoted else header.group(1)
        kind, path = resolve(file, name, quoted)
        if kind == "outside":
            fail(f"{where}: {name} lies outside the tree")
        elif kind == "tree":
            used = unit_of(path)
            if used not in uses:
                fail(f"{where}: {unit}/ may not include {used}/")
        elif name.split("/")[0] not in GENERATED:
            library = library_of_header(name)
            shown = f'"{name}"' if quoted else f"<{name}>"
            if library is None:
                fail(f"{where}: {shown} is not a standard, POSIX or listed library header")
            else:
                check_library(where, unit, library, shown)


def library_of_link(word):
    if re.match(r"Qt[56]?::", word):
        return "qt"
    if word in ("Boost::headers", "Boost::boost") or word.startswith("Boost::math"):
        return "boost-math"
    if word.startswith("Boost::"):
        return "boost"
    if word == "nlohmann_json::nlohmann_json":
        return "json"
    if word == "CLI11::CLI11":
        return "cli11"
    if word == "CURL::libcurl":
        return "curl"
    if word.startswith("GTest::") or word in ("gtest", "gtest_main", "gmock", "gmock_main"):
        return "gtest"
    if word.startswith("benchmark::"):
        return "benchmark"
    if word in SYSTEM_LINKS:
        return "system"
    return None


def check_links(where, unit, words, variable=None):
    uses = ROWS[unit][0]
    for word in words:
        if word in LINK_KEYWORDS or word == "corvalith_options" or word == variable:
            continue
        if "$" in word:
            fail(f"{where}: {unit}/ links through {word}, which cannot be checked")
        elif word in TARGETS:
            if TARGETS[word] not in uses:
                fail(f"{where}: {unit}/ may not link {word} ({TARGETS[word]}/)")
        else:
            library = library_of_link(word)
            if library is None:
                fail(f"{where}: {unit}/ links {word}, not a target or library of the table")
            else:
                check_library(where, unit, library, word)


def cmake_commands(text):
    """(line, name, arguments) of each command call, comments removed."""
    text = re.sub(r"#\[(=*)\[.*?\]\1\]", lambda m: "\n" * m.group(0).count("\n"), text,
                  flags=re.S)
    text = re.sub(r'#[^\n]*|("(?:\\.|[^"\\])*")', lambda m: m.group(1) or "", text)
    call = re.compile(r"\b([A-Za-z_]\w*)\s*\(")
    found = call.search(text)
    while found:
        depth, end = 1, found.end()
        while end < len(text) and depth:
            depth += {"(": 1, ")": -1}.get(text[end], 0)
            end += 1
        arguments = re.findall(r'"[^"]*"|[^\s()]+', text[found.end():end - 1])
        yield text.count("\n", 0, found.start()) + 1, found.group(1), arguments
        found = call.search(text, end)


def check_cmake(file):
    unit = unit_of(file)
    with open(os.path.join(root, file), encoding="utf-8", errors="replace") as handle:
        text = handle.read()
    function = None
    for number, name, arguments in cmake_commands(text):
        where = f"{file}:{number}"
        command = name.lower()
        if command == "function" and arguments:
            function = arguments[0]
        elif command == "endfunction":
            function = None
        elif command in ("target_link_libraries", "link_libraries"):
            words = arguments
            target_unit = unit
            if command == "target_link_libraries" and arguments:
                target, words = arguments[0], arguments[1:]
                if target in TARGETS:
                    target_unit = TARGETS[target]
                elif "$" in target and function not in FORWARDING:
                    fail(f"{where}: a target named by {target} cannot be checked")
            variable = None
            if function in FORWARDING:
                variable = "${" + FORWARDING[function][0] + "}"
            check_links(where, target_unit, words, variable)
        elif command in FORWARDING and function != name:
            keyword = FORWARDING[command][1]
            if keyword is None:
                words = arguments[1:]
            else:
                words, taking = [], False
                for word in arguments[1:]:
                    if word in FORWARD_END or word == keyword:
                        taking = word == keyword
                    elif taking:
                        words.append(word)
            check_links(where, unit, words)
        elif re.match(r"qt6?_", command) and "qt" not in ROWS[unit][1]:
            fail(f"{where}: {unit}/ may not use Qt ({name})")


def tree_files():
    for directory, subdirectories, files in os.walk(root):
        relative = os.path.relpath(directory, root)
        if relative == ".":
            subdirectories[:] = [d for d in subdirectories
                                 if not d.startswith((".", "build"))]
            relative = ""
        subdirectories.sort()
        for name in sorted(files):
            yield os.path.join(relative, name) if relative else name


for file in tree_files():
    base = os.path.basename(file)
    if base == "CMakeLists.txt" or base.endswith(".cmake"):
        check_cmake(file)
    elif os.path.splitext(base)[1].lower() in SOURCE_EXTENSIONS:
        check_source(file)

if failures:
    print(f"check-layers: {len(failures)} violation(s)", file=sys.stderr)
    sys.exit(1)
print("check-layers: every dependency follows the layers")
PYTHON
