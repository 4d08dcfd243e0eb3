#!/usr/bin/env python3
"""Lists production functions longer than a limit and files longer than a limit.

A function is a brace block opened at namespace or class scope after a parameter list; its
length runs from the first line of its signature to its closing brace. Comments, strings and
character literals are blanked before braces are counted. Exits 1 when anything is over.

Usage: scripts/code-sizes.py [--function-lines 80] [--file-lines 800] [folders...]
"""
import argparse
import re
import subprocess
import sys

PRODUCTION = ["app", "services", "game", "panel3d", "toolkit", "platform", "tools"]
SCOPE_WORDS = re.compile(r"\b(namespace|class|struct|union|enum)\b")
CONTROL = re.compile(r"^\s*(if|for|while|switch|catch|do|else)\b")


def blank_comments_and_strings(text):
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c == 'R' and text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(")" + (m.group(1) if m else "") + '"', i)
            j = n if end < 0 else end + len(m.group(1) if m else "") + 2
            out.append(re.sub(r"[^\n]", " ", text[i:j]))
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(" " * (min(j + 1, n) - i))
            i = j + 1
        else:
            out.append(c)
            i += 1
    # Preprocessor lines hold parentheses that are not signatures.
    return re.sub(r"(?m)^[ \t]*#.*$", "", "".join(out))


def long_functions(path, limit):
    text = blank_comments_and_strings(open(path, encoding="utf-8", errors="replace").read())
    stack = []  # (kind, start line)
    header_start, header = None, ""
    line = 1
    found = []
    for c in text:
        if c == "\n":
            line += 1
        if c == "{":
            scope_only = all(kind == "scope" for kind, _ in stack)
            h = header.strip()
            if SCOPE_WORDS.search(h) and "(" not in h.split("{")[0].split("=")[0]:
                kind = "scope"
            elif scope_only and ")" in h and not CONTROL.match(h) and "=" not in h.split("(")[0]:
                kind = "function"
            else:
                kind = "block"
            stack.append((kind, header_start or line))
            header, header_start = "", None
        elif c == "}":
            if stack:
                kind, start = stack.pop()
                if kind == "function" and line - start + 1 > limit:
                    found.append((line - start + 1, start))
            header, header_start = "", None
        elif c == ";":
            header, header_start = "", None
        else:
            if header_start is None and not c.isspace():
                header_start = line
            header += c
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--function-lines", type=int, default=80)
    parser.add_argument("--file-lines", type=int, default=800)
    parser.add_argument("folders", nargs="*", default=PRODUCTION)
    args = parser.parse_args()
    files = subprocess.run(["git", "ls-files", "--", *args.folders], capture_output=True,
                           text=True, check=True).stdout.split()
    files = [f for f in files if f.endswith((".cpp", ".h")) and "/generated/" not in f]
    over = 0
    for f in files:
        lines = sum(1 for _ in open(f, encoding="utf-8", errors="replace"))
        if lines > args.file_lines:
            print(f"file {f}: {lines} lines")
            over += 1
        for length, start in long_functions(f, args.function_lines):
            print(f"function {f}:{start}: {length} lines")
            over += 1
    print(f"{len(files)} files checked, {over} over the limits "
          f"(functions {args.function_lines}, files {args.file_lines})")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())
