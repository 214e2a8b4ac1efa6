#!/usr/bin/env python3
"""Instructions per call of the named functions, from a callgrind output file:
the inclusive cost of every call site of each function, summed and divided by
its calls. A name matches a function of that name in any namespace or class.
Prints one number per name ("-" if it was never called, or always inlined).

    callgrind_per_call.py callgrind.out PetWidget::timerEvent paint_frame
"""
import re
import sys


def per_call(path, names):
    ids = {}  # compressed name id -> name
    calls = {name: 0 for name in names}
    cost = {name: 0 for name in names}
    callee = None
    pending = None  # (name, count) waiting for its cost line
    reference = re.compile(r"^c?fn=\((\d+)\)(?: (.*))?$")
    with open(path, encoding="utf-8", errors="replace") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if pending:
                fields = line.split()
                if len(fields) >= 2:
                    cost[pending[0]] += int(fields[1])
                    calls[pending[0]] += pending[1]
                pending = None
                continue
            match = reference.match(line)
            if match:
                key, name = match.groups()
                if name:
                    ids[key] = name
                callee = ids.get(key, "") if line.startswith("cfn=") else None
                continue
            if line.startswith("calls=") and callee is not None:
                wanted = next((n for n in names if re.search(r"(^|::)" + re.escape(n) + r"\(", callee)), None)
                if wanted:
                    pending = (wanted, int(line[6:].split()[0]))
                callee = None
    return [str(cost[n] // calls[n]) if calls[n] else "-" for n in names]


if __name__ == "__main__":
    print(" ".join(per_call(sys.argv[1], sys.argv[2:])))
