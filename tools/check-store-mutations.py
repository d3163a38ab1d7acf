#!/usr/bin/env python3
"""Makes each of a few faults in the saving policy in turn, rebuilds the store's
tests and says which tests fail: every fault must fail some test. The source is
put back after each. Usage: tools/check-store-mutations.py [build-dir]"""
import pathlib
import subprocess
import sys

TOP = pathlib.Path(__file__).resolve().parent.parent
BUILD = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else TOP / "build-tests"
TESTS = ["tests/batch/file_store_test", "tests/batch/linux_file_store_test",
         "tests/batch/batch_job_test", "tests/batch/batch_job_files_test"]
# What each fault is, where, and the text it replaces.
FAULTS = [
    ("change time left out of a version", "files/file_system.h",
     "return {info.key, info.size, info.modified, info.changed};",
     "return {info.key, info.size, info.modified, {}};"),
    ("no content check before a rewrite in place", "store/safe_file_store.cpp",
     "if (loaded && ContentHash(*old) != loaded->hash) return Changed();", ""),
    ("no folder sync after the recovery copy", "store/recovery_copy.cpp",
     "  (void)folder.Sync();\n  return RecoveryCopy{&folder", "  return RecoveryCopy{&folder"),
    ("a recovery copy restored without its hash", "store/recovery_record.cpp",
     "if (copy.size() != size || ContentHash(copy) != hash) {", "if (copy.size() != size) {"),
    ("a copy made for another file restored", "store/recovery_record.cpp",
     "    if (!isNew) return RewriteState::kChangedSince;", ""),
    ("links followed where a name was looked up", "platform/linux/linux_files.cpp",
     "flags | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC", "flags | O_NOCTTY | O_CLOEXEC"),
    ("no limit on links followed", "platform/linux/linux_file_system.cpp",
     "if (--linksLeft < 0) return ErrorFromErrno(ELOOP);", "--linksLeft;"),
    ("a file's names not told apart in the list's order", "run/file_cleaning.cpp",
     "first[index] = firstOf.try_emplace(*key, static_cast<int>(index)).first->second;",
     "firstOf[*key] = static_cast<int>(index);"),
]


def failing_tests():
    built = subprocess.run(["cmake", "--build", str(BUILD)], capture_output=True, text=True)
    if built.returncode != 0:
        return None
    failed = set()
    for test in TESTS:
        run = subprocess.run([str(BUILD / test)], capture_output=True, text=True)
        for line in run.stdout.splitlines():
            if line.startswith("[  FAILED  ]") and "listed below" not in line and "(" in line:
                failed.add(line.split("]", 1)[1].split("(")[0].split(",")[0].strip())
    return failed


uncaught = 0
for name, path, before, after in FAULTS:
    source = TOP / path
    text = source.read_text()
    if before not in text:
        print(f"{name}: the code it changes is gone; update this list")
        uncaught += 1
        continue
    source.write_text(text.replace(before, after, 1))
    try:
        failed = failing_tests()
    finally:
        source.write_text(text)
    if failed is None:
        print(f"{name}: does not build")
    elif failed:
        print(f"{name}: caught by {len(failed)} test(s), e.g. {sorted(failed)[0]}")
    else:
        print(f"{name}: NOT CAUGHT")
        uncaught += 1
subprocess.run(["cmake", "--build", str(BUILD)], capture_output=True)
sys.exit(1 if uncaught else 0)
