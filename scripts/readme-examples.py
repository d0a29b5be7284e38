#!/usr/bin/env python3
"""The README's command-line examples against what quillon-cli prints today.

Every line of a fenced block that starts with "$ " (continued by a trailing backslash) is run
with bash, with the build's quillon-cli first on the PATH, in a scratch folder; the lines up
to the next "$ " or the end of the block are its output.
  readme-examples.py BUILD_DIR README.md           check: exit 1 and show the first difference
  readme-examples.py BUILD_DIR README.md --update  write today's outputs into the README
Commands that write reports are left alone (their output names files and times), and so are
those that need the machine's own interfaces or root. The files the examples read are the
kept `ip -details` samples, under the names the README gives them.
"""
import os
import shutil
import subprocess
import sys
import tempfile

SKIPPED = ("report", "mkdir", "sudo")
SKIPPED_START = ("ip ",)
SAMPLES = "timing/tests/data/ip-details"
# The README's file name: the kept sample it stands for.
FILES = {"can0.txt": "mcp251xfd-tdc.txt", "links.json": "mcp251x-all-links.json",
         "mcp251x.txt": "mcp251x.txt", "at91_can.json": "at91_can.json"}
MARK = "@@quillon-readme-example-end@@"


def examples(lines):
    """(first line, first output line, end line, command) of every example, end exclusive."""
    fenced = False
    i = 0
    while i < len(lines):
        line = lines[i]
        if line.startswith("```"):
            fenced = not fenced
            i += 1
            continue
        if fenced and line.startswith("$ "):
            start = i
            command = line[2:]
            while command.endswith("\\") and i + 1 < len(lines):
                i += 1
                command = command[:-1] + " " + lines[i]
            i += 1
            head = i
            while i < len(lines) and not lines[i].startswith("$ ") and not lines[i].startswith("```"):
                i += 1
            yield start, head, i, command
            continue
        i += 1


def run_block(commands, build, scratch):
    """The outputs (stdout and stderr) of a block's commands, run in one shell so that
    "echo $?" sees the command before it."""
    env = dict(os.environ, PATH=os.path.join(build, "cli") + os.pathsep + os.environ["PATH"],
               LC_ALL="C.UTF-8", SOURCE_DATE_EPOCH="0")
    script = "".join("{ %s\n} 2>&1; rc=$?; echo %s; (exit $rc)\n" % (c, MARK) for c in commands)
    done = subprocess.run(["bash", "-c", script], cwd=scratch, env=env, capture_output=True,
                          text=True, timeout=120)
    outputs = done.stdout.split(MARK + "\n")
    return [o.splitlines() for o in outputs[:len(commands)]]


def main():
    build, readme = os.path.abspath(sys.argv[1]), sys.argv[2]
    update = "--update" in sys.argv[3:]
    with open(readme, encoding="utf-8") as f:
        lines = f.read().split("\n")
    result, last, differ = [], 0, 0
    found = list(examples(lines))
    # One shell per fenced block: group the examples by the block they stand in.
    blocks, block = [], []
    for example in found:
        if block and any(l.startswith("```") for l in lines[block[-1][2]:example[0]]):
            blocks.append(block)
            block = []
        block.append(example)
    if block:
        blocks.append(block)
    samples = os.path.join(os.path.dirname(os.path.abspath(readme)), SAMPLES)
    with tempfile.TemporaryDirectory() as scratch:
        for name, sample in FILES.items():
            shutil.copyfile(os.path.join(samples, sample), os.path.join(scratch, name))
        for block in blocks:
            run = [e for e in block if not any(word in e[3] for word in SKIPPED) and
                   not e[3].startswith(SKIPPED_START)]
            outputs = dict(zip((e[0] for e in run), run_block([e[3] for e in run], build, scratch)))
            for start, head, end, command in block:
                result += lines[last:head]
                last = end
                if start not in outputs:
                    result += lines[head:end]
                    continue
                output = outputs[start]
                if output != lines[head:end]:
                    differ += 1
                    if not update and differ == 1:
                        print("README.md:%d: %s" % (start + 1, command))
                        for want, got in zip(lines[head:end] + [""] * len(output),
                                             output + [""] * (end - head)):
                            if want != got:
                                print("  README: " + want + "\n  now:    " + got)
                                break
                result += output
    result += lines[last:]
    if update:
        with open(readme, "w", encoding="utf-8") as f:
            f.write("\n".join(result))
        print("%d example(s) rewritten" % differ)
        return 0
    if differ:
        print("%d README example(s) differ from quillon-cli; run %s %s %s --update"
              % (differ, sys.argv[0], build, readme))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
