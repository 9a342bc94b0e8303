#include "geometry/FindPhoto.h"

#include "geometry/Rotate.h"
#include "imagora/Imagora.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
// The scan is first judged in blocks, some 600 to its shorter side: their
// means hold less noise than pixels, and a 300-dpi page is read only once.
constexpr int kBlocksShortSide = 600;
// Blocks this far from the scan's edge show the background.
constexpr int kRingBlocks = 2;
// Noise of the background's blocks above which it is not even.
constexpr double kMostNoise = 8;

using Rgb = std::array<float, 3>;

double Distance(const Rgb& a, const Rgb& b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

// Colours of any depth the program holds.
class Colours {
public:
    explicit Colours(const TDibRecord& d) : d_(d), bits_(DibBitCount(d))
    {
        for (int i = 0; i < DibTableColors(d); ++i) {
            const RGBQUAD& q = d.Info->bmiColors[i];
            table_[std::size_t(i)] = {float(q.rgbRed), float(q.rgbGreen), float(q.rgbBlue)};
        }
    }
    Rgb At(int x, int y) const
    {
        if (bits_ == 24) {
            const std::uint8_t* p = DibRowFromTop(d_, y) + 3 * std::ptrdiff_t(x);
            return {float(p[2]), float(p[1]), float(p[0])};
        }
        return table_[getpixel(d_, x, y) & 0xFFu];
    }
    // The value that stands for colour in the picture: itself at 24 bits,
    // the nearest entry of the colour table otherwise.
    COLORREF ValueOf(const Rgb& colour) const
    {
        const auto byte = [](float v) { return std::uint8_t(std::lround(v)); };
        if (bits_ == 24)
            return RGB(byte(colour[0]), byte(colour[1]), byte(colour[2]));
        int best = 0;
        for (int i = 1; i < DibTableColors(d_); ++i)
            if (Distance(table_[std::size_t(i)], colour) < Distance(table_[std::size_t(best)], colour))
                best = i;
        return COLORREF(best);
    }

private:
    const TDibRecord& d_;
    int bits_;
    std::array<Rgb, 256> table_{};
};

// The scan in blocks of k x k pixels; the part blocks at the right and the
// bottom are left out.
struct Blocks {
    int k = 1, w = 0, h = 0;
    std::vector<Rgb> mean;
    const Rgb& At(int x, int y) const { return mean[std::size_t(y) * std::size_t(w) + std::size_t(x)]; }
};

Blocks Reduce(const TDibRecord& scan, const Colours& colours)
{
    Blocks b;
    const int width = DibWidth(scan), height = DibHeight(scan);
    b.k = std::max(1, std::min(width, height) / kBlocksShortSide);
    b.w = width / b.k;
    b.h = height / b.k;
    b.mean.assign(std::size_t(b.w) * std::size_t(b.h), Rgb{});
    const float share = 1.0f / float(b.k * b.k);
    for (int y = 0; y < b.h * b.k; ++y) {
        Rgb* row = &b.mean[std::size_t(y / b.k) * std::size_t(b.w)];
        for (int x = 0; x < b.w * b.k; ++x) {
            const Rgb c = colours.At(x, y);
            Rgb& m = row[x / b.k];
            for (int i = 0; i < 3; ++i)
                m[std::size_t(i)] += c[std::size_t(i)] * share;
        }
    }
    return b;
}

struct Point {
    double x, y;
};
Point operator+(Point a, Point b)
{
    return {a.x + b.x, a.y + b.y};
}
Point operator-(Point a, Point b)
{
    return {a.x - b.x, a.y - b.y};
}
Point operator*(double f, Point a)
{
    return {f * a.x, f * a.y};
}
double Dot(Point a, Point b)
{
    return a.x * b.x + a.y * b.y;
}
double Cross(Point a, Point b)
{
    return a.x * b.y - a.y * b.x;
}

double Median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
    return v[v.size() / 2];
}

