#!/usr/bin/env python3
"""A model of root_step's walk, in whole grid indices, with no floating point.

The grid has the points 0 .. 9999 (x = -4 + 0.0008 j); the roots -2.4, 0.5
and 1.5 sit exactly on points 2000, 5625 and 6875. With M = 10000 // d the
walk examines the points d, 2d, ... (M - 1) d after point 0: the stride
that would end at M d is never taken, even where M d is still on the grid.
A root is found when an examined point is the root, or when an odd
number of roots lies strictly between two examined points that are not
roots themselves (a sign change; after a root the product is 0, so nothing).

Prints how many sizes from 1 to 10000 find all three roots (root_bisect
prints one line for each), and why the others below 5001 miss one; with
--sizes, the sizes that find all three, one a line.
"""
import sys
ROOTS = (2000, 5625, 6875)


def found(points):
    count, previous = 0, 0
    for p in points:
        if p in ROOTS:
            count += 1
        elif previous not in ROOTS and sum(min(previous, p) < r < max(previous, p) for r in ROOTS) % 2:
            count += 1
        previous = p
    return count


def walk(d):
    return [j * d for j in range(1, 10000 // d)]


def ranges(sizes):
    spans, start = [], None
    for k, d in enumerate(sizes):
        if start is None:
            start = d
        if k + 1 == len(sizes) or sizes[k + 1] != d + 1:
            spans.append(str(start) if start == d else "%d-%d" % (start, d))
            start = None
    return ", ".join(spans)


all_three = [d for d in range(1, 10001) if found(walk(d)) == 3]
if sys.argv[1:] == ["--sizes"]:
    print("\n".join(map(str, all_three)))
    sys.exit(0)
last_stride, no_point_past, stepped_over = [], [], []
for d in range(1, 5001):
    if d in all_three:
        continue
    longer = walk(d) + [p for p in [(10000 // d) * d] if p <= 9999]
    if found(longer) == 3:
        last_stride.append(d)
    elif longer[-1] < ROOTS[-1]:
        no_point_past.append(d)
    else:
        stepped_over.append(d)
print("sizes that find all three roots:", len(all_three))
print("lost only to the last stride:", len(last_stride), "(" + ranges(last_stride) + ")")
print("no examined point past 1.5, even one stride on:", len(no_point_past), "(" + ranges(no_point_past) + ")")
print("a pair stepped over, or a root skipped after an exact zero:", len(stepped_over))
