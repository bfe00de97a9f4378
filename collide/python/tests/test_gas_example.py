"""The Python gas example: a small gas relaxes from kurtosis 1.8 (a
component of a fixed-speed velocity in a random direction is uniform) to 3
(Gaussian), keeping its energy, and the example draws its picture."""
import importlib.util
import math
from pathlib import Path

import numpy as np

EXAMPLE = Path(__file__).resolve().parents[3] / "examples" / "gas" / "gas_relax.py"


def load_example():
    spec = importlib.util.spec_from_file_location("gas_relax", EXAMPLE)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def test_a_small_gas_relaxes_to_kurtosis_3():
    example = load_example()
    n = 8000
    times, kurtoses, speeds = example.relax(particles=n, steps=100)
    # The sample kurtosis of a uniform has variance 1.32 / n, of a Gaussian
    # 24 / n (delta method); four standard errors.
    assert abs(kurtoses[0] - 1.8) < 4 * math.sqrt(1.32 / n)
    assert abs(kurtoses[-1] - 3.0) < 4 * math.sqrt(24 / n), f"after {times[-1]:.3g} per particle"
    assert times[-1] > 10
    # Unit speeds at the start: energy n, to rounding.
    assert abs((speeds ** 2).sum() - n) < 1e-9 * n


def test_the_example_draws_its_picture(tmp_path):
    example = load_example()
    out = tmp_path / "gas.png"
    example.main(["--particles", "2000", "--steps", "20", "--out", str(out)])
    assert out.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_without_matplotlib_the_example_says_so_before_it_starts(monkeypatch, capsys):
    example = load_example()
    monkeypatch.setitem(__import__("sys").modules, "matplotlib", None)
    monkeypatch.setattr(example, "relax", lambda *a: (_ for _ in ()).throw(AssertionError("ran")))
    try:
        example.main(["--steps", "1"])
    except SystemExit as stop:
        assert stop.code == 2
    else:
        raise AssertionError("went on without matplotlib")
    assert "needs matplotlib" in capsys.readouterr().err
