"""What a failing walk's report keeps: for each desktop the walk started (item.desktops), the windows on
screen, a screenshot and the program's output."""

import pytest


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item):
    report = (yield).get_result()
    if report.when == "call" and report.failed:
        for desktop in getattr(item, "desktops", ()):
            report.sections.append((f"{desktop.name} when the walk failed", desktop.post_mortem()))