// The blocks of the largest patch that stands out, as the corners of its
// rows' outermost blocks, in pixels; empty when there is none worth the name.
std::vector<Point> PatchOutline(const Blocks& b, const Rgb& background, double threshold)
{
    const int w = b.w, h = b.h;
    std::vector<char> mask(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask[std::size_t(y) * std::size_t(w) + std::size_t(x)] = Distance(b.At(x, y), background) > threshold;
    // Grown by two blocks, so that light parts of the photo that match the
    // background do not cut it in pieces.
    constexpr int kGrow = 2;
    std::vector<char> grown(mask.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (mask[std::size_t(y) * std::size_t(w) + std::size_t(x)])
                for (int dy = -kGrow; dy <= kGrow; ++dy)
                    for (int dx = -kGrow; dx <= kGrow; ++dx)
                        if (unsigned(x + dx) < unsigned(w) && unsigned(y + dy) < unsigned(h))
                            grown[std::size_t(y + dy) * std::size_t(w) + std::size_t(x + dx)] = 1;
    std::vector<int> label(mask.size(), 0), stack;
    int best = 0, bestSize = 0;
    for (std::size_t start = 0, next = 1; start < grown.size(); ++start) {
        if (!grown[start] || label[start])
            continue;
        int size = 0;
        stack.assign(1, int(start));
        label[start] = int(next);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            size += mask[std::size_t(at)];
            const int x = at % w, y = at / w;
            const int around[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& [nx, ny] : around) {
                const std::size_t n = std::size_t(ny) * std::size_t(w) + std::size_t(nx);
                if (unsigned(nx) < unsigned(w) && unsigned(ny) < unsigned(h) && grown[n] && !label[n]) {
                    label[n] = int(next);
                    stack.push_back(int(n));
                }
            }
        }
        if (size > bestSize) {
            bestSize = size;
            best = int(next);
        }
        ++next;
    }
    std::vector<Point> outline;
    if (bestSize < w * h / 200)
        return outline;
    const double k = b.k;
    for (int y = 0; y < h; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < w; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(w) + std::size_t(x);
            if (mask[i] && label[i] == best) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
        if (first < 0)
            continue;
        // pixel centres are whole numbers, so a block's edge lies half a pixel out
        for (const int x : {first, last + 1})
            for (const int yy : {y, y + 1})
                outline.push_back({x * k - 0.5, yy * k - 0.5});
    }
    return outline;
}

std::vector<Point> ConvexHull(std::vector<Point> p)
{
    std::sort(p.begin(), p.end(), [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<Point> hull(2 * p.size());
    std::size_t n = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        while (n >= 2 && Cross(hull[n - 1] - hull[n - 2], p[i] - hull[n - 2]) <= 0)
            --n;
        hull[n++] = p[i];
    }
    for (std::size_t i = p.size() - 1, lower = n + 1; i-- > 0;) {
        while (n >= lower && Cross(hull[n - 1] - hull[n - 2], p[i] - hull[n - 2]) <= 0)
            --n;
        hull[n++] = p[i];
    }
    hull.resize(n > 1 ? n - 1 : n);
    return hull;
}

// An angle in degrees brought within 45 degrees of near, by quarter turns.
double NearAngle(double degrees, double near)
{
    return degrees - 90 * std::round((degrees - near) / 90);
}

// The rectangle around points with sides along d and across it: a0..a1
// along, b0..b1 across.
struct Extents {
    double a0 = INFINITY, a1 = -INFINITY, b0 = INFINITY, b1 = -INFINITY;
    double Area() const { return (a1 - a0) * (b1 - b0); }
};

Extents ExtentsAlong(const std::vector<Point>& points, Point d)
{
    const Point n{-d.y, d.x};
    Extents e;
    for (const Point p : points) {
        e.a0 = std::min(e.a0, Dot(p, d));
        e.a1 = std::max(e.a1, Dot(p, d));
        e.b0 = std::min(e.b0, Dot(p, n));
        e.b1 = std::max(e.b1, Dot(p, n));
    }
    return e;
}

// The direction of the rectangle of least area around the hull, as the angle
// of its more level sides, within 45 degrees of level.
double LeastRectangleAngle(const std::vector<Point>& hull)
{
    double bestArea = INFINITY, bestAngle = 0;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Point edge = hull[(i + 1) % hull.size()] - hull[i];
        const double length = std::hypot(edge.x, edge.y);
        if (length == 0)
            continue;
        const Point d = (1 / length) * edge;
        const Extents e = ExtentsAlong(hull, d);
        if (e.Area() < bestArea) {
            bestArea = e.Area();
            bestAngle = std::atan2(d.y, d.x) * 180 / kPi;
        }
    }
    return NearAngle(bestAngle, 0);
}

struct Line {
    Point at, along; // along has length 1
    int weight = 0;  // the edge points it was fitted to
};

Point Intersect(const Line& a, const Line& b)
{
    const double t = Cross(b.at - a.at, b.along) / Cross(a.along, b.along);
    return a.at + t * a.along;
}

// One side of the rough rectangle, from a to b with the photo on the side of
// inward, fitted again to the first pixels that stand out when coming from
// the background across it: a line through the photo's true edge.
Line FitSide(const TDibRecord& scan, const Colours& colours, const Rgb& background,
             double threshold, Point a, Point b, Point inward, int reach)
{
    const double length = std::hypot((b - a).x, (b - a).y);
    const Point along = (1 / length) * (b - a);
    const int width = DibWidth(scan), height = DibHeight(scan);
    // How far from the background three pixels along the side lie, for less noise.
    const auto apart = [&](Point p) {
        double sum = 0;
        for (const int i : {-1, 0, 1}) {
            const Point q = p + double(i) * along;
            const int x = int(std::lround(q.x)), y = int(std::lround(q.y));
            sum += unsigned(x) < unsigned(width) && unsigned(y) < unsigned(height)
                       ? Distance(colours.At(x, y), background)
                       : 0;
        }
        return sum / 3;
    };
    std::vector<Point> found; // (distance along, distance inward) from a
    constexpr int kSamples = 48;
    for (int i = 0; i < kSamples; ++i) {
        const double t = length * (0.1 + 0.8 * i / (kSamples - 1));
        const Point base = a + t * along;
        const auto at = [&](int s) { return apart(base + double(s) * inward); };
        for (int s = 1 - reach; s < reach; ++s) {
            if (at(s) <= threshold || at(s + 1) <= threshold)
                continue;
            // The edge lies where the way from the background to the photo
            // just inside is half gone: the optics' blur tells it finer than
            // a pixel, and a strong edge crosses the threshold early.
            const double half = std::max(threshold, at(s + 2) / 2);
            int e = s;
            while (e < s + 2 && at(e) < half)
                ++e;
            const double before = at(e - 1), here = at(e);
            if (s > 1 - reach && before < half)
                found.push_back({t, e - 1 + (half - before) / (here - before)});
            break;
        }
    }
    Line line{a, along, 0};
    // Least squares, twice: the second time without the points the first
    // line missed by far (a light part of the photo at its edge).
    for (int round = 0; round < 2; ++round) {
        if (found.size() < std::size_t(kSamples / 4))
            return line;
        double st = 0, so = 0, stt = 0, sto = 0;
        for (const Point p : found) {
            st += p.x, so += p.y, stt += p.x * p.x, sto += p.x * p.y;
        }
        const double n = double(found.size()), det = n * stt - st * st;
        const double slope = det != 0 ? (n * sto - st * so) / det : 0;
        const double offset = (so - slope * st) / n;
        double spread = 0;
        for (const Point p : found)
            spread += std::pow(p.y - offset - slope * p.x, 2);
        spread = std::max(1.5, 2.5 * std::sqrt(spread / n));
        const Point dir = along + slope * inward;
        line = {a + offset * inward, (1 / std::hypot(dir.x, dir.y)) * dir, int(found.size())};
        std::erase_if(found, [&](Point p) { return std::abs(p.y - offset - slope * p.x) > spread; });
    }
    return line;
}

} // namespace

