// Rotation arithmetic. Built without contraction into fused multiply-adds, and (on x87) run
// under DoublePrecisionFpu: each + - * then rounds exactly once to double, the same on the
// i686 product as on x86_64. The functions are not inlined into their callers so that no
// operation can be scheduled before the precision is set.
#include "components/image/rotation_math.h"

#include <cmath>

namespace components {
namespace {

// pi / 2 split so that k * kHalfPi1 is exact for the small k used here (its low bits are 0).
constexpr double kHalfPi1 = 1.5707963267341256e+00;      // 0x3FF921FB54400000
constexpr double kHalfPi2 = 6.07710050650619224932e-11;  // pi/2 - kHalfPi1
constexpr double kTwoOverPi = 6.3661977236758138e-01;

// Taylor series about 0 up to x^17 and x^16 for |x| <= pi/4: truncation error below 1e-17.
double SinKernel(double x) {
  const double z = x * x;
  double p = 1.0 / 355687428096000.0;  // 1/17!
  p = p * z - 1.0 / 1307674368000.0;   // 1/15!
  p = p * z + 1.0 / 6227020800.0;      // 1/13!
  p = p * z - 1.0 / 39916800.0;        // 1/11!
  p = p * z + 1.0 / 362880.0;          // 1/9!
  p = p * z - 1.0 / 5040.0;            // 1/7!
  p = p * z + 1.0 / 120.0;             // 1/5!
  p = p * z - 1.0 / 6.0;               // 1/3!
  return x + x * z * p;
}

double CosKernel(double x) {
  const double z = x * x;
  double p = 1.0 / 20922789888000.0;  // 1/16!
  p = p * z - 1.0 / 87178291200.0;    // 1/14!
  p = p * z + 1.0 / 479001600.0;      // 1/12!
  p = p * z - 1.0 / 3628800.0;        // 1/10!
  p = p * z + 1.0 / 40320.0;          // 1/8!
  p = p * z - 1.0 / 720.0;            // 1/6!
  p = p * z + 1.0 / 24.0;             // 1/4!
  p = p * z - 0.5;                    // 1/2!
  return 1.0 + z * p;
}

// The first i in [lo, hi) where `pred` holds, for a predicate that is false and then true along
// i; hi when it never holds.
template <typename Pred>
int32_t FirstWhere(int32_t lo, int32_t hi, Pred pred) {
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    if (pred(mid)) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

}  // namespace

__attribute__((noinline)) void SinCos(double radians, double* sine, double* cosine) {
  const int quadrant = static_cast<int>(radians * kTwoOverPi + 0.5);
  const double r = (radians - quadrant * kHalfPi1) - quadrant * kHalfPi2;
  const double s = SinKernel(r), c = CosKernel(r);
  switch (quadrant & 3) {
    case 0:
      *sine = s;
      *cosine = c;
      break;
    case 1:
      *sine = c;
      *cosine = -s;
      break;
    case 2:
      *sine = -s;
      *cosine = -c;
      break;
    default:
      *sine = -c;
      *cosine = s;
      break;
  }
}

__attribute__((noinline)) RotationGeometry RotatedGeometry(int32_t width, int32_t height, int degrees) {
  RotationGeometry g;
  SinCos(degrees * kRadiansPerDegree, &g.sine, &g.cosine);
  const double w = width, h = height;
  const double xs[4] = {0, w * g.cosine, -h * g.sine, w * g.cosine - h * g.sine};
  const double ys[4] = {0, w * g.sine, h * g.cosine, w * g.sine + h * g.cosine};
  double maxX = xs[0], maxY = ys[0];
  g.minX = xs[0];
  g.minY = ys[0];
  for (int k = 1; k < 4; ++k) {
    g.minX = xs[k] < g.minX ? xs[k] : g.minX;
    g.minY = ys[k] < g.minY ? ys[k] : g.minY;
    maxX = xs[k] > maxX ? xs[k] : maxX;
    maxY = ys[k] > maxY ? ys[k] : maxY;
  }
  const double newWidth = std::ceil(maxX - g.minX), newHeight = std::ceil(maxY - g.minY);
  // Sides are at most width + height, far inside 32 bits for any picture within the budget.
  if (newWidth < 1 || newHeight < 1) return g;
  g.width = static_cast<int32_t>(newWidth);
  g.height = static_cast<int32_t>(newHeight);
  return g;
}

__attribute__((noinline)) void SourceIndexesOfRow(const RotationGeometry& g, int32_t row, int32_t width,
                                                  int32_t height, int32_t* out) {
  const double y = row + g.minY;
  const double sinY = g.sine * y, cosY = g.cosine * y;
  for (int32_t i = 0; i < g.width; ++i) {
    const double x = i + g.minX;
    // Truncation toward zero: a little left of or above the source still picks its first column or row.
    const int32_t sx = static_cast<int32_t>(g.cosine * x + sinY);
    const int32_t sy = static_cast<int32_t>(cosY - g.sine * x);
    out[i] = (sx >= 0 && sx < width && sy >= 0 && sy < height) ? sy * width + sx : -1;
  }
}

__attribute__((noinline)) void ColumnProducts(const RotationGeometry& g, double* cosX, double* sinX) {
  for (int32_t i = 0; i < g.width; ++i) {
    const double x = i + g.minX;
    cosX[i] = g.cosine * x;
    sinX[i] = g.sine * x;
  }
}

// The same sums and truncations as SourceIndexesOfRow, each product rounded to double as there.
// Rounding is monotonic, so along a row the source column moves one way (with the sign of the
// cosine) and the source row the other way (against the sign of the sine): each bound of the
// source is crossed at most once and is found by bisection.
__attribute__((noinline)) void SourceSpanOfRow(const RotationGeometry& g, int32_t row, int32_t width,
                                               int32_t height, const double* cosX, const double* sinX,
                                               int32_t* out, int32_t* first, int32_t* last) {
  const double y = row + g.minY;
  const double sinY = g.sine * y, cosY = g.cosine * y;
  auto sourceX = [&](int32_t i) { return static_cast<int32_t>(cosX[i] + sinY); };
  auto sourceY = [&](int32_t i) { return static_cast<int32_t>(cosY - sinX[i]); };
  const int32_t n = g.width;
  int32_t begin, end;
  if (g.cosine >= 0) {
    begin = FirstWhere(0, n, [&](int32_t i) { return sourceX(i) >= 0; });
    end = FirstWhere(begin, n, [&](int32_t i) { return sourceX(i) >= width; });
  } else {
    begin = FirstWhere(0, n, [&](int32_t i) { return sourceX(i) < width; });
    end = FirstWhere(begin, n, [&](int32_t i) { return sourceX(i) < 0; });
  }
  if (g.sine >= 0) {
    begin = FirstWhere(begin, end, [&](int32_t i) { return sourceY(i) < height; });
    end = FirstWhere(begin, end, [&](int32_t i) { return sourceY(i) < 0; });
  } else {
    begin = FirstWhere(begin, end, [&](int32_t i) { return sourceY(i) >= 0; });
    end = FirstWhere(begin, end, [&](int32_t i) { return sourceY(i) >= height; });
  }
  for (int32_t i = begin; i < end; ++i) out[i] = sourceY(i) * width + sourceX(i);
  *first = begin;
  *last = end;
}

}  // namespace components
