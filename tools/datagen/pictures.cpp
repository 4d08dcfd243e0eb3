#include "tools/datagen/pictures.h"

#include <algorithm>
#include <cmath>

namespace datagen {
namespace {

constexpr int kW = 640, kH = 480;

const Mesh* FindMesh(const std::vector<NamedMesh>& meshes, const std::string& name) {
    for (const NamedMesh& m : meshes) {
        if (m.file == name) {
            return &m.mesh;
        }
    }
    return nullptr;
}

struct Palette {
    Pixel top, bottom;       // sky gradient
    Pixel nebulaA, nebulaB;  // two nebula colours
    float nebulaStrength;
};

// Deep space: a gradient, two layers of nebula clouds and stars of many sizes.
Image SpaceField(int w, int h, const Palette& pal, int seed, double starDensity) {
    Image img(w, h);
    img.VerticalGradient(pal.top, pal.bottom);
    const double scale = 1.0 / 170.0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double nx = x * scale, ny = y * scale;
            // domain warping gives the clouds their swirl
            const double wx = Fbm(nx + 3.1, ny - 1.7, seed + 7, 4);
            const double wy = Fbm(nx - 5.3, ny + 2.2, seed + 13, 4);
            const double a = Fbm(nx + 1.8 * wx, ny + 1.8 * wy, seed, 6);
            const double b = Fbm(nx * 1.7 - 2.0 * wy, ny * 1.7 + 2.0 * wx, seed + 31, 5);
            const double ca = std::pow(std::clamp((a - 0.42) * 2.6, 0.0, 1.0), 1.8);
            const double cb = std::pow(std::clamp((b - 0.47) * 2.8, 0.0, 1.0), 2.0);
            const float k = pal.nebulaStrength;
            img.AddLight(x, y, static_cast<float>(k * (pal.nebulaA.r * ca + pal.nebulaB.r * cb)),
                         static_cast<float>(k * (pal.nebulaA.g * ca + pal.nebulaB.g * cb)),
                         static_cast<float>(k * (pal.nebulaA.b * ca + pal.nebulaB.b * cb)));
            // a faint dust that darkens some of the glow
            const double dust = Fbm(nx * 2.5 + 9, ny * 2.5 - 4, seed + 57, 4);
            if (dust > 0.58) {
                Pixel& p = img.At(x, y);
                const float d = static_cast<float>(std::min(0.6, (dust - 0.58) * 2.5));
                p.r *= 1 - d;
                p.g *= 1 - d;
                p.b *= 1 - d;
            }
        }
    }
    const int stars = static_cast<int>(w * h * starDensity);
    for (int i = 0; i < stars; ++i) {
        const std::uint32_t r1 = Hash(i, seed, 1), r2 = Hash(i, seed, 2), r3 = Hash(i, seed, 3);
        const double x = (r1 % 100000) / 100000.0 * w, y = (r2 % 100000) / 100000.0 * h;
        const double m = (r3 % 1000) / 1000.0;
        const double bright = 0.25 + 0.75 * std::pow(m, 3.0);
        // star colours from red dwarfs to blue giants
        const int tint = static_cast<int>(Hash(i, seed, 4) % 5);
        const float tr[] = {1.0f, 1.0f, 0.85f, 1.0f, 0.75f};
        const float tg[] = {0.85f, 1.0f, 0.92f, 0.95f, 0.85f};
        const float tb[] = {0.7f, 1.0f, 1.0f, 0.8f, 1.0f};
        const auto br = static_cast<float>(bright);
        img.Glow(x, y, 0.55 + 0.9 * m * m, tr[tint] * br * 1.4f, tg[tint] * br * 1.4f,
                 tb[tint] * br * 1.4f);
        if (m > 0.985) {
            // a few bright stars with a soft halo and a cross flare
            img.Glow(x, y, 6.0, tr[tint] * 0.18f, tg[tint] * 0.18f, tb[tint] * 0.22f);
            for (int d = -14; d <= 14; ++d) {
                const float k = 0.5f * std::exp(-std::abs(d) / 4.0f);
                img.AddLight(static_cast<int>(x) + d, static_cast<int>(y), k, k, k);
                img.AddLight(static_cast<int>(x), static_cast<int>(y) + d, k, k, k);
            }
        }
    }
    return img;
}

