#!/usr/bin/env python3
"""Lists the functions defined at the top of an anonymous namespace whose names do not
start with a capital letter, in the C++ files git knows of; exits 1 when there is one.

Usage: scripts/check_helper_names.py [source folder]
"""
import os
import re
import subprocess
import sys

# A line that begins a function definition: return type, then a name and its "(".
DEFINITION = re.compile(
    r'^(?:template\s*<[^>]*>\s*)?(?:(?:static|inline|constexpr|\[\[nodiscard\]\]|\[\[maybe_unused\]\])\s+)*'
    r'(?:[A-Za-z_][\w:<>\*&,\s]*?[\s\*&>])([a-z][A-Za-z0-9_]*)\s*\(')
STATEMENT = re.compile(r'^\s*(?:else|if|for|while|switch|return|using|class|struct|enum)\b')


def Code(line):
    """The line without string and character literals and without its line comment."""
    line = re.sub(r'"(?:\\.|[^"\\])*"', '""', line)
    line = re.sub(r"'(?:\\.|[^'\\])*'", "''", line)
    return line.split('//')[0]


def LowerCaseHelpers(path):
    depth = 0
    anonymous = []  # the depths at which anonymous namespaces opened
    in_comment = False
    with open(path, encoding='utf-8', errors='surrogateescape') as source:
        for number, raw in enumerate(source, 1):
            line = Code(raw)
            if in_comment:
                if '*/' not in line:
                    continue
                in_comment = False
                line = line.split('*/', 1)[1]
            if '/*' in line and '*/' not in line:
                in_comment = True
                line = line.split('/*')[0]
            if anonymous and depth == anonymous[-1] + 1:
                match = DEFINITION.match(line)
                if match and not line.rstrip().endswith(';') and not STATEMENT.match(line):
                    yield number, match.group(1)
            if re.match(r'^\s*namespace\s*\{', line):
                anonymous.append(depth)
            for character in line:
                if character == '{':
                    depth += 1
                elif character == '}':
                    depth -= 1
                    if anonymous and depth == anonymous[-1]:
                        anonymous.pop()


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else '.'
    files = subprocess.run(['git', 'ls-files', '*.cpp', '*.h'], cwd=root, capture_output=True, text=True,
                           check=True).stdout.split()
    found = 0
    for name in files:
        for number, helper in LowerCaseHelpers(os.path.join(root, name)):
            print(f'{name}:{number}: helper {helper} is not named in UpperCamelCase')
            found += 1
    return 1 if found else 0


if __name__ == '__main__':
    sys.exit(main())
