#include "tools/datagen/models.h"

#include <cmath>
#include <cstdint>

namespace datagen {
namespace {

constexpr double kPi = 3.14159265358979323846;

Material Mat(Rgb diffuse, double power = 20, Rgb specular = {0.35, 0.35, 0.35}, Rgb emissive = {}) {
    Material m;
    m.diffuse = diffuse;
    m.power = power;
    m.specular = specular;
    m.emissive = emissive;
    return m;
}

Material Glow(Rgb colour, double strength = 0.8) {
    return Mat(colour, 10, {0.2, 0.2, 0.2},
               {colour.r * strength, colour.g * strength, colour.b * strength});
}

void Add(Mesh& m, Solid s, int material, bool smooth) {
    m.AddPart(s.points, s.tris, material, smooth, &s.centre);
}

// A prism from a convex polygon given in two axes, extruded along the third:
// axis 0: polygon (y, z) along x; axis 1: polygon (x, z) along y; axis 2: (x, y) along z.
Solid Prism(const std::vector<std::array<double, 2>>& polygon, int axis, double a0, double a1) {
    Solid s = PrismZ(polygon, a0, a1);
    auto map = [axis](Vec3 p) -> Vec3 {
        if (axis == 0) {
            return {p.z, p.x, p.y};
        }
        if (axis == 1) {
            return {p.x, p.z, p.y};
        }
        return p;
    };
    for (Vec3& p : s.points) {
        p = map(p);
    }
    s.centre = map(s.centre);
    return s;
}

// Turns a solid built along +z so that +z points along dir.
void OrientZ(Solid& s, Vec3 dir) {
    const Vec3 d = Normalize(dir);
    const Vec3 helper = std::fabs(d.y) < 0.9 ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    const Vec3 u = Normalize(Cross(helper, d));
    const Vec3 v = Cross(d, u);
    auto map = [&](Vec3 p) { return u * p.x + v * p.y + d * p.z; };
    for (Vec3& p : s.points) {
        p = map(p);
    }
    s.centre = map(s.centre);
}

Solid Ellipsoid(int level, Vec3 radii, Vec3 centre) {
    Solid s = IcoSphere(level);
    Place(s, radii, centre);
    return s;
}

// A smooth deterministic noise on the unit sphere: a sum of waves along fixed directions.
double SphereNoise(Vec3 p, int seed, int octaves) {
    std::uint32_t state = 0x9E3779B9u * static_cast<std::uint32_t>(seed + 1);
    auto next = [&state]() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state % 10000) / 10000.0;
    };
    double sum = 0, amp = 1, freq = 2.0, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        for (int k = 0; k < 3; ++k) {
            const Vec3 d = Normalize({next() - 0.5, next() - 0.5, next() - 0.5});
            const double phase = next() * 2 * kPi;
            sum += amp * std::sin(Dot(p, d) * freq + phase);
            norm += amp;
        }
        amp *= 0.5;
        freq *= 2.1;
    }
    return sum / norm;
}

// ---- ship ----