// A lit planet disc with banded clouds, shaded from the upper left.
void Planet(Image& img, double cx, double cy, double radius, Pixel base, Pixel band, int seed) {
    const double lx = -0.6, ly = -0.5, lz = 0.62;
    for (int y = static_cast<int>(cy - radius - 2); y <= static_cast<int>(cy + radius + 2); ++y) {
        for (int x = static_cast<int>(cx - radius - 2); x <= static_cast<int>(cx + radius + 2);
             ++x) {
            const double dx = (x + 0.5 - cx) / radius, dy = (y + 0.5 - cy) / radius;
            const double d2 = dx * dx + dy * dy;
            if (d2 > 1.0) {
                // thin atmosphere rim
                const double rim = std::exp(-(std::sqrt(d2) - 1.0) * radius / 3.0);
                if (rim > 0.01) {
                    img.AddLight(x, y, 0.25f * rim * base.r, 0.25f * rim * base.g,
                                 0.35f * rim * base.b);
                }
                continue;
            }
            const double dz = std::sqrt(1.0 - d2);
            const double light = std::max(0.0, dx * lx + dy * ly + dz * lz);
            const double bands =
                Fbm(dy * 6.0 + 0.3 * Fbm(dx * 3, dy * 3, seed, 3), dx * 0.8, seed + 5, 4);
            const double mix = std::clamp((bands - 0.35) * 2.0, 0.0, 1.0);
            const float shade = static_cast<float>(0.06 + 0.94 * light);
            const float edge =
                static_cast<float>(std::clamp((1.0 - std::sqrt(d2)) * radius, 0.0, 1.0));
            const Pixel c{static_cast<float>((base.r * (1 - mix) + band.r * mix) * shade),
                          static_cast<float>((base.g * (1 - mix) + band.g * mix) * shade),
                          static_cast<float>((base.b * (1 - mix) + band.b * mix) * shade), 1.0f};
            img.Blend(x, y, c, edge);
        }
    }
}

// The planet's ground along the bottom of the level-4 view: a rocky plain in perspective
// from a horizon at y = horizon down to the bottom edge, with craters and rocks.
void Ground(Image& img, int horizon, int seed) {
    const int h = img.Height(), w = img.Width();
    for (int y = horizon; y < h; ++y) {
        const double depth = 1.0 / ((y - horizon + 1.0) / (h - horizon));  // far at the top
        for (int x = 0; x < w; ++x) {
            // ground coordinates: x spreads with nearness, z from the perspective depth
            const double gx = (x - w / 2.0) / (h - horizon) * (1.0 / depth) * 0.9;
            const double gz = depth * 3.0;
            const double n = Fbm(gx * 2.0 + 10, gz * 2.0, seed, 5);
            const double crater = Fbm(gx * 5.0, gz * 5.0, seed + 9, 3);
            double r = 0.46 + 0.28 * n, g = 0.30 + 0.20 * n, b = 0.22 + 0.14 * n;
            if (crater > 0.62) {
                r *= 0.72;
                g *= 0.72;
                b *= 0.75;
            }
            // haze towards the horizon
            const double haze = std::clamp(std::exp(-(y - horizon) / 18.0), 0.0, 1.0);
            const double light = 0.55 + 0.45 * (y - horizon) / static_cast<double>(h - horizon);
            img.At(x, y) = {static_cast<float>(r * light * (1 - haze) + 0.55 * haze),
                            static_cast<float>(g * light * (1 - haze) + 0.35 * haze),
                            static_cast<float>(b * light * (1 - haze) + 0.42 * haze), 1.0f};
        }
    }
    // a bright rim of atmosphere on the horizon
    for (int x = 0; x < w; ++x) {
        for (int dy = -10; dy < 0; ++dy) {
            const float k = 0.35f * std::exp(dy / 4.0f);
            img.AddLight(x, horizon + dy, k * 0.9f, k * 0.55f, k * 0.45f);
        }
    }
    // scattered boulders, larger nearer the viewer
    for (int i = 0; i < 26; ++i) {
        const double t = (Hash(i, seed, 11) % 1000) / 1000.0;
        const double y = horizon + 6 + t * t * (h - horizon - 4);
        const double x = (Hash(i, seed, 12) % 1000) / 1000.0 * w;
        const double r = 1.5 + 9.0 * (y - horizon) / (h - horizon);
        img.Disc(x + r * 0.25, y + r * 0.3, r * 1.05, {0.08f, 0.05f, 0.05f, 0.6f});  // shadow
        img.Disc(x, y, r, {0.38f, 0.26f, 0.22f, 1.0f});
        img.Disc(x - r * 0.3, y - r * 0.35, r * 0.45, {0.58f, 0.42f, 0.34f, 0.8f});
    }
}