FoundPhoto FindPhoto(const TDibRecord& scan)
{
    FoundPhoto photo;
    if (!scan.Bits || (DibBitCount(scan) != 24 && DibBitCount(scan) > 8))
        return photo;
    const Colours colours(scan);
    const Blocks blocks = Reduce(scan, colours);
    if (blocks.w < 8 * kRingBlocks || blocks.h < 8 * kRingBlocks)
        return photo;

    // The background: the median of the blocks along the edge, per channel;
    // its noise from how far they lie from it.
    std::vector<Rgb> ring;
    for (int y = 0; y < blocks.h; ++y)
        for (int x = 0; x < blocks.w; ++x)
            if (std::min({x, y, blocks.w - 1 - x, blocks.h - 1 - y}) < kRingBlocks)
                ring.push_back(blocks.At(x, y));
    Rgb background;
    for (std::size_t c = 0; c < 3; ++c) {
        std::vector<double> channel;
        for (const Rgb& r : ring)
            channel.push_back(r[c]);
        background[c] = float(Median(channel));
    }
    std::vector<double> apart;
    for (const Rgb& r : ring)
        apart.push_back(Distance(r, background));
    const double noise = 1.4826 * Median(apart);
    if (noise > kMostNoise)
        return photo;
    const std::vector<Point> outline =
        PatchOutline(blocks, background, std::max(6.0, 6 * noise + 2));
    if (outline.empty())
        return photo;

    // The rough rectangle from the blocks, in a frame turned by its angle.
    const std::vector<Point> hull = ConvexHull(outline);
    const double rough = LeastRectangleAngle(hull) * kPi / 180;
    const Point e1{std::cos(rough), std::sin(rough)}, e2{-e1.y, e1.x};
    const auto [a0, a1, b0, b1] = ExtentsAlong(hull, e1);
    const auto corner = [&](double a, double b) { return a * e1 + b * e2; };
    // A pixel's noise is k times a block's; the fit looks at three at once.
    const double pixelThreshold = std::max(8.0, 6 * noise * blocks.k / std::sqrt(3.0) + 2);
    const int reach = 2 * blocks.k + 4;
    const Point minus1 = -1 * e1, minus2 = -1 * e2;
    const Line top = FitSide(scan, colours, background, pixelThreshold, corner(a0, b0),
                             corner(a1, b0), e2, reach);
    const Line bottom = FitSide(scan, colours, background, pixelThreshold, corner(a0, b1),
                                corner(a1, b1), minus2, reach);
    const Line left = FitSide(scan, colours, background, pixelThreshold, corner(a0, b0),
                              corner(a0, b1), e1, reach);
    const Line right = FitSide(scan, colours, background, pixelThreshold, corner(a1, b0),
                               corner(a1, b1), minus1, reach);

    // The skew: the sides' angles, each as many times as it has points.
    double sum = 0;
    int weight = 0;
    for (const Line* side : {&top, &bottom, &left, &right}) {
        sum += side->weight *
               NearAngle(std::atan2(side->along.y, side->along.x) * 180 / kPi, rough * 180 / kPi);
        weight += side->weight;
    }
    const double skew = weight ? sum / weight : rough * 180 / kPi;
    Point corners[4] = {Intersect(top, left), Intersect(top, right), Intersect(bottom, left),
                        Intersect(bottom, right)};

    // Rows from the top: a positive skew sinks to the right, and the turn
    // that levels it is anticlockwise.
    photo.Background = colours.ValueOf(background);
    photo.Hundredths = int(std::lround(std::abs(skew) * 100));
    photo.Right = skew < 0;
    photo.CutWidth = DibWidth(scan);
    photo.CutHeight = DibHeight(scan);
    double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const Point p : corners) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    photo.Bounds = {std::max(int(std::ceil(x0)), 0), std::max(int(std::ceil(y0)), 0),
                    std::min(int(std::floor(x1)) + 1, photo.CutWidth),
                    std::min(int(std::floor(y1)) + 1, photo.CutHeight)};
    if (photo.Hundredths < kLeastSkewHundredths) {
        photo.Hundredths = 0;
        photo.Right = false;
    } else {
        const FreeTurn turn(DibWidth(scan), DibHeight(scan), photo.Right, photo.Hundredths / 100.0L);
        for (Point& p : corners)
            turn.Place(p.x, p.y, p.x, p.y);
        photo.CutWidth = turn.NewWidth();
        photo.CutHeight = turn.NewHeight();
    }
    // The largest upright rectangle inside the four corners, a pixel in from
    // each edge, so that no pixel of its border shows the background.
    constexpr double kInset = 1;
    const int l = int(std::ceil(std::max(corners[0].x, corners[2].x) + kInset));
    const int t = int(std::ceil(std::max(corners[0].y, corners[1].y) + kInset));
    const int r = int(std::floor(std::min(corners[1].x, corners[3].x) - kInset)) + 1;
    const int b = int(std::floor(std::min(corners[2].y, corners[3].y) - kInset)) + 1;
    photo.Crop = {std::max(l, 0), std::max(t, 0), std::min(r, photo.CutWidth),
                  std::min(b, photo.CutHeight)};
    photo.Found = photo.Crop.right - photo.Crop.left > 1 && photo.Crop.bottom - photo.Crop.top > 1;
    return photo;
}
