"""Molecular data from Python: the table and the mixing rule give the
numbers worked by hand in collide/README.md, the manual's example prints
what it says, a gas made from them collides at the kinetic rate, and values
in the wrong units are refused, naming them."""
import contextlib
import io
import math
import re
from pathlib import Path

import numpy as np
import pytest

import collide

README = Path(__file__).resolve().parents[2] / "README.md"
K = 1.380649e-23


def test_the_table_and_the_mixing_rule_give_the_hand_worked_numbers():
    assert len(collide.GAS_DATA) == 13
    argon = collide.GAS_DATA["Ar"]
    assert argon == collide.GasData(66.3e-27, 4.17e-10, 4.11e-10, 0.81, 1.40, 273.0)
    with pytest.raises(TypeError):
        collide.GAS_DATA["Ar"] = argon  # read-only
    [[model]], sigma_ref = collide.mixture_models([argon], kind="VSS")
    assert isinstance(model, collide.VSS) and model.alpha == 1.40
    assert model.g_ref == pytest.approx(476.9, abs=0.05)
    assert sigma_ref == pytest.approx(5.852e-19, abs=5e-23)
    models, sigma_ref = collide.mixture_models([collide.GAS_DATA["N2"], collide.GAS_DATA["O2"]])
    assert sigma_ref == pytest.approx(5.929e-19, abs=5e-23)
    assert models[0][1] == models[1][0]
    assert (models[0][1].omega, round(models[0][1].g_ref, 1), round(models[0][1].scale, 3)) == \
        (pytest.approx(0.755), 551.4, 0.980)
    assert round(models[1][1].scale, 3) == 0.960
    [[sphere]], _ = collide.mixture_models([argon], kind="HardSphere")
    assert sphere == collide.HardSphere(1.0)
    assert collide.select_coeff(1e10, 1e-7, 1e-9, 6e-19) == pytest.approx(0.5 * 6e-19 * 1e10 * 1e2)
    # Hard spheres weigh g: four times the most probable relative speed.
    assert collide.first_max_weight(collide.HardSphere(), argon.mass, 300.0) == \
        pytest.approx(4 * math.sqrt(4 * K * 300.0 / argon.mass))


def test_the_manuals_example_prints_what_it_says():
    text = README.read_text()
    block = re.search(r"```python\n(import collide\ngases = .*?)```", text, re.S).group(1)
    said = re.search(r"(?<=\n)" + re.escape(block) + r"```\n\nprints\n\n```text\n(.*?)```",
                     text, re.S).group(1)
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        exec(block, {})
    assert out.getvalue() == said


def test_argon_in_si_units_collides_at_the_kinetic_rate():
    # nu = 4 d_ref^2 n sqrt(pi k T / m) at T = T_ref, per molecule: every
    # cell holds 20 particles, given N-bar = 20.
    gas = collide.GAS_DATA["Ar"]
    cells, per_cell, steps = 1000, 20, 40
    f_n, volume = 1e10, 1e-12
    n = per_cell * f_n / volume
    nu = 4 * gas.d_ref_vhs ** 2 * n * math.sqrt(math.pi * K * gas.t_ref / gas.mass)
    dt = 0.05 / nu
    models, sigma_ref = collide.mixture_models([gas])
    rng = np.random.default_rng(273)
    particles = cells * per_cell
    velocity = rng.normal(0.0, math.sqrt(K * gas.t_ref / gas.mass), (particles, 3))
    population, start, cross_ref = collide.sort_cells(
        (np.arange(particles) % cells).astype(np.int32), cells)
    max_weight = np.full(cells, collide.first_max_weight(models, [gas.mass], gas.t_ref))
    remainder = np.full(cells, 0.5)
    collisions = sum(collide.colider(
        velocity, max_weight, remainder, collide.select_coeff(f_n, dt, volume, sigma_ref),
        population, start, cross_ref, model=models[0][0], key=3, step=step,
        mean_population=np.full(cells, float(per_cell))) for step in range(steps))
    # About 20,000 collisions: a standard error of 0.7%, 2.5% is 3.5 of them.
    assert 2 * collisions / (particles * steps * dt) / nu == pytest.approx(1.0, abs=0.025)


@pytest.mark.parametrize("call, error, message", [
    (lambda: collide.mixture_models([collide.GAS_DATA["Ar"]._replace(mass=39.948)]), ValueError,
     "mixture_models: gases[0].mass is 39.948; in kg, a molecule's mass lies in [1e-28, 1e-23]"),
    (lambda: collide.mixture_models([collide.GAS_DATA["Ar"]], kind="vhs"), ValueError,
     "mixture_models: kind is 'vhs'; it must be one of 'HardSphere', 'VHS', 'VSS'"),
    (lambda: collide.mixture_models(collide.GAS_DATA["Ar"]), TypeError,
     "mixture_models: gases must be a sequence of GasData"),
    (lambda: collide.mixture_models([(1.0, 2.0)]), TypeError,
     "mixture_models: each gas must be a GasData"),
    (lambda: collide.select_coeff(1e10, 0.0, 1e-9, 6e-19), ValueError,
     "select_coeff: dt is 0; it must be finite and above 0"),
    (lambda: collide.select_coeff(1e10, "1", 1e-9, 6e-19), TypeError,
     "select_coeff: dt must be a number, not str"),
    (lambda: collide.first_max_weight(collide.HardSphere(), 39.948, 300.0), ValueError,
     "first_max_weight: mass[0] is 39.948; in kg, a molecule's mass lies in [1e-28, 1e-23]"),
    (lambda: collide.first_max_weight([[1]], [1e-26], 300.0), TypeError,
     "first_max_weight: models must be a collide.Model or a table of them"),
    (lambda: collide.first_max_weight(collide.HardSphere(), 1e-26, 1e7), ValueError,
     "first_max_weight: temperature is 1e+07; in K, it must be above 0 and at most 1e6"),
])
def test_values_in_the_wrong_units_are_refused_by_name(call, error, message):
    with pytest.raises(error) as raised:
        call()
    assert str(raised.value) == message