// A picture made darker and less colourful so that text over it reads well.
void Dim(Image& img, float k) {
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            Pixel& p = img.At(x, y);
            p.r *= k;
            p.g *= k;
            p.b *= k;
        }
    }
}

// A horizontal band that darkens behind a caption.
void CaptionBand(Image& img, int yc, int halfHeight) {
    for (int y = yc - halfHeight * 2; y < yc + halfHeight * 2; ++y) {
        const float d = std::abs(y - yc) / static_cast<float>(halfHeight);
        const float k = 0.55f * std::exp(-d * d);
        for (int x = 0; x < img.Width(); ++x) {
            if (y < 0 || y >= img.Height()) {
                continue;
            }
            Pixel& p = img.At(x, y);
            p.r *= 1 - k;
            p.g *= 1 - k;
            p.b *= 1 - k;
        }
    }
}

void Line(Image& img, int y, int x0, int x1, Pixel c) {
    for (int x = x0; x < x1; ++x) {
        const float fade = std::min({1.0f, (x - x0) / 60.0f, (x1 - x) / 60.0f});
        img.Blend(x, y, c, fade);
        img.Blend(x, y + 1, c, fade * 0.5f);
    }
}

}  // namespace

std::vector<NamedImage> Backgrounds() {
    std::vector<NamedImage> out;
    // Level 1 and 2 and the title: blue-violet nebula.
    out.push_back({"sfondo.png", SpaceField(kW, kH,
                                            {{0.01f, 0.01f, 0.05f, 1},
                                             {0.02f, 0.01f, 0.08f, 1},
                                             {0.20f, 0.25f, 0.75f, 1},
                                             {0.70f, 0.15f, 0.55f, 1},
                                             0.55f},
                                            11, 0.0035)});
    // Level 3: red-orange nebula with a ringless gas giant far off.
    Image fase2 = SpaceField(kW, kH,
                             {{0.04f, 0.005f, 0.01f, 1},
                              {0.01f, 0.01f, 0.04f, 1},
                              {0.85f, 0.28f, 0.10f, 1},
                              {0.35f, 0.10f, 0.55f, 1},
                              0.5f},
                             23, 0.003);
    Planet(fase2, 520, 90, 58, {0.75f, 0.55f, 0.35f, 1}, {0.55f, 0.30f, 0.20f, 1}, 5);
    out.push_back({"sfondoFase2.png", std::move(fase2)});
    // Level 4: a teal sky over the planet's ground, which fills the bottom fifth.
    Image liv4 = SpaceField(kW, kH,
                            {{0.0f, 0.02f, 0.05f, 1},
                             {0.08f, 0.05f, 0.10f, 1},
                             {0.10f, 0.55f, 0.60f, 1},
                             {0.45f, 0.20f, 0.50f, 1},
                             0.45f},
                            37, 0.0028);
    Planet(liv4, 110, 110, 34, {0.55f, 0.70f, 0.85f, 1}, {0.85f, 0.90f, 0.95f, 1}, 8);
    Ground(liv4, 392, 41);
    out.push_back({"sfondo4liv.png", std::move(liv4)});
    return out;
}

