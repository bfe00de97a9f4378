"""Relaxation of a hard-sphere gas to Maxwell-Boltzmann, from Python.

The same gas as gas_relax (gas.cpp): particles in a periodic box, sorted into
cells along x, every particle starting at one speed in a random direction, so
that a velocity component has kurtosis 1.8. Collisions through the collide
module relax it to 3. Each step draws its deviates from per-cell streams
(key=seed, step=the step's number).

    python3 gas_relax.py [--particles N] [--steps S] [--out gas_relax.png]

writes a picture of the kurtosis against time, and of the final speeds over
the Maxwell-Boltzmann density, and prints the final kurtosis. The picture
needs matplotlib (pip install "./collide[examples]"); without it the
example says so before it starts.
"""

import argparse
import math

import numpy as np

import collide


def maxwell_density(v, mean_square):
    """f(v) = sqrt(2 / pi) v^2 / a^3 exp(-v^2 / (2 a^2)), a^2 = <v^2> / 3."""
    a2 = mean_square / 3
    return math.sqrt(2 / math.pi) * v * v / a2 ** 1.5 * np.exp(-v * v / (2 * a2))


def kurtosis(x):
    d = x - x.mean()
    return (d ** 4).mean() / (d ** 2).mean() ** 2


class Gas:
    def __init__(self, particles=20000, cells=40, seed=1, time_step=0.01):
        rng = np.random.default_rng(seed)
        self.seed, self.cells, self.time_step = seed, cells, time_step
        self.x = rng.random(particles)
        cos_theta = 1 - 2 * rng.random(particles)
        sin_theta = np.sqrt(1 - cos_theta ** 2)
        phi = 2 * math.pi * rng.random(particles)
        self.velocity = np.column_stack(
            [sin_theta * np.cos(phi), sin_theta * np.sin(phi), cos_theta])
        # No pair of unit speeds is faster than 2; a uniform deviate a cell
        # starts the carried fraction without a short first step.
        self.max_rel_speed = np.full(cells, 2.0)
        self.select_remainder = rng.random(cells)
        # About 0.2 collisions per particle and step, as in gas_relax.
        self.select_coeff = 1.5e-4 * 20000 / particles
        self.steps = 0

    def step(self):
        """Stream, sort into cells along x, collide; returns the collisions."""
        self.x = (self.x + self.velocity[:, 0] * self.time_step) % 1.0
        cell = np.minimum((self.x * self.cells).astype(np.int32), self.cells - 1)
        population, start, cross_ref = collide.sort_cells(cell, self.cells)
        collisions = collide.colider(self.velocity, self.max_rel_speed, self.select_remainder,
                                     self.select_coeff, population, start, cross_ref,
                                     key=self.seed, step=self.steps)
        self.steps += 1
        return collisions


def relax(particles=20000, steps=150):
    """Runs the gas; returns the times (collisions per particle), the
    kurtosis of the x components at each, and the final speeds."""
    gas = Gas(particles)
    times, kurtoses = [0.0], [kurtosis(gas.velocity[:, 0])]
    for _ in range(steps):
        times.append(times[-1] + 2.0 * gas.step() / particles)
        kurtoses.append(kurtosis(gas.velocity[:, 0]))
    return np.array(times), np.array(kurtoses), np.linalg.norm(gas.velocity, axis=1)


def plot(times, kurtoses, speeds, out):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, (left, right) = plt.subplots(1, 2, figsize=(10, 4))
    left.plot(times, kurtoses, label="kurtosis of a velocity component")
    left.axhline(3, color="gray", linestyle="--", label="Maxwell-Boltzmann: 3")
    left.set_xlabel("collisions per particle")
    left.legend()
    right.hist(speeds, bins=40, range=(0, 3), density=True, label="final speeds")
    v = np.linspace(0, 3, 200)
    right.plot(v, maxwell_density(v, (speeds ** 2).mean()), label="Maxwell-Boltzmann")
    right.set_xlabel("speed")
    right.legend()
    figure.tight_layout()
    figure.savefig(out, dpi=80)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--particles", type=int, default=20000)
    parser.add_argument("--steps", type=int, default=150)
    parser.add_argument("--out", default="gas_relax.png")
    arguments = parser.parse_args(argv)
    try:
        import matplotlib  # noqa: F401  (the picture's, checked before the run)
    except ImportError:
        parser.exit(2, 'gas_relax.py: the picture needs matplotlib: '
                       'pip install "./collide[examples]" (or pip install matplotlib)\n')
    times, kurtoses, speeds = relax(arguments.particles, arguments.steps)
    plot(times, kurtoses, speeds, arguments.out)
    print(f"collisions per particle: {times[-1]:.6g}")
    print(f"final kurtosis of a velocity component: {kurtoses[-1]:.6g} (Maxwell-Boltzmann: 3)")
    print(f"picture: {arguments.out}")


if __name__ == "__main__":
    main()
