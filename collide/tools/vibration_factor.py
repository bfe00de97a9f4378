"""The table of the vibrational exchange's factor f(theta_v / T, b) that
exchange.cpp interpolates, printed as C++ (python3 vibration_factor.py >
../vibration_factor_table.inc), with NumPy.

In a heat bath at kT = 1 a harmonic mode of quantum x = theta_v / T has
levels I with Boltzmann's populations, a collision of b = 5/2 - omega has
E_t ~ Gamma(b), and the discrete Larsen-Borgnakke exchange draws the new
level J given E_c = E_t + x I with weights (E_c - x J)^(b - 1). I and J
are then independent given E_c, and near equilibrium the mean energy
relaxes at the rate p (1 - Cov(I, J) / Var(I)) per collision, so that
Landau and Teller's Z needs p = f / Z with

  f = Var(I) / E[Var(I | E_c)].

E[Var(I | E_c)] is an integral over E_c = n x + r, r in [0, x): its
density is (1 - e^-x) e^-E_c W(E_c) / Gamma(b), W the sum of the weights
(E_c - x j)^(b - 1) = (k x + r)^(b - 1), k = n - j, so each level's
variance needs only prefix sums over k. r = x s^2 on a Gauss-Legendre rule
in s keeps the integrand smooth where r^(b - 1) is not.

The table holds h = (f - 1) (1 + x)^(b - 1), smooth on u = 1 / (1 + x) in
[0, 1]: h = 1 / b at u = 1 (f = 1 + 1/b, the continuous limit) and tends to
a constant as u goes to 0 (f - 1 falls as x^-(b - 1)).
"""
import sys
from math import gamma

import numpy as np

U_POINTS, B_POINTS = 129, 41
B_LOW, B_HIGH = 1.5, 2.0
S, WS = np.polynomial.legendre.leggauss(32)
S, WS = (S + 1) / 2, WS / 2


def factor(x, b, top=80.0):
    """f(x, b) by the integral above, over E_c up to `top` kT."""
    levels = int(top / x) + 2
    k = np.arange(levels)[:, None]
    r = x * S * S
    weight = (k * x + r[None, :]) ** (b - 1)  # (k, point)
    cw = np.cumsum(weight, axis=0)
    ckw = np.cumsum(k * weight, axis=0)
    ck2w = np.cumsum(k * k * weight, axis=0)
    n = np.arange(levels)[:, None]
    # Level j = n - k: sum_j j w = n W - sum k w; sum_j j^2 w = n^2 W - 2 n sum k w + sum k^2 w.
    m1 = n * cw - ckw
    m2 = n * n * cw - 2 * n * ckw + ck2w
    variance_weight = m2 - m1 * m1 / cw
    energy = n * x + r[None, :]
    density = (1 - np.exp(-x)) * np.exp(-energy) / gamma(b)
    integral = (density * variance_weight * (2 * x * S * WS)[None, :]).sum()
    var_i = np.exp(-x) / (-np.expm1(-x)) ** 2
    return var_i / integral


def h_value(u, b):
    if u == 1.0:
        return 1 / b
    x = 1 / u - 1
    return (factor(x, b) - 1) * (1 + x) ** (b - 1)


def main():
    us = np.linspace(0.0, 1.0, U_POINTS)
    us[0] = 1 / 256  # x = 255 stands in for the limit
    bs = np.linspace(B_LOW, B_HIGH, B_POINTS)
    print("// Made by tools/vibration_factor.py: h(u, b) = (f - 1) (1 + x)^(b - 1),")
    print(f"// u = 1 / (1 + x) at {U_POINTS} points from 0 to 1, b at {B_POINTS} from "
          f"{B_LOW} to {B_HIGH}; row by b.")
    for b in bs:
        row = ", ".join(f"{h_value(u, b):.9f}" for u in us)
        print(f"    {{{row}}},")


if __name__ == "__main__":
    sys.exit(main())
