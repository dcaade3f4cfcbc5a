#!/usr/bin/env python3
"""Checks every log message of the library and the showcase: the text begins with the class
and member (or operation) that reports it, as in "GuiWindow.set_resizable: ...", and ends
with a newline, so that each message is one line of the log that tells where it came from.

    tests/lint/log_messages.py [source root]

Prints file:line and the message's first words for each message that breaks the rule, and
exits 1 when there is one.
"""
import pathlib
import re
import sys

MACRO = re.compile(r"\bCORE_LOG(?:_ERROR|_WARNING|_INFO|_DEBUG)?\s*\(")
# "Class.member: ", "Class::member(): ", "Class.member (...", "Class: ", or "Class." followed by
# the member's name from a variable. A message beginning with two spaces is an indented line
# of a report that spans several lines (a dump).
NAME = r"[A-Za-z_]\w*"
PREFIX = re.compile(
    rf'^"(?:{NAME}(?:(?:\.|::){NAME})+(?:\(\))?(?::| \()|{NAME}:|{NAME}\."$|  )'
)
STRING = re.compile(r'"((?:[^"\\]|\\.)*)"')


def arguments(text, start):
    """The macro's argument text from `start` (just past its opening parenthesis)."""
    depth, i, quote = 1, start, None
    while i < len(text):
        c = text[i]
        if quote:
            if c == "\\":
                i += 1
            elif c == quote:
                quote = None
        elif c in "\"'":
            quote = c
        elif c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
            if depth == 0:
                return text[start:i]
        i += 1
    return text[start:]


def problems_of(message):
    """What is wrong with one message's argument (the stream expression), or []."""
    # CORE_LOG(level, message): the message is past the first comma.
    found = []
    strings = list(STRING.finditer(message))
    if not strings:
        return found  # a message built elsewhere (a variable): checked where it is built
    first, last = strings[0], strings[-1]
    before = message[: first.start()].strip()
    if before.endswith(",") or before == "":
        if not PREFIX.match(first.group(0)):
            found.append("does not begin with its class and member")
    tail = message[last.end():]
    ends_with_newline = last.group(1).endswith("\\n") and set(tail) <= set(") \n")
    if not ends_with_newline and not message.rstrip().endswith("'\\n'"):
        found.append("does not end with a newline")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    failures = 0
    for folder in ("host", "gui", "demo"):
        for path in sorted((root / folder).rglob("*.[ch]*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            text = path.read_text(encoding="utf-8")
            for match in MACRO.finditer(text):
                if path.name == "core_log.h":
                    continue
                message = arguments(text, match.end())
                if match.group(0).startswith("CORE_LOG("):
                    message = message.split(",", 1)[1] if "," in message else message
                for problem in problems_of(message):
                    line = text.count("\n", 0, match.start()) + 1
                    words = " ".join(message.split())[:70]
                    print(f"{path.relative_to(root)}:{line}: {problem}: {words}")
                    failures += 1
    if failures:
        print(f"{failures} log message(s) break the rule")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
