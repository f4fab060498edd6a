"""Tests of the Python module tessera, run against an installed copy.

TESSERA_TEST_PREFIX names the install prefix the module is imported from (PYTHONPATH
at its site-packages) and TESSERA_TEST_BUILD_DIR the build tree it was installed from;
the install tree must not refer to the build tree.
"""

import math
import os
import random
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import tessera

PREFIX = os.environ.get("TESSERA_TEST_PREFIX", "")
BUILD_DIR = os.environ.get("TESSERA_TEST_BUILD_DIR", "")


def hline(x0, x1, y):
    return [(x, y) for x in range(x0, x1 + 1, 10)]


def vline(x, y0, y1):
    return [(x, y) for y in range(y0, y1 + 1, 10)]


# Characters drawn in a 200 x 200 box, as the simplest writing of them.
ICHI = [hline(10, 190, 100)]
NI = [hline(40, 160, 60), hline(10, 190, 150)]
JUU = [hline(10, 190, 90), vline(100, 10, 190)]


def shifted(strokes, dx):
    return [[(x + dx, y) for x, y in stroke] for stroke in strokes]


class Results(unittest.TestCase):
    def test_characters_read_first(self):
        for name, strokes, char in [("ichi", ICHI, "一"), ("ni", NI, "二"), ("juu", JUU, "十")]:
            with self.subTest(name):
                found = tessera.recognize(strokes)
                self.assertEqual(found[0][0], char, found)
                self.assertLessEqual(len(found), 10)
                scores = [score for _, score in found]
                self.assertEqual(scores, sorted(scores, reverse=True))
                self.assertTrue(all(score > 0 for score in scores))

    def test_floats_count_and_box(self):
        ints = tessera.recognize(ICHI, n=3)
        self.assertLessEqual(len(ints), 3)
        floats = [[(x + 0.3, y - 0.2) for x, y in ICHI[0]]]
        self.assertEqual(tessera.recognize(floats, n=3), ints)
        self.assertEqual(tessera.recognize(ICHI, n=3, box=(200, 200))[0][0], "一")

    def test_line_strings_boundaries_and_candidates(self):
        strokes = JUU + shifted(NI, 240)
        result = tessera.recognize_line(strokes, n=3)
        self.assertEqual(result["strings"][0], "十二", result)
        self.assertLessEqual(len(result["strings"]), 3)
        chars = result["chars"]
        self.assertEqual([(c["text"], c["first"], c["last"]) for c in chars],
                         [("十", 0, 1), ("二", 2, 3)])
        for c in chars:
            self.assertEqual(c["candidates"][0][0], c["text"])
            self.assertLessEqual(len(c["candidates"]), 3)

    def test_recognizer_object_and_threads(self):
        with tessera.Recognizer() as r:
            self.assertEqual(r.recognize(NI)[0][0], "二")
            results = [None] * 4

            def work(i):
                results[i] = r.recognize(JUU)[0][0]

            threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
            for t in threads:
                t.start()
            for t in threads:
                t.join()
            self.assertEqual(results, ["十"] * 4)
        with self.assertRaises(ValueError):
            r.recognize(ICHI)

    def test_other_threads_run_while_recognizing(self):
        # A long line of dense scribbles keeps the recognizer busy (about half a second);
        # with the interpreter's lock released the main thread goes on meanwhile instead
        # of waiting for the whole call.
        rnd = random.Random(7)
        strokes = []
        for c in range(40):
            for _ in range(15):
                x, y = 240 * c + rnd.uniform(0, 160), rnd.uniform(0, 160)
                strokes.append([(x + 5 * j, y + 3 * j) for j in range(8)])
        spans = []

        def work():
            start = time.monotonic()
            tessera.recognize_line(strokes, n=1)
            spans.append(time.monotonic() - start)

        worker = threading.Thread(target=work)
        last, longest = time.monotonic(), 0.0
        worker.start()
        while worker.is_alive():
            now = time.monotonic()
            longest = max(longest, now - last)
            last = now
            time.sleep(0.001)
        worker.join()
        self.assertGreater(spans[0], 0.05, "the line was read too fast to tell")
        self.assertLess(longest, spans[0] / 2)


class BadInput(unittest.TestCase):
    def test_value_errors(self):
        cases = [
            ("no strokes", [], {}),
            ("not a list", "abc", {}),
            ("stroke without points", [[]], {}),
            ("stroke not a list", [5], {}),
            ("point of one number", [[(1,)]], {}),
            ("point of three numbers", [[(1, 2, 3)]], {}),
            ("text coordinate", [[("a", 1)]], {}),
            ("coordinate too large", [[(40000, 1)]], {}),
            ("coordinate rounded too small", [[(-32768.6, 1)]], {}),
            ("nan coordinate", [[(math.nan, 1)]], {}),
            ("infinite coordinate", [[(1, math.inf)]], {}),
            ("huge int", [[(10**400, 1)]], {}),
            ("complex coordinate", [[(1j, 1)]], {}),
            ("box too large", ICHI, {"box": (10, 10**30)}),
            ("n zero", ICHI, {"n": 0}),
            ("n too large", ICHI, {"n": 1001}),
            ("box side zero", ICHI, {"box": (0, 10)}),
            ("box of one side", ICHI, {"box": (10,)}),
            ("box of floats", ICHI, {"box": (1.5, 2.0)}),
        ]
        for name, strokes, options in cases:
            for call in (tessera.recognize, tessera.recognize_line):
                with self.subTest(name, call=call.__name__):
                    with self.assertRaises(ValueError):
                        call(strokes, **options)

    def test_missing_dictionaries_raise_os_error(self):
        with tempfile.TemporaryDirectory() as empty:
            env = dict(os.environ, TESSERA_SYSTEM_DIR=empty)
            code = ("import tessera\n"
                    "try:\n    tessera.Recognizer()\n"
                    "except OSError as e:\n    print('OSError', e)\n")
            out = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True,
                                 text=True, check=True).stdout
        self.assertTrue(out.startswith("OSError"), out)
        self.assertIn(empty, out)


@unittest.skipUnless(PREFIX and BUILD_DIR, "needs TESSERA_TEST_PREFIX and TESSERA_TEST_BUILD_DIR")
class InstallTree(unittest.TestCase):
    def test_module_comes_from_the_prefix(self):
        self.assertTrue(os.path.realpath(tessera.__file__).startswith(os.path.realpath(PREFIX)),
                        tessera.__file__)

    def test_no_file_refers_to_the_build_tree(self):
        needle = os.path.realpath(BUILD_DIR).encode()
        offenders = []
        for folder, _, files in os.walk(PREFIX):
            for name in files:
                path = os.path.join(folder, name)
                if os.path.islink(path):
                    target = os.path.realpath(path)
                    if not target.startswith(os.path.realpath(PREFIX)):
                        offenders.append(path)
                    continue
                with open(path, "rb") as f:
                    if needle in f.read():
                        offenders.append(path)
        self.assertEqual(offenders, [])


if __name__ == "__main__":
    unittest.main()
