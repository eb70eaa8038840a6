"""The Windows steps' options; a failing walk's report keeps what its desktop showed, as the Linux walks' do."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))

from reports import pytest_runtest_makereport  # noqa: E402, F401 (a hook)


def pytest_addoption(parser):
    parser.addoption("--prefix", help="the Wine prefix the steps share")
    parser.addoption("--setup", help="the installer")
    parser.addoption("--zip", help="the portable zip")
    parser.addoption("--marker", help="the program that stands in for the system information tool")
    parser.addoption("--artifacts", help="the folder for the program's output and the failures' screenshots")
