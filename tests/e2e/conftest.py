"""The walks' desktops: an X server of the walk's own (Xvfb, or weston's XWayland), the window manager
on it, the theme, and the program started afresh on it. A failing walk leaves a screenshot of each of
its desktops in --artifacts, beside the program's output."""

import pytest

from desktop import WAYLAND, Desktop
from reports import pytest_runtest_makereport  # noqa: F401 (a hook)


def pytest_addoption(parser):
    parser.addoption("--program", help="the program to walk through")
    parser.addoption("--artifacts", help="the folder for the program's output and the failures' screenshots")
    parser.addoption("--pictures", help="the test that writes the corpus of bad pictures (bad_pictures_test)")


def pytest_configure(config):
    if not config.option.collectonly and not (config.option.program and config.option.artifacts):
        raise pytest.UsageError("the walks need --program and --artifacts")


def pytest_generate_tests(metafunc):
    """Each walk on each desktop its module's DESKTOPS names for it."""
    metafunc.parametrize("wm", metafunc.module.DESKTOPS[metafunc.function.__name__.removeprefix("test_")],
                         indirect=True)


@pytest.fixture
def wm(request):
    """The window manager on the walk's X server, None on a bare one; weston for a Wayland desktop."""
    return {"bare": None, "wayland": WAYLAND}.get(request.param, request.param)


@pytest.fixture
def desktops(request, pytestconfig, wm):
    """desktops(label, theme=None, resets=False, server_options=()) starts a desktop under the walk's
    window manager, its files named after the walk and `label`; all of them end with the walk."""
    started = request.node.desktops = []
    walk = request.node.originalname.removeprefix("test_") + (f"-{wm}" if wm else "")

    def start(label=None, **options):
        started.append(Desktop(pytestconfig.option.artifacts, walk + (f"-{label}" if label else ""), wm, **options))
        return started[-1]
    yield start
    for desktop in started:
        desktop.close()


@pytest.fixture
def desktop(desktops):
    return desktops()


@pytest.fixture
def program(desktop, pytestconfig):
    """The program, started afresh on the walk's desktop where a screen reader finds its controls; its
    output goes to <artifacts>/<walk>.log."""
    return desktop.start(pytestconfig.option.program, accessible=True)