Mesh Ship(bool sideVariant) {
    Mesh m;
    const int hull = m.AddMaterial(Mat({0.66, 0.71, 0.80}, 30, {0.7, 0.7, 0.7}));
    const int dark = m.AddMaterial(Mat({0.22, 0.25, 0.32}, 20));
    const int glass = m.AddMaterial(Mat({0.10, 0.55, 0.90}, 60, {1, 1, 1}, {0.02, 0.12, 0.22}));
    const int stripe =
        m.AddMaterial(sideVariant ? Mat({1.0, 0.62, 0.05}, 20) : Mat({0.86, 0.10, 0.12}, 20));
    const int flame = m.AddMaterial(Glow({1.0, 0.55, 0.12}, 0.9));

    // fuselage along +z, nose forward
    Add(m,
        LatheZ({{0, 0.66},
                {0.05, 0.58},
                {0.10, 0.42},
                {0.14, 0.20},
                {0.15, -0.05},
                {0.14, -0.35},
                {0.11, -0.50},
                {0, -0.50}},
               16),
        hull, true);
    // cockpit canopy
    Add(m, Ellipsoid(2, {0.075, 0.075, 0.19}, {0, 0.10, 0.22}), glass, true);
    // swept wings and their tip stripes
    for (int side = -1; side <= 1; side += 2) {
        const double s = side;
        std::vector<std::array<double, 2>> wing = {
            {0.10 * s, 0.25}, {0.46 * s, -0.30}, {0.46 * s, -0.44}, {0.10 * s, -0.40}};
        Add(m, Prism(wing, 1, -0.022, 0.022), hull, false);
        std::vector<std::array<double, 2>> tip = {
            {0.46 * s, -0.30}, {0.50 * s, -0.30}, {0.50 * s, -0.46}, {0.46 * s, -0.44}};
        Add(m, Prism(tip, 1, -0.03, 0.03), stripe, false);
        // wing-tip cannon
        Add(m, Box({0.475 * s - 0.012, -0.012, -0.30}, {0.475 * s + 0.012, 0.012, 0.05}), dark,
            false);
        // engine nacelle and its exhaust glow
        Solid nacelle = LatheZ(
            {{0, 0.12}, {0.05, 0.06}, {0.065, -0.10}, {0.065, -0.40}, {0.055, -0.52}, {0, -0.52}},
            12);
        Place(nacelle, {1, 1, 1}, {0.20 * s, -0.03, 0});
        Add(m, nacelle, dark, true);
        Solid exhaust = LatheZ({{0.045, -0.52}, {0.03, -0.56}, {0, -0.58}}, 12);
        Place(exhaust, {1, 1, 1}, {0.20 * s, -0.03, 0});
        Add(m, exhaust, flame, true);
        // stripe along the fuselage side
        if (sideVariant) {
            Add(m, Box({0.135 * s - 0.01, -0.03, -0.38}, {0.135 * s + 0.01, 0.03, 0.22}), stripe,
                false);
        }
    }
    // tail fin, taller on the side-view ship, whose profile the player sees
    const double finTop = sideVariant ? 0.36 : 0.28;
    std::vector<std::array<double, 2>> fin = {
        {0.08, -0.18}, {0.08, -0.48}, {finTop, -0.50}, {finTop, -0.40}};
    Add(m, Prism(fin, 0, -0.014, 0.014), sideVariant ? stripe : hull, false);
    m.Centre();
    return m;
}

// ---- astronaut ----

Mesh Astronaut(bool firing) {
    Mesh m;
    const int suit = m.AddMaterial(Mat({0.92, 0.92, 0.90}, 15, {0.3, 0.3, 0.3}));
    const int grey = m.AddMaterial(Mat({0.45, 0.47, 0.52}, 20));
    const int visor = m.AddMaterial(Mat({0.95, 0.70, 0.15}, 80, {1, 1, 1}, {0.15, 0.08, 0.0}));
    const int accent = m.AddMaterial(Mat({0.15, 0.35, 0.85}, 20));
    const int gunGlow = firing ? m.AddMaterial(Glow({0.3, 1.0, 0.5}, 0.9)) : -1;

    // legs and boots
    for (int side = -1; side <= 1; side += 2) {
        const double s = side;
        Add(m, Box({0.035 * s, -0.42, -0.055}, {0.125 * s, -0.10, 0.055}), suit, false);
        Add(m, Box({0.03 * s, -0.50, -0.07}, {0.13 * s, -0.42, 0.09}), grey, false);
    }
    // torso, belt and backpack (the back faces the camera)
    Add(m, Box({-0.16, -0.12, -0.09}, {0.16, 0.22, 0.09}), suit, false);
    Add(m, Box({-0.165, -0.12, -0.095}, {0.165, -0.07, 0.095}), accent, false);
    Add(m, Box({-0.13, -0.06, -0.21}, {0.13, 0.21, -0.09}), grey, false);
    Add(m, Box({-0.09, 0.02, -0.225}, {0.09, 0.15, -0.21}), accent, false);
    // helmet and visor
    Add(m, Ellipsoid(2, {0.135, 0.13, 0.135}, {0, 0.355, 0}), suit, true);
    Add(m, Ellipsoid(2, {0.10, 0.075, 0.06}, {0, 0.36, 0.095}), visor, true);
    // arms
    for (int side = -1; side <= 1; side += 2) {
        const double s = side;
        if (firing) {
            // both arms held forward, holding the gun
            Add(m, Box({0.16 * s, 0.10, -0.04}, {0.22 * s, 0.18, 0.30}), suit, false);
        } else {
            Add(m, Box({0.165 * s, -0.10, -0.045}, {0.225 * s, 0.20, 0.045}), suit, false);
            Add(m, Box({0.16 * s, -0.16, -0.05}, {0.23 * s, -0.10, 0.05}), grey, false);
        }
    }
    if (firing) {
        Add(m, Box({-0.05, 0.10, 0.24}, {0.05, 0.17, 0.46}), grey, false);
        Solid tip = LatheZ({{0.03, 0.46}, {0.02, 0.50}, {0, 0.52}}, 10);
        Place(tip, {1, 1, 1}, {0, 0.135, 0});
        Add(m, tip, gunGlow, true);
    }
    m.Centre();
    return m;
}

