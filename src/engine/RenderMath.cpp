#include "engine/RenderMath.h"

#include <cmath>

namespace engine {

namespace {

// A value hi + lo with |lo| <= half an ulp of hi: about 106 bits of precision.
struct Dd {
    double hi;
    double lo;
};

Dd TwoSum(double a, double b) {
    double s = a + b;
    double bb = s - a;
    double e = (a - (s - bb)) + (b - bb);
    return {s, e};
}

Dd QuickTwoSum(double a, double b) {
    double s = a + b;
    double e = b - (s - a);
    return {s, e};
}

// Dekker's split: exact without a fused multiply-add (the build never contracts).
void Split(double a, double& hi, double& lo) {
    const double splitter = 134217729.0; // 2^27 + 1
    double t = splitter * a;
    hi = t - (t - a);
    lo = a - hi;
}

Dd TwoProd(double a, double b) {
    double p = a * b;
    double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    double e = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    return {p, e};
}

Dd Add(Dd a, Dd b) {
    Dd s = TwoSum(a.hi, b.hi);
    Dd t = TwoSum(a.lo, b.lo);
    s.lo += t.hi;
    s = QuickTwoSum(s.hi, s.lo);
    s.lo += t.lo;
    return QuickTwoSum(s.hi, s.lo);
}

Dd Neg(Dd a) {
    return {-a.hi, -a.lo};
}

Dd Mul(Dd a, Dd b) {
    Dd p = TwoProd(a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return QuickTwoSum(p.hi, p.lo);
}

Dd MulD(Dd a, double b) {
    Dd p = TwoProd(a.hi, b);
    p.lo += a.lo * b;
    return QuickTwoSum(p.hi, p.lo);
}

Dd Div(Dd a, Dd b) {
    double q1 = a.hi / b.hi;
    Dd r = Add(a, Neg(MulD(b, q1)));
    double q2 = r.hi / b.hi;
    r = Add(r, Neg(MulD(b, q2)));
    double q3 = r.hi / b.hi;
    Dd q = QuickTwoSum(q1, q2);
    return Add(q, Dd{q3, 0.0});
}

Dd DivD(Dd a, double b) {
    return Div(a, Dd{b, 0.0});
}

// pi/2 to about 160 bits, as three doubles.
const double kHalfPi[3] = {1.570796326794896558e+00, 6.123233995736766036e-17,
                           -1.497384904859169833e-33};

// exp(r) for |r| <= 1/512 by its Taylor series.
Dd ExpSmall(Dd r) {
    Dd sum{1.0, 0.0};
    Dd term{1.0, 0.0};
    for (int n = 1; n <= 14; ++n) {
        term = DivD(Mul(term, r), static_cast<double>(n));
        sum = Add(sum, term);
    }
    return sum;
}

// sin and cos of r for |r| <= pi/4 / 16 by their Taylor series.
void SinCosSmall(Dd r, Dd& s, Dd& c) {
    Dd r2 = Mul(r, r);
    Dd term = r;
    s = r;
    for (int n = 3; n <= 31; n += 2) {
        term = DivD(Mul(term, r2), -static_cast<double>((n - 1) * n));
        s = Add(s, term);
    }
    term = Dd{1.0, 0.0};
    c = term;
    for (int n = 2; n <= 30; n += 2) {
        term = DivD(Mul(term, r2), -static_cast<double>((n - 1) * n));
        c = Add(c, term);
    }
}

// x - k*(pi/2) in double-double, with k the nearest integer to x/(pi/2).
Dd ReduceQuarterTurns(double x, long long& k) {
    double kd = std::nearbyint(x / kHalfPi[0]);
    k = static_cast<long long>(kd);
    Dd r{x, 0.0};
    for (double part : kHalfPi) r = Add(r, Neg(TwoProd(kd, part)));
    return r;
}

void SinCosReduced(double x, Dd& s, Dd& c) {
    long long k = 0;
    Dd r = ReduceQuarterTurns(x, k);
    // Four halvings bring |r| <= pi/64; the double-angle formulas bring the result back.
    Dd small = MulD(r, 1.0 / 16.0);
    Dd ss, cc;
    SinCosSmall(small, ss, cc);
    for (int i = 0; i < 4; ++i) {
        Dd s2 = MulD(Mul(ss, cc), 2.0);
        Dd c2 = Add(Mul(cc, cc), Neg(Mul(ss, ss)));
        ss = s2;
        cc = c2;
    }
    switch (static_cast<int>(((k % 4) + 4) % 4)) {
    case 0:
        s = ss;
        c = cc;
        break;
    case 1:
        s = cc;
        c = Neg(ss);
        break;
    case 2:
        s = Neg(ss);
        c = Neg(cc);
        break;
    default:
        s = Neg(cc);
        c = ss;
        break;
    }
}

const double kLn2[2] = {6.931471805599452862e-01, 2.319046813846299558e-17};

} // namespace

double ExactExp(double x) {
    if (std::isnan(x)) return x;
    if (x > 709.8) return HUGE_VAL;
    if (x < -745.2) return 0.0;
    // x = m*ln2 + r, |r| <= ln2/2; exp(r) = exp(r/512)^512.
    double md = std::nearbyint(x / kLn2[0]);
    Dd r = Add(Dd{x, 0.0}, Neg(TwoProd(md, kLn2[0])));
    r = Add(r, Neg(TwoProd(md, kLn2[1])));
    Dd e = ExpSmall(MulD(r, 1.0 / 512.0));
    for (int i = 0; i < 9; ++i) e = Mul(e, e);
    return std::ldexp(e.hi + e.lo, static_cast<int>(md));
}

double ExactSin(double x) {
    if (!std::isfinite(x)) return x - x;
    Dd s, c;
    SinCosReduced(x, s, c);
    return s.hi + s.lo;
}

double ExactCos(double x) {
    if (!std::isfinite(x)) return x - x;
    Dd s, c;
    SinCosReduced(x, s, c);
    return c.hi + c.lo;
}

} // namespace engine
