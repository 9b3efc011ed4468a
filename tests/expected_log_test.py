#!/usr/bin/env python3
"""The matcher of expected logs (expected_log.py), on its own cases."""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from expected_log import match  # noqa: E402

MENU = ["0 menu-open 239 319 ORVO", "  item 255 \"Hot Reset\"", "  separator", "0 menu-cancel"]


class ExactLines(unittest.TestCase):
    def test_the_same_lines_match(self):
        self.assertIsNone(match(["0 a", "0 b"], ["0 a", "0 b"]))

    def test_a_missing_required_line_fails(self):
        self.assertIn("line 3: 0 c", match(["0 a", "0 b", "0 c"], ["0 a", "0 b"]))
        self.assertIsNotNone(match(["0 a", "0 b", "0 c"], ["0 a", "0 c"]))

    def test_a_missing_line_is_named_where_the_log_stopped_short(self):
        reason = match(["...", "0 a", "0 b", "0 c"], ["0 x", "0 a", "0 b"])
        self.assertIn("line 4: 0 c", reason)
        self.assertIn("the end of the log", reason)
        reason = match(["...", "0 a", "0 b", "0 c"], ["0 x", "0 a", "0 b", "0 d"])
        self.assertIn("line 4: 0 c", reason)
        self.assertIn("log line 4: 0 d", reason)

    def test_lines_out_of_order_fail(self):
        self.assertIsNotNone(match(["0 a", "0 b"], ["0 b", "0 a"]))

    def test_an_extra_line_fails_without_an_ellipsis(self):
        self.assertIn("log line 2: 0 x", match(["0 a", "0 b"], ["0 a", "0 x", "0 b"]))
        self.assertIsNotNone(match(["0 a"], ["0 a", "0 b"]))
        self.assertIsNotNone(match([], ["0 a"]))

    def test_a_line_differing_in_a_blank_fails(self):
        self.assertIsNotNone(match(["0 a b"], ["0 a  b"]))
        self.assertIsNotNone(match(["0 a"], ["0 a "]))


class OptionalLines(unittest.TestCase):
    def test_an_optional_line_absent_or_present_passes(self):
        self.assertIsNone(match(["0 a", "? 0 b", "0 c"], ["0 a", "0 c"]))
        self.assertIsNone(match(["0 a", "? 0 b", "0 c"], ["0 a", "0 b", "0 c"]))

    def test_an_optional_line_comes_at_most_once_and_in_its_place(self):
        self.assertIsNotNone(match(["0 a", "? 0 b", "0 c"], ["0 a", "0 b", "0 b", "0 c"]))
        self.assertIsNotNone(match(["0 a", "? 0 b", "0 c"], ["0 b", "0 a", "0 c"]))
        self.assertIsNotNone(match(["0 a", "? 0 b", "0 c"], ["0 a", "0 c", "0 b"]))

    def test_optional_lines_at_the_ends(self):
        self.assertIsNone(match(["? 0 a", "0 b", "? 0 c"], ["0 b"]))
        self.assertIsNone(match(["? 0 a", "0 b", "? 0 c"], ["0 a", "0 b", "0 c"]))

    def test_an_optional_line_that_matches_a_required_one_next_to_it(self):
        # Either reading must be tried: "0 b" may be the optional line or the required one.
        self.assertIsNone(match(["? 0 b", "0 b"], ["0 b"]))
        self.assertIsNone(match(["? 0 b", "0 b"], ["0 b", "0 b"]))


class AnyLines(unittest.TestCase):
    def test_an_ellipsis_allows_any_lines_or_none(self):
        self.assertIsNone(match(["0 a", "...", "0 c"], ["0 a", "0 x", "0 y", "0 c"]))
        self.assertIsNone(match(["0 a", "...", "0 c"], ["0 a", "0 c"]))
        self.assertIsNone(match(["...", "0 c"], ["0 a", "0 c"]))
        self.assertIsNone(match(["0 a", "..."], ["0 a", "0 b"]))

    def test_lines_the_file_names_still_come_in_order_around_an_ellipsis(self):
        self.assertIsNotNone(match(["0 a", "...", "0 c"], ["0 a", "0 x"]))
        self.assertIsNotNone(match(["0 a", "...", "0 c"], ["0 c", "0 a"]))
        self.assertIsNotNone(match(["...", "0 a", "0 b"], ["0 a", "0 x", "0 b"]))

    def test_an_extra_line_outside_the_ellipsis_fails(self):
        self.assertIsNotNone(match(["0 a", "...", "0 c", "0 d"], ["0 a", "0 x", "0 c", "0 x", "0 d"]))

    def test_an_indented_ellipsis_takes_only_the_entries_above_it(self):
        self.assertIsNone(match(["0 menu-open 239 319 ORVO", "  ...", "0 menu-cancel"], MENU))
        self.assertIsNone(match(["0 menu-open 239 319 ORVO", "  ...", "0 menu-cancel"], [MENU[0], MENU[3]]))
        # An event line between the entries and the next named line is not an entry.
        self.assertIsNotNone(match(["0 menu-open 239 319 ORVO", "  ...", "0 menu-cancel"],
                                   MENU[:3] + ["0 timer-set 159 2000"] + MENU[3:]))
        self.assertIsNotNone(match(["0 x", "    ...", "0 y"], ["0 x", "  item 1 \"A\"", "0 y"]))


if __name__ == "__main__":
    unittest.main()