// ---- rocks ----

Mesh LumpyRock() {
    Mesh m;
    const int rock = m.AddMaterial(Mat({0.56, 0.50, 0.43}, 8, {0.15, 0.15, 0.15}));
    const int crater = m.AddMaterial(Mat({0.36, 0.32, 0.28}, 8, {0.1, 0.1, 0.1}));
    Solid s = IcoSphere(2);
    for (Vec3& p : s.points) {
        const double r = 1.0 + 0.22 * SphereNoise(p, 3, 3);
        p = p * r;
    }
    Place(s, {0.40, 0.34, 0.38}, {0, 0, 0});
    // Two materials: the faces in the hollows are darker.
    std::vector<std::array<int, 3>> hi, lo;
    for (const auto& t : s.tris) {
        const Vec3 mid = (s.points[t[0]] + s.points[t[1]] + s.points[t[2]]) * (1.0 / 3.0);
        (SphereNoise(Normalize(mid), 11, 2) < -0.15 ? lo : hi).push_back(t);
    }
    // Shared vertices across both parts keep one smooth surface: add as one part per
    // material with the same points and the same centre.
    m.AddPart(s.points, hi, rock, true, &s.centre);
    m.AddPart(s.points, lo, crater, true, &s.centre);
    m.Centre();
    return m;
}

Mesh FacetedRock() {
    Mesh m;
    const int rock = m.AddMaterial(Mat({0.58, 0.42, 0.36}, 10, {0.2, 0.2, 0.2}));
    const int vein = m.AddMaterial(Mat({0.40, 0.40, 0.46}, 40, {0.6, 0.6, 0.7}));
    Solid s = IcoSphere(1);
    std::uint32_t state = 12345;
    for (Vec3& p : s.points) {
        state = state * 1664525u + 1013904223u;
        const double r = 0.78 + 0.30 * ((state >> 8) % 1000) / 1000.0;
        p = p * r;
    }
    Place(s, {0.34, 0.30, 0.33}, {0, 0, 0});
    std::vector<std::array<int, 3>> a, b;
    for (std::size_t i = 0; i < s.tris.size(); ++i) {
        (i % 5 == 2 ? b : a).push_back(s.tris[i]);
    }
    m.AddPart(s.points, a, rock, false, &s.centre);
    m.AddPart(s.points, b, vein, false, &s.centre);
    m.Centre();
    return m;
}

Mesh ShatteredRock() {
    Mesh m;
    const int rock = m.AddMaterial(Mat({0.50, 0.44, 0.38}, 8, {0.15, 0.15, 0.15}));
    const int hot = m.AddMaterial(Glow({1.0, 0.45, 0.10}, 0.7));
    std::uint32_t state = 777;
    auto rnd = [&state]() {
        state = state * 1664525u + 1013904223u;
        return ((state >> 8) % 10000) / 10000.0;
    };
    for (int i = 0; i < 9; ++i) {
        Solid shard = IcoSphere(0);
        for (Vec3& p : shard.points) {
            p = p * (0.6 + 0.7 * rnd());
        }
        const double a = 2 * kPi * i / 9.0, e = (rnd() - 0.5) * 1.6;
        const Vec3 dir = {std::cos(a) * std::cos(e), std::sin(e), std::sin(a) * std::cos(e)};
        const double size = 0.08 + 0.06 * rnd();
        Place(shard, {size, size * 0.8, size}, dir * (0.25 + 0.08 * rnd()));
        Add(m, shard, i % 3 == 0 ? hot : rock, false);
    }
    Add(m, Ellipsoid(1, {0.12, 0.12, 0.12}, {0, 0, 0}), hot, true);
    m.Centre();
    return m;
}