namespace {

// The look of a level page: its sky and the caption's fill and halo colours.
struct PageLook {
    Palette palette;
    Pixel top, bottom, glow;
};

struct Page {
    std::string file, caption, goal;
    PageLook look;
    std::vector<std::string> props;  // meshes drawn around the caption
};

std::vector<Page> LevelPages() {
    const Palette blue{{0.01f, 0.01f, 0.05f, 1},
                       {0.03f, 0.01f, 0.09f, 1},
                       {0.20f, 0.30f, 0.80f, 1},
                       {0.60f, 0.15f, 0.60f, 1},
                       0.45f};
    const Palette red{{0.05f, 0.0f, 0.01f, 1},
                      {0.02f, 0.0f, 0.03f, 1},
                      {0.85f, 0.25f, 0.08f, 1},
                      {0.45f, 0.05f, 0.35f, 1},
                      0.45f};
    const Palette green{{0.0f, 0.03f, 0.03f, 1},
                        {0.02f, 0.02f, 0.06f, 1},
                        {0.10f, 0.60f, 0.50f, 1},
                        {0.20f, 0.30f, 0.70f, 1},
                        0.45f};
    const Palette gold{{0.03f, 0.02f, 0.0f, 1},
                       {0.02f, 0.01f, 0.05f, 1},
                       {0.80f, 0.60f, 0.15f, 1},
                       {0.60f, 0.20f, 0.50f, 1},
                       0.45f};
    const Pixel white{1, 1, 1, 1}, ice{0.55f, 0.85f, 1.0f, 1}, cyan{0.2f, 0.7f, 1.0f, 1};
    const Pixel yellow{1.0f, 0.95f, 0.6f, 1}, orange{1.0f, 0.55f, 0.1f, 1};
    const Pixel pale{0.8f, 1.0f, 0.85f, 1}, lime{0.3f, 0.95f, 0.45f, 1};
    const Pixel pink{1.0f, 0.8f, 0.8f, 1}, crimson{0.95f, 0.1f, 0.1f, 1};
    const PageLook blueLook{blue, white, ice, cyan};
    const PageLook redLook{red, yellow, orange, orange};
    const PageLook greenLook{green, pale, lime, lime};
    const PageLook goldLook{gold, yellow, orange, orange};
    const PageLook endLook{red, pink, crimson, crimson};
    return {
        {"Livello1.bmp",
         "LIVELLO 1",
         "Distruggi il disco volante tra gli asteroidi",
         blueLook,
         {"asteroide.x", "ufo.x", "asteroide2.x"}},
        {"Livello2.bmp",
         "LIVELLO 2",
         "Resisti 40 secondi e abbatti la squadriglia",
         redLook,
         {"NaveHorz.x", "asteroide.x", "uforid1.x"}},
        {"Livello3.bmp",
         "LIVELLO 3",
         "Distruggi i grandi dischi, poi la squadriglia in picchiata",
         blueLook,
         {"ufokryx.x", "uforid1.x", "ufokryx.x"}},
        {"Livello4.bmp",
         "LIVELLO 4",
         "A piedi sul pianeta: abbatti i dischi volanti",
         greenLook,
         {"uforid1.x", "astronautafire.x", "ufokryx.x"}},
        {"Livello5.bmp", "LIVELLO 5", "", redLook, {}},
        {"Livello6.bmp", "LIVELLO 6", "", greenLook, {}},
        {"Livello7.bmp", "LIVELLO 7", "", blueLook, {}},
        {"LivelloCompletato.bmp",
         "LIVELLO COMPLETATO",
         "Ottimo lavoro, pilota!",
         goldLook,
         {"Nave.x"}},
        {"GiocoCompletato.bmp",
         "GIOCO COMPLETATO",
         "Hai salvato la galassia!",
         goldLook,
         {"Nave.x", "ufokryx2.x"}},
        {"gameover.bmp", "GAME OVER", "", endLook, {"esplosione.x"}},
    };
}

// The page's actors, lit and small, in a row below the caption (one alone is larger and
// centred).
void DrawProps(Image& img, const Page& page, const std::vector<NamedMesh>& meshes) {
    const int n = static_cast<int>(page.props.size());
    for (int i = 0; i < n; ++i) {
        const Mesh* mesh = FindMesh(meshes, page.props[i]);
        if (!mesh) {
            continue;
        }
        int size = n == 1 ? 170 : 130;
        int px = n == 1 ? kW / 2 - size / 2 : 60 + i * (kW - 120 - size) / (n - 1);
        int py = n == 1 ? 295 : 310 + (i % 2) * 22;
        double yaw = 25.0 + 40.0 * i, pitch = 25.0;
        if (page.props[i] == "Nave.x") {
            yaw = 200;
            pitch = 30;
        }
        if (page.props[i] == "NaveHorz.x") {
            yaw = 85 + 10;
        }
        if (page.props[i] == "astronautafire.x") {
            yaw = 140;
        }
        if (page.file == "gameover.bmp") {
            size = 230;
            px = kW / 2 - size / 2;
            py = 245;
        }
        RenderMesh(img, *mesh, px, py, size, size, yaw, pitch);
    }
}

// The goal under the caption; one too long for a single line at a readable size goes on
// two, split at the comma.
void DrawGoal(Image& img, TextRenderer& regular, const std::string& goal, int captionY) {
    TextRenderer::Style small;
    small.top = {1, 1, 1, 1};
    small.bottom = {0.85f, 0.9f, 1.0f, 1};
    small.outline = {0, 0, 0, 0.9f};
    small.outlineRadius = 2;
    const auto comma = goal.find(", ");
    if (regular.FitSize(goal, 26, 600) < 24 && comma != std::string::npos) {
        const std::string first = goal.substr(0, comma + 1);
        const std::string second = goal.substr(comma + 2);
        const int goalSize =
            std::min(regular.FitSize(first, 26, 600), regular.FitSize(second, 26, 600));
        regular.DrawCentred(img, first, goalSize, kW / 2, captionY + 54, small);
        regular.DrawCentred(img, second, goalSize, kW / 2, captionY + 54 + goalSize + 8, small);
    } else {
        const int goalSize = regular.FitSize(goal, 26, 600);
        regular.DrawCentred(img, goal, goalSize, kW / 2, captionY + 58, small);
    }
}

// The caption on its band with a rule below, and the goal when the page has one.
void DrawCaption(Image& img, TextRenderer& bold, TextRenderer& regular, const Page& page) {
    const int captionY = page.goal.empty() ? 250 : 200;
    CaptionBand(img, captionY - 30, 48);
    TextRenderer::Style style;
    style.top = page.look.top;
    style.bottom = page.look.bottom;
    style.outline = {0.02f, 0.02f, 0.06f, 1};
    style.outlineRadius = 3;
    style.shadowOffset = 5;
    style.shadow = {0, 0, 0, 0.7f};
    style.glow = 0.9f;
    style.halo = page.look.glow;
    const int size = bold.FitSize(page.caption, 84, 590);
    bold.DrawCentred(img, page.caption, size, kW / 2, captionY, style);
    const Pixel& rule = page.look.bottom;
    Line(img, captionY + 18, 90, kW - 90, {rule.r, rule.g, rule.b, 0.8f});
    if (!page.goal.empty()) {
        DrawGoal(img, regular, page.goal, captionY);
    }
}

}  // namespace

