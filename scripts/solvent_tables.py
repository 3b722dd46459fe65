#!/usr/bin/env python3
"""Writes the solvent tables of the low-temperature quantum yield into tables/.

n^2(T): Lorentz-Lorenz relation, (n^2 - 1)/(n^2 + 2) proportional to the density, anchored at the
sodium-D refractive index at 20 C, with the density over temperature from
  ethanol:  the DIPPR 105 liquid-density correlation in Perry's Chemical Engineers' Handbook (8th ed.,
            section 2: A = 1.648 kmol/m3, B = 0.27627, C = 513.92 K, D = 0.2331; fitted 159-514 K),
  2-MeTHF:  the Rackett temperature dependence (Tc = 537 K, Z_RA = 0.26) through 0.854 g/cm3 at 298.15 K;
n_D(20 C) = 1.3611 (ethanol) and 1.4060 (2-methyltetrahydrofuran), CRC Handbook of Chemistry and Physics,
physical constants of organic compounds.

log10(eta / mPa s):
  ethanol:  DIPPR 101 liquid-viscosity correlation in Perry's Handbook (section 2: ln(eta/Pa s) = 7.875 + 781.98/T
            - 3.0418 ln T; fitted 200-440 K) from 200 K up; below 200 K a Vogel-Fulcher-Tammann curve
            through that correlation at 298.15 K and 200 K and 10^12 Pa s at the calorimetric glass
            transition, 97 K (Haida, Suga, Seki, J. Chem. Thermodyn. 9 (1977) 1133).
  2-MeTHF:  a Vogel-Fulcher-Tammann curve through 0.46 mPa s at 298.15 K (Aycock, Org. Process Res.
            Dev. 11 (2007) 156) and the ends of the glass viscosities measured by Ling and Willard
            (J. Phys. Chem. 72 (1968) 1918): about 10^4 P at 107 K and 10^12 P at 92 K.
"""
import math
import os

def lorentz_lorenz(n):
    return (n * n - 1) / (n * n + 2)

def n_squared(ll):
    return (1 + 2 * ll) / (1 - ll)

def rho_ethanol(t):
    a, b, c, d = 1.648, 0.27627, 513.92, 0.2331
    return a / b ** (1 + (1 - t / c) ** d) * 46.069 / 1000.0

def rho_mthf(t):
    tc, z = 537.0, 0.26
    return 0.854 * z ** ((1 - 298.15 / tc) ** (2 / 7) - (1 - t / tc) ** (2 / 7))

def eta_ethanol_dippr(t):  # mPa s
    return math.exp(7.875 + 781.98 / t - 3.0418 * math.log(t)) * 1000.0

def vft(points):
    """A, B, T0 of log10 eta = A + B / (T - T0) through three (T, log10 eta) points."""
    (t1, y1), (t2, y2), (t3, y3) = points
    def solve(t0):
        b = (y1 - y2) / (1 / (t1 - t0) - 1 / (t2 - t0))
        a = y1 - b / (t1 - t0)
        return a + b / (t3 - t0) - y3, a, b
    lo, hi = 0.0, min(t1, t2, t3) - 1e-6
    for _ in range(200):
        mid = (lo + hi) / 2
        if solve(lo)[0] * solve(mid)[0] <= 0:
            hi = mid
        else:
            lo = mid
    t0 = (lo + hi) / 2
    _, a, b = solve(t0)
    return a, b, t0

def write(path, label, comments, rows, digits):
    with open(path, "w", newline="\r\n") as f:
        f.write(label + "\n")
        for c in comments:
            f.write("# " + c + "\n")
        for t, v in rows:
            f.write("%d\t%.*f\n" % (t, digits, v))

def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tables")
    temps = range(77, 321)
    r_e = lorentz_lorenz(1.3611) / rho_ethanol(293.15)
    r_m = lorentz_lorenz(1.4060) / rho_mthf(293.15)
    src_n = "from the density (Lorentz-Lorenz), see solvent_tables_sources.txt"
    write(os.path.join(out, "etoh.fak"), "T[K]\tn^2",
          ["ethanol: square of the refractive index (sodium D line) over temperature in K",
           src_n, "below 159 K (freezing point) the density is extrapolated"],
          [(t, n_squared(r_e * rho_ethanol(t))) for t in temps], 5)
    write(os.path.join(out, "2methf.fak"), "T[K]\tn^2",
          ["2-methyltetrahydrofuran: square of the refractive index (sodium D line) over temperature in K",
           src_n, "below 137 K (freezing point) the density is extrapolated"],
          [(t, n_squared(r_m * rho_mthf(t))) for t in temps], 5)
    a, b, t0 = vft([(298.15, math.log10(eta_ethanol_dippr(298.15))),
                    (200.0, math.log10(eta_ethanol_dippr(200.0))), (97.0, 15.0)])
    rows = [(t, math.log10(eta_ethanol_dippr(t)) if t >= 200 else a + b / (t - t0)) for t in range(97, 321)]
    write(os.path.join(out, "etoh_log_eta.fak"), "T[K]\tlog(eta)",
          ["ethanol: decadic logarithm of the viscosity in mPa s over temperature in K",
           "from 97 K (glass transition) up, see solvent_tables_sources.txt"], rows, 4)
    a, b, t0 = vft([(298.15, math.log10(0.46)), (107.0, 6.0), (92.0, 14.0)])
    rows = [(t, a + b / (t - t0)) for t in range(92, 321)]
    write(os.path.join(out, "2methf_log_eta.fak"), "T[K]\tlog(eta)",
          ["2-methyltetrahydrofuran: decadic logarithm of the viscosity in mPa s over temperature in K",
           "from 92 K (glass transition) up, see solvent_tables_sources.txt"], rows, 4)

if __name__ == "__main__":
    main()