Mesh Explosion() {
    Mesh m;
    const int core = m.AddMaterial(Glow({1.0, 0.95, 0.55}, 1.0));
    const int flame = m.AddMaterial(Glow({1.0, 0.55, 0.08}, 0.9));
    const int ember = m.AddMaterial(Glow({0.95, 0.18, 0.05}, 0.8));
    Add(m, Ellipsoid(1, {0.36, 0.36, 0.36}, {0, 0, 0}), core, true);
    Solid dirs = IcoSphere(1);
    for (std::size_t i = 0; i < dirs.points.size(); ++i) {
        const Vec3 d = dirs.points[i];
        const bool longSpike = i < 12;  // the icosahedron's own corners
        const double len = longSpike ? 0.88 : 0.62;
        Solid spike = LatheZ({{0, len}, {0.06, len * 0.55}, {0.11, 0.20}, {0, 0.10}}, 6);
        OrientZ(spike, d);
        Add(m, spike, longSpike ? flame : ember, false);
    }
    m.Centre();
    return m;
}

// ---- saucers ----

Mesh SmallSaucer(bool variant) {
    Mesh m;
    const int hull = variant ? m.AddMaterial(Mat({0.32, 0.40, 0.58}, 40, {0.8, 0.8, 0.8}))
                             : m.AddMaterial(Mat({0.55, 0.68, 0.58}, 40, {0.8, 0.8, 0.8}));
    const int trim = m.AddMaterial(Mat({0.30, 0.32, 0.36}, 20));
    const int dome = variant
                         ? m.AddMaterial(Mat({1.0, 0.85, 0.30}, 70, {1, 1, 1}, {0.30, 0.20, 0.0}))
                         : m.AddMaterial(Mat({0.35, 0.85, 1.0}, 70, {1, 1, 1}, {0.05, 0.25, 0.35}));
    const int lamp =
        variant ? m.AddMaterial(Glow({1.0, 0.9, 0.2})) : m.AddMaterial(Glow({0.3, 1.0, 0.3}));
    const int segments = variant ? 8 : 24;
    Add(m,
        LatheY({{0, -0.13}, {0.34, -0.13}, {0.75, -0.02}, {0.75, 0.02}, {0.42, 0.10}, {0, 0.10}},
               segments),
        hull, false);
    Add(m, LatheY({{0, -0.19}, {0.22, -0.19}, {0.30, -0.12}, {0, -0.12}}, segments), trim, false);
    Add(m,
        LatheY({{0.30, 0.09}, {0.28, 0.17}, {0.21, 0.25}, {0.11, 0.30}, {0, 0.315}, {0, 0.09}}, 16),
        dome, true);
    const int lamps = variant ? 8 : 10;
    for (int i = 0; i < lamps; ++i) {
        const double a = 2 * kPi * (i + 0.5) / lamps;
        Add(m, Ellipsoid(1, {0.045, 0.03, 0.045}, {0.58 * std::cos(a), 0.055, 0.58 * std::sin(a)}),
            lamp, true);
    }
    m.Centre();
    return m;
}

