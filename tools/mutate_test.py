#!/usr/bin/env python3
"""Self-check of tools/mutate.py: the mutants it lists for a small source file,
with everything it must leave alone (comments, preprocessor lines,
static_assert, string contents, array sizes) beside code it must change."""
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

TOOL = Path(__file__).resolve().parent / "mutate.py"
FIXTURE = """\
// 1 + 2 < 3 in a comment
#include <cstdio>
/* a block comment: x < 1
   y > 2 */
static_assert(sizeof(int) >= 4);
const int sizes[3] = {1, 2, 4};
int f(int a, float b) {
    std::puts("a < b && 1");
    if (a < 2 && !b) return a - 1;
    return int(b * 0.2f);
}
"""


def listed(root, *options):
    out = subprocess.run([sys.executable, str(TOOL), "--list", "--source", str(root), "src", *options],
                         capture_output=True, text=True, check=True).stdout
    return re.findall(r"^src/a\.cpp:(\d+) \[\w+\]\n  - .*\n  \+ (.*)$", out, re.M)


class MutateList(unittest.TestCase):
    def test_lists_one_token_changes_of_code_only(self):
        with tempfile.TemporaryDirectory() as root:
            (Path(root) / "src").mkdir()
            (Path(root) / "src" / "a.cpp").write_text(FIXTURE)
            found = listed(root)
            self.assertEqual(sorted((int(n), new) for n, new in found), sorted([
                (6, "const int sizes[3] = {0, 2, 4};"),
                (6, "const int sizes[3] = {1, 3, 4};"),
                (6, "const int sizes[3] = {1, 2, 5};"),
                (9, "if (a < 3 && !b) return a - 1;"),
                (9, "if (a < 2 && !b) return a - 0;"),
                (9, "if (a <= 2 && !b) return a - 1;"),
                (9, "if (a < 2 || !b) return a - 1;"),
                (9, "if (a < 2 && !b) return a + 1;"),
                (9, "if (a < 2 && b) return a - 1;"),
                (9, "if (!(a < 2 && !b)) return a - 1;"),
                (10, "return int(b * 0.25f);"),
                (10, "return int(b * -0.2f);"),
                (10, "return int(b / 0.2f);"),
            ]))
            sample = listed(root, "--per-file", "4", "--seed", "7")
            self.assertEqual(len(sample), 4)
            self.assertTrue(set(sample) <= set(found))
            self.assertEqual(sample, listed(root, "--per-file", "4", "--seed", "7"))


if __name__ == "__main__":
    unittest.main()