std::vector<NamedImage> LevelPictures(TextRenderer& bold, TextRenderer& regular,
                                      const std::vector<NamedMesh>& meshes) {
    std::vector<NamedImage> out;
    int seed = 100;
    for (const Page& page : LevelPages()) {
        Image img = SpaceField(kW, kH, page.look.palette, seed++, 0.003);
        Dim(img, 0.85f);
        DrawProps(img, page, meshes);
        DrawCaption(img, bold, regular, page);
        out.push_back({page.file, std::move(img)});
    }
    return out;
}

Image EnergyBarSheet() {
    Image img(128, 168, {0, 0, 0, 0});
    const Pixel colours[6] = {{0.92f, 0.12f, 0.10f, 1}, {0.92f, 0.12f, 0.10f, 1},
                              {0.98f, 0.85f, 0.10f, 1}, {0.98f, 0.85f, 0.10f, 1},
                              {0.15f, 0.85f, 0.20f, 1}, {0.15f, 0.85f, 0.20f, 1}};
    for (int band = 0; band < 7; ++band) {
        const int filled = 6 - band;
        for (int i = 0; i < 6; ++i) {
            const int x0 = 3 + i * 21, x1 = x0 + 18;
            const int y0 = band * 24 + 3, y1 = band * 24 + 21;
            if (i < filled) {
                const Pixel c = colours[i];
                for (int y = y0; y < y1; ++y) {
                    // a glossy look: lighter at the top, darker at the bottom
                    const float t = static_cast<float>(y - y0) / (y1 - y0 - 1);
                    const float k = 1.25f - 0.55f * t;
                    for (int x = x0; x < x1; ++x) {
                        const bool edge = x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1;
                        const float e = edge ? 0.55f : k;
                        img.At(x, y) = {std::min(1.0f, c.r * e + (t < 0.3f && !edge ? 0.15f : 0)),
                                        std::min(1.0f, c.g * e + (t < 0.3f && !edge ? 0.15f : 0)),
                                        std::min(1.0f, c.b * e + (t < 0.3f && !edge ? 0.15f : 0)),
                                        1.0f};
                    }
                }
            } else {
                // an empty box: its outline only, the inside left transparent
                for (int y = y0; y < y1; ++y) {
                    for (int x = x0; x < x1; ++x) {
                        const bool edge = x == x0 || x == x1 - 1 || y == y0 || y == y1 - 1;
                        if (edge) {
                            img.At(x, y) = {0.75f, 0.78f, 0.85f, 0.85f};
                        }
                    }
                }
            }
        }
    }
    return img;
}

Image ShipIcon(const Mesh& ship, int size) {
    Image img(size, size, {0, 0, 0, 0});
    RenderMesh(img, ship, 0, 0, size, size, kIconYaw, kIconPitch, 0.0, kIconZoom);
    return img;
}

Image AboutPicture(TextRenderer& bold, const Mesh& ship) {
    Palette pal{{0.01f, 0.02f, 0.07f, 1},
                {0.04f, 0.01f, 0.10f, 1},
                {0.20f, 0.35f, 0.85f, 1},
                {0.60f, 0.15f, 0.60f, 1},
                0.5f};
    Image img = SpaceField(164, 50, pal, 77, 0.012);
    RenderMesh(img, ship, 4, 3, 44, 44, 200, 35);
    TextRenderer::Style style;
    style.top = {1, 1, 1, 1};
    style.bottom = {0.3f, 0.8f, 1.0f, 1};
    style.outline = {0, 0, 0.1f, 1};
    style.outlineRadius = 1;
    style.glow = 0.6f;
    const int size = bold.FitSize("Kryx Space", 22, 108);
    bold.DrawCentred(img, "Kryx Space", size, 104, 32, style);
    return img;
}

}  // namespace datagen