Mesh LargeSaucer() {
    Mesh m;
    const int hull = m.AddMaterial(Mat({0.42, 0.33, 0.58}, 40, {0.8, 0.8, 0.9}));
    const int plate = m.AddMaterial(Mat({0.25, 0.22, 0.32}, 20));
    const int dome = m.AddMaterial(Mat({0.95, 0.35, 0.95}, 70, {1, 1, 1}, {0.30, 0.05, 0.30}));
    const int lamp = m.AddMaterial(Glow({0.3, 0.95, 1.0}));
    const int pod = m.AddMaterial(Glow({1.0, 0.25, 0.15}, 0.7));
    Add(m,
        LatheY({{0, -0.22},
                {0.70, -0.26},
                {1.50, -0.05},
                {1.50, 0.03},
                {1.05, 0.15},
                {0.62, 0.22},
                {0, 0.22}},
               32),
        hull, false);
    Add(m, LatheY({{0, -0.34}, {0.45, -0.34}, {0.70, -0.24}, {0, -0.24}}, 16), plate, false);
    // A tall dome above and an emitter mast below: the saucer is about 2 units high, so that
    // one returning at the top or bottom of its range (y +-4.5) still reaches down (or up)
    // into the band the ship's shot can cover (y +-3.5 and the shot's own height).
    Add(m,
        LatheY({{0.56, 0.20}, {0.53, 0.45}, {0.44, 0.68}, {0.28, 0.88}, {0, 0.98}, {0, 0.20}}, 20),
        dome, true);
    Add(m, LatheY({{0, -1.02}, {0.10, -0.98}, {0.16, -0.70}, {0.30, -0.34}, {0, -0.34}}, 16), plate,
        false);
    for (int i = 0; i < 16; ++i) {
        const double a = 2 * kPi * (i + 0.5) / 16;
        Add(m, Ellipsoid(1, {0.07, 0.045, 0.07}, {1.22 * std::cos(a), 0.10, 1.22 * std::sin(a)}),
            lamp, true);
    }
    for (int i = 0; i < 3; ++i) {
        const double a = 2 * kPi * i / 3 + kPi / 6;
        Add(m, Ellipsoid(1, {0.13, 0.10, 0.13}, {0.45 * std::cos(a), -0.36, 0.45 * std::sin(a)}),
            pod, true);
    }
    m.Centre();
    return m;
}

// ---- shots ----

Mesh Bolt(Rgb colour, double glow, bool dark) {
    Mesh m;
    const int core = m.AddMaterial(dark ? Mat(colour, 60, {0.9, 0.7, 1.0}, {0.12, 0.0, 0.20})
                                        : Glow(colour, glow));
    const int halo =
        m.AddMaterial(dark ? Glow({0.55, 0.10, 0.85}, 0.6) : Glow({1.0, 1.0, 0.85}, 1.0));
    Add(m,
        LatheZ(
            {{0, 0.62}, {0.035, 0.54}, {0.075, 0.36}, {0.075, -0.36}, {0.035, -0.54}, {0, -0.62}},
            10),
        core, true);
    // a bright tip
    Add(m, LatheZ({{0, 0.66}, {0.03, 0.60}, {0.03, 0.50}, {0, 0.50}}, 8), halo, true);
    m.Centre();
    return m;
}

}  // namespace

std::vector<NamedMesh> BuildAllMeshes() {
    const Mesh ship = Ship(false);
    const Mesh shipSide = Ship(true);
    const Mesh astronaut = Astronaut(false);
    const Mesh rock1 = LumpyRock();
    const Mesh rock2 = FacetedRock();
    const Mesh ufo = SmallSaucer(false);
    const Mesh ufoRid = SmallSaucer(true);
    const Mesh kryx = LargeSaucer();
    return {
        {"Nave.x", ship},
        {"NaveColpita.x", Tinted(ship)},
        {"astronauta.x", astronaut},
        {"astronautaColpito.x", Tinted(astronaut)},
        {"astronautafire.x", Astronaut(true)},
        {"NaveHorz.x", shipSide},
        {"NaveHorzColpita.x", Tinted(shipSide)},
        {"asteroide.x", rock1},
        {"asteroide2.x", rock2},
        {"asteroideImpatto.x", Tinted(rock1)},
        {"asteroideImpatto2.x", Tinted(rock2)},
        {"asteroideesploso.x", ShatteredRock()},
        {"esplosione.x", Explosion()},
        {"ufo.x", ufo},
        {"uforid1.x", ufoRid},
        {"uforidcolpito1.x", Tinted(ufoRid)},
        {"ufokryx.x", kryx},
        {"ufokryx2.x", Tinted(kryx)},
        {"ufocolpito.x", Tinted(ufo)},
        {"fire.x", Bolt({1.0, 0.35, 0.10}, 0.9, false)},
        {"fireblack.x", Bolt({0.10, 0.06, 0.14}, 0.0, true)},
        {"fireHorz.x", Bolt({0.20, 1.0, 0.55}, 0.9, false)},
    };
}

}  // namespace datagen
