#include "reference.h"

#include <cmath>

namespace capbeam::reference {

std::pair<long double, long double> Curve(long double k0, long double dk, long double s) {
    if (s == 0) return {0, 0};
    int n = static_cast<int>(std::ceil(s / 0.25L));
    n = std::max(64, n + (n % 2));
    const long double h = s / n;
    long double u = 0, v = 0;
    for (int i = 0; i <= n; ++i) {
        const long double t = i * h;
        const long double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
        const long double turn = k0 * t + dk * t * t / 2;
        u += w * std::cos(turn);
        v += w * std::sin(turn);
    }
    return {u * h / 3, v * h / 3};
}

std::pair<long double, long double> ClothoidSeries(long double C, long double l) {
    // x = Σ (-1)^n l^(4n+1) / ((4n+1) (2n)! (2C)^(2n)),
    // y = Σ (-1)^n l^(4n+3) / ((4n+3) (2n+1)! (2C)^(2n+1)).
    long double x = 0, y = 0;
    const long double a = l * l / (2 * C);  // the turn at l
    long double term = l;                   // l · a^m / m!
    for (int m = 0; m < 60; ++m) {
        const long double piece = term / (2 * m + 1);
        const int sign = (m / 2) % 2 ? -1 : 1;
        if (m % 2 == 0) x += sign * piece; else y += sign * piece;
        term *= a / (m + 1);
    }
    return {x, y};
}

Chain::Chain(const AlignmentStart& start, std::vector<Element> elements) : elements_(std::move(elements)) {
    Point p{start.X, start.Y, start.azimuth * kPi / 180};
    double s = start.distance;
    for (const Element& e : elements_) {
        starts_.push_back(p);
        s0_.push_back(s);
        const long double dk = (static_cast<long double>(e.k1) - e.k0) / e.length;
        const auto [u, v] = Curve(e.k0, dk, e.length);
        p = {p.X + u * std::cos(p.azimuth) - v * std::sin(p.azimuth),
             p.Y + u * std::sin(p.azimuth) + v * std::cos(p.azimuth),
             p.azimuth + e.k0 * static_cast<long double>(e.length) + dk * e.length * e.length / 2};
        s += e.length;
    }
    end_ = s;
}

Point Chain::At(double distance) const {
    std::size_t i = 0;
    while (i + 1 < elements_.size() && distance >= s0_[i + 1]) ++i;
    const Element& e = elements_[i];
    const Point& p = starts_[i];
    const long double t = distance - s0_[i];
    const long double dk = (static_cast<long double>(e.k1) - e.k0) / e.length;
    const auto [u, v] = Curve(e.k0, dk, t);
    return {p.X + u * std::cos(p.azimuth) - v * std::sin(p.azimuth), p.Y + u * std::sin(p.azimuth) + v * std::cos(p.azimuth),
            p.azimuth + e.k0 * t + dk * t * t / 2};
}

Road RandomRoad(std::mt19937& rng, double rMin) {
    Road road;
    road.start = {Uniform(rng, -50000, 50000), Uniform(rng, -50000, 50000), Uniform(rng, 0, 360), Uniform(rng, -500, 20000)};
    const int curves = 1 + static_cast<int>(rng() % 4);
    int side = rng() % 2 ? 1 : -1;
    road.elements.push_back({Uniform(rng, 20, 300), 0, 0});
    for (int c = 0; c < curves; ++c) {
        const double R = Uniform(rng, rMin, 20 * rMin);
        const double k = side / R;
        const double turn = Uniform(rng, 0.1, 1.6);  // radians of the arc
        if (rng() % 3) road.elements.push_back({Uniform(rng, 0.2, 0.5) * R * 0.5, 0, k});
        road.elements.push_back({turn * R, k, k});
        if (rng() % 4 == 0) {
            // an egg: a partial spiral to a larger radius, and that arc
            const double R2 = R * Uniform(rng, 1.3, 3);
            road.elements.push_back({Uniform(rng, 0.1, 0.3) * R, k, side / R2});
            road.elements.push_back({Uniform(rng, 0.2, 0.6) * R2, side / R2, side / R2});
            if (rng() % 2) road.elements.push_back({Uniform(rng, 0.1, 0.4) * R2, side / R2, 0});
        } else if (rng() % 3) {
            road.elements.push_back({Uniform(rng, 0.2, 0.5) * R * 0.5, k, 0});
        }
        road.elements.push_back({Uniform(rng, 5, 300), 0, 0});
        side = -side;
    }
    return road;
}

}  // namespace capbeam::reference
